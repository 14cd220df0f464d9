// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The run-time errors of the layers below the windows, all PlatformErrors
// (printing's PrinterError too). Each carries what went wrong as a Fault,
// which the windows turn into the clerk's words; what() describes it for
// developers and logs only.
namespace platform {

enum class Fault : std::uint8_t {
    ValueTooLarge,        // a value left its type's range
    HoursTooLarge,        // the hours do not fit the money type
    ChargeTooLarge,       // rate x hours does not fit
    TotalRevenueTooLarge, // the running revenue would leave the range
    TotalHoursTooLarge,   // the running hours would leave the range
    TooManyCharters,      // a 32,768th charter
    NotANumber,           // a text that should hold only a number holds more
    ArgumentOutOfRange,   // a list index or similar outside what exists
    CannotFormat,         // the regional formatter refused a value
    NotPrinted,           // a document did not reach the printer (printing::PrinterError says why)
};

class PlatformError : public std::runtime_error {
public:
    PlatformError(Fault fault, const std::string &what) : std::runtime_error(what), m_fault(fault) {}
    Fault fault() const { return m_fault; }

private:
    Fault m_fault;
};

// A value does not fit its type: a Currency outside its range, a 16-bit
// integer outside -32768..32767, a number beyond the double range.
class OverflowError : public PlatformError {
public:
    explicit OverflowError(Fault fault = Fault::ValueTooLarge, const std::string &what = "value out of range")
        : PlatformError(fault, what)
    {
    }
};

// An argument the operation cannot take, such as a list index out of range.
class InvalidArgumentError : public PlatformError {
public:
    explicit InvalidArgumentError(Fault fault = Fault::ArgumentOutOfRange, const std::string &what = "invalid argument")
        : PlatformError(fault, what)
    {
    }
};

} // namespace platform

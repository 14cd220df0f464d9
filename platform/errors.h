// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

// The platform's run-time errors. They form one family so that a caller can
// report any of them in one place and go on.
namespace platform {

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value does not fit its type: a Currency outside its range, a 16-bit
// integer outside -32768..32767, a number beyond the double range.
class OverflowError : public PlatformError {
public:
    explicit OverflowError(const std::string &what = "a value is larger than the program can hold") : PlatformError(what) {}
};

// An argument the operation cannot take, such as a list index out of range.
class InvalidArgumentError : public PlatformError {
public:
    explicit InvalidArgumentError(const std::string &what = "an argument is out of range")
        : PlatformError(what) {}
};

// The default printer could not be found or refused the document.
class PrinterError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

} // namespace platform

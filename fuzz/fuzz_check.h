// SPDX-License-Identifier: MIT
#pragma once

// What the fuzz targets share: a check that stops the run with the input's
// failing property, and a reader over the raw input bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

// libFuzzer treats an abort as a finding and keeps the input that caused it.
#define FUZZ_CHECK(condition, ...)                                                                            \
    do {                                                                                                      \
        if (!(condition)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #condition);             \
            std::fprintf(stderr, __VA_ARGS__);                                                                \
            std::fputc('\n', stderr);                                                                         \
            std::abort();                                                                                     \
        }                                                                                                     \
    } while (false)

namespace fuzzing {

// Takes fixed-size values from the front of the input; once it runs dry
// every value reads as zero, so any input is a valid one.
class ByteReader {
public:
    ByteReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }

    std::uint8_t byte() { return empty() ? 0 : m_data[m_pos++]; }

    // Little-endian, so the seed files read naturally in a hex dump.
    template <typename T> T value()
    {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char &b : bytes)
            b = byte();
        T result;
        std::memcpy(&result, bytes, sizeof(T));
        return result;
    }

    // Up to `length` bytes, fewer when the input ends first.
    std::string_view bytes(std::size_t length)
    {
        const std::size_t available = empty() ? 0 : m_size - m_pos;
        const std::size_t taken = length < available ? length : available;
        const std::string_view result(reinterpret_cast<const char *>(m_data + m_pos), taken);
        m_pos += taken;
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace fuzzing

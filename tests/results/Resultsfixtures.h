#pragma once

#include "results/Regfile.h"

#include <initializer_list>
#include <string>

namespace fixtures {

using namespace std::string_literals;

// Time 0x12345678, depth 1234.5, slot 0 = 1.5, slot 1 = 100, the rest 0, reserved bytes 0.
inline const std::string recordFixture = "\x00"s
                                         "\x78\x56\x34\x12"s
                                         "\x00\x50\x9A\x44"s
                                         "\x00\x00\x00\x00"s
                                         "\x00\x00\xC0\x3F"s
                                         "\x00\x00\xC8\x42"s
                                         + std::string(30 * 4, '\0') + std::string(4, '\0');

// The tail every percent descriptor ends with: −1, 100, 100, 0, 0, 1 and the flag 0.
inline const std::string percentTail = "\xFF\xFF\xFF\xFF"s
                                       "\x00\x00\xC8\x42"s
                                       "\x00\x00\xC8\x42"s
                                       "\x00\x00\x00\x00"s
                                       "\x00\x00\x00\x00"s
                                       "\x01\x00\x00\x00"s
                                       "\x00"s;

// "метан", "метан", "%", "метан_абс" in CP1251.
inline const std::string methaneDescriptor = "\xEC\xE5\xF2\xE0\xED\0"s
                                             "\xEC\xE5\xF2\xE0\xED\0"s
                                             "%\0"s
                                             "\xEC\xE5\xF2\xE0\xED_\xE0\xE1\xF1\0"s
                                             + percentTail;

// "сумм_газ" as name, second name and key.
inline const std::string totalDescriptor = "\xF1\xF3\xEC\xEC_\xE3\xE0\xE7\0"s
                                           "\xF1\xF3\xEC\xEC_\xE3\xE0\xE7\0"s
                                           "%\0"s
                                           "\xF1\xF3\xEC\xEC_\xE3\xE0\xE7\0"s
                                           + percentTail;

// A record whose every field tells which one it is.
inline reg_file::File numberedRecord(int number)
{
    reg_file::File record;
    record.time = static_cast<lib::LocalSeconds>(1000 + number);
    record.depth = static_cast<float>(number) * 10.0F;
    for (std::size_t slot = 0; slot < reg_file::File::slotCount; ++slot)
        record.values[slot] = static_cast<float>(number) + static_cast<float>(slot) / 100.0F;
    return record;
}

inline std::string recordBytes(const reg_file::File& record)
{
    const auto bytes = record.bytes();
    return std::string(bytes.data(), bytes.size());
}

inline std::string recordsBytes(std::initializer_list<int> numbers)
{
    std::string bytes;
    for (int number : numbers)
        bytes += recordBytes(numberedRecord(number));
    return bytes;
}

} // namespace fixtures

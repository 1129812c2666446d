#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The bytes of the total-gas query to the registration computer and of its reply. Pure: no I/O.
//
// Reply: one header byte (ignored), a signed 32-bit little-endian body length L, then L bytes of
// entries, each a name of at most 63 CP1251 bytes ended by a 0 byte and an 8-byte little-endian
// IEEE double.
class TotalGasReply {
public:
    using Entries = std::vector<std::pair<std::string, double>>;

    static constexpr std::size_t requestSize = 5;
    static constexpr std::size_t lengthSize = 4;
    static constexpr std::size_t headerSize = 1 + lengthSize;
    static constexpr std::size_t maxNameLength = 63;
    static constexpr std::size_t valueSize = 8;
    // A body is read only when its length is below this; a longer reply yields 0.
    static constexpr std::int32_t lengthLimit = 10001;

    // One byte 1, then a signed 32-bit little-endian 0.
    static std::string request();

    // The value of the last entry named "сумм_газ2" in any letter case, 0 when there is none.
    // The walk ends at an empty name, a name longer than maxNameLength or an entry cut short.
    static double findTotalGas(std::string_view body);

    // The body length of a reply header's length field; missing bytes count as 0.
    static std::int32_t decodeLength(std::string_view lengthBytes);
    // True when a body of this length is read at all (negative lengths have no body).
    static bool bodyReadable(std::int32_t length) { return length > 0 && length < lengthLimit; }

    // What the station makes of these reply bytes if they are all it receives: bytes missing from
    // the header count as 0, a body shorter than its length is walked as far as it goes.
    static double valueOfReply(std::string_view reply);

    // The server side. Names are UTF-8 and written in CP1251 as given, even when they are over
    // maxNameLength, so that a test can build a reply the station refuses.
    static std::string encodeBody(const Entries& entriesUtf8);
    static std::string encodeReply(const Entries& entriesUtf8);
    // A header announcing any length, followed by whatever body bytes are given.
    static std::string encodeReply(std::int32_t length, std::string_view body);
};

#include "links/Totalgasreply.h"

#include "library/Codepage.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace {

// Little-endian on the wire whatever the machine, so bytes are placed one by one.
std::uint64_t readLittleEndian(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

void appendLittleEndian(std::string& out, std::uint64_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i, value >>= 8)
        out.push_back(static_cast<char>(value & 0xFF));
}

const std::string& summatorKey()
{
    static const std::string key = lib::toCp1251("сумм_газ2");
    return key;
}

// Reads a name from the front of the rest of the body and moves past its 0 byte. Nothing when
// the 0 byte is missing within maxNameLength + 1 bytes: too long a name or the body ends.
std::optional<std::string_view> takeName(std::string_view& rest)
{
    const std::string_view window = rest.substr(0, TotalGasReply::maxNameLength + 1);
    const std::size_t end = window.find('\0');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return name;
}

std::optional<double> takeValue(std::string_view& rest)
{
    if (rest.size() < TotalGasReply::valueSize)
        return std::nullopt;
    const auto bits = readLittleEndian(rest.substr(0, TotalGasReply::valueSize));
    rest.remove_prefix(TotalGasReply::valueSize);
    return std::bit_cast<double>(bits);
}

} // namespace

std::string TotalGasReply::request()
{
    std::string bytes(1, '\x01');
    appendLittleEndian(bytes, 0, lengthSize);
    return bytes;
}

double TotalGasReply::findTotalGas(std::string_view body)
{
    double kept = 0;
    std::string_view rest = body;
    for (;;) {
        const auto name = takeName(rest);
        if (!name || name->empty())
            return kept;
        const auto value = takeValue(rest);
        if (!value)
            return kept;
        if (lib::foldCaseCp1251(*name) == summatorKey())
            kept = *value;
    }
}

std::int32_t TotalGasReply::decodeLength(std::string_view lengthBytes)
{
    const auto bits = static_cast<std::uint32_t>(readLittleEndian(lengthBytes.substr(0, lengthSize)));
    return static_cast<std::int32_t>(bits);
}

double TotalGasReply::valueOfReply(std::string_view reply)
{
    const std::int32_t length = decodeLength(reply.substr(std::min<std::size_t>(1, reply.size())));
    if (!bodyReadable(length))
        return 0;
    const std::string_view body = reply.substr(std::min(headerSize, reply.size()));
    return findTotalGas(body.substr(0, static_cast<std::size_t>(length)));
}

std::string TotalGasReply::encodeBody(const Entries& entriesUtf8)
{
    std::string body;
    for (const auto& [name, value] : entriesUtf8) {
        body += lib::toCp1251(name);
        body.push_back('\0');
        appendLittleEndian(body, std::bit_cast<std::uint64_t>(value), valueSize);
    }
    return body;
}

std::string TotalGasReply::encodeReply(const Entries& entriesUtf8)
{
    const std::string body = encodeBody(entriesUtf8);
    return encodeReply(static_cast<std::int32_t>(body.size()), body);
}

std::string TotalGasReply::encodeReply(std::int32_t length, std::string_view body)
{
    std::string reply(1, '\0');
    appendLittleEndian(reply, static_cast<std::uint32_t>(length), lengthSize);
    reply += body;
    return reply;
}

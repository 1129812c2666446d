#include "settings/Ioepod.h"

#include "library/Codepage.h"
#include "settings/Inifile.h"

#include <charconv>
#include <vector>

namespace lib::opt_detailed {
namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

std::byte pairValue(std::string_view pair)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(pair.data(), pair.data() + pair.size(), value, 16);
    return error == std::errc() && end == pair.data() + pair.size() ? std::byte(value) : std::byte(0);
}

} // namespace

ioe_pod::ioe_pod(void* block, std::size_t size, std::string section, std::string key)
    : ioe_base(std::move(section), std::move(key)), block_(static_cast<std::byte*>(block)), size_(size)
{
}

void ioe_pod::save(IniFile& ini) const
{
    std::string text;
    text.reserve(size_ * 2);
    for (std::size_t i = 0; i < size_; ++i) {
        const auto value = std::to_integer<unsigned>(block_[i]);
        text += hexDigits[value >> 4];
        text += hexDigits[value & 0x0F];
    }
    ini.writeString(section, key, text);
}

void ioe_pod::load(IniFile& ini)
{
    const auto value = ini.read(section, key);
    if (!value)
        return;
    const std::string text = lib::toCp1251(*value);  // the length rule counts the file's characters
    if (text.size() / 2 != size_)
        return;
    std::vector<std::byte> bytes(size_);
    for (std::size_t i = 0; i < size_; ++i)
        bytes[i] = pairValue(std::string_view(text).substr(i * 2, 2));
    std::copy(bytes.begin(), bytes.end(), block_);
}

} // namespace lib::opt_detailed

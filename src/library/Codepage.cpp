#include "library/Codepage.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace lib {
namespace {

// One iconv descriptor per direction and thread: iconv_t carries shift state and is not
// thread-safe, and opening one per call would dominate the cost of short strings.
class Converter {
public:
    Converter(const char* to, const char* from, std::string_view replacement)
        : handle_(iconv_open(to, from)), replacement_(replacement)
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string convert(std::string_view input)
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string output;
        output.reserve(input.size() * 2);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::array<char, 4096> buffer;
        while (inLeft > 0) {
            char* out = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer.data(), buffer.size() - outLeft);
            if (result != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or a sequence cut at the end (EINVAL): replace one byte and go on.
            output.append(replacement_);
            ++in;
            --inLeft;
            skipContinuationBytes(in, inLeft);
        }
        return output;
    }

private:
    void skipContinuationBytes(char*& in, std::size_t& inLeft) const
    {
        if (replacement_ != "?")
            return;  // CP1251 input has no multi-byte sequences
        while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
            ++in;
            --inLeft;
        }
    }

    iconv_t handle_;
    std::string replacement_;
};

Converter& toCp1251Converter()
{
    thread_local Converter converter("CP1251", "UTF-8", "?");
    return converter;
}

Converter& fromCp1251Converter()
{
    thread_local Converter converter("UTF-8", "CP1251", "\xEF\xBF\xBD");
    return converter;
}

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c)  // А..Я -> а..я
        table[c] = static_cast<unsigned char>(c + 32);
    // The Cyrillic letters outside the main block: upper -> lower.
    constexpr std::array<std::pair<int, int>, 15> pairs{{{0xA8, 0xB8}, {0x80, 0x90}, {0x81, 0x83},
        {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
        {0xA3, 0xBC}, {0xA5, 0xB4}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}}};
    for (const auto& [upper, lower] : pairs)
        table[upper] = static_cast<unsigned char>(lower);
    return table;
}

constexpr auto foldTable = makeFoldTable();

} // namespace

std::string toCp1251(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    return toCp1251Converter().convert(utf8);
}

std::string fromCp1251(std::string_view cp1251)
{
    if (isAscii(cp1251))
        return std::string(cp1251);
    return fromCp1251Converter().convert(cp1251);
}

char foldCaseCp1251(char c)
{
    return static_cast<char>(foldTable[static_cast<unsigned char>(c)]);
}

std::string foldCaseCp1251(std::string_view cp1251)
{
    std::string folded(cp1251);
    for (char& c : folded)
        c = foldCaseCp1251(c);
    return folded;
}

} // namespace lib

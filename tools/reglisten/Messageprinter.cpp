#include "reglisten/Messageprinter.h"

#include "library/Codepage.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace reglisten {
namespace {

bool isShownEscaped(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

std::string escapedControls(std::string_view bytes)
{
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (isShownEscaped(byte))
            shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 0xF];
        else
            shown += c;
    }
    return shown;
}

} // namespace

std::string MessagePrinter::timeStamp(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
    std::tm local{};
    ::localtime_r(&seconds, &local);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    std::array<char, 8> fraction{};
    std::snprintf(fraction.data(), fraction.size(), ".%03d", static_cast<int>((milliseconds % 1000 + 1000) % 1000));
    return std::string(text.data(), length) + fraction.data();
}

std::vector<std::string> MessagePrinter::textLines(std::string_view bytes)
{
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(lib::fromCp1251(escapedControls(line)));
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    }
    return lines;
}

std::string MessagePrinter::formatMessage(std::chrono::system_clock::time_point when, std::string_view source,
                                          std::string_view bytes)
{
    std::vector<std::string> lines = textLines(bytes);
    if (lines.empty())
        lines.emplace_back("(empty)");
    if (bytes.empty() || bytes.back() != '\0')
        lines.emplace_back("(no 0 byte at the end)");
    std::string text = timeStamp(when) + ' ' + std::string(source) + ": " + lines.front() + '\n';
    for (std::size_t i = 1; i < lines.size(); ++i)
        text += std::string(continuationIndent) + lines[i] + '\n';
    return text;
}

void MessagePrinter::printMessage(std::chrono::system_clock::time_point when, std::string_view source,
                                  std::string_view bytes)
{
    out_ << formatMessage(when, source, bytes) << std::flush;
}

void MessagePrinter::printEvent(std::chrono::system_clock::time_point when, std::string_view source,
                                std::string_view text)
{
    out_ << timeStamp(when) << ' ' << source << ": " << text << '\n' << std::flush;
}

} // namespace reglisten

#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace reglisten {

// Shows what arrives, one entry per message, flushed at once: readers often sit on a pipe.
//   2024-05-01 12:00:00.123 mailslot: метан_абс=0,1234
//       сумм_газ=0,5
class MessagePrinter {
public:
    static constexpr std::string_view continuationIndent = "    ";

    explicit MessagePrinter(std::ostream& out) : out_(out) {}

    // A received message as CP1251 bytes.
    void printMessage(std::chrono::system_clock::time_point when, std::string_view source, std::string_view bytes);
    // One line of the program's own (UTF-8), e.g. a served query.
    void printEvent(std::chrono::system_clock::time_point when, std::string_view source, std::string_view text);

    // Local time "YYYY-MM-DD HH:MM:SS.mmm".
    static std::string timeStamp(std::chrono::system_clock::time_point when);
    static std::string formatMessage(std::chrono::system_clock::time_point when, std::string_view source,
                                     std::string_view bytes);
    // The text of a message in UTF-8, one entry per line (CR LF or a lone LF ends one), the ending
    // 0 byte removed, other control bytes shown as \xNN so nothing reaches the terminal raw.
    static std::vector<std::string> textLines(std::string_view bytes);

private:
    std::ostream& out_;
};

} // namespace reglisten

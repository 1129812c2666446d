#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace remote {

// One remote-control message as nivra-remote builds it from its command line.
class RemoteMessage {
public:
    using Line = std::pair<std::string, std::string>;  // name, value; UTF-8

    // The station's mailslot refuses longer messages.
    static constexpr std::size_t stationMaximumSize = 1024;

    // The message the arguments ask for, or what is wrong with them.
    static std::variant<RemoteMessage, std::string> parse(const std::vector<std::string>& arguments);
    static std::string usage();

    bool helpWanted() const { return help_; }
    const std::vector<Line>& lines() const { return lines_; }

    // UTF-8 text: "name=value" lines each ended by CR LF, or the raw text as typed.
    std::string text() const;
    // What goes on the wire: the text in CP1251 followed by one 0 byte.
    std::string bytes() const;
    // The text cut at its line ends, for showing what was sent.
    std::vector<std::string> readableLines() const;

private:
    std::vector<Line> lines_;
    std::string raw_;
    bool isRaw_ = false;
    bool help_ = false;
};

} // namespace remote

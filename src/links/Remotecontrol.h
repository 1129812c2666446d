#pragma once

#include "platform/Mailslot.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Takes the commands of the remote program (depth marks, start, work mode, time-mode interval)
// from the mailslot "chromatograph", one message per poll. Polled by the work cycle's tick.
class RemoteControl {
public:
    static constexpr const char* mailslotName = "chromatograph";
    static constexpr std::size_t maximumMessageSize = 1024;

    enum Code : int { noMessage = 0, startCode = 1, modeCode = 2, otherCode = 3 };

    // One message as read: the operation's code and the values it carries.
    struct Message {
        int code = otherCode;
        std::int32_t timePeriod = -1;
        float depth = 0;
        std::int32_t modeValue = 2;
    };

    RemoteControl();

    int poll();
    std::int32_t timePeriod() const { return timePeriod_; }
    float depth() const { return depth_; }
    std::int32_t modeValue() const { return modeValue_; }

    // False when another program holds the mailslot: then no message ever arrives.
    bool listening() const { return mailslot_.valid(); }
    const std::string& errorText() const { return mailslot_.errorText(); }

    // bytes as they arrive (CP1251); the text ends at the first zero byte.
    static Message parse(std::string_view bytes);

private:
    platform::Mailslot mailslot_;
    std::int32_t timePeriod_ = -1;
    float depth_ = 0;
    std::int32_t modeValue_ = 0;
};

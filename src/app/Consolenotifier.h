#pragma once

#include "platform/Operatornotifier.h"

#include <mutex>
#include <ostream>
#include <string_view>

// Operator messages of a station without windows: one line each on the error stream.
class ConsoleNotifier : public platform::OperatorNotifier {
public:
    explicit ConsoleNotifier(std::ostream& out) : out_(out) {}

    void notify(const platform::OperatorMessage& message) override
    {
        std::lock_guard lock(mutex_);
        out_ << "NivraExe: " << trimmed(message.caption) << ": " << message.text << std::endl;
    }

private:
    static std::string_view trimmed(std::string_view caption)
    {
        const auto first = caption.find_first_not_of(' ');
        return first == std::string_view::npos ? std::string_view() : caption.substr(first);
    }

    std::ostream& out_;
    std::mutex mutex_;
};

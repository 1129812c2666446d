#pragma once

#include "platform/Operatornotifier.h"

#include <mutex>
#include <vector>

namespace platform {

// Keeps every message; for tests and for callers that show them later.
class RecordingNotifier : public OperatorNotifier {
public:
    void notify(const OperatorMessage& message) override
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }
    std::vector<OperatorMessage> messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<OperatorMessage> messages_;
};

} // namespace platform

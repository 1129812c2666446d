#pragma once

#include <string>

namespace platform {

// A message the operator must see, raised by the core: a box in the windows, a line on stderr
// when headless.
struct OperatorMessage {
    enum class Icon { information, warning, error };

    std::string caption;
    std::string text;
    Icon icon = Icon::information;

    bool operator==(const OperatorMessage&) const = default;
};

class OperatorNotifier {
public:
    virtual ~OperatorNotifier() = default;
    virtual void notify(const OperatorMessage& message) = 0;
};

} // namespace platform

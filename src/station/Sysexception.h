#pragma once

#include <stdexcept>
#include <string>

// A failure the operator must see; its text is the message shown.
class SysException : public std::runtime_error {
public:
    explicit SysException(const std::string& message) : std::runtime_error(message) {}
};

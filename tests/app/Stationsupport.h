#pragma once

#include "settings/Inifile.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace station {

// How often part stands in text, counted without overlaps.
inline std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace station

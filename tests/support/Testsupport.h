#pragma once

#include "library/Decimalseparator.h"
#include "platform/Atomicfile.h"
#include "testsupport/Scratchfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace test {

// A fresh folder for one test, removed afterwards.
class TemporaryDirectory : public platform::ScratchFolder {
public:
    TemporaryDirectory() : ScratchFolder("nivra-test") {}
};

// Sets the process-wide decimal separator for one test and puts the old one back.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(char separator) : previous_(lib::decimalSeparator())
    {
        lib::setDecimalSeparator(separator);
    }
    ~DecimalSeparatorScope() { lib::setDecimalSeparator(previous_); }
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    char previous_;
};

inline std::string readFile(const std::filesystem::path& path)
{
    return platform::readWholeFile(path).value_or(std::string("<missing>"));
}

inline void writeFile(const std::filesystem::path& path, std::string_view contents)
{
    ASSERT_TRUE(platform::writeFileAtomically(path, contents));
}

} // namespace test

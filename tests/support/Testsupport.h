#pragma once

#include "library/Decimalseparator.h"
#include "platform/Atomicfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace test {

// A fresh folder for one test, removed afterwards.
class TemporaryDirectory {
public:
    TemporaryDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "nivra-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        path_ = pattern;
    }
    ~TemporaryDirectory()
    {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
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

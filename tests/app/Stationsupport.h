#pragma once

#include "results/Regfile.h"
#include "settings/Inifile.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace station {

using namespace std::chrono_literals;

constexpr const char* lostText = "Внезапно потеряна связь с хроматографом!";

// How often part stands in text, counted without overlaps.
inline std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// A station folder that a first run of the program has set up, with the mailslots in the test's
// own folder so that tests running side by side never meet.
class StationFixture : public ::testing::Test {
protected:
    StationFixture()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        ::setenv("LC_ALL", "C", 1);
        test::ChildProcess first(NIVRAEXE_PATH, {"--headless", "--cycles", "0", "--dir", station_.string()});
        EXPECT_EQ(first.exitStatus(30s), 0) << first.errors();
    }
    ~StationFixture() override { ::unsetenv("NIVRA_MAILSLOT_DIR"); }

    void set(std::string_view section, std::string_view key, std::string_view value)
    {
        lib::IniFile ini(station_ / "хроматограф.ini");
        ini.writeString(section, key, value);
    }
    std::string setting(std::string_view section, std::string_view key)
    {
        lib::IniFile ini(station_ / "хроматограф.ini");
        return ini.readString(section, key, "<none>");
    }

    // The whole records of the default well's results table.
    std::vector<reg_file::File> records() const
    {
        const std::string bytes = test::readFile(station_ / "default" / "default" / "data.tim");
        std::vector<reg_file::File> list;
        if (bytes == "<missing>")
            return list;
        for (std::size_t at = 0; at + reg_file::File::recordSize <= bytes.size(); at += reg_file::File::recordSize)
            list.push_back(reg_file::File::fromBytes(bytes.data() + at));
        return list;
    }

    test::TemporaryDirectory dir;
    const std::filesystem::path station_ = dir / "station";
    std::optional<test::ChildProcess> station_process_;
};

} // namespace station

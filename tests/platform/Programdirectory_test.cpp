#include "platform/Programdirectory.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// HOME pointed into a scratch folder for one test.
class ProgramDirectoryTest : public ::testing::Test {
protected:
    ProgramDirectoryTest()
    {
        if (const char* home = std::getenv("HOME"))
            savedHome_ = home;
        if (const char* data = std::getenv("XDG_DATA_HOME"))
            savedData_ = data;
        ::setenv("HOME", (dir / "home").c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
    }
    ~ProgramDirectoryTest() override
    {
        ::setenv("HOME", savedHome_.c_str(), 1);
        if (!savedData_.empty())
            ::setenv("XDG_DATA_HOME", savedData_.c_str(), 1);
    }

    test::TemporaryDirectory dir;

private:
    std::string savedHome_;
    std::string savedData_;
};

TEST_F(ProgramDirectoryTest, AWritableProgramFolderKeepsItsDataUnlessItIsInstalled)
{
    const auto own = dir / "portable";
    std::filesystem::create_directories(own);
    EXPECT_EQ(platform::resolveProgramDirectory(std::nullopt, own), own) << "a copy in a folder of its own";

    const auto bin = dir / "usr" / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(dir / "usr" / "share" / "nivra");
    const auto userFolder = dir / "home" / ".local" / "share" / "nivra";
    EXPECT_EQ(platform::resolveProgramDirectory(std::nullopt, bin), userFolder) << "installed: the user's own";
    EXPECT_TRUE(std::filesystem::is_directory(userFolder));

    const auto asked = dir / "asked";
    EXPECT_EQ(platform::resolveProgramDirectory(asked, bin), asked) << "the command line decides first";
}

} // namespace

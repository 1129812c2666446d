#include "settings/Inifile.h"

#include "library/Codepage.h"
#include "platform/Filesteps.h"
#include "support/Limitedchild.h"
#include "support/Testsupport.h"

#include <csignal>
#include <iterator>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(IniFile, StoresWindows1251WithCrLfAndReadsBackUtf8)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "хроматограф.ini";
    {
        lib::IniFile ini(path);
        ini.writeString("порт", "имя", "\"COM1\"");
        ini.writeInteger("время", "время1", 2);
    }
    EXPECT_EQ(test::readFile(path), lib::toCp1251("[порт]\r\nимя=\"COM1\"\r\n\r\n[время]\r\nвремя1=2\r\n"));
    const lib::IniFile ini(path);
    EXPECT_EQ(ini.readString("ПОРТ", "Имя", "x"), "COM1");
    EXPECT_EQ(ini.readInteger("Время", "ВРЕМЯ1", 0), 2);
    EXPECT_EQ(ini.readInteger("время", "нет", 7), 7);
}

TEST(IniFile, LaterOpensSeeWritesThatReachTheDiskTogetherAtTheLastClose)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    test::writeFile(path, "[a]\r\nk=old\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    {
        lib::IniFile first(path);
        for (int i = 0; i < 50; ++i)
            first.writeInteger("a", "n" + std::to_string(i), i);
        first.writeString("a", "k", "new");
        {
            const lib::IniFile second(dir.path() / "." / "s.ini");  // the same file by another name
            EXPECT_EQ(second.readString("a", "k", ""), "new");
            EXPECT_EQ(second.readInteger("a", "n49", -1), 49);
        }
        EXPECT_EQ(test::readFile(path), "[a]\r\nk=old\r\n");  // nothing written while open
    }
    EXPECT_EQ(lib::IniFile(path).readString("a", "k", ""), "new");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // replaced whole, not rewritten in place
}

TEST(IniFile, OpensFromSeveralThreadsLoseNoWrite)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&path, t] {
            for (int n = 1; n <= 50; ++n) {
                lib::IniFile ini(path);
                ini.writeInteger("threads", "t" + std::to_string(t), n);
            }
        });
    for (auto& thread : threads)
        thread.join();
    const lib::IniFile ini(path);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(ini.readInteger("threads", "t" + std::to_string(t), 0), 50);
}

TEST(IniFile, NothingIsWrittenWhenNothingChanged)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    { lib::IniFile ini(path); EXPECT_EQ(ini.readString("a", "b", "d"), "d"); }
    EXPECT_FALSE(std::filesystem::exists(path));
    test::writeFile(path, "[a]\r\nb=1\r\n");
    { lib::IniFile ini(path); ini.writeString("a", "b", "1"); }
    EXPECT_EQ(test::readFile(path), "[a]\r\nb=1\r\n");
}

TEST(IniFile, FailedWriteKeepsTheOldFileWhole)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    const std::string original = "[a]\r\nk=original\r\n";
    test::writeFile(path, original);

    // A child whose files may not grow past 100 bytes stands for a full disk.
    const int status = test::inLimitedChild(100, false, [&] {
        lib::IniFile ini(path);
        ini.writeString("a", "k", std::string(10000, 'x'));
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "the failed write must not end the process";
    EXPECT_EQ(test::readFile(path), original);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "s.ini") << "left behind: " << entry.path();
}

TEST(IniFile, ACopyLeftByASaveCutShortIsRemovedByTheNextSave)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    test::writeFile(path, "[a]\r\nk=1\r\n");

    // The child is killed in the middle of writing its copy, as by a crash.
    const int status = test::inLimitedChild(100, true, [&] {
        lib::IniFile ini(path);
        ini.writeString("a", "k", std::string(10000, 'x'));
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "the copy left behind";

    { lib::IniFile ini(path); ini.writeInteger("a", "k", 2); }
    EXPECT_EQ(test::readFile(path), "[a]\r\nk=2\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "s.ini") << "left behind: " << entry.path();
}

TEST(IniFile, ACopyThatAnotherWriterStillHoldsIsLeftAlone)
{
    const test::TemporaryDirectory dir;
    const auto path = dir / "s.ini";
    std::string otherName;
    const platform::FileDescriptor other = platform::createTemporaryFor(path, otherName);
    ASSERT_TRUE(other.valid());

    { lib::IniFile ini(path); ini.writeInteger("a", "k", 2); }
    EXPECT_EQ(test::readFile(path), "[a]\r\nk=2\r\n");
    EXPECT_TRUE(std::filesystem::exists(otherName));
}

TEST(IniFile, UnwritablePlacesLoseTheWritesSilently)
{
    const test::TemporaryDirectory dir;
    std::filesystem::create_directory(dir / "folder.ini");
    for (const auto& path : {dir / "missing" / "s.ini", dir / "folder.ini"}) {
        EXPECT_NO_THROW({
            lib::IniFile ini(path);
            EXPECT_EQ(ini.readInteger("a", "k", 5), 5);
            ini.writeInteger("a", "k", 1);
        }) << path;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
}

TEST(IniFile, WritingThroughALinkReplacesTheTarget)
{
    const test::TemporaryDirectory dir;
    test::writeFile(dir / "real.ini", "[a]\r\nk=1\r\n");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    { lib::IniFile ini(dir / "link.ini"); ini.writeInteger("a", "k", 2); }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(test::readFile(dir / "real.ini"), "[a]\r\nk=2\r\n");
}

} // namespace

#include "platform/Instancename.h"
#include "support/Testsupport.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <set>
#include <string>

namespace {

using platform::instanceLockPath;
using platform::instanceName;

class InstanceNameTest : public ::testing::Test {
protected:
    InstanceNameTest()
    {
        std::filesystem::create_directories(folder / "a" / "b");
        std::filesystem::create_directories(folder / "c");
        std::filesystem::create_directory_symlink(folder / "a", folder / "link");
    }

    test::TemporaryDirectory folder;
};

TEST_F(InstanceNameTest, CarriesTheUserAndAHashOfTheFolder)
{
    const std::regex shape("TNivraMainForm" + std::to_string(::getuid()) + "-[0-9a-f]{16}");
    EXPECT_TRUE(std::regex_match(instanceName(folder / "a"), shape)) << instanceName(folder / "a");
}

TEST_F(InstanceNameTest, EverySpellingOfAFolderGivesOneName)
{
    const std::string name = instanceName(folder / "a");
    const std::string root = folder.path().string();
    for (const std::string& spelling : {root + "/a/", root + "/a/../a", root + "/./a", root + "//a",
                                       root + "/a/b/..", root + "/link", root + "/link/"})
        EXPECT_EQ(instanceName(spelling), name) << spelling;
}

TEST_F(InstanceNameTest, ARelativeFolderIsTakenFromTheCurrentDirectory)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const std::string relative = instanceName("a");
    std::filesystem::current_path(previous);
    EXPECT_EQ(relative, instanceName(folder / "a"));
}

TEST_F(InstanceNameTest, DifferentFoldersGetDifferentNames)
{
    std::set<std::string> names;
    for (const char* name : {"a", "a/b", "c", "missing", "missing/deeper"})
        names.insert(instanceName(folder / name));
    names.insert(instanceName(folder.path()));
    EXPECT_EQ(names.size(), 6u);
}

// Sets or clears one environment variable for a test and puts it back afterwards.
class EnvironmentScope {
public:
    EnvironmentScope(const char* variable, const std::optional<std::string>& value) : variable_(variable)
    {
        if (const char* old = std::getenv(variable))
            previous_ = old;
        if (value)
            ::setenv(variable, value->c_str(), 1);
        else
            ::unsetenv(variable);
    }
    ~EnvironmentScope()
    {
        if (previous_)
            ::setenv(variable_, previous_->c_str(), 1);
        else
            ::unsetenv(variable_);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* variable_;
    std::optional<std::string> previous_;
};

TEST_F(InstanceNameTest, TheLockLivesInTheRuntimeDirectoryElseInTmp)
{
    const std::string runtime = (folder / "c").string();
    const struct {
        std::optional<std::string> runtimeDirectory;
        std::filesystem::path expectedFolder;
    } cases[] = {
        {runtime, runtime},
        {std::nullopt, "/tmp"},
        {"", "/tmp"},
        {"relative/run", "/tmp"},
        {runtime + "/missing", "/tmp"},
    };
    for (const auto& [runtimeDirectory, expectedFolder] : cases) {
        const EnvironmentScope scope("XDG_RUNTIME_DIR", runtimeDirectory);
        EXPECT_EQ(instanceLockPath(folder / "a"), expectedFolder / (instanceName(folder / "a") + ".lock"))
            << runtimeDirectory.value_or("<unset>");
    }
}

} // namespace

#include "app/Singleinstance.h"
#include "support/Testsupport.h"
#include "Waituntil.h"

#include <QProcess>

#include <gmock/gmock.h>

#include <algorithm>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The real launcher beside a fake NivraExe (Fakestation.cpp) in a folder of their own, started
// from another current directory.
class LauncherTest : public ::testing::Test {
protected:
    LauncherTest()
    {
        fs::create_directories(programs);
        fs::create_directories(elsewhere / "data");
        fs::copy_file(NIVRA_LAUNCHER_PATH, programs / "nivra");
        fs::copy_file(FAKE_STATION_PATH, programs / "NivraExe");
    }

    // Runs nivra to its end, the event loop going meanwhile.
    struct Run {
        int exitCode = -1;
        std::string errors;
    };
    Run runLauncher(const std::vector<std::string>& arguments)
    {
        QProcess launcher;
        launcher.setWorkingDirectory(QString::fromStdString(elsewhere.string()));
        QStringList list;
        for (const auto& argument : arguments)
            list << QString::fromStdString(argument);
        launcher.start(QString::fromStdString((programs / "nivra").string()), list);
        EXPECT_TRUE(test::waitUntil([&] { return launcher.state() == QProcess::NotRunning; }));
        return {launcher.exitStatus() == QProcess::NormalExit ? launcher.exitCode() : -1,
                launcher.readAllStandardError().toStdString()};
    }

    // What the fake station wrote: its working directory, then its arguments.
    std::vector<std::string> record() const
    {
        std::vector<std::string> lines;
        std::istringstream text(test::readFile(programs / "started"));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    // Whether a copy of the fake station is running now. The launcher returns only after the
    // program it starts has been executed, so a fake that was started is either still running or
    // has already written its record.
    bool fakeRunning() const
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc", error))
            if (fs::read_symlink(entry.path() / "exe", error) == programs / "NivraExe")
                return true;
        return false;
    }

    test::TemporaryDirectory scratch;
    // As the programs see them, symbolic links resolved.
    const fs::path programs = fs::canonical(scratch.path()) / "programs";
    const fs::path elsewhere = fs::canonical(scratch.path()) / "elsewhere";
};

TEST_F(LauncherTest, StartsTheStationFromItsOwnFolderWithItsArguments)
{
    const std::string data = (elsewhere / "data").string();
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> passedOn;
    } cases[] = {
        {{}, {}},
        {{"--dir", data}, {"--dir", data}},
        {{"--dir", data, "--demo"}, {"--dir", data, "--demo"}},
        // The folder the operator named from where the launcher was started.
        {{"--dir", "data", "--headless"}, {"--dir", data, "--headless"}},
    };
    for (const auto& [arguments, passedOn] : cases) {
        std::error_code error;
        fs::remove(programs / "started", error);
        const Run run = runLauncher(arguments);
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_TRUE(test::waitUntil([&] { return fs::exists(programs / "started"); }))
            << ::testing::PrintToString(arguments);
        std::vector<std::string> expected{programs.string()};
        expected.insert(expected.end(), passedOn.begin(), passedOn.end());
        EXPECT_EQ(record(), expected);
    }
}

TEST_F(LauncherTest, BringsTheRunningStationOfItsFolderToTheFrontInsteadOfStartingOne)
{
    const fs::path data = elsewhere / "data";
    const struct {
        fs::path stationFolder;
        std::vector<std::string> arguments;
    } cases[] = {
        {programs, {}},
        {data, {"--dir", data.string() + "/"}},
        {data, {"--dir", "data", "--demo"}},
    };
    for (const auto& [stationFolder, arguments] : cases) {
        SingleInstance station(stationFolder);
        ASSERT_TRUE(station.acquire());
        int raised = 0;
        QObject::connect(&station, &SingleInstance::raiseRequested, [&] { ++raised; });

        EXPECT_EQ(runLauncher(arguments).exitCode, 0);
        EXPECT_TRUE(test::waitUntil([&] { return raised == 1; })) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(fakeRunning());
        EXPECT_FALSE(fs::exists(programs / "started")) << ::testing::PrintToString(arguments);
    }
}

TEST_F(LauncherTest, AStationOfAnotherFolderDoesNotKeepItsOwnFromStarting)
{
    SingleInstance other(elsewhere / "data");
    ASSERT_TRUE(other.acquire());
    int raised = 0;
    QObject::connect(&other, &SingleInstance::raiseRequested, [&] { ++raised; });

    EXPECT_EQ(runLauncher({}).exitCode, 0);
    ASSERT_TRUE(test::waitUntil([&] { return fs::exists(programs / "started"); }));
    EXPECT_EQ(record(), std::vector<std::string>{programs.string()});
    EXPECT_EQ(raised, 0);
}

TEST_F(LauncherTest, AMissingStationIsOneLineOnStderrAndStillSuccess)
{
    fs::remove(programs / "NivraExe");
    const Run run = runLauncher({"--dir", (elsewhere / "data").string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.errors, ::testing::StartsWith("nivra: cannot start " + (programs / "NivraExe").string()));
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1);
}

} // namespace

// nivra-chromsim as a user starts it.
#include "Chromsimsupport.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

namespace {

using namespace chromsimtest;

using test::ChildProcess;

TEST(ChromsimProgram, ServesTheCyclesAskedForThenExits)
{
    ChildProcess simulator(CHROMSIM_PATH, {"--speed", "1000", "--length", "10", "--cycles", "2", "--seed", "5"});
    const auto path = simulator.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    for (int cycle = 1; cycle <= 2; ++cycle) {
        SCOPED_TRACE(cycle);
        // Each cycle on a freshly opened port, as the station does it.
        StationPort port(path);
        ASSERT_TRUE(port.opened());
        ASSERT_TRUE(port.sendProgramme());
        EXPECT_EQ(port.read(2), (Bytes{'O', 'K'}));
        const auto scan = scanStream(port.readToEnd());
        EXPECT_TRUE(scan.endMarker);
        EXPECT_EQ(scan.frames.size(), 4000u);
    }
    EXPECT_EQ(simulator.exitStatus(), 0);
    const auto log = simulator.errors();
    EXPECT_NE(log.find("cycle 2, programme 2 23 30 35 55 70 120 0"), std::string::npos) << log;
}

TEST(ChromsimProgram, StopSignalsEndItCleanlyEvenMidCycle)
{
    for (const int number : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(number));
        ChildProcess simulator(CHROMSIM_PATH, {});
        const auto path = simulator.firstLine();
        StationPort port(path);
        ASSERT_TRUE(port.opened()) << path;
        ASSERT_TRUE(port.sendProgramme());
        ASSERT_EQ(port.read(2 + 4 * 10).size(), 42u);
        simulator.signal(number);
        EXPECT_EQ(simulator.exitStatus(), 0);
    }
}

TEST(ChromsimProgram, StopSignalEndsItWhileWaitingForTheStation)
{
    ChildProcess simulator(CHROMSIM_PATH, {"--model", "1"});
    ASSERT_FALSE(simulator.firstLine().empty());
    simulator.signal(SIGTERM);
    EXPECT_EQ(simulator.exitStatus(), 0);
}

} // namespace

#include "reglisten/Reglistenoptions.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace {

using reglisten::ReglistenOptions;

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments)
        line += argument + ' ';
    return line;
}

TEST(ReglistenOptions, DefaultsAreTheRegistrationProgramsOwn)
{
    const auto parsed = ReglistenOptions::parse({});
    ASSERT_TRUE(std::holds_alternative<ReglistenOptions>(parsed));
    const auto& options = std::get<ReglistenOptions>(parsed);
    EXPECT_EQ(options.mailslot, "Registration\\FixedData");
    EXPECT_EQ(options.udpPort, 8001);
    EXPECT_EQ(options.totalGasPort(), 8001);
    EXPECT_FALSE(options.totalGas);
    EXPECT_FALSE(options.count);
    EXPECT_FALSE(options.seconds);
}

TEST(ReglistenOptions, ReadsEveryOption)
{
    struct Accepted {
        std::vector<std::string> arguments;
        void (*expect)(ReglistenOptions& defaults);  // what the arguments change
    };
    const std::vector<Accepted> cases{
        {{"--mailslot", "chromatograph"}, [](ReglistenOptions& o) { o.mailslot = "chromatograph"; }},
        {{"--udp-port", "0"}, [](ReglistenOptions& o) { o.udpPort = 0; }},
        {{"--udp-port=65535"}, [](ReglistenOptions& o) { o.udpPort = 65535; }},
        {{"--total-gas", "1.5"}, [](ReglistenOptions& o) { o.totalGas = 1.5; }},
        {{"--total-gas", "0,25", "--tcp-port", "9000", "--ramp", "-0,5"},
         [](ReglistenOptions& o) { o.totalGas = 0.25, o.tcpPort = 9000, o.ramp = -0.5; }},
        {{"--count", "3", "--seconds=2.5"}, [](ReglistenOptions& o) { o.count = 3, o.seconds = 2.5; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = ReglistenOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<ReglistenOptions>(parsed)) << std::get<std::string>(parsed);
        const auto& options = std::get<ReglistenOptions>(parsed);
        ReglistenOptions expected;
        c.expect(expected);
        EXPECT_EQ(options.mailslot, expected.mailslot);
        EXPECT_EQ(options.udpPort, expected.udpPort);
        EXPECT_EQ(options.totalGas, expected.totalGas);
        EXPECT_EQ(options.totalGasPort(), expected.totalGasPort());
        EXPECT_EQ(options.ramp, expected.ramp);
        EXPECT_EQ(options.count, expected.count);
        EXPECT_EQ(options.seconds, expected.seconds);
        EXPECT_FALSE(options.help);
    }
}

TEST(ReglistenOptions, RefusesWhatItCannotDo)
{
    struct Refused {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Refused> cases{
        {{"--mailslot"}, "--mailslot needs NAME"},
        {{"--mailslot="}, "--mailslot: needs a name"},
        {{"--udp-port", "65536"}, "--udp-port: needs a port from 0"},
        {{"--udp-port", "-1"}, "--udp-port"},
        {{"--total-gas", "1", "--tcp-port", "0"}, "--tcp-port: needs a port from 1"},
        {{"--total-gas", "lots"}, "--total-gas: needs a number"},
        {{"--total-gas", "inf"}, "--total-gas: needs a number"},
        {{"--total-gas", "1", "--ramp", "1x"}, "--ramp: needs a number"},
        {{"--tcp-port", "9000"}, "need --total-gas"},
        {{"--ramp", "1"}, "need --total-gas"},
        {{"--count", "0"}, "--count"},
        {{"--count", "two"}, "--count"},
        {{"--seconds", "0"}, "--seconds"},
        {{"--seconds", "-1"}, "--seconds"},
        {{"--help=1"}, "--help takes no value"},
        {{"--bogus"}, "unknown argument: --bogus"},
        {{"chromatograph"}, "unknown argument: chromatograph"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const auto parsed = ReglistenOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_NE(std::get<std::string>(parsed).find(c.says), std::string::npos) << std::get<std::string>(parsed);
    }
}

} // namespace

#include "chromsim/Simoptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

using chromsim::SimOptions;

TEST(ChromsimOptions, ReadsEveryOption)
{
    struct Accepted {
        std::vector<std::string> arguments;
        void (*expect)(SimOptions& defaults);  // what the arguments change
    };
    const std::vector<Accepted> cases{
        {{}, [](SimOptions&) {}},
        {{"--model", "1", "--summator"}, [](SimOptions& o) { o.model = 1, o.summator = true; }},
        {{"--speed", "10"}, [](SimOptions& o) { o.speed = 10; }},
        {{"--speed=2.5"}, [](SimOptions& o) { o.speed = 2.5; }},
        {{"--rate", "4", "--length", "30"}, [](SimOptions& o) { o.rate = 4, o.lengthSeconds = 30; }},
        {{"--seed", "42", "--cycles=3"}, [](SimOptions& o) { o.seed = 42, o.cycles = 3; }},
        {{"--fault", "noise", "--fault", "silent-after=12.5"},
         [](SimOptions& o) { o.faults.enable("noise"), o.faults.enable("silent-after=12.5"); }},
        {{"--fault=no-answer", "--fault", "no-end-marker"},
         [](SimOptions& o) { o.faults.enable("no-answer"), o.faults.enable("no-end-marker"); }},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& argument : c.arguments)
            line += argument + ' ';
        SCOPED_TRACE(line);
        const auto parsed = SimOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed)) << std::get<std::string>(parsed);
        const auto& options = std::get<SimOptions>(parsed);
        SimOptions expected;
        c.expect(expected);
        EXPECT_EQ(options.model, expected.model);
        EXPECT_EQ(options.summator, expected.summator);
        EXPECT_EQ(options.speed, expected.speed);
        EXPECT_EQ(options.rate, expected.rate);
        EXPECT_EQ(options.lengthSeconds, expected.lengthSeconds);
        EXPECT_EQ(options.seed, expected.seed);
        EXPECT_EQ(options.cycles, expected.cycles);
        EXPECT_EQ(options.faults.describe(), expected.faults.describe());
        EXPECT_EQ(options.faults.silentAfter(), expected.faults.silentAfter());
        EXPECT_FALSE(options.help);
    }
}

TEST(ChromsimOptions, FaultsReadBackAsTheyWereWritten)
{
    chromsim::Faults faults;
    EXPECT_FALSE(faults.any());
    for (const char* fault : {"bit7", "silent-after=30", "line-errors"})
        EXPECT_FALSE(faults.enable(fault)) << fault;
    EXPECT_EQ(faults.describe(), "silent-after=30 bit7 line-errors");
    EXPECT_EQ(faults.silentAfter(), 30.0);
    EXPECT_TRUE(faults.has(chromsim::Fault::bit7));
    EXPECT_FALSE(faults.has(chromsim::Fault::noise));
}

TEST(ChromsimOptions, RefusesWhatItCannotDo)
{
    struct Refused {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Refused> cases{
        {{"--model", "2"}, "--model"},
        {{"--summator"}, "--model 1"},
        {{"--speed", "0"}, "--speed"},
        {{"--speed", "fast"}, "--speed"},
        {{"--rate"}, "--rate needs N"},
        {{"--length", "-5"}, "--length"},
        {{"--cycles", "0"}, "--cycles"},
        {{"--seed", "-1"}, "--seed"},
        {{"--fault", "smoke"}, "unknown fault: smoke"},
        {{"--fault", "silent-after"}, "needs =SECONDS"},
        {{"--fault", "silent-after=soon"}, "seconds"},
        {{"--fault", "noise=3"}, "takes no value"},
        {{"--help=yes"}, "takes no value"},
        {{"--bogus"}, "unknown argument: --bogus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        const auto parsed = SimOptions::parse(c.arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_NE(std::get<std::string>(parsed).find(c.says), std::string::npos) << std::get<std::string>(parsed);
    }
}

TEST(ChromsimOptions, UsageNamesEveryOptionAndFault)
{
    const auto usage = SimOptions::usage();
    for (const char* name : {"--model", "--summator", "--speed", "--rate", "--length", "--seed", "--cycles", "--fault",
                             "--help", "no-answer", "other-answer", "silent-after=SECONDS", "short-frames", "noise",
                             "bit7", "line-errors", "no-end-marker"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

} // namespace

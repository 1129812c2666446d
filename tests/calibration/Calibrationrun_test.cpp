#include "analysis/Calibrationrun.h"

#include "analysis/Gazopts.h"
#include "library/Lockobject.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace std::chrono_literals;
using Phase = CalibrationRun::Phase;

// The work-cycle controller as the run sees it; the test ends cycles by hand.
struct FakeController {
    bool idle = true;
    std::int64_t completed = 0;
    std::vector<double> areas;
    std::optional<std::string> refusal;
    bool startThrows = false;
    bool startBeginsCycle = true;
    int starts = 0;

    CalibrationRun::Controller controller()
    {
        return {
            [this]() -> std::optional<std::string> {
                ++starts;
                if (startThrows)
                    throw std::runtime_error("порт закрыт");
                if (refusal)
                    return refusal;
                if (startBeginsCycle)
                    idle = false;
                return std::nullopt;
            },
            [this] { return idle; },
            [this] { return completed; },
            [this] { return areas; },
        };
    }

    void finishCycle(std::vector<double> measured)
    {
        areas = std::move(measured);
        ++completed;
        idle = true;
    }
};

class CalibrationRunTest : public ::testing::Test {
protected:
    CalibrationRun makeRun(std::int32_t repeats) { return CalibrationRun("1 / 10", repeats, fake.controller()); }

    // All but the last step of the start-up wait.
    static void waitAlmostAllStartUp(CalibrationRun& run)
    {
        for (int i = 1; i < CalibrationRun::startUpSteps; ++i)
            ASSERT_EQ(run.step(), CalibrationRun::startUpStep) << "step " << i;
    }

    static void expectFailed(CalibrationRun& run)
    {
        EXPECT_EQ(run.phase(), Phase::failed);
        EXPECT_FALSE(run.running());
        EXPECT_EQ(run.step(), std::nullopt);
        EXPECT_TRUE(run.means().empty());
        EXPECT_EQ(run.title(), "");
    }

    FakeController fake;
};

TEST_F(CalibrationRunTest, ThreeAttemptsAverageRobustly)
{
    CalibrationRun run = makeRun(3);
    EXPECT_EQ(run.phase(), Phase::waitingForPrompt);
    EXPECT_EQ(run.promptText(), "Введите газ с разбавлением \"1 / 10\" и нажмите кнопку \"OK\"");
    run.promptAnswered(true);

    const std::vector<std::vector<double>> measured{{10, 1, 7}, {11, 2, 7}, {20, 3, 7}};
    for (std::size_t j = 0; j < measured.size(); ++j) {
        EXPECT_EQ(fake.starts, static_cast<int>(j) + 1);
        EXPECT_EQ(run.phase(), Phase::startUpWait);
        EXPECT_EQ(run.title(), "Разбавление \"1 / 10\" попытка №" + std::to_string(j + 1) + "    ");
        waitAlmostAllStartUp(run);
        EXPECT_EQ(run.step(), CalibrationRun::cycleStep);
        EXPECT_EQ(run.phase(), Phase::cycleWait);
        EXPECT_EQ(run.step(), CalibrationRun::cycleStep);
        fake.finishCycle(measured[j]);
        const auto next = run.step();
        if (j + 1 < measured.size())
            EXPECT_EQ(next, CalibrationRun::startUpStep);
        else
            EXPECT_EQ(next, std::nullopt);
    }
    EXPECT_EQ(run.phase(), Phase::succeeded);
    EXPECT_EQ(fake.starts, 3);
    EXPECT_EQ(run.title(), "");
    const std::vector<double> means = run.means();
    ASSERT_EQ(means.size(), 3u);
    EXPECT_DOUBLE_EQ(means[0], 10.5);
    EXPECT_DOUBLE_EQ(means[1], 2.5);  // a tie: the smallest goes
    EXPECT_DOUBLE_EQ(means[2], 7);
}

TEST_F(CalibrationRunTest, ACycleShorterThanTheStartUpWaitStillCounts)
{
    CalibrationRun run = makeRun(1);
    run.promptAnswered(true);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(run.step(), CalibrationRun::startUpStep);
    fake.finishCycle({42});
    for (int i = 10; i < CalibrationRun::startUpSteps - 1; ++i)
        ASSERT_EQ(run.step(), CalibrationRun::startUpStep);  // the wait goes on to its end
    EXPECT_EQ(run.step(), std::nullopt);
    EXPECT_EQ(run.phase(), Phase::succeeded);
    EXPECT_EQ(run.means(), std::vector<double>{42});
}

TEST_F(CalibrationRunTest, RefusedPromptOrNoRepeatsEndWithoutAStart)
{
    CalibrationRun refused = makeRun(3);
    refused.promptAnswered(false);
    expectFailed(refused);

    CalibrationRun none = makeRun(0);
    EXPECT_EQ(none.phase(), Phase::failed);
    none.promptAnswered(true);
    expectFailed(none);
    EXPECT_EQ(fake.starts, 0);
}

TEST_F(CalibrationRunTest, ARefusedOrThrowingStartEndsTheRun)
{
    fake.refusal = "Хроматограф не готов";
    CalibrationRun refused = makeRun(3);
    refused.promptAnswered(true);
    expectFailed(refused);

    fake.refusal.reset();
    fake.startThrows = true;
    CalibrationRun thrown = makeRun(3);
    thrown.promptAnswered(true);
    expectFailed(thrown);
    EXPECT_EQ(fake.starts, 2);
}

TEST_F(CalibrationRunTest, AFailureInALaterAttemptDropsWhatWasMeasured)
{
    CalibrationRun run = makeRun(2);
    run.promptAnswered(true);
    waitAlmostAllStartUp(run);
    run.step();
    fake.refusal = "Хроматограф не готов";
    fake.finishCycle({10});
    EXPECT_EQ(run.step(), std::nullopt);
    EXPECT_EQ(fake.starts, 2);
    expectFailed(run);
}

TEST_F(CalibrationRunTest, ACycleThatDidNotStartEndsTheRunAfterTheStartUpWait)
{
    fake.startBeginsCycle = false;
    CalibrationRun run = makeRun(3);
    run.promptAnswered(true);
    waitAlmostAllStartUp(run);
    EXPECT_EQ(run.phase(), Phase::startUpWait);
    EXPECT_EQ(run.step(), std::nullopt);
    expectFailed(run);
}

TEST_F(CalibrationRunTest, CancelEndsTheRunAtTheNextStepAndLeavesTheCycleRunning)
{
    CalibrationRun duringStartUp = makeRun(3);
    duringStartUp.promptAnswered(true);
    for (int i = 0; i < 50; ++i)
        duringStartUp.step();
    duringStartUp.cancel();
    EXPECT_EQ(duringStartUp.step(), std::nullopt);
    expectFailed(duringStartUp);
    EXPECT_FALSE(fake.idle);  // the controller's cycle goes on

    fake.idle = true;
    CalibrationRun duringCycle = makeRun(3);
    duringCycle.promptAnswered(true);
    waitAlmostAllStartUp(duringCycle);
    duringCycle.step();
    ASSERT_EQ(duringCycle.phase(), Phase::cycleWait);
    duringCycle.cancel();
    fake.finishCycle({1});  // even a cycle ending now does not count
    EXPECT_EQ(duringCycle.step(), std::nullopt);
    expectFailed(duringCycle);
}

TEST_F(CalibrationRunTest, ALostCycleGivesNoAreas)
{
    CalibrationRun run = makeRun(3);
    run.promptAnswered(true);
    waitAlmostAllStartUp(run);
    run.step();
    ASSERT_EQ(run.phase(), Phase::cycleWait);
    fake.idle = true;  // broke off: idle without a completed cycle
    EXPECT_EQ(run.step(), std::nullopt);
    expectFailed(run);
}

TEST_F(CalibrationRunTest, ControllerFaultsWhileWaitingEndTheRun)
{
    CalibrationRun::Controller controller = fake.controller();
    controller.idle = []() -> bool { throw std::runtime_error("связь"); };
    CalibrationRun run("", 1, controller);
    run.promptAnswered(true);
    waitAlmostAllStartUp(run);
    EXPECT_EQ(run.step(), std::nullopt);
    expectFailed(run);
}

TEST(CalibrationRunAreas, TakenPerGasByNameFromTheAbsoluteResults)
{
    lib::lock_object bufferLock;
    const GazOptions gases(bufferLock);  // метан, этан, пропан, бутан, пентан, гексан
    const auto absolute = [&](std::size_t gas, double area) {
        return CalculatedGaz::absolute(gases.gas(gas), 1, area, 0);
    };
    // Completed out of table order, бутан missing, пропан twice, then the total and shares.
    const CalculatedGazes results{
        absolute(1, 20), absolute(0, 10), absolute(2, 30), absolute(2, 31), absolute(5, 60), absolute(4, 50),
        CalculatedGaz::total(5), CalculatedGaz::relative(gases.gas(3), 99),
    };
    EXPECT_EQ(CalibrationRun::gasAreas(results, gases), (std::vector<double>{10, 20, 30, 0, 50, 60}));
    EXPECT_EQ(CalibrationRun::gasAreas({}, gases), std::vector<double>(6, 0.0));
}

} // namespace

#include "settings/Configuration.h"
#include "station/Computersearch.h"
#include "station/Registrationcomputer.h"
#include "station/Thresholdoptions.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

constexpr auto generous = 30s;

// ---- the start threshold ----

TEST(ThresholdOptions, ShowsTheValueWithThreeDecimalsAndTheRegionalSeparator)
{
    const test::DecimalSeparatorScope separator{','};
    Configuration configuration;
    configuration.thresholdValue = 0.05;
    configuration.thresholdByTotalGas = true;
    const ThresholdOptions::Values shown = ThresholdOptions::read(configuration);
    EXPECT_EQ(shown.threshold, "0,050");
    EXPECT_TRUE(shown.fromRegistration);
}

TEST(ThresholdOptions, StoresTheTypedValueWithACommaOrAPoint)
{
    const test::DecimalSeparatorScope separator{','};
    const struct {
        const char* typed;
        double stored;
    } cases[] = {{"0,5", 0.5}, {"0.5", 0.5}, {" 1,25 ", 1.25}, {"12", 12.0}, {"", 0.0}, {"abc", 0.0}};
    for (const auto& c : cases) {
        Configuration configuration;
        ThresholdOptions::store(configuration, {true, c.typed});
        EXPECT_DOUBLE_EQ(configuration.thresholdValue, c.stored) << c.typed;
        EXPECT_TRUE(configuration.thresholdByTotalGas);
        ThresholdOptions::store(configuration, {false, c.typed});
        EXPECT_FALSE(configuration.thresholdByTotalGas);
    }
}

// ---- the registration computer's name and list ----

TEST(RegistrationComputer, ConfirmsOnlyANameThatIsNotBlank)
{
    const struct {
        const char* typed;
        bool confirmable;
        const char* stored;
    } cases[] = {{"", false, ""}, {"   ", false, ""}, {"\t", false, ""}, {"reg", true, "reg"},
                 {"  reg-pc ", true, "reg-pc"}, {"a b", true, "a b"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RegistrationComputer::canConfirm(c.typed), c.confirmable) << '"' << c.typed << '"';
        EXPECT_EQ(RegistrationComputer::storedName(c.typed), c.stored) << '"' << c.typed << '"';
    }
}

TEST(RegistrationComputer, EntriesAreTheNamesAfterABlank)
{
    EXPECT_EQ(RegistrationComputer::entry("reg-pc"), " reg-pc");
    EXPECT_EQ(RegistrationComputer::nameOf(" reg-pc"), "reg-pc");
    // Only the blank the list put there goes.
    EXPECT_EQ(RegistrationComputer::nameOf("  two"), " two");
    EXPECT_EQ(RegistrationComputer::nameOf(""), "");

    const Names names{"alpha", "beta", "localhost"};
    EXPECT_EQ(RegistrationComputer::entryOf(names, "beta"), 1u);
    EXPECT_EQ(RegistrationComputer::entryOf(names, "gamma"), std::nullopt);
    EXPECT_EQ(RegistrationComputer::entryOf({}, "beta"), std::nullopt);
}

TEST(RegistrationComputer, PlacesTheListAtThePointerInsideTheScreen)
{
    constexpr int w = 200;
    constexpr int h = 300;
    const lib::Box screen{0, 0, 1280, 1024};
    const lib::Box second{1280, -100, 1024, 768};
    const struct {
        const char* where;
        lib::Box screen;
        int x, y;
        lib::Box expected;
    } cases[] = {
        {"middle", screen, 640, 400, {540, 398, w, h}},
        {"left edge", screen, 30, 400, {0, 398, w, h}},
        {"right edge", screen, 1270, 400, {1080, 398, w, h}},
        {"top edge", screen, 640, 1, {540, 0, w, h}},
        {"just fits above the margin", screen, 640, 684, {540, 682, w, h}},
        {"near the bottom", screen, 640, 1000, {540, 1024 - 42 - h, w, h}},
        {"bottom right corner", screen, 1279, 1023, {1080, 1024 - 42 - h, w, h}},
        {"second screen", second, 1300, 600, {1280, 668 - 42 - h, w, h}},
        {"taller than the screen", lib::Box{0, 0, 640, 200}, 320, 100, {220, 0, w, h}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegistrationComputer::listPlace(c.x, c.y, w, h, c.screen), c.expected) << c.where;
}

// ---- the search off the window thread ----

// A source that waits until the test opens it, and tells when the search's thread has let go
// of it (the thread owns the only copy).
struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
    bool released = false;

    void set(bool Gate::*flag)
    {
        {
            const std::lock_guard guard(lock);
            this->*flag = true;
        }
        changed.notify_all();
    }
    bool waitFor(bool Gate::*flag)
    {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, generous, [&] { return this->*flag; });
    }
};

struct Release {
    std::shared_ptr<Gate> gate;
    ~Release() { gate->set(&Gate::released); }
};

ComputerSearch::Source gatedSource(const std::shared_ptr<Gate>& gate, Names names)
{
    auto release = std::make_shared<Release>(gate);
    return [gate, release, names] {
        gate->set(&Gate::entered);
        gate->waitFor(&Gate::open);
        return names;
    };
}

struct Deliveries {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Names> received;
    std::vector<std::thread::id> threads;

    ComputerSearch::Delivery delivery()
    {
        return [this](Names names) {
            {
                const std::lock_guard guard(lock);
                received.push_back(std::move(names));
                threads.push_back(std::this_thread::get_id());
            }
            changed.notify_all();
        };
    }
    bool waitForOne()
    {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, generous, [&] { return !received.empty(); });
    }
};

TEST(ComputerSearch, DeliversTheNamesOnceOnItsOwnThread)
{
    auto gate = std::make_shared<Gate>();
    Deliveries deliveries;
    ComputerSearch search(gatedSource(gate, {"alpha", "beta"}), deliveries.delivery());
    ASSERT_TRUE(gate->waitFor(&Gate::entered));
    gate->set(&Gate::open);
    ASSERT_TRUE(deliveries.waitForOne());
    ASSERT_TRUE(gate->waitFor(&Gate::released));
    const std::lock_guard guard(deliveries.lock);
    ASSERT_EQ(deliveries.received.size(), 1u);
    EXPECT_EQ(deliveries.received.front(), (Names{"alpha", "beta"}));
    EXPECT_NE(deliveries.threads.front(), std::this_thread::get_id());
}

TEST(ComputerSearch, AFailingSourceDeliversAnEmptyList)
{
    Deliveries deliveries;
    ComputerSearch search([]() -> Names { throw std::runtime_error("no network"); }, deliveries.delivery());
    ASSERT_TRUE(deliveries.waitForOne());
    const std::lock_guard guard(deliveries.lock);
    EXPECT_EQ(deliveries.received, std::vector<Names>{Names{}});
}

// The receiver goes away while the source still looks: it must neither wait for the source nor
// hear from it afterwards.
TEST(ComputerSearch, DestroyedBeforeTheResultNeitherWaitsNorDelivers)
{
    auto gate = std::make_shared<Gate>();
    Deliveries deliveries;
    auto search = std::make_unique<ComputerSearch>(gatedSource(gate, {"alpha"}), deliveries.delivery());
    ASSERT_TRUE(gate->waitFor(&Gate::entered));

    auto destroyed = std::async(std::launch::async, [&search] { search.reset(); });
    const bool returned = destroyed.wait_for(generous) == std::future_status::ready;
    gate->set(&Gate::open);
    EXPECT_TRUE(returned) << "the destruction waited for the source";
    destroyed.wait();

    ASSERT_TRUE(gate->waitFor(&Gate::released));
    const std::lock_guard guard(deliveries.lock);
    EXPECT_TRUE(deliveries.received.empty());
}

} // namespace

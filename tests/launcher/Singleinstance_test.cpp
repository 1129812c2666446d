#include "app/Singleinstance.h"
#include "platform/Instancename.h"
#include "support/Testsupport.h"
#include "Waituntil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest()
    {
        std::filesystem::create_directory(station);
        std::filesystem::create_directory(tryout);
    }

    // Counts the raise requests one station receives.
    static std::shared_ptr<int> countRaises(SingleInstance& instance)
    {
        auto count = std::make_shared<int>(0);
        QObject::connect(&instance, &SingleInstance::raiseRequested, [count] { ++*count; });
        return count;
    }

    static QString socketFile(const std::filesystem::path& folder)
    {
        return QDir(QDir::tempPath()).absoluteFilePath(QString::fromStdString(platform::instanceName(folder)));
    }

    test::TemporaryDirectory scratch;
    const std::filesystem::path station = scratch / "station";
    const std::filesystem::path tryout = scratch / "tryout";
};

// A start of the guard in a process of its own (Instanceprobe.cpp).
class Probe {
public:
    explicit Probe(const std::filesystem::path& folder, const QStringList& options = {})
    {
        process_.start(QStringLiteral(INSTANCE_PROBE_PATH), QStringList{QString::fromStdString(folder.string())} + options);
    }
    ~Probe()
    {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(20000))
            process_.kill();
        process_.waitForFinished();
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool ready() { return lines().startsWith("ready"); }
    void go() { process_.write("go\n"); }
    QStringList lines()
    {
        output_ += process_.readAllStandardOutput();
        return QString::fromUtf8(output_).split(u'\n', Qt::SkipEmptyParts);
    }
    // What it said after "ready".
    QStringList said()
    {
        QStringList all = lines();
        if (!all.isEmpty() && all.first() == "ready")
            all.removeFirst();
        return all;
    }
    bool finished() const { return process_.state() == QProcess::NotRunning; }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QByteArray output_;
};

TEST_F(SingleInstanceTest, TheFirstStartWinsAndEachLaterOneRaisesItOnce)
{
    SingleInstance first(station);
    ASSERT_TRUE(first.acquire());
    const auto raised = countRaises(first);
    for (int start = 1; start <= 2; ++start) {
        SingleInstance later(station);
        EXPECT_FALSE(later.acquire());
        EXPECT_TRUE(test::waitUntil([&] { return *raised >= start; })) << "start " << start;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(*raised, 2);
}

TEST_F(SingleInstanceTest, EachFolderHasAStationOfItsOwn)
{
    SingleInstance operatorStation(station);
    SingleInstance tryoutStation(tryout);
    ASSERT_TRUE(operatorStation.acquire());
    ASSERT_TRUE(tryoutStation.acquire());
    const auto operatorRaised = countRaises(operatorStation);
    const auto tryoutRaised = countRaises(tryoutStation);

    // The same folder spelled another way is the same station.
    SingleInstance again(station.string() + "/../station/");
    EXPECT_FALSE(again.acquire());
    EXPECT_TRUE(test::waitUntil([&] { return *operatorRaised == 1; }));
    EXPECT_EQ(*tryoutRaised, 0);
}

TEST_F(SingleInstanceTest, AStationThatClosedLeavesItsFolderFree)
{
    {
        SingleInstance closed(station);
        ASSERT_TRUE(closed.acquire());
    }
    SingleInstance next(station);
    EXPECT_TRUE(next.acquire());
}

TEST_F(SingleInstanceTest, TheSocketOfAKilledStationDoesNotBlockTheNextStart)
{
    {
        Probe killed(station);
        killed.go();
        ASSERT_TRUE(test::waitUntil([&] { return killed.said() == QStringList{"primary"}; }));
        killed.process().kill();
        ASSERT_TRUE(test::waitUntil([&] { return killed.finished(); }));
    }
    ASSERT_TRUE(QFileInfo::exists(socketFile(station))) << "a killed station leaves its socket behind";

    SingleInstance next(station);
    ASSERT_TRUE(next.acquire());
    const auto raised = countRaises(next);
    SingleInstance later(station);
    EXPECT_FALSE(later.acquire());
    EXPECT_TRUE(test::waitUntil([&] { return *raised == 1; }));
}

TEST_F(SingleInstanceTest, TheLockOfAStartThatDiedHoldingItDoesNotBlockTheNextStart)
{
    const auto lock = platform::instanceLockPath(station);
    {
        Probe crashed(station, {"--crash-holding-lock"});
        ASSERT_TRUE(test::waitUntil([&] { return crashed.finished(); }));
        ASSERT_EQ(crashed.lines(), QStringList{"locked"});
    }
    ASSERT_TRUE(std::filesystem::exists(lock));

    SingleInstance next(station);
    EXPECT_TRUE(next.acquire());
    // Taken over and let go: a lock that could not be had would still be there.
    EXPECT_FALSE(std::filesystem::exists(lock));
}

TEST_F(SingleInstanceTest, StartsAtTheSameMomentEndWithOneStation)
{
    constexpr int rounds = 3;
    constexpr int starts = 4;
    for (int round = 0; round < rounds; ++round) {
        const auto folder = scratch / ("round" + std::to_string(round));
        std::filesystem::create_directory(folder);
        std::vector<std::unique_ptr<Probe>> probes;
        for (int i = 0; i < starts; ++i)
            probes.push_back(std::make_unique<Probe>(folder));
        const auto all = [&](auto condition) {
            return test::waitUntil([&] { return std::all_of(probes.begin(), probes.end(), condition); });
        };
        ASSERT_TRUE(all([](const auto& probe) { return probe->ready(); })) << "round " << round;
        for (const auto& probe : probes)
            probe->go();
        ASSERT_TRUE(all([](const auto& probe) { return !probe->said().isEmpty(); })) << "round " << round;

        const auto primary = std::find_if(probes.begin(), probes.end(),
                                          [](const auto& probe) { return probe->said().first() == "primary"; });
        ASSERT_NE(primary, probes.end()) << "round " << round;
        for (const auto& probe : probes) {
            if (probe == *primary)
                continue;
            EXPECT_EQ(probe->said(), QStringList{"secondary"}) << "round " << round;
            EXPECT_TRUE(test::waitUntil([&] { return probe->finished(); }));
            EXPECT_EQ(probe->process().exitCode(), 0);
        }
        // Every other start brought this one to the front.
        const QStringList raisedOnce = QStringList{"primary"} + QStringList(starts - 1, "raised");
        EXPECT_TRUE(test::waitUntil([&] { return (*primary)->said() == raisedOnce; }))
            << "round " << round << ": " << (*primary)->said().join(' ').toStdString();
    }
}

} // namespace

// Crash consistency: the crash driver is killed at random moments, over and over on the same
// folder, and after every kill each file must load and hold at least what was announced.
//
// NIVRA_RELIABILITY_KILLS sets the number of kills (default 20), NIVRA_RELIABILITY_SEED repeats
// a run. Prints "RESULT kills_survived <n>" and "RESULT records_lost <n>".

#include "Crashworkload.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Summcurve.h"
#include "library/Lockobject.h"
#include "library/Numstr.h"
#include "platform/Atomicfile.h"
#include "platform/Filedescriptor.h"
#include "results/History.h"
#include "results/Log.h"
#include "results/Regparam.h"
#include "results/Resultsfile.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "support/Childprocess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int defaultKills = 20;
constexpr std::size_t recordSize = reg_file::File::recordSize;
constexpr std::string_view uniqueSuffix = ".XXXXXX";  // of a replacement's temporary copy

std::uint64_t numberFromEnvironment(const char* name, std::uint64_t fallback)
{
    const char* text = std::getenv(name);
    std::uint64_t value = 0;
    if (text == nullptr || std::from_chars(text, text + std::string_view(text).size(), value).ec != std::errc())
        return fallback;
    return value;
}

std::optional<std::uint32_t> numberIn(std::string_view text)
{
    std::uint32_t value = 0;
    const auto end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return std::nullopt;
    return value;
}

// Everything the driver announced, over all its runs on the folder.
struct Promises {
    std::vector<std::uint32_t> records;
    // Each run may store one record more than it announced before it was killed.
    std::size_t unannouncedRecords = 0;
    std::size_t trendPoints = 0;
    std::vector<std::uint32_t> history;
    std::optional<std::uint32_t> settingsSaved;
    std::vector<std::uint32_t> settingsPending;  // begun after the last one saved
    std::vector<std::uint32_t> journal;
    std::vector<std::string> unreadable;

    // Only whole lines: the driver flushes each one, so a part of a line is never announced.
    void take(const std::string& output)
    {
        const std::size_t before = records.size();
        std::istringstream lines(output.substr(0, output.rfind('\n') + 1));
        std::string line;
        while (std::getline(lines, line))
            takeLine(line);
        unannouncedRecords = records.size() > before ? 1 : unannouncedRecords + 1;
    }

    void takeLine(std::string_view line)
    {
        using Take = void (*)(Promises&, std::uint32_t);
        static const std::map<std::string_view, Take> takes{
            {"", [](Promises& p, std::uint32_t seq) { p.records.push_back(seq); }},
            {crashload::trendWord,
             [](Promises& p, std::uint32_t points) { p.trendPoints = std::max<std::size_t>(p.trendPoints, points); }},
            {crashload::historyWord, [](Promises& p, std::uint32_t seq) { p.history.push_back(seq); }},
            {crashload::settingsNextWord, [](Promises& p, std::uint32_t seq) { p.settingsPending.push_back(seq); }},
            {crashload::settingsWord,
             [](Promises& p, std::uint32_t seq) {
                 p.settingsSaved = seq;
                 p.settingsPending.clear();
             }},
            {crashload::journalWord, [](Promises& p, std::uint32_t seq) { p.journal.push_back(seq); }},
        };
        const auto blank = line.find(' ');
        const std::string_view word = blank == std::string_view::npos ? std::string_view() : line.substr(0, blank);
        const auto number = numberIn(blank == std::string_view::npos ? line : line.substr(blank + 1));
        const auto take = takes.find(word);
        if (!number || take == takes.end())
            unreadable.emplace_back(line);
        else
            take->second(*this, *number);
    }
};

// The problems found in one look at the folder.
class Findings {
public:
    void add(const std::string& problem) { problems_ << "\n  " << problem; }
    std::string text() const { return problems_.str(); }

private:
    std::ostringstream problems_;
};

std::string numbers(const std::vector<std::uint32_t>& values)
{
    std::string text;
    for (const auto value : values)
        text += std::to_string(value) + " ";
    return text;
}

bool increasing(const std::vector<std::uint32_t>& values)
{
    return std::adjacent_find(values.begin(), values.end(), std::greater_equal<>()) == values.end();
}

// What a store holds against what was announced for it: every announced entry at least as new
// as the oldest one kept must be there.
void checkKeptEntries(const char* store, const std::vector<std::uint32_t>& kept,
                      const std::vector<std::uint32_t>& announced, std::size_t capacity, Findings& findings)
{
    if (!announced.empty() && kept.empty()) {
        findings.add(std::string(store) + ": empty although " + std::to_string(announced.size()) + " saves were announced");
        return;
    }
    if (announced.empty())
        return;
    const std::uint32_t oldestKept = kept.size() < capacity ? 0 : kept.front();
    for (const auto seq : announced)
        if (seq >= oldestKept && !std::binary_search(kept.begin(), kept.end(), seq))
            findings.add(std::string(store) + ": announced entry " + std::to_string(seq) + " is missing; holds "
                         + numbers(kept));
}

class CrashConsistencyTest : public testing::Test {
protected:
    fs::path file(const char* name) const { return folder.path() / name; }

    // data.tim: whole records only, record i of depth i, every announced one there.
    void checkRecords(Findings& findings)
    {
        results::ResultsFile results;
        if (!results.open(file(crashload::resultsFileName))) {
            findings.add("data.tim does not open");
            return;
        }
        const auto size = fs::file_size(file(crashload::resultsFileName));
        if (results.recordCount() != size / recordSize)
            findings.add("data.tim: " + std::to_string(size) + " bytes counted as " + std::to_string(results.recordCount())
                         + " records");
        for (std::size_t i = 0; i < results.recordCount(); ++i)
            if (results.record(i).depth != static_cast<float>(i)) {
                findings.add("data.tim: record " + std::to_string(i) + " has depth "
                             + std::to_string(results.record(i).depth));
                break;
            }
        for (const auto seq : promises.records)
            if (seq >= results.recordCount() || results.record(seq).depth != static_cast<float>(seq))
                lost.insert(seq);
        const std::size_t announced = promises.records.empty() ? 0 : promises.records.back() + 1;
        if (results.recordCount() > announced + promises.unannouncedRecords)
            findings.add("data.tim: " + std::to_string(results.recordCount()) + " records, only " + std::to_string(announced)
                         + " announced");
        if (!lost.empty())
            findings.add("data.tim: announced records missing, the first " + std::to_string(*lost.begin()));
    }

    // Written after the first record: it may be missing only while nothing was announced.
    void checkChannelList(Findings& findings)
    {
        const auto list = reg_file::readChannelList(file(TextGrid::channelListName));
        reg_file::Params expected;
        for (const auto& result : results)
            expected.push_back(reg_file::Param::percent(result.name, result.key));
        if (list != expected && !(list.empty() && promises.records.empty()))
            findings.add("inpgti.nbl holds " + std::to_string(list.size()) + " descriptors, not the analysis's");
    }

    void checkTrend(Findings& findings)
    {
        TSummCurve trend;
        trend.load(file("gsumm.dat"));
        if (trend.size() < promises.trendPoints || (fs::exists(file("gsumm.dat")) && trend.size() == 0))
            findings.add("gsumm.dat: " + std::to_string(trend.size()) + " points, " + std::to_string(promises.trendPoints)
                         + " announced");
        for (std::size_t i = 0; i < trend.size(); ++i) {
            const auto& point = trend.points()[i];
            if (point.value != static_cast<float>(i) || point.time != crashload::trendTime(i)) {
                findings.add("gsumm.dat: point " + std::to_string(i) + " is not the one written");
                break;
            }
        }
    }

    void checkHistory(Findings& findings)
    {
        History history(configuration, gases, results);
        history.load(file(History::fileName));
        const auto copy = live.makeArchiveCopy(configuration.samplesPerSecond, gases, &results);
        std::vector<std::uint32_t> depths;  // oldest first
        for (std::size_t i = history.entryCount(); i-- > 0;) {
            const MyGraphics& entry = history.entry(i);
            const std::string& title = entry.title();
            const auto depth = lib::parseReal(title.substr(std::min(title.find(", ") + 2, title.size())));
            depths.push_back(static_cast<std::uint32_t>(depth));
            if (entry.samples() != copy->samples() || !entry.archived())
                findings.add("nivra2.history: entry " + std::to_string(i) + " is not the curve that was added");
        }
        if (!increasing(depths))
            findings.add("nivra2.history: entries out of order: " + numbers(depths));
        else
            checkKeptEntries("nivra2.history", depths, promises.history, History::maxEntries, findings);
    }

    // The whole file is the text of the last announced save or of one begun after it.
    void checkSettings(Findings& findings)
    {
        const auto bytes = platform::readWholeFile(file(Configuration::iniFileName));
        std::vector<std::uint32_t> candidates = promises.settingsPending;
        if (promises.settingsSaved)
            candidates.push_back(*promises.settingsSaved);
        const auto match = std::find_if(candidates.begin(), candidates.end(),
                                        [&](std::uint32_t seq) { return bytes == settingsText(seq); });
        if (bytes ? match == candidates.end() : promises.settingsSaved.has_value()) {
            findings.add("хроматограф.ini is neither the saved text nor the one being saved; candidates "
                         + numbers(candidates));
            return;
        }
        Configuration loaded;
        loaded.loadProgramSettings(folder.path());
        if (bytes && loaded.well != crashload::wellName(*match))
            findings.add("хроматограф.ini reads back the well \"" + loaded.well + "\"");
    }

    static std::string settingsText(std::uint32_t seq)
    {
        Configuration saved;
        saved.well = crashload::wellName(seq);
        auto ini = lib::IniFile::inMemory();
        saved.saveTo(ini);
        return ini.text();
    }

    // The number of a stamped line "[…]     запись <n>".
    static std::optional<std::uint32_t> journalEntry(const std::string& line)
    {
        const std::string text = "]     " + std::string(crashload::journalPrefix);
        const auto at = line.find(text);
        if (line.empty() || line.front() != '[' || at == std::string::npos)
            return std::nullopt;
        return numberIn(std::string_view(line).substr(at + text.size()));
    }

    void checkJournal(Findings& findings)
    {
        Log journal;
        journal.open(file(crashload::journalFileName));
        if (journal.lines().size() > Log::keptLines + 1)
            findings.add("события.txt: " + std::to_string(journal.lines().size()) + " lines");
        std::vector<std::uint32_t> entries;
        for (const auto& line : journal.lines()) {
            const auto seq = journalEntry(line);
            if (!seq) {
                findings.add("события.txt: foreign line \"" + line + "\"");
                return;
            }
            entries.push_back(seq.value_or(0));
        }
        if (!increasing(entries))
            findings.add("события.txt: entries out of order: " + numbers(entries));
        else
            checkKeptEntries("события.txt", entries, promises.journal, Log::keptLines + 1, findings);
    }

    // Copies left behind by replacements that were cut short: the next replacement of the same
    // file removes them, so they never pile up.
    void checkTemporaryFiles(Findings& findings)
    {
        std::map<std::string, std::size_t> copies;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.front() == '.')
                ++copies[name.substr(0, name.size() - std::min(name.size(), uniqueSuffix.size()))];
        }
        std::size_t total = 0;
        for (const auto& [target, count] : copies) {
            total += count;
            if (count > 1)
                findings.add(std::to_string(count) + " copies of " + target + " left behind");
        }
        mostTemporaryFiles = std::max(mostTemporaryFiles, total);
    }

    Findings lookAtTheFolder()
    {
        Findings findings;
        if (!promises.unreadable.empty())
            findings.add("the driver printed \"" + promises.unreadable.front() + "\"");
        if (!increasing(promises.records))
            findings.add("the driver announced records out of order: " + numbers(promises.records));
        checkRecords(findings);
        checkChannelList(findings);
        checkTrend(findings);
        checkHistory(findings);
        checkSettings(findings);
        checkJournal(findings);
        checkTemporaryFiles(findings);
        return findings;
    }

    // One run of the driver, killed after delayMs; what was wrong afterwards, or nothing.
    std::string killAndLook(int delayMs)
    {
        return killAndLook([delayMs] { std::this_thread::sleep_for(std::chrono::milliseconds(delayMs)); });
    }

    // One run killed only once the driver has added two records to the results file, so the
    // first is announced: on a slow machine (a sanitizer build, a busy CI) every random delay
    // may end before the driver's first record.
    std::string killAfterARecord()
    {
        const fs::path results = file(crashload::resultsFileName);
        std::error_code error;
        const std::uintmax_t before = fs::exists(results, error) ? fs::file_size(results, error) : 0;
        return killAndLook([&] {
            const auto deadline = std::chrono::steady_clock::now() + 60s;
            while (std::chrono::steady_clock::now() < deadline) {
                std::error_code sizeError;
                const std::uintmax_t now = fs::file_size(results, sizeError);
                if (!sizeError && now >= before + 2 * recordSize)
                    return;
                std::this_thread::sleep_for(5ms);
            }
        });
    }

    std::string killAndLook(const std::function<void()>& waitBeforeKill)
    {
        test::ChildProcess driver(CRASHDRIVER_PATH, {folder.path().string()});
        waitBeforeKill();
        driver.signal(SIGKILL);
        const auto status = driver.exitStatus(10s);
        if (status != 128 + SIGKILL)
            return "the driver ended by itself (" + std::to_string(status.value_or(-1)) + "): " + driver.errors();
        if (!driver.errors().empty())
            return "the driver complained: " + driver.errors();
        promises.take(driver.output());
        return lookAtTheFolder().text();
    }

    // A power cut in the middle of a write leaves part of a record after the last whole one;
    // there is never more than one such part.
    void tearTheResultsFile(std::mt19937_64& random)
    {
        if (fs::file_size(file(crashload::resultsFileName)) % recordSize != 0)
            return;
        const std::string tail(std::uniform_int_distribution<std::size_t>(1, recordSize - 1)(random), '\xA5');
        const platform::FileDescriptor fd(::open(file(crashload::resultsFileName).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
        ASSERT_TRUE(fd.valid());
        ASSERT_EQ(::write(fd.get(), tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    }

    test::DecimalSeparatorScope separator{crashload::decimalSeparator};
    test::TemporaryDirectory folder;
    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results = crashload::results(gases);
    MyGraphics live;
    Promises promises;
    std::set<std::uint32_t> lost;
    std::size_t mostTemporaryFiles = 0;
};

TEST_F(CrashConsistencyTest, EveryAnnouncedWriteSurvivesRandomKills)
{
    const auto kills = static_cast<int>(numberFromEnvironment("NIVRA_RELIABILITY_KILLS", defaultKills));
    const std::uint64_t seed = numberFromEnvironment("NIVRA_RELIABILITY_SEED", std::random_device()());
    SCOPED_TRACE("repeat with NIVRA_RELIABILITY_SEED=" + std::to_string(seed));
    std::cout << "crash test seed " << seed << std::endl;
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> delay(1, 200);
    std::bernoulli_distribution tear(0.25);
    live.setSamples(crashload::liveSamples());

    int survived = 0;
    std::string failure;
    for (int kill = 1; kill <= kills; ++kill) {
        failure = killAndLook(delay(random));
        if (!failure.empty()) {
            failure = "after kill " + std::to_string(kill) + ": " + failure;
            break;
        }
        ++survived;
        if (tear(random))
            tearTheResultsFile(random);
    }
    if (failure.empty() && promises.records.empty()) {
        failure = killAfterARecord();
        if (!failure.empty())
            failure = "after the kill that waited for a record: " + failure;
    }

    std::cout << "RESULT kills_survived " << survived << "\nRESULT records_lost " << lost.size()
              << "\nRESULT records_announced " << promises.records.size() << "\nRESULT most_temporary_files "
              << mostTemporaryFiles << std::endl;
    EXPECT_EQ(failure, "");
    EXPECT_EQ(survived, kills);
    EXPECT_EQ(lost.size(), 0U);
    EXPECT_GT(promises.records.size(), 0U) << "the driver never stored a record";
}

} // namespace

// A station that never stops writing its files, for the crash test: it kills this program at
// random moments and checks what the disk holds against what was announced on stdout.
//
// Usage: nivra-crashdriver FOLDER

#include "Crashworkload.h"

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Summcurve.h"
#include "library/Decimalseparator.h"
#include "library/Lockobject.h"
#include "results/History.h"
#include "results/Log.h"
#include "results/Resultsfile.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace {

class CrashDriver {
public:
    explicit CrashDriver(std::filesystem::path folder);

    [[noreturn]] void run();

private:
    static std::uint32_t nextSequence(const std::filesystem::path& resultsPath);
    static void announce(std::string_view word, std::size_t number);
    static void complain(const char* what, std::uint32_t seq);

    void saveTrend(std::uint32_t seq);
    void saveHistory(std::uint32_t seq);
    void saveSettings(std::uint32_t seq);
    void saveJournal(std::uint32_t seq);

    std::filesystem::path folder_;
    Configuration configuration_;
    // The history titles its entries with the depth of its settings; kept apart from the saved
    // settings, whose text then depends on the well alone.
    Configuration historySettings_;
    lib::lock_object bufferLock_;
    GazOptions gases_{bufferLock_};
    CalculatedGazes results_ = crashload::results(gases_);
    History history_{historySettings_, gases_, results_};
    MyGraphics live_;
    TSummCurve trend_;
    Log journal_;
    TextGrid table_;
    std::uint32_t seq_ = 0;
};

CrashDriver::CrashDriver(std::filesystem::path folder) : folder_(std::move(folder))
{
    lib::setDecimalSeparator(crashload::decimalSeparator);
    const auto resultsPath = folder_ / crashload::resultsFileName;
    seq_ = nextSequence(resultsPath);
    configuration_.loadProgramSettings(folder_);
    history_.load(folder_ / History::fileName);
    trend_.load(folder_ / "gsumm.dat");
    journal_.open(folder_ / crashload::journalFileName);
    live_.setSamples(crashload::liveSamples());
    if (!table_.open(resultsPath))
        complain("cannot open the results file", seq_);
}

// Goes on after the records that survived: the depth of the last one is its number.
std::uint32_t CrashDriver::nextSequence(const std::filesystem::path& resultsPath)
{
    results::ResultsFile file;
    if (!file.open(resultsPath) || file.recordCount() == 0)
        return 0;
    return static_cast<std::uint32_t>(file.record(file.recordCount() - 1).depth) + 1;
}

void CrashDriver::announce(std::string_view word, std::size_t number)
{
    if (word.empty())
        std::printf("%zu\n", number);
    else
        std::printf("%.*s %zu\n", static_cast<int>(word.size()), word.data(), number);
    std::fflush(stdout);
}

void CrashDriver::complain(const char* what, std::uint32_t seq)
{
    std::fprintf(stderr, "%s (at %u)\n", what, seq);
    std::fflush(stderr);
}

void CrashDriver::run()
{
    using namespace std::chrono_literals;
    for (;;) {
        if (!table_.appendResults(results_, seq_)) {
            complain("append failed", seq_);
            std::this_thread::sleep_for(10ms);
            continue;
        }
        announce({}, seq_);
        if (crashload::savesTrend(seq_))
            saveTrend(seq_);
        if (crashload::savesSettings(seq_))
            saveSettings(seq_);
        if (crashload::savesHistory(seq_))
            saveHistory(seq_);
        if (crashload::savesJournal(seq_))
            saveJournal(seq_);
        ++seq_;
    }
}

void CrashDriver::saveTrend(std::uint32_t seq)
{
    for (std::size_t i = 0; i < crashload::trendPointsPerSave; ++i) {
        const std::size_t index = trend_.size();
        trend_.append(crashload::trendTime(index), static_cast<float>(seq), static_cast<float>(index));
    }
    if (trend_.save(folder_ / "gsumm.dat"))
        announce(crashload::trendWord, trend_.size());
    else
        complain("trend not saved", seq);
}

void CrashDriver::saveHistory(std::uint32_t seq)
{
    historySettings_.currentDepth = seq;
    history_.add(live_);
    if (history_.save(folder_ / History::fileName))
        announce(crashload::historyWord, seq);
    else
        complain("history not saved", seq);
}

// Saving the settings reports nothing, so the test is told beforehand what may be on the disk.
void CrashDriver::saveSettings(std::uint32_t seq)
{
    announce(crashload::settingsNextWord, seq);
    configuration_.well = crashload::wellName(seq);
    configuration_.saveProgramSettings();
    announce(crashload::settingsWord, seq);
}

void CrashDriver::saveJournal(std::uint32_t seq)
{
    journal_.add(crashload::journalText(seq));
    journal_.save();
    announce(crashload::journalWord, seq);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: nivra-crashdriver FOLDER\n");
        return 2;
    }
    CrashDriver driver(argv[1]);
    driver.run();
}

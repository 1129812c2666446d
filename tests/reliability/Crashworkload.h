#pragma once

#include "analysis/Calculatedgaz.h"
#include "analysis/Gazopts.h"
#include "device/Curvepoint.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the crash driver writes and announces, shared with the test that kills it.
//
// Every record of "data.tim" carries its sequence number as the depth, the first one 0. After a
// record is stored the driver prints the number alone on a line; the other stores follow the
// record on a fixed schedule and are announced with a word in front:
//   trend <points>          "gsumm.dat" saved holding that many points, point i of value i
//   history <seq>           "nivra2.history" saved, its newest entry at depth seq
//   settings-next <seq>     about to save the settings with the well of seq
//   settings <seq>          the settings of seq saved
//   journal <seq>           "события.txt" saved, its last line the entry of seq
// Each line is flushed at once; all but settings-next tell of writes that had already reached
// the disk.
namespace crashload {

inline constexpr char decimalSeparator = ',';
inline constexpr std::size_t trendPointsPerSave = 10;
inline constexpr double trendStartTime = 40000.0;  // days since 30.12.1899
inline constexpr const char* resultsFileName = "data.tim";
inline constexpr const char* journalFileName = "события.txt";

inline constexpr std::string_view trendWord = "trend";
inline constexpr std::string_view historyWord = "history";
inline constexpr std::string_view settingsNextWord = "settings-next";
inline constexpr std::string_view settingsWord = "settings";
inline constexpr std::string_view journalWord = "journal";

inline bool savesTrend(std::uint32_t seq) { return seq % 3 == 0; }
inline bool savesSettings(std::uint32_t seq) { return seq % 4 == 1; }
inline bool savesHistory(std::uint32_t seq) { return seq % 5 == 2; }
inline bool savesJournal(std::uint32_t seq) { return seq % 7 == 3; }

inline std::string wellName(std::uint32_t seq) { return "скв-" + std::to_string(seq); }
inline constexpr std::string_view journalPrefix = "запись ";
inline std::string journalText(std::uint32_t seq) { return std::string(journalPrefix) + std::to_string(seq); }

// Point i of the trend: one a second, its value i.
inline double trendTime(std::size_t index) { return trendStartTime + static_cast<double>(index) / 86400.0; }

// The same result list for every analysis, so the channel list is written once.
inline CalculatedGazes results(const GazOptions& gases)
{
    CalculatedGazes list;
    for (std::size_t i = 0; i < 3 && i < gases.Gazes.size(); ++i)
        list.push_back(CalculatedGaz::absolute(gases.gas(i), 0.5 * static_cast<double>(i + 1), 10.0, 2.0));
    return list;
}

// A short live curve, so a history of 24 entries stays small.
inline CurvePoints liveSamples()
{
    CurvePoints samples(40);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i].value = static_cast<double>(i % 7);
        samples[i].second = static_cast<std::int32_t>(i / 8);
    }
    return samples;
}

} // namespace crashload

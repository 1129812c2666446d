#include "platform/Alsabeeper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::AlsaBeeper;

template <typename Condition>
bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return condition();
}

TEST(AlsaBeeper, ToneSamplesHaveTheirLengthPitchAndSoftEdges)
{
    const auto tone = AlsaBeeper::toneSamples(1000, 20);
    ASSERT_EQ(tone.size(), 882u);  // 20 ms at 44 100 Hz
    EXPECT_EQ(tone.front(), 0);
    EXPECT_LE(std::abs(tone.back()), 200) << "faded out";
    // 1000 Hz: 20 periods, so 40 changes of sign (give or take the edges).
    int crossings = 0;
    for (std::size_t i = 1; i < tone.size(); ++i)
        crossings += (tone[i - 1] < 0) != (tone[i] < 0);
    EXPECT_NEAR(crossings, 40, 2);
    const auto loudest = *std::max_element(tone.begin(), tone.end());
    EXPECT_GT(loudest, 8000);
    EXPECT_LT(loudest, 12000) << "not at full scale";

    const auto pause = AlsaBeeper::toneSamples(0, 20);
    EXPECT_EQ(pause.size(), 882u);
    EXPECT_TRUE(std::all_of(pause.begin(), pause.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_TRUE(AlsaBeeper::toneSamples(1000, 0).empty());
}

TEST(AlsaBeeper, PlaysIntoADeviceOnItsOwnThread)
{
    // ALSA's null device takes samples like a sound card and plays them nowhere.
    AlsaBeeper beeper("null");
    for (const int frequency : {600, 0, 800})
        EXPECT_TRUE(beeper.play(frequency, 30));
    EXPECT_TRUE(eventually([&] { return beeper.played() == 3 || beeper.silent(); }));
    EXPECT_FALSE(beeper.silent());
    EXPECT_EQ(beeper.played(), 3u);
}

TEST(AlsaBeeper, WithoutADeviceEveryToneIsSilenceAndNothingWaits)
{
    AlsaBeeper beeper("nivra-no-such-sound-device");
    const auto start = std::chrono::steady_clock::now();
    std::size_t accepted = 0;
    for (int i = 0; i < 1000; ++i)
        accepted += beeper.play(1000, 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "a thousand seconds of tones were not waited for";
    EXPECT_GE(accepted, AlsaBeeper::maxQueuedTones) << "the queue takes tones";
    EXPECT_TRUE(eventually([&] { return beeper.silent(); }));
    EXPECT_EQ(beeper.played(), 0u);
}

} // namespace

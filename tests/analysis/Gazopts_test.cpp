#include "analysis/Gazopts.h"

#include "library/Codepage.h"
#include "library/Locker.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

struct ExpectedGaz {
    const char* name;
    const char* label;
    float start;
    float end;
    std::uint32_t colour;
};

// The table a new station starts with.
constexpr ExpectedGaz defaultGases[] = {
    {"метан", "C1", 10, 15, 0x0000FF},  {"этан", "C2", 17, 20, 0xFF0000},
    {"пропан", "C3", 34, 40, 0x008000}, {"бутан", "C4", 48, 54, 0x00FFFF},
    {"пентан", "C5", 60, 65, 0xFF00FF}, {"гексан", "C6", 70, 75, 0x000000},
};

// The default table as the list stores it; colours in decimal, red in the low byte.
const std::string defaultSection = lib::toCp1251(
    "[газ]\r\n"
    "size=6\r\n"
    "item1=\"метан C1 10 15 255 0 100\"\r\n"
    "item2=\"этан C2 17 20 16711680 0 100\"\r\n"
    "item3=\"пропан C3 34 40 32768 0 100\"\r\n"
    "item4=\"бутан C4 48 54 65535 0 100\"\r\n"
    "item5=\"пентан C5 60 65 16711935 0 100\"\r\n"
    "item6=\"гексан C6 70 75 0 0 100\"\r\n");

void expectDefaultTable(const GazOptions& table, const std::string& what)
{
    ASSERT_EQ(table.count(), 6) << what;
    for (std::size_t i = 0; i < std::size(defaultGases); ++i) {
        const Gaz& gaz = table.gas(i);
        const ExpectedGaz& expected = defaultGases[i];
        EXPECT_EQ(gaz.name, expected.name) << what;
        EXPECT_EQ(gaz.label, expected.label) << what;
        EXPECT_EQ(gaz.nominalStart, expected.start) << what;
        EXPECT_EQ(gaz.nominalEnd, expected.end) << what;
        EXPECT_EQ(gaz.integrationStart, expected.start) << what;
        EXPECT_EQ(gaz.integrationEnd, expected.end) << what;
        EXPECT_EQ(gaz.colour, expected.colour) << what;
        EXPECT_EQ(gaz.rangeLow, 0) << what;
        EXPECT_EQ(gaz.rangeHigh, 100) << what;
    }
}

// A table with counters on both notifications.
struct Watched {
    lib::lock_object bufferLock;
    GazOptions table{bufferLock};
    int listChanges = 0;
    int timeChanges = 0;
    Watched()
    {
        table.gazListChanged.connect([this] { ++listChanges; });
        table.gazTimesChanged.connect([this] { ++timeChanges; });
    }
};

TEST(GazOptions, ANewTableHoldsTheSixDefaultGases)
{
    lib::lock_object bufferLock;
    const GazOptions table(bufferLock);
    expectDefaultTable(table, "new table");
}

TEST(GazOptions, DefaultTableIsStoredAsSevenQuotedTokensPerGas)
{
    Watched saved;
    auto ini = lib::IniFile::inMemory();
    saved.table.saveList(ini);
    EXPECT_EQ(ini.text(), defaultSection);

    Watched loaded;
    loaded.table.Gazes.clear();
    loaded.table.loadList(ini);
    expectDefaultTable(loaded.table, "loaded back");
    EXPECT_EQ(loaded.listChanges, 1);
}

TEST(GazOptions, EditedTableComesBackAsItWasSaved)
{
    const test::DecimalSeparatorScope comma(',');
    Watched saved;
    saved.table.restoreDefaults();
    Gaz& first = saved.table.item(0);
    first.name = "н-бутан с пробелом";
    first.label = "";
    first.nominalStart = 10.4f;
    first.nominalEnd = 15.6f;
    first.rangeLow = 0.125;
    first.rangeHigh = 99.5;
    first.colour = 0x80FF0000u;  // a system colour: negative in the file
    saved.table.Gazes.emplace_back();
    auto ini = lib::IniFile::inMemory();
    saved.table.saveList(ini);

    Watched loaded;
    loaded.table.loadList(ini);
    ASSERT_EQ(loaded.table.count(), 7);
    const Gaz& back = loaded.table.gas(0);
    EXPECT_EQ(back.name, first.name);
    EXPECT_EQ(back.label, "");
    EXPECT_EQ(back.nominalStart, 10.4f);
    EXPECT_EQ(back.nominalEnd, 15.6f);
    EXPECT_EQ(back.rangeLow, 0.125);
    EXPECT_EQ(back.rangeHigh, 99.5);
    EXPECT_EQ(back.colour, 0x80FF0000u);
    EXPECT_EQ(loaded.table.gas(6).name, "");  // a nameless gas stays a gas
    EXPECT_EQ(loaded.table.gas(6).rangeHigh, 100);
}

TEST(GazOptions, QuotesInNamesDoNotShiftTheNumbers)
{
    Watched saved;
    saved.table.item(0).name = "\"н-бутан\" технический";
    saved.table.item(0).label = "\"";
    auto ini = lib::IniFile::inMemory();
    saved.table.saveList(ini);
    Watched loaded;
    loaded.table.loadList(ini);
    const Gaz& back = loaded.table.gas(0);
    EXPECT_EQ(back.name, "'н-бутан' технический");
    EXPECT_EQ(back.label, "'");
    EXPECT_EQ(back.nominalStart, 10);
    EXPECT_EQ(back.nominalEnd, 15);
    EXPECT_EQ(back.colour, 0x0000FFu);
    EXPECT_EQ(back.rangeHigh, 100);
}

struct LoadCase {
    const char* what;
    const char* section;
    int count;
    const char* firstName;
    int listChanges;
};

TEST(GazOptions, LoadKeepsOrReplacesTheTableByTheSizeKey)
{
    const LoadCase cases[] = {
        {"no section", "", 6, "метан", 0},
        {"no size", "[газ]\r\nitem1=\"азот N2 1 2 0 0 100\"\r\n", 6, "метан", 0},
        {"size no number", "[газ]\r\nsize=шесть\r\n", 6, "метан", 0},
        {"negative size", "[газ]\r\nsize=-3\r\n", 6, "метан", 0},
        {"size 0 gives the defaults", "[газ]\r\nsize=0\r\n", 6, "метан", 1},
        {"two gases", "[газ]\r\nsize=2\r\nitem1=\"азот N2 1 2 0 0 100\"\r\nitem2=\"гелий He 3 4 0 0 100\"\r\n", 2,
         "азот", 1},
        {"items missing: nameless gases", "[газ]\r\nsize=300\r\n", 300, "", 1},
        {"largest table", "[газ]\r\nsize=1000\r\n", 1000, "", 1},
        {"more gases than any column separates", "[газ]\r\nsize=1001\r\n", 6, "метан", 0},
    };
    for (const auto& c : cases) {
        Watched watched;
        auto ini = lib::IniFile::inMemory(lib::toCp1251(c.section));
        watched.table.loadList(ini);
        EXPECT_EQ(watched.table.count(), c.count) << c.what;
        EXPECT_EQ(watched.table.gas(0).name, c.firstName) << c.what;
        EXPECT_EQ(watched.listChanges, c.listChanges) << c.what;
    }
}

struct TokenCase {
    const char* what;
    const char* item;
    const char* name;
    const char* label;
    float start;
    float end;
    std::uint32_t colour;
    double rangeLow;
    double rangeHigh;
};

TEST(GazOptions, MissingOrDamagedTokensReadAsEmptyTextAndZero)
{
    const test::DecimalSeparatorScope comma(',');
    const TokenCase cases[] = {
        {"name only", "пропан", "пропан", "", 0, 0, 0, 0, 0},
        {"empty value", "", "", "", 0, 0, 0, 0, 0},
        {"garbage numbers", "x y abc def ghi jkl mno", "x", "y", 0, 0, 0, 0, 0},
        {"beyond single precision", "x y 1e300 -1e300 0 0 1", "x", "y", 0, 0, 0, 0, 1},
        {"point or comma", "x y 1.5 2,5 16 0,25 99.75", "x", "y", 1.5f, 2.5f, 16, 0.25, 99.75},
        {"hexadecimal colour", "x y 1 2 $FF 0 100", "x", "y", 1, 2, 255, 0, 100},
        {"extra tokens ignored", "x y 1 2 3 4 5 6 7 8", "x", "y", 1, 2, 3, 4, 5},
        {"unterminated quote", "\"x y 1 2", "\"x y 1 2", "", 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        Watched watched;
        auto ini = lib::IniFile::inMemory(lib::toCp1251(std::string("[газ]\r\nsize=1\r\nitem1=") + c.item + "\r\n"));
        watched.table.loadList(ini);
        ASSERT_EQ(watched.table.count(), 1) << c.what;
        const Gaz& gaz = watched.table.gas(0);
        EXPECT_EQ(gaz.name, c.name) << c.what;
        EXPECT_EQ(gaz.label, c.label) << c.what;
        EXPECT_EQ(gaz.nominalStart, c.start) << c.what;
        EXPECT_EQ(gaz.nominalEnd, c.end) << c.what;
        EXPECT_EQ(gaz.colour, c.colour) << c.what;
        EXPECT_EQ(gaz.rangeLow, c.rangeLow) << c.what;
        EXPECT_EQ(gaz.rangeHigh, c.rangeHigh) << c.what;
    }
}

TEST(GazOptions, LoadingPutsTheWorkingWindowsBackToNominal)
{
    Watched watched;
    auto ini = lib::IniFile::inMemory();
    watched.table.saveList(ini);
    // As the automatic correction of a previous analysis left them.
    for (Gaz& gaz : watched.table.Gazes) {
        gaz.integrationStart = gaz.nominalStart - 0.4f;
        gaz.integrationEnd = gaz.nominalEnd + 0.6f;
    }
    watched.table.loadList(ini);
    for (const Gaz& gaz : watched.table.Gazes) {
        EXPECT_EQ(gaz.integrationStart, gaz.nominalStart) << gaz.name;
        EXPECT_EQ(gaz.integrationEnd, gaz.nominalEnd) << gaz.name;
    }
}

TEST(GazOptions, RestoreDefaultsReplacesAnEditedTableAndAnnouncesIt)
{
    Watched watched;
    watched.table.Gazes.clear();
    watched.table.Gazes.emplace_back().name = "азот";
    watched.table.restoreDefaults();
    expectDefaultTable(watched.table, "restored");
    EXPECT_EQ(watched.listChanges, 1);
    EXPECT_EQ(watched.timeChanges, 0);
}

TEST(GazOptions, SetWindowMovesNominalAndWorkingWindowAndAnnouncesNewTimes)
{
    Watched watched;
    watched.table.item(1).integrationStart = 16.5f;
    watched.table.setWindow(1, 12, 12);  // an empty window is stored as given
    const Gaz& gaz = watched.table.gas(1);
    EXPECT_EQ(gaz.nominalStart, 12);
    EXPECT_EQ(gaz.nominalEnd, 12);
    EXPECT_EQ(gaz.integrationStart, 12);
    EXPECT_EQ(gaz.integrationEnd, 12);
    EXPECT_EQ(watched.timeChanges, 1);
    EXPECT_EQ(watched.listChanges, 0);
}

TEST(GazOptions, SetWindowOutsideTheTableThrowsAndAnnouncesNothing)
{
    Watched watched;
    for (const int index : {-1, 6, 1000}) {
        EXPECT_THROW(watched.table.setWindow(index, 1, 2), std::out_of_range) << index;
        // The lock was let go: another thread can still take it.
        std::thread other([&] { const lib::Locker hold(watched.bufferLock); });
        other.join();
    }
    EXPECT_EQ(watched.timeChanges, 0);
    expectDefaultTable(watched.table, "unchanged");
}

TEST(GazOptions, SetWindowWaitsForTheAcquisitionBufferLock)
{
    Watched watched;
    std::thread editor;
    std::atomic<bool> editing{false};
    {
        const lib::Locker calculation(watched.bufferLock);
        editor = std::thread([&] {
            editing = true;
            watched.table.setWindow(0, 11, 16);
        });
        // Once the editor is at the lock, whatever it does meanwhile must not get it past.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!editing && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(editing);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(watched.table.gas(0).nominalStart, 10);
        EXPECT_EQ(watched.timeChanges, 0);
    }
    editor.join();
    EXPECT_EQ(watched.table.gas(0).nominalStart, 11);
    EXPECT_EQ(watched.table.gas(0).integrationEnd, 16);
    EXPECT_EQ(watched.timeChanges, 1);
}

TEST(GazOptions, SavingTheTableDropsMinGazValueUntilTheSettingsAreSavedAgain)
{
    // Both live in section "газ" of the settings file; the list owns the section when saving.
    auto ini = lib::IniFile::inMemory();
    Configuration configuration;
    configuration.saveTo(ini);
    ASSERT_TRUE(ini.read("газ", "min_gaz_value"));

    Watched watched;
    watched.table.saveList(ini);
    EXPECT_FALSE(ini.read("газ", "min_gaz_value"));
    configuration.saveTo(ini);
    EXPECT_TRUE(ini.read("газ", "min_gaz_value"));
    Watched loaded;
    loaded.table.loadList(ini);
    expectDefaultTable(loaded.table, "after both saves");
}

} // namespace

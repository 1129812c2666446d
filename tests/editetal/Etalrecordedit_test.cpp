#include "analysis/Etalrecordedit.h"
#include "library/Codepage.h"
#include "settings/Inifile.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

GazEtalLine entryOf(std::string dilution, std::int32_t repeats, std::vector<GazEtalPoint> points)
{
    GazEtalLine entry;
    entry.dilution = std::move(dilution);
    entry.repeats = repeats;
    entry.points = std::move(points);
    return entry;
}

EtalRecordEdit::Fields typedFields(bool diluted, std::string parts, std::string total, Texts absolutes,
                                   std::string repeats)
{
    EtalRecordEdit::Fields fields;
    fields.diluted = diluted;
    fields.parts = std::move(parts);
    fields.total = std::move(total);
    fields.absolutes = std::move(absolutes);
    fields.repeats = std::move(repeats);
    return fields;
}

class EtalRecordEditTest : public ::testing::Test {
protected:
    test::DecimalSeparatorScope separator{'.'};
};

TEST_F(EtalRecordEditTest, ADilutionTwoToTenStoresTheTypedFiveAsOneAndShowsFiveAgain)
{
    GazEtalLine entry = entryOf({}, 0, {{0, 0}, {0, 0}});
    EtalRecordEdit::store(typedFields(true, "2", "  10", {"5", "0,5"}, "4"), entry);
    EXPECT_EQ(entry.dilution, "2 / 10");
    EXPECT_EQ(entry.repeats, 4);
    EXPECT_DOUBLE_EQ(entry.points[0].concentration, 1.0);
    EXPECT_DOUBLE_EQ(entry.points[1].concentration, 0.1);

    const EtalRecordEdit::Fields shown = EtalRecordEdit::forEdit(entry, 2);
    EXPECT_TRUE(shown.dilutionEnabled);
    EXPECT_TRUE(shown.diluted);
    EXPECT_EQ(shown.parts, "2");
    EXPECT_EQ(shown.total, "  10");  // the list's own item, so the list shows it selected
    EXPECT_EQ(shown.absolutes, (Texts{"5.000000", "0.500000"}));
    EXPECT_EQ(shown.repeats, "4");
}

TEST_F(EtalRecordEditTest, DilutionTexts)
{
    struct Case {
        const char* text;
        std::int32_t parts;
        std::int32_t total;
        bool diluted;
        double absoluteFactor;
    };
    const Case cases[] = {
        {"", 0, 0, false, 1.0},
        {"2 / 10", 2, 10, true, 5.0},
        {"x / 10", 0, 10, false, 1.0},
        {"0 / 5", 0, 5, false, 1.0},
        {"5 / 0", 5, 0, false, 1.0},
        {"   4    /   1000  ", 4, 1000, true, 250.0},
        {"2\t/ 10", 0, 0, false, 1.0},  // only blanks separate fields
        {"2/10", 0, 0, false, 1.0},     // one field: no third one
        {"2 : 10", 2, 10, true, 5.0},   // the second field is not read
        {"-2 / 10", -2, 10, false, 1.0},  // a negative part would turn the shares negative
        {"1 / 2 / 4", 1, 2, true, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const EtalRecordEdit::Dilution dilution = EtalRecordEdit::parseDilution(c.text);
        EXPECT_EQ(dilution.parts, c.parts);
        EXPECT_EQ(dilution.total, c.total);
        EXPECT_EQ(dilution.diluted(), c.diluted);
        EXPECT_DOUBLE_EQ(dilution.absoluteFactor(), c.absoluteFactor);
        EXPECT_DOUBLE_EQ(dilution.storedFactor(), 1.0 / c.absoluteFactor);
    }
}

TEST_F(EtalRecordEditTest, AnUndilutedEntryIsEditedWithTheBoxDisabledAndClear)
{
    for (const char* dilution : {"", "x / 10", "0 / 5"}) {
        SCOPED_TRACE(dilution);
        // A third gas the entry has no point for yet shows as 0.
        const EtalRecordEdit::Fields shown =
            EtalRecordEdit::forEdit(entryOf(dilution, 7, {{2.5, 10}, {0.000125, 3}}), 3);
        EXPECT_FALSE(shown.dilutionEnabled);
        EXPECT_FALSE(shown.diluted);
        EXPECT_EQ(shown.parts, EtalRecordEdit::partsChoices().front());
        EXPECT_EQ(shown.total, EtalRecordEdit::totalChoices().front());
        EXPECT_EQ(shown.absolutes, (Texts{"2.500000", "0.000125", "0.000000"}));
        EXPECT_EQ(shown.repeats, "7");
    }
}

TEST_F(EtalRecordEditTest, StoredValuesOutsideTheListsAreShownAsTheyAre)
{
    const EtalRecordEdit::Fields shown = EtalRecordEdit::forEdit(entryOf("3 / 7", 15, {{3, 0}}), 1);
    EXPECT_EQ(shown.parts, "3");
    EXPECT_EQ(shown.total, "7");
    EXPECT_EQ(shown.repeats, "15");
    EXPECT_EQ(shown.absolutes, (Texts{"7.000000"}));
}

TEST_F(EtalRecordEditTest, AbsoluteValuesUseTheRegionalSeparatorAndReadBack)
{
    test::DecimalSeparatorScope comma(',');
    GazEtalLine entry = entryOf("5 / 20", 3, {{0.5, 42}});
    const EtalRecordEdit::Fields shown = EtalRecordEdit::forEdit(entry, 1);
    EXPECT_EQ(shown.absolutes, (Texts{"2,000000"}));
    EtalRecordEdit::store(shown, entry);
    EXPECT_EQ(entry.dilution, "5 / 20");
    EXPECT_DOUBLE_EQ(entry.points[0].concentration, 0.5);
    EXPECT_DOUBLE_EQ(entry.points[0].area, 42);
}

TEST_F(EtalRecordEditTest, OkStoresDilutionRepeatsAndSharesAndLeavesTheAreas)
{
    struct Case {
        const char* what;
        EtalRecordEdit::Fields typed;
        std::string dilution;
        std::int32_t repeats;
        std::vector<double> concentrations;
    };
    const Case cases[] = {
        {"box clear: no dilution, whatever the lists show", typedFields(false, "2", "  10", {"5", "1"}, "3"), "",
         3, {5, 1}},
        {"box set: trimmed list texts", typedFields(true, "50", "1000", {"10", "abc"}, "10"), "50 / 1000", 10,
         {0.5, 0}},
        {"repeats no number", typedFields(false, "1", "  10", {"1", "2"}, "x"), "", 3, {1, 2}},
        {"repeats empty", typedFields(false, "1", "  10", {"1", "2"}, ""), "", 3, {1, 2}},
        {"repeats with blanks", typedFields(false, "1", "  10", {" 1 ", "2,5"}, " 8 "), "", 8, {1, 2.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GazEtalLine entry = entryOf("9 / 900", 1, {{7, 11}, {8, 22}, {9, 33}});
        EtalRecordEdit::store(c.typed, entry);
        EXPECT_EQ(entry.dilution, c.dilution);
        EXPECT_EQ(entry.repeats, c.repeats);
        ASSERT_EQ(entry.points.size(), 3u);  // a point beyond the gas table stays as it was
        for (std::size_t i = 0; i < c.concentrations.size(); ++i)
            EXPECT_DOUBLE_EQ(entry.points[i].concentration, c.concentrations[i]) << i;
        EXPECT_DOUBLE_EQ(entry.points[2].concentration, 9);
        EXPECT_DOUBLE_EQ(entry.points[0].area, 11);
        EXPECT_DOUBLE_EQ(entry.points[1].area, 22);
    }
}

TEST_F(EtalRecordEditTest, AnEntryShorterThanTheGasTableGrowsOnOk)
{
    GazEtalLine entry = entryOf({}, 3, {{1, 5}});
    EtalRecordEdit::store(typedFields(false, "1", "  10", {"1", "2", "3"}, "3"), entry);
    ASSERT_EQ(entry.points.size(), 3u);
    EXPECT_DOUBLE_EQ(entry.points[0].area, 5);
    EXPECT_DOUBLE_EQ(entry.points[2].concentration, 3);
    EXPECT_DOUBLE_EQ(entry.points[2].area, 0);
}

TEST_F(EtalRecordEditTest, AddingStartsFromThePresetsAndTheDefaults)
{
    struct Case {
        const char* what;
        Texts presets;
        std::size_t gases;
        Texts absolutes;
    };
    const Case cases[] = {
        {"one per gas", {"1", "0,5", "0.2"}, 3, {"1", "0,5", "0.2"}},
        {"missing ones stay empty", {"1"}, 3, {"1", "", ""}},
        {"surplus dropped", {"1", "2", "3", "4"}, 2, {"1", "2"}},
        {"none", {}, 2, {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const EtalRecordEdit::Fields shown = EtalRecordEdit::forAdd(c.gases, c.presets);
        EXPECT_TRUE(shown.dilutionEnabled);
        EXPECT_FALSE(shown.diluted);
        EXPECT_EQ(shown.parts, "1");
        EXPECT_EQ(shown.total, "  10");
        EXPECT_EQ(shown.repeats, "3");
        EXPECT_EQ(shown.absolutes, c.absolutes);
    }
}

TEST_F(EtalRecordEditTest, TheListsOfferTheChoicesInOrder)
{
    EXPECT_EQ(EtalRecordEdit::partsChoices(),
              (Texts{"1", "2", "4", "5", "10", "20", "40", "50", "100", "200", "400", "500", "1000"}));
    const Texts& total = EtalRecordEdit::totalChoices();
    ASSERT_EQ(total.size(), 23u);
    EXPECT_EQ(total.front(), "  10");
    EXPECT_EQ(total[3], " 100");
    EXPECT_EQ(total[11], " 900");
    EXPECT_EQ(total[12], "1000");
    EXPECT_EQ(total.back(), "2000");
    EXPECT_EQ(EtalRecordEdit::repeatChoices(), (Texts{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
}

// The settings file as another program (or an older station) may have left it.
class PresetsFileTest : public EtalRecordEditTest {
protected:
    void writeRawValue(std::string_view line)
    {
        test::writeFile(settings, lib::toCp1251("[калибровка]\r\n" + std::string(line) + "\r\n"));
    }

    test::TemporaryDirectory folder;
    std::filesystem::path settings = folder / "хроматограф.ini";
};

TEST_F(PresetsFileTest, PresetsAreReadFromTheSettingsFile)
{
    struct Case {
        const char* line;
        Texts presets;
    };
    const Case cases[] = {
        {"проценты=\"1,5,0.2\"", {"1", "5", "0.2"}},
        {"проценты=1, 5 ,0.2", {"1", "5", "0.2"}},
        {"проценты=\"\"0,5\",1,\"2,25\"\"", {"0,5", "1", "2,25"}},
        {"проценты=1,\"0,5\"", {"1", "0,5"}},
        {"проценты=1,,3", {"1", "", "3"}},
        {"проценты=", {}},
        {"другое=1,2", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        writeRawValue(c.line);
        EXPECT_EQ(EtalRecordEdit::readPresets(settings), c.presets);
    }
}

TEST_F(PresetsFileTest, AMissingFileGivesNoPresets)
{
    EXPECT_TRUE(EtalRecordEdit::readPresets(folder / "absent.ini").empty());
}

TEST_F(PresetsFileTest, WrittenPresetsFillTheNextEntryAsTyped)
{
    struct Case {
        Texts typed;
        Texts cells;  // of the next added entry, one per gas
    };
    const Case cases[] = {
        {{"5", "1", "0.2"}, {"5", "1", "0.2"}},
        {{"0,5", "1,25", "3"}, {"0,5", "1,25", "3"}},  // typed with a decimal comma
        {{"", "2", ""}, {"", "2", ""}},
        {{"0,5"}, {"0,5"}},
        {{" 1 ", "1 2"}, {"1", "1 2"}},
        {{"a\"b", "\"7\""}, {"ab", "7"}},  // double quotes cannot be kept; nothing else is lost
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(EtalRecordEdit::presetsValue(c.typed));
        EtalRecordEdit::writePresets(settings, c.typed);
        EXPECT_EQ(EtalRecordEdit::forAdd(c.typed.size(), EtalRecordEdit::readPresets(settings)).absolutes, c.cells);
    }
}

TEST_F(PresetsFileTest, PresetsAreStoredAsOneQuotedListBesideTheOtherSettings)
{
    writeRawValue("другое=1");
    EtalRecordEdit::writePresets(settings, {"5", "1", "0.2"});
    const std::string text = lib::fromCp1251(test::readFile(settings));
    EXPECT_NE(text.find("проценты=\"5,1,0.2\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("другое=1\r\n"), std::string::npos) << text;

    EtalRecordEdit::writePresets(settings, {"0,5", "1"});
    EXPECT_NE(lib::fromCp1251(test::readFile(settings)).find("проценты=\"\"0,5\",1\"\r\n"), std::string::npos);
}

} // namespace

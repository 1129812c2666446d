#include "station/Setupwizard.h"

#include "Controllerfolder.h"

#include "library/Locker.h"
#include "settings/Chromatographmodel.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Values = SetupWizard::Values;
using station_test::freeForOthers;

const char* const emptyRow = "Обнаружена пустая строка в перечне регистрируемых газов";
const char* const duplicates = "Программа обнаружила повторяющиеся значения газов:\n";

class SetupWizardTest : public station_test::ControllerFolder {
protected:
    SetupWizardTest() { wizard = std::make_unique<SetupWizard>(*system, configuration); }
    ~SetupWizardTest() override { wizard.reset(); }

    const Gaz& gas(std::size_t index) const { return system->gazOptions.gas(index); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> list;
        for (int i = 0; i < system->gazOptions.count(); ++i)
            list.push_back(gas(static_cast<std::size_t>(i)).name);
        return list;
    }

    std::unique_ptr<SetupWizard> wizard;
};

TEST(SetupWizardRules, OffersTheCatalogueAndKeepsOnlyTheNameOfAChosenLine)
{
    const std::vector<std::string> lines = SetupWizard::popupStrings();
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "метан (C1)");
    EXPECT_EQ(lines[9], "декан (C10)");
    EXPECT_EQ(lines[10], "изоэтан (C2i)");
    EXPECT_EQ(lines[14], "изогексан (C6i)");

    const std::pair<const char*, const char*> cells[] = {
        {"метан (C1)", "метан"}, {"изогексан (C6i)", "изогексан"}, {"этан", "этан"},
        {"", ""},                {"   ", ""},                       {" пропан (C3)", "пропан"},
    };
    for (const auto& [cell, name] : cells)
        EXPECT_EQ(SetupWizard::firstWord(cell), name) << cell;
}

TEST(SetupWizardRules, StepLabelAndButtonsFollowThePage)
{
    struct Case {
        int page;
        const char* label;
        bool previous, next, ok;
    };
    const Case cases[] = {
        {0, "Шаг 1 из 4", false, true, false},
        {1, "Шаг 2 из 4", true, true, false},
        {2, "Шаг 3 из 4", true, true, false},
        {3, "Шаг 4 из 4", true, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetupWizard::stepLabel(c.page), c.label);
        const SetupWizard::Buttons b = SetupWizard::buttons(c.page);
        EXPECT_EQ(b.previous, c.previous) << c.page;
        EXPECT_EQ(b.next, c.next) << c.page;
        EXPECT_EQ(b.ok, c.ok) << c.page;
    }
}

TEST(SetupWizardRules, CountTextGivesRowsWithinTheUpDownLimits)
{
    struct Case {
        const char* text;
        int shown;
        int rows;
        int stored;
    };
    const Case cases[] = {
        {"3", 5, 3, 3},  {"15", 5, 15, 15}, {"abc", 5, 5, 6}, {"", 4, 4, 6},
        {"0", 5, 1, 1},  {"-2", 5, 1, 1},   {"40", 5, 15, 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetupWizard::gasRows(c.text, c.shown), c.rows) << c.text;
        EXPECT_EQ(SetupWizard::storedCount(c.text), c.stored) << c.text;
    }
    EXPECT_THAT(SetupWizard::resizedNames({"метан", "этан"}, 3), ElementsAre("метан", "этан", ""));
    EXPECT_THAT(SetupWizard::resizedNames({"метан", "этан", "пропан"}, 1), ElementsAre("метан"));
}

TEST(SetupWizardRules, ModelNameAndHiddenListPosition)
{
    EXPECT_EQ(SetupWizard::modelName(modelLT4KS), "ЛТ-4КС");
    EXPECT_EQ(SetupWizard::modelName(modelTavir), "Тавир");
    EXPECT_EQ(SetupWizard::modelName(5), "Неизвестный прототип");
    EXPECT_THAT(SetupWizard::modelList(), ElementsAre("ЛТ-4К", "Тавир"));
    EXPECT_EQ(SetupWizard::modelIndex(modelTavir), 1);
    EXPECT_EQ(SetupWizard::modelIndex(5), -1);
    EXPECT_EQ(SetupWizard::modelIndex(-1), -1);
}

TEST(SetupWizardRules, ChecksTheRowsOkWrites)
{
    struct Case {
        const char* count;
        std::vector<std::string> names;
        std::string message;  // empty: accepted
        std::optional<std::size_t> row;
    };
    const Case cases[] = {
        {"3", {"этан", "метан", "этан"}, std::string(duplicates) + "1. этан\n", std::nullopt},
        {"3", {"этан", "этан", "этан"}, std::string(duplicates) + "1. этан\n2. этан\n", std::nullopt},
        {"4", {"пропан", "этан", "пропан", "этан"}, std::string(duplicates) + "1. пропан\n2. этан\n", std::nullopt},
        {"2", {"метан", ""}, emptyRow, 1},
        {"3", {"этан", "", "этан"}, emptyRow, 1},  // the empty row is found first
        {"3", {"метан", "этан"}, emptyRow, 2},      // a row the list does not have yet
        {"2", {"метан", "этан", "метан"}, "", std::nullopt},  // rows beyond the count are not written
        {"1", {"декан"}, "", std::nullopt},
    };
    for (const Case& c : cases) {
        Values v;
        v.count = c.count;
        v.names = c.names;
        const auto refusal = SetupWizard::check(v);
        if (c.message.empty()) {
            EXPECT_EQ(refusal, std::nullopt) << c.names.size();
            continue;
        }
        ASSERT_NE(refusal, std::nullopt) << c.message;
        EXPECT_EQ(refusal->message, c.message);
        EXPECT_EQ(refusal->emptyRow, c.row) << c.message;
    }
}

TEST_F(SetupWizardTest, ReadsTheCurrentTableAndSettings)
{
    configuration.deviceType = modelTavir;
    configuration.summatorUse = true;
    const Values v = wizard->read();
    EXPECT_EQ(v.model, "Тавир");
    EXPECT_EQ(v.count, "6");
    EXPECT_THAT(v.names, ElementsAre("метан", "этан", "пропан", "бутан", "пентан", "гексан"));
    EXPECT_EQ(v.modelIndex, 1);
    EXPECT_TRUE(v.summatorUse);
    EXPECT_FALSE(v.summatorShow);
}

TEST_F(SetupWizardTest, ReorderingKeepsEachPositionsWindowAndColour)
{
    const Gaz first = gas(0);
    const Gaz second = gas(1);
    Values v = wizard->read();
    v.names[0] = "этан";
    v.names[1] = "метан";
    wizard->store(v);

    ASSERT_EQ(system->gazOptions.count(), 6);
    EXPECT_EQ(gas(0).name, "этан");
    EXPECT_EQ(gas(0).label, "C2");
    EXPECT_EQ(gas(1).name, "метан");
    EXPECT_EQ(gas(1).label, "C1");
    for (const auto& [now, before] : {std::pair{gas(0), first}, std::pair{gas(1), second}}) {
        EXPECT_EQ(now.nominalStart, before.nominalStart);
        EXPECT_EQ(now.nominalEnd, before.nominalEnd);
        EXPECT_EQ(now.colour, before.colour);
    }
    EXPECT_EQ(gas(0).nominalStart, 10);
    EXPECT_EQ(gas(1).nominalStart, 17);
}

TEST_F(SetupWizardTest, LoweringTheCountDropsTheLastGasesWithTheirWindows)
{
    Values v = wizard->read();
    v.count = "4";
    wizard->store(v);
    EXPECT_THAT(names(), ElementsAre("метан", "этан", "пропан", "бутан"));
    EXPECT_EQ(gas(3).nominalStart, 48);

    // Raised again: the dropped windows do not come back.
    v.count = "6";
    v.names = {"метан", "этан", "пропан", "бутан", "пентан", "гексан"};
    wizard->store(v);
    EXPECT_EQ(gas(4).nominalStart, 0);
    EXPECT_EQ(gas(5).nominalEnd, 0);
}

TEST_F(SetupWizardTest, NewGasesTakeTheCatalogueNamesAndNothingElse)
{
    Values v = wizard->read();
    v.count = "8";
    v.names = {"метан", "этан", "пропан", "бутан", "пентан", "гексан", "изобутан", "декан"};
    wizard->store(v);
    ASSERT_EQ(system->gazOptions.count(), 8);
    const Gaz& added = gas(6);
    EXPECT_EQ(added.name, "изобутан");
    EXPECT_EQ(added.label, "C4i");
    EXPECT_EQ(gas(7).label, "C10");
    for (const Gaz* g : {&gas(6), &gas(7)}) {
        EXPECT_EQ(g->nominalStart, 0);
        EXPECT_EQ(g->nominalEnd, 0);
        EXPECT_EQ(g->integrationStart, 0);
        EXPECT_EQ(g->integrationEnd, 0);
        EXPECT_EQ(g->rangeLow, 0);
        EXPECT_EQ(g->rangeHigh, 0);
        EXPECT_EQ(g->colour, 0u);
    }
}

TEST_F(SetupWizardTest, ANameOutsideTheCatalogueLeavesItsGasAlone)
{
    system->gazOptions.Gazes[2].name = "водород";
    system->gazOptions.Gazes[2].label = "H2";
    Values v = wizard->read();
    wizard->store(v);
    EXPECT_EQ(gas(2).name, "водород");
    EXPECT_EQ(gas(2).label, "H2");
}

TEST_F(SetupWizardTest, WritesTypeAndSummatorSwitchesAndAnnouncesWithoutLocks)
{
    std::vector<std::thread> threads;
    std::vector<bool> free;
    int listChanges = 0;
    system->gazOptions.gazListChanged.connect([&] {
        ++listChanges;
        free.push_back(freeForOthers(system->nivra, threads));
        free.push_back(freeForOthers(system->nivra.samples, threads));
    });
    Values v = wizard->read();
    v.modelIndex = modelTavir;
    v.summatorUse = true;
    v.summatorShow = true;
    v.count = "5";
    wizard->store(v);
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(listChanges, 1);
    EXPECT_THAT(free, ElementsAre(true, true));
    EXPECT_EQ(configuration.deviceType, modelTavir);
    EXPECT_TRUE(configuration.summatorUse);
    EXPECT_TRUE(configuration.summatorShow);

    v.summatorUse = false;
    v.summatorShow = false;
    wizard->store(v);
    EXPECT_FALSE(configuration.summatorUse);
    EXPECT_FALSE(configuration.summatorShow);
}

TEST_F(SetupWizardTest, AnUnknownTypeIsKept)
{
    configuration.deviceType = 5;
    const Values v = wizard->read();
    EXPECT_EQ(v.model, "Неизвестный прототип");
    EXPECT_EQ(v.modelIndex, -1);
    wizard->store(v);
    EXPECT_EQ(configuration.deviceType, 5);
}

} // namespace

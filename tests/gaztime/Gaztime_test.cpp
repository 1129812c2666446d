#include "dialogs/Aboutform.h"
#include "dialogs/Gaztimeform.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"
#include "widgets/Dlrangeselector.h"
#include "widgets/Mybutton.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gmock/gmock.h>

#include <cstdlib>
#include <memory>

namespace {

using ::testing::HasSubstr;

class GazTimeFormTest : public ::testing::Test {
protected:
    GazTimeFormTest()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        configuration.loadProgramSettings(dir.path());
        system = std::make_unique<NivraSystem>(configuration, notifier, dir.path());
        timesChanged = system->gazTimesChanged.connect([this] { ++timesAnnounced; });
    }
    ~GazTimeFormTest() override
    {
        form.reset();
        system.reset();
        ::unsetenv("NIVRA_MAILSLOT_DIR");
    }

    Gaz& gas(int index) { return system->gazOptions.Gazes[static_cast<std::size_t>(index)]; }

    TGazTimeForm& shown()
    {
        if (!form)
            form = std::make_unique<TGazTimeForm>(*system);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    // Grabs the slider standing at `from` and lets it go at `to`, both in scale units.
    void drag(int from, int to)
    {
        TDLRangeSelector& range = *form->range();
        const RangeScale& scale = range.scale();
        const int y = range.height() - 6;
        // Midway to the next unit: the pixel of a value may read back as the unit below.
        const int x = (scale.xOf(to) + scale.xOf(to + 1)) / 2;
        QTest::mousePress(&range, Qt::LeftButton, Qt::NoModifier, QPoint(scale.xOf(from), y));
        QTest::mouseMove(&range, QPoint(x, y));
        QTest::mouseRelease(&range, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    }

    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::unique_ptr<NivraSystem> system;
    std::unique_ptr<TGazTimeForm> form;
    int timesAnnounced = 0;
    boost::signals2::scoped_connection timesChanged;
};

TEST_F(GazTimeFormTest, IsAToolWindowOverTheMainWindowWithTheScaleOfTheEditor)
{
    TGazTimeForm& window = shown();
    EXPECT_EQ(window.windowTitle(), " Корректировка времени выхода газа");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window.gazes()->isEditable());
    const TDLRangeSelector& range = *window.range();
    EXPECT_EQ(range.min(), 0);
    EXPECT_EQ(range.max(), 100);
    EXPECT_EQ(range.scalesCount(), 20);
    EXPECT_EQ(range.color(), 0xFFFFFFu);
    EXPECT_EQ(range.sliderColor(), 0x00FFFFu);
    EXPECT_EQ(range.intervalColor(), 12910591u);
    EXPECT_EQ(window.rangeLabel()->font().pixelSize(), 16);
    EXPECT_EQ(window.rangeLabel()->font().family(), "Arial");
}

TEST_F(GazTimeFormTest, ShowsTheCorrectedWindowOfTheChosenGasInWholeSeconds)
{
    gas(0).integrationStart = 10.4f;
    gas(0).integrationEnd = 15.6f;
    TGazTimeForm& window = shown();
    EXPECT_EQ(window.gazes()->currentText(), "метан (C1)");
    EXPECT_EQ(window.range()->value1(), 10);
    EXPECT_EQ(window.range()->value2(), 16);
    EXPECT_EQ(window.rangeLabel()->text(), "10 - 16");
    EXPECT_TRUE(window.range()->isEnabled());

    window.gazes()->setCurrentIndex(2);
    EXPECT_EQ(window.range()->value1(), 34);
    EXPECT_EQ(window.range()->value2(), 40);
    EXPECT_EQ(window.rangeLabel()->text(), "34 - 40");
    EXPECT_EQ(timesAnnounced, 0) << "choosing a gas stores nothing";
    EXPECT_FLOAT_EQ(gas(0).nominalStart, 10);
}

TEST_F(GazTimeFormTest, DraggingStoresTheWindowAtOnceAndTheDisplayMarksIt)
{
    configuration.samplesPerSecond = 10;
    TGazTimeForm& window = shown();
    window.gazes()->setCurrentIndex(1);  // этан, 17 – 20 s
    int repaints = 0;
    const boost::signals2::scoped_connection counting =
        system->liveCurveChanged.connect([&repaints] { ++repaints; });

    drag(20, 25);
    EXPECT_FLOAT_EQ(gas(1).nominalStart, 17);
    EXPECT_FLOAT_EQ(gas(1).integrationStart, 17);
    EXPECT_FLOAT_EQ(gas(1).nominalEnd, 25);
    EXPECT_FLOAT_EQ(gas(1).integrationEnd, 25);
    EXPECT_GE(timesAnnounced, 1);
    EXPECT_EQ(window.rangeLabel()->text(), "17 - 25");
    EXPECT_GE(repaints, 1);
    ASSERT_EQ(system->curve.marks().size(), 6u);
    EXPECT_EQ(system->curve.marks()[1].firstIndex, 169);
    EXPECT_EQ(system->curve.marks()[1].lastIndex, 251);

    drag(17, 12);
    EXPECT_FLOAT_EQ(gas(1).nominalStart, 12);
    EXPECT_FLOAT_EQ(gas(1).integrationStart, 12);
    EXPECT_EQ(window.rangeLabel()->text(), "12 - 25");
    EXPECT_FLOAT_EQ(gas(0).nominalEnd, 15) << "only the chosen gas moves";
}

TEST_F(GazTimeFormTest, TheListIsFilledAtTheFirstShowingOnly)
{
    shown().hide();
    ASSERT_EQ(form->gazes()->count(), 6);
    EXPECT_EQ(form->gazes()->itemText(5), "гексан (C6)");
    form->gazes()->setCurrentIndex(3);

    Gaz added = gas(5);
    added.name = "гептан";
    added.label = "C7";
    system->gazOptions.Gazes.emplace_back(added);
    shown();
    EXPECT_EQ(form->gazes()->count(), 6) << "a gas added later waits for a restart";
    EXPECT_EQ(form->gazes()->currentIndex(), 3) << "showing again keeps the choice";
}

// The list stays as filled; a gas removed from the table since leaves a line without a window.
TEST_F(GazTimeFormTest, ALineWhoseGasWasRemovedDisablesTheScaleAndStoresNothing)
{
    shown();
    system->gazOptions.replaceTable({gas(0), gas(1)});
    timesAnnounced = 0;
    form->gazes()->setCurrentIndex(4);
    EXPECT_FALSE(form->range()->isEnabled());
    EXPECT_FALSE(form->rangeLabel()->isEnabled());
    drag(form->range()->value2(), 90);
    EXPECT_EQ(timesAnnounced, 0);
    EXPECT_EQ(system->gazOptions.Gazes.size(), 2u);
}

TEST_F(GazTimeFormTest, AWindowChangedElsewhereMovesTheSliders)
{
    shown();
    system->gazOptions.setWindow(0, 21, 29);
    EXPECT_EQ(form->range()->value1(), 21);
    EXPECT_EQ(form->range()->value2(), 29);
    EXPECT_EQ(form->rangeLabel()->text(), "21 - 29");
}

TEST_F(GazTimeFormTest, WithAnEmptyTableTheScaleIsDisabled)
{
    system->gazOptions.replaceTable({});
    shown();
    EXPECT_EQ(form->gazes()->count(), 0);
    EXPECT_FALSE(form->range()->isEnabled());
    EXPECT_FALSE(form->rangeLabel()->isEnabled());
}

TEST_F(GazTimeFormTest, Pictures)
{
    gas(0).integrationStart = 10.4f;
    gas(0).integrationEnd = 15.6f;
    EXPECT_EQ(shown().rangeLabel()->text(), QStringLiteral("10 - 16"));
    EXPECT_TRUE(form->grab().save(QStringLiteral(NIVRA_GAZTIME_PICTURES "/gaztime.png")));
    form->gazes()->setCurrentIndex(4);
    EXPECT_TRUE(form->grab().save(QStringLiteral(NIVRA_GAZTIME_PICTURES "/gaztime-pentane.png")));
}

TEST(AboutForm, ShowsNameDescriptionBuildAndModulesAndClosesOnExit)
{
    Configuration configuration;
    ASSERT_THAT(configuration.buildLabel, ::testing::MatchesRegex("[A-Z][a-z][a-z] [ 0-9][0-9] [0-9]{4} / "
                                                                   "[0-9]{2}:[0-9]{2}:[0-9]{2}"));
    TAboutForm form(configuration);
    EXPECT_EQ(form.windowTitle(), "  О программе");
    EXPECT_EQ(form.nameLabel()->text(), "Nivra");
    EXPECT_GT(form.nameLabel()->font().pixelSize(), 2 * form.descriptionLabel()->fontInfo().pixelSize());
    EXPECT_EQ(form.descriptionLabel()->text().toStdString(),
              "Программа для расчёта концентраций углеводородных компонентов в газо-воздушной смеси.\n\n"
              "Дата/время компиляции: " + configuration.buildLabel);
    EXPECT_EQ(form.modulesLabel()->text(), "Только для модулей управления, выпущенных после 1 сентября 2002г !");
    EXPECT_EQ(form.modulesLabel()->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(form.exitButton()->text(), "Выход");

    bool centred = false;
    modal::answerModal([&](QWidget& window) {
        window.grab().save(QStringLiteral(NIVRA_GAZTIME_PICTURES "/about.png"));
        const QRect screen = window.screen()->availableGeometry();
        // Within the few pixels a window frame adds.
        centred = std::abs(window.geometry().center().x() - screen.center().x()) <= 5
                  && std::abs(window.geometry().center().y() - screen.center().y()) <= 5;
        QTest::mouseClick(form.exitButton(), Qt::LeftButton);
    });
    form.exec();
    EXPECT_TRUE(centred);
    EXPECT_FALSE(form.isVisible());
}

} // namespace

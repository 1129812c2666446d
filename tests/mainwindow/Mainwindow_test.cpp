// The main window driven in-process: captions, menus, tool bar, modes, indicators, closing.
#include "Mainwindowfixture.h"
#include "support/Modalanswer.h"

#include "app/Qttranslations.h"
#include "testsupport/Pseudoterminal.h"

#include "results/Log.h"
#include "chromatogram/Graphics.h"
#include "views/Chromatogrampanel.h"
#include "views/Journalpage.h"
#include "views/Summatorchart.h"
#include "dialogs/Gaztimeform.h"
#include "dialogs/Optform.h"
#include "dialogs/Optmasterform.h"
#include "widgets/Mybutton.h"
#include "widgets/Textindicator.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QListView>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>

#include <gmock/gmock.h>

#include <array>
#include <fstream>
#include <sstream>

namespace {

using ::testing::HasSubstr;
using mainwindow::MainWindowFixture;

class MainWindowTest : public MainWindowFixture {};

QString adcText(const TNivraMainForm& form)
{
    const auto* label = form.chromatogramPanel()->findChild<QLabel*>(QStringLiteral("adc"));
    return label ? label->text() : QString();
}

TEST_F(MainWindowTest, CaptionAndWarmUpItemFollowTheModel)
{
    struct Case {
        std::int32_t deviceType;
        const char* caption;
        bool warmUpVisible;
    };
    const std::array<Case, 3> cases{{
        {0, "Хроматограф ЛТ-4КС", false},
        {1, "Хроматограф Тавир", true},
        {5, "Хроматограф <Неизвестный прототип> (ПРОВЕРЬТЕ ПРАВИЛЬНОСТЬ УСТАНОВКИ ПРОГРАММЫ !!!)", true},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deviceType);
        TNivraMainForm& form = open([&](Configuration& settings) { settings.deviceType = c.deviceType; });
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(form.action("Запуск прогрева колонок...")->isVisible(), c.warmUpVisible);
        form.closeUnattended(true);
        ASSERT_TRUE(form.closedDown());
        window.reset();
        station.reset();
    }
}

TEST_F(MainWindowTest, MenusShortcutsAndHintsAreTheStations)
{
    // The Tavir shows the warm-up item.
    TNivraMainForm& form = open([](Configuration& settings) { settings.deviceType = 1; });
    struct Item {
        const char* text;
        const char* shortcut;
        bool enabled;  // false: offered in the settings mode only
    };
    const std::array<Item, 17> items{{
        {"Запуск", "F5", true},
        {"Непрерывный режим", "", true},
        {"Временной режим", "", true},
        {"Ручной режим", "", true},
        {"По метке глубины", "", true},
        {"Запуск прогрева колонок...", "", true},
        {"Порог срабатывания...", "", true},
        {"Выход из программы", "Alt+X", true},
        {"Общие настройки...", "", false},
        {"Рабочие настройки...", "F11", true},
        {"Время выхода газов", "", true},
        {"Калибровка хроматографа...", "", false},
        {"Настроечный режим...", "", true},
        {"Вызов справки", "F1", true},
        {"О программе...", "", true},
    }};
    for (const Item& item : items) {
        if (!item.text)
            continue;
        SCOPED_TRACE(item.text);
        QAction* action = form.action(QString::fromUtf8(item.text));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(item.shortcut));
        EXPECT_EQ(action->isEnabled(), item.enabled);
    }

    // F1 opens the help at its contents.
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F1);
    const auto helpWindow = [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->inherits("HelpWindow"))
                return top;
        return static_cast<QWidget*>(nullptr);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return helpWindow() != nullptr; }, 10000));
    EXPECT_THAT(helpWindow()->findChild<QTextBrowser*>()->source().toString().toStdString(), HasSubstr("index.html"));
    helpWindow()->close();

    const std::array<std::pair<QToolButton*, const char*>, 3> hinted{{
        {form.startButton(), " Запуск хроматографа в ручном режиме "},
        {form.saveButton(), " Сохранить текущую разгонку "},
        {form.modeButton(NivraSystem::continuousMode), " Непрерывный режим "},
    }};
    for (const auto& [button, hint] : hinted) {
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(hint));
        EXPECT_EQ(button->statusTip(), QStringLiteral(" ") + QString::fromUtf8(hint));
    }
    EXPECT_EQ(form.stateIndicator()->toolTip(), QStringLiteral(" Состояние хроматографа "));
    EXPECT_EQ(form.cycleTimeIndicator()->toolTip(), QStringLiteral(" Время с начала цикла "));
    EXPECT_EQ(form.stateIndicator()->text(), QStringLiteral("Г О Т О В"));
    EXPECT_EQ(form.summatorValue()->text(), QStringLiteral("0,00"));

    const std::array<const char*, 4> pages{"Хроматограмма", "Журнал", "Таблица", "История"};
    ASSERT_EQ(form.pages()->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form.pages()->tabText(i), QString::fromUtf8(pages[static_cast<std::size_t>(i)]));
    EXPECT_EQ(form.pages()->currentIndex(), 0);
}

TEST_F(MainWindowTest, ModeButtonsSetStoreAndShowTheMode)
{
    TNivraMainForm& form = open([](Configuration& settings) { settings.thresholdValue = 1.5; });
    EXPECT_FALSE(form.modeButton(NivraSystem::summatorMode)->isEnabled()) << "no summator, no total gas";
    EXPECT_EQ(form.modeButton(NivraSystem::summatorMode)->toolTip(),
              QStringLiteral(" Режим запуска при показаниях газосумматора более чем: 1,500%"));

    for (const std::int32_t mode : {NivraSystem::continuousMode, NivraSystem::timeMode, NivraSystem::depthMarkMode,
                                    NivraSystem::manualMode}) {
        SCOPED_TRACE(mode);
        form.modeButton(mode)->click();
        EXPECT_EQ(station->system().workMode(), mode);
        EXPECT_TRUE(form.modeButton(mode)->isChecked());
        EXPECT_EQ(form.modeIndicator()->text(), QString::fromStdString(NivraSystem::modeName(mode)));
        EXPECT_EQ(setting("NivraSystem", "work_mode"), "0" + std::to_string(mode) + "000000") << "stored at once";
    }

    form.action("Временной режим")->trigger();
    EXPECT_EQ(station->system().workMode(), NivraSystem::timeMode);
    EXPECT_TRUE(form.modeButton(NivraSystem::timeMode)->isChecked());
    EXPECT_TRUE(form.action("Временной режим")->isChecked());
    EXPECT_FALSE(form.action("Ручной режим")->isChecked());
    EXPECT_THAT(form.modeButton(NivraSystem::timeMode)->toolTip().toStdString(),
                HasSubstr(" Режим работы по времени с интервалом "));
}

TEST_F(MainWindowTest, SummatorModeNeedsASummatorOrTheTotalGas)
{
    TNivraMainForm& form = open([](Configuration& settings) { settings.thresholdByTotalGas = true; });
    EXPECT_TRUE(form.modeButton(NivraSystem::summatorMode)->isEnabled());
    form.modeButton(NivraSystem::summatorMode)->click();
    EXPECT_EQ(station->system().workMode(), NivraSystem::summatorMode);
}

TEST_F(MainWindowTest, VisibilityFollowsTheSettings)
{
    TNivraMainForm& form = open([](Configuration& settings) {
        settings.summatorUse = true;
        settings.summatorShow = true;
        settings.summatorShowWindow = false;
    });
    EXPECT_TRUE(form.summatorStripShown());
    EXPECT_FALSE(form.summatorChart()->isVisibleTo(&form));
    EXPECT_EQ(form.saveButton()->isEnabled(), !station->system().saveAllValues());
}

// F11 opens the working settings over the running station; what "OK" stored shows at once.
TEST_F(MainWindowTest, WorkSettingsOpenWithF11AndTheWindowTakesWhatWasStored)
{
    TNivraMainForm& form = open([](Configuration& settings) {
        settings.settingsMode = true;
        settings.summatorUse = true;
        settings.summatorShow = false;
    });
    ASSERT_FALSE(form.summatorStripShown());
    bool answered = false;
    modal::answerModal([&answered](QWidget& window) {
        auto* dialog = qobject_cast<TOptForm*>(&window);
        ASSERT_NE(dialog, nullptr);
        for (auto* box : dialog->findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("Выводить показания газосумматора на экран"))
                box->setChecked(true);
        dialog->okButton()->click();
        answered = true;
    });
    form.action(QStringLiteral("Рабочие настройки..."))->trigger();
    ASSERT_TRUE(answered);
    EXPECT_TRUE(configuration.summatorShow);
    EXPECT_TRUE(form.summatorStripShown());
    EXPECT_EQ(setting("газосумматор", "show"), "1");
}

// A fresh installation: the setup wizard comes while the window is being made, before it is
// shown; what it chose is in the settings file at once.
TEST_F(MainWindowTest, AFirstStartRunsTheSetupWizardBeforeTheWindowShows)
{
    bool answered = false;
    bool windowMadeBefore = true;
    modal::answerModal([&](QWidget& shown) {
        auto* wizard = qobject_cast<TOptMasterForm*>(&shown);
        ASSERT_NE(wizard, nullptr);
        windowMadeBefore = window != nullptr;
        for (int step = 0; step < 3 && !wizard->okButton()->isEnabled(); ++step)
            wizard->nextButton()->click();
        wizard->useSummator()->setChecked(true);
        wizard->okButton()->click();
        answered = true;
    });
    TNivraMainForm& form = open([](Configuration& settings) { settings.firstStart = true; });
    ASSERT_TRUE(answered);
    EXPECT_FALSE(windowMadeBefore);
    EXPECT_TRUE(configuration.summatorUse);
    EXPECT_EQ(setting("газосумматор", "use"), "1");
    EXPECT_TRUE(form.isVisible());
}

// The windows of the menu: the threshold, the gas times (one window, kept) and About.
TEST_F(MainWindowTest, TheSmallWindowsOpenFromTheirItems)
{
    TNivraMainForm& form = open();
    QString thresholdTitle;
    modal::answerModal([&](QWidget& shown) {
        thresholdTitle = shown.windowTitle();
        static_cast<QDialog&>(shown).reject();
    });
    form.action(QStringLiteral("Порог срабатывания..."))->trigger();
    EXPECT_EQ(thresholdTitle, QStringLiteral("  Порог срабатывания хроматографа"));

    QString aboutTitle;
    modal::answerModal([&](QWidget& shown) {
        aboutTitle = shown.windowTitle();
        static_cast<QDialog&>(shown).reject();
    });
    form.action(QStringLiteral("О программе..."))->trigger();
    EXPECT_EQ(aboutTitle, QStringLiteral("  О программе"));

    form.action(QStringLiteral("Время выхода газов"))->trigger();
    QWidget* gasTimes = form.gasTimesWindow();
    ASSERT_NE(gasTimes, nullptr);
    EXPECT_TRUE(gasTimes->isVisible());
    EXPECT_EQ(gasTimes->windowTitle(), QStringLiteral(" Корректировка времени выхода газа"));
    gasTimes->hide();
    form.action(QStringLiteral("Время выхода газов"))->trigger();
    EXPECT_EQ(form.gasTimesWindow(), gasTimes) << "kept from its first showing";
    EXPECT_TRUE(gasTimes->isVisible());
}

TEST_F(MainWindowTest, SettingsModePlaysItsFiveTonesWhenEntered)
{
    TNivraMainForm& form = open();
    QAction* item = form.action("Настроечный режим...");
    item->trigger();
    EXPECT_TRUE(configuration.settingsMode);
    EXPECT_TRUE(item->isChecked());
    const std::vector<std::pair<int, int>> expected{{600, 30}, {0, 20}, {800, 30}, {0, 20}, {1000, 30},
                                                    {0, 20},   {1200, 30}, {0, 20}, {1400, 30}};
    EXPECT_EQ(tones(), expected);

    item->trigger();
    EXPECT_FALSE(configuration.settingsMode);
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(tones(), expected) << "leaving it is silent";
}

// The demonstration signal runs a real cycle without an instrument.
TEST_F(MainWindowTest, WhileWorkingTheStateBlinksAndTheAdcAndSecondsShow)
{
    TNivraMainForm& form = open([](Configuration& settings) {
        settings.demo = true;
        settings.showAdcValue = true;
    });
    form.action("Запуск")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station->idle(); }, 20000));

    std::vector<QString> shown;
    for (int i = 0; i < 4; ++i) {
        form.tick();
        shown.push_back(form.stateIndicator()->text());
    }
    EXPECT_THAT(shown, ::testing::Contains(QStringLiteral("Р А Б О Т А")));
    EXPECT_THAT(shown, ::testing::Contains(QString()));
    EXPECT_EQ(form.stateIndicator()->gradientColor1(), 0x0000FFu);  // red
    EXPECT_TRUE(form.cycleTimeIndicator()->text().endsWith(QStringLiteral(" с.")));

    const QRegularExpression hexadecimal(QStringLiteral("^АЦП=[0-9A-F]{4}h ДИАП=\\d+\\[0\\]$"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return hexadecimal.match(adcText(form)).hasMatch(); }, 20000))
        << adcText(form).toStdString();
    configuration.adcValueMode = 1;
    form.tick();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^АЦП=\\d+ ДИАП=\\d+\\[0\\]$")).match(adcText(form)).hasMatch())
        << adcText(form).toStdString();

    // Closing is refused while the chromatograph works.
    const auto refusal = answerNextBox(QMessageBox::Ok);
    form.close();
    ASSERT_TRUE(refusal->has_value());
    EXPECT_EQ(**refusal, QStringLiteral("Для закрытия программы дождитесь завершения работы хроматографа"));
    EXPECT_FALSE(form.closedDown());
    EXPECT_TRUE(form.isVisible());

    // The setup wizard waits for the end of the cycle too.
    form.action(QStringLiteral("Настроечный режим..."))->trigger();
    const auto wizardRefusal = answerNextBox(QMessageBox::Ok);
    form.action(QStringLiteral("Общие настройки..."))->trigger();
    ASSERT_TRUE(wizardRefusal->has_value());
    EXPECT_EQ(**wizardRefusal, QStringLiteral("Общую настройку нельзя производить при запущенном рабочем цикле. "
                                              "Дождитесь окончания цикла работы."));
}

TEST_F(MainWindowTest, ClosingIsAskedAndThenEveryStoreIsWritten)
{
    TNivraMainForm& form = open();
    const auto no = answerNextBox(QMessageBox::No);
    form.action("Выход из программы")->trigger();
    ASSERT_TRUE(no->has_value());
    EXPECT_EQ(**no, QStringLiteral("Вы действительно хотите выйти из программы ?"));
    EXPECT_FALSE(form.closedDown());
    EXPECT_TRUE(form.isVisible());

    form.resize(900, 650);
    const auto yes = answerNextBox(QMessageBox::Yes);
    form.close();
    ASSERT_TRUE(yes->has_value());
    EXPECT_TRUE(form.closedDown());
    EXPECT_FALSE(form.isVisible());

    EXPECT_EQ(setting("режим_работы", "FirstStart"), "0");
    EXPECT_EQ(setting("главное_окно", "width"), "900");
    EXPECT_EQ(setting("главное_окно", "height"), "650");
    EXPECT_EQ(setting("главное_окно", "state"), "0");
    EXPECT_NE(setting("TextGrid", "reverse_mode"), "<none>");
    for (const char* store : {"calibr.ini", "nivra2.history", "события.txt"})
        EXPECT_TRUE(std::filesystem::exists(folder / store)) << store;
    const auto& lines = station->journal().lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_THAT(lines[lines.size() - 2], HasSubstr("Закрытие программы"));
    EXPECT_EQ(lines.back(), "");
}

// The summator chart beside the chromatogram keeps the operator's time scale and value range.
TEST_F(MainWindowTest, TheSummatorChartShowsWithItsSettingsAndStoresThemAtClosing)
{
    const auto withChart = [](Configuration& settings) {
        settings.summatorUse = true;
        settings.summatorShowWindow = true;
        settings.summatorWinScale = 7;
        settings.summatorWinXmin = 0;
        settings.summatorWinXmax = 20;
    };
    TNivraMainForm& form = open(withChart);
    ASSERT_TRUE(form.summatorChart()->isVisibleTo(&form));
    EXPECT_EQ(form.summatorChart()->scaleList()->currentText(), QStringLiteral("1 час"));
    form.summatorChart()->scaleList()->setCurrentIndex(9);

    const auto yes = answerNextBox(QMessageBox::Yes);
    form.close();
    ASSERT_TRUE(form.closedDown());
    EXPECT_EQ(setting("газосумматор", "win_mashtab"), "9");
    EXPECT_EQ(setting("газосумматор", "win_Xmax"), "20");
}

TEST_F(MainWindowTest, APlacementIsReadBackOnTheNextStart)
{
    {
        lib::IniFile ini(folder / Configuration::iniFileName);
        ini.writeInteger("главное_окно", "top", 40);
        ini.writeInteger("главное_окно", "left", 30);
        ini.writeInteger("главное_окно", "width", 1000);
        ini.writeInteger("главное_окно", "height", 700);
        ini.writeInteger("главное_окно", "state", 0);
    }
    TNivraMainForm& form = open();
    EXPECT_EQ(form.geometry().size(), QSize(1000, 700));
}

TEST_F(MainWindowTest, AStartThatFailsIsShownOnTheDisplay)
{
    TNivraMainForm& form = open([&](Configuration& settings) {
        settings.demo = false;
        settings.portName = (folder / "no-such-port").string();
    });
    form.startButton()->click();
    EXPECT_FALSE(station->system().curve.title().empty());
    EXPECT_TRUE(station->idle());
}

TEST_F(MainWindowTest, TheJournalPageShowsTheStart)
{
    TNivraMainForm& form = open();
    form.pages()->setCurrentWidget(form.journalPage());
    QAbstractItemModel* model = form.journalPage()->list()->model();
    ASSERT_GE(model->rowCount(), 1);
    EXPECT_THAT(model->index(model->rowCount() - 1, 0).data().toString().toStdString(), HasSubstr("Запуск программы"));
}

} // namespace

namespace {

// Qt's own buttons read in Russian like the rest of the station, whatever the system's language.
TEST(QtTranslations, StandardButtonsReadInRussian)
{
    ASSERT_TRUE(QtTranslations::install(*QCoreApplication::instance())) << "qt6-translations-l10n installed?";
    QMessageBox box(QMessageBox::Question, QStringLiteral("  Завершение работы"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));
}

} // namespace

namespace {

// A start against an instrument that never answers returns at once; the failure comes later
// with the timer, so the window is never held up by the line.
TEST_F(MainWindowTest, ASilentInstrumentNeverHoldsUpTheWindow)
{
    platform::PseudoTerminal silent;
    TNivraMainForm& form = open([&](Configuration& settings) {
        settings.demo = false;
        settings.portName = silent.slavePath();
    });
    form.startButton()->click();
    EXPECT_TRUE(station->system().isStarting()) << "the answer is awaited off the window thread";
    EXPECT_TRUE(station->system().curve.title().empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station->system().curve.title().empty(); }, 30000));
    EXPECT_EQ(station->system().curve.title(), NivraSystem::noAnswerText);
    EXPECT_TRUE(station->idle());
}

} // namespace

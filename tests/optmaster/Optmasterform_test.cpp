#include "dialogs/Optmasterform.h"
#include "settings/Chromatographmodel.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"
#include "widgets/Mygridpopuplist.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

#include <cstdlib>
#include <memory>

namespace {

using ::testing::ElementsAre;
using modal::answerModal;

constexpr int deadlineMs = 20'000;

// On its box, where the operator clicks: the widget's middle may lie beyond its text.
void clickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}
enum Page { mainPage, gasesPage, summatorPage, closingPage };

struct Message {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int page = -1;         // the wizard's page while the message is up
    int currentRow = -1;   // and its grid's current row
};

// The window with its pop-up list where it is on the screen.
void savePicture(QWidget& window, QWidget& popup, const char* name)
{
    const QRect area = window.frameGeometry().united(popup.geometry());
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawPixmap(window.mapToGlobal(QPoint(0, 0)) - area.topLeft(), window.grab());
    painter.drawPixmap(popup.geometry().topLeft() - area.topLeft(), popup.grab());
    painter.end();
    picture.save(QStringLiteral(NIVRA_OPTMASTER_PICTURES "/%1.png").arg(name));
}

class OptMasterFormTest : public ::testing::Test {
protected:
    OptMasterFormTest()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (dir / "slots").c_str(), 1);
        configuration.loadProgramSettings(dir.path());
        system = std::make_unique<NivraSystem>(configuration, notifier, dir.path());
    }
    ~OptMasterFormTest() override
    {
        form.reset();
        system.reset();
        ::unsetenv("NIVRA_MAILSLOT_DIR");
    }

    void open()
    {
        form = std::make_unique<TOptMasterForm>(*system, configuration);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void next(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(form->nextButton(), Qt::LeftButton);
    }
    int page() const { return form->pages()->currentIndex(); }
    TMyGrid& grid() const { return *form->gasGrid(); }
    QStringList column(int col) const
    {
        QStringList texts;
        for (int row = 1; row < grid().rowCount(); ++row)
            texts << grid().cell(col, row);
        return texts;
    }
    // From step 1: the count, then step 2 with these names, then on to the last step.
    void enterList(int count, const QStringList& names)
    {
        form->countBox()->setValue(count);
        next();
        ASSERT_EQ(grid().rowCount(), count + 1);
        for (int i = 0; i < names.size(); ++i)
            grid().setCell(1, i + 1, names[i]);
        next(2);
        ASSERT_EQ(page(), closingPage);
    }
    // Presses "OK" and records the error box it raises, if any.
    Message pressOkExpectingMessage()
    {
        Message message;
        answerModal(
            [&](QWidget& window) {
                auto* box = qobject_cast<QMessageBox*>(&window);
                ASSERT_NE(box, nullptr);
                message = {box->windowTitle(), box->text(), box->icon(), page(), grid().currentRow()};
                box->button(QMessageBox::Ok)->click();
            },
            form.get());
        QTest::mouseClick(form->okButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !message.caption.isEmpty(); }, deadlineMs));
        return message;
    }
    std::vector<std::string> tableNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < system->gazOptions.count(); ++i)
            names.push_back(system->gazOptions.gas(static_cast<std::size_t>(i)).name);
        return names;
    }

    test::TemporaryDirectory dir;
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::unique_ptr<NivraSystem> system;
    std::unique_ptr<TOptMasterForm> form;
};

TEST_F(OptMasterFormTest, StepsLabelButtonsAndPicturesOfEveryStep)
{
    configuration.summatorUse = true;
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" Настройка программы"));
    EXPECT_TRUE(form->isModal());
    EXPECT_EQ(form->findChild<QLabel*>("lbModel")->text(), QStringLiteral("ЛТ-4КС"));
    EXPECT_FALSE(form->findChild<QComboBox*>("cbModel")->isVisible());
    EXPECT_EQ(form->countBox()->value(), 6);
    EXPECT_EQ(form->countBox()->minimum(), 1);
    EXPECT_EQ(form->countBox()->maximum(), 15);

    struct Expected {
        const char* label;
        bool previous, next, ok;
    };
    const Expected steps[] = {
        {"Шаг 1 из 4", false, true, false},
        {"Шаг 2 из 4", true, true, false},
        {"Шаг 3 из 4", true, true, false},
        {"Шаг 4 из 4", true, false, true},
    };
    for (int step = 0; step < 4; ++step) {
        ASSERT_EQ(page(), step);
        EXPECT_EQ(form->stepLabel()->text(), QString::fromUtf8(steps[step].label));
        EXPECT_EQ(form->previousButton()->isEnabled(), steps[step].previous) << step;
        EXPECT_EQ(form->nextButton()->isEnabled(), steps[step].next) << step;
        EXPECT_EQ(form->okButton()->isEnabled(), steps[step].ok) << step;
        form->grab().save(QStringLiteral(NIVRA_OPTMASTER_PICTURES "/optmaster-step%1.png").arg(step + 1));
        next();
    }
    EXPECT_EQ(page(), closingPage) << "no page after the last";
    QTest::mouseClick(form->previousButton(), Qt::LeftButton);
    EXPECT_EQ(page(), summatorPage);
    EXPECT_EQ(form->stepLabel()->text(), QStringLiteral("Шаг 3 из 4"));
    EXPECT_FALSE(form->okButton()->isEnabled());

    const QString closing = form->findChild<QLabel*>("lbClosing")->text();
    EXPECT_EQ(closing.split('\n').size(), 7);
    EXPECT_TRUE(closing.startsWith(QStringLiteral("Настройка программы завершена.\n\n")));
}

TEST_F(OptMasterFormTest, TheListFollowsTheCountAndKeepsItsNames)
{
    open();
    next();
    EXPECT_EQ(grid().topStrings(), (QStringList{" № ", "     Название газа     "}));
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(column(1), (QStringList{"метан", "этан", "пропан", "бутан", "пентан", "гексан"}));

    QTest::mouseClick(form->previousButton(), Qt::LeftButton);
    form->countBox()->setValue(3);
    next();
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(1), (QStringList{"метан", "этан", "пропан"}));

    QTest::mouseClick(form->previousButton(), Qt::LeftButton);
    form->countBox()->setValue(5);
    next();
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(1), (QStringList{"метан", "этан", "пропан", "", ""})) << "new rows are empty";
}

TEST_F(OptMasterFormTest, ACellTakesOnlyTheNameOfTheChosenLine)
{
    open();
    form->countBox()->setValue(15);
    next();
    grid().setFocus();
    grid().setCurrentCell(1, 2);
    EXPECT_EQ(grid().currentKind(), TMyGrid::ckList);
    QToolButton* button = grid().cellButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Выбор значений из списка "));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(grid().popupList(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid().popupList()->isVisible(); }, deadlineMs));

    MyGridPopupList& list = *grid().popupList();
    ASSERT_EQ(list.count(), 15);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("метан (C1)"));
    EXPECT_EQ(list.item(14)->text(), QStringLiteral("изогексан (C6i)"));
    savePicture(*form, list, "optmaster-step2-list");
    list.setCurrentRow(12);
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid().cell(1, 2) == QStringLiteral("изобутан"); }, deadlineMs))
        << grid().cell(1, 2).toStdString();
    EXPECT_EQ(grid().cell(1, 1), QStringLiteral("метан"));
}

TEST_F(OptMasterFormTest, DuplicatesAreListedAndTheWizardStays)
{
    open();
    enterList(3, {"этан", "метан", "этан"});
    const Message message = pressOkExpectingMessage();
    EXPECT_EQ(message.caption, QStringLiteral(" Ошибка!"));
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.text, QStringLiteral("Программа обнаружила повторяющиеся значения газов:\n1. этан\n"));
    EXPECT_EQ(message.page, gasesPage);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(page(), gasesPage);
    EXPECT_EQ(form->stepLabel()->text(), QStringLiteral("Шаг 2 из 4"));
    EXPECT_EQ(system->gazOptions.count(), 6) << "nothing written";
}

TEST_F(OptMasterFormTest, AnEmptyRowTakesTheOperatorBackToIt)
{
    open();
    enterList(2, {"метан", ""});
    const Message message = pressOkExpectingMessage();
    EXPECT_EQ(message.caption, QStringLiteral(" Ошибка!"));
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.text, QStringLiteral("Обнаружена пустая строка в перечне регистрируемых газов"));
    EXPECT_EQ(message.page, gasesPage);
    EXPECT_EQ(message.currentRow, 2);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(system->gazOptions.count(), 6);
}

TEST_F(OptMasterFormTest, TheDisplayBoxFollowsTheSummatorBoxAtOnce)
{
    configuration.summatorUse = false;
    configuration.summatorShow = true;
    open();
    next(2);
    EXPECT_FALSE(form->useSummator()->isChecked());
    EXPECT_TRUE(form->showSummator()->isChecked());
    EXPECT_FALSE(form->showSummator()->isEnabled()) << "disabled from the start";

    clickBox(form->useSummator());
    EXPECT_TRUE(form->showSummator()->isEnabled());
    clickBox(form->useSummator());
    EXPECT_FALSE(form->showSummator()->isEnabled());
}

TEST_F(OptMasterFormTest, OkWritesTheTableAndTheSwitches)
{
    configuration.deviceType = modelTavir;
    configuration.applyDeviceTimeDefaults();
    const float firstStart = system->gazOptions.gas(0).nominalStart;
    const float secondStart = system->gazOptions.gas(1).nominalStart;
    int listChanges = 0;
    system->gazOptions.gazListChanged.connect([&] { ++listChanges; });

    bool confirmed = false;
    answerModal([&](QWidget& window) {
        auto& wizard = dynamic_cast<TOptMasterForm&>(window);
        EXPECT_EQ(wizard.findChild<QLabel*>("lbModel")->text(), QStringLiteral("Тавир"));
        wizard.countBox()->setValue(4);
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        wizard.gasGrid()->setCell(1, 1, QStringLiteral("этан"));
        wizard.gasGrid()->setCell(1, 2, QStringLiteral("метан"));
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        clickBox(wizard.useSummator());
        clickBox(wizard.showSummator());
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        QTest::mouseClick(wizard.okButton(), Qt::LeftButton);
    });
    TOptMasterForm wizard(*system, configuration);
    confirmed = wizard.execute();

    EXPECT_TRUE(confirmed);
    EXPECT_THAT(tableNames(), ElementsAre("этан", "метан", "пропан", "бутан"));
    EXPECT_EQ(system->gazOptions.gas(0).label, "C2");
    EXPECT_EQ(system->gazOptions.gas(1).label, "C1");
    EXPECT_EQ(system->gazOptions.gas(0).nominalStart, firstStart) << "windows stay with the position";
    EXPECT_EQ(system->gazOptions.gas(1).nominalStart, secondStart);
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(configuration.deviceType, modelTavir);
    EXPECT_TRUE(configuration.summatorUse);
    EXPECT_TRUE(configuration.summatorShow);
}

TEST_F(OptMasterFormTest, CancelWritesNothing)
{
    answerModal([&](QWidget& window) {
        auto& wizard = dynamic_cast<TOptMasterForm&>(window);
        wizard.countBox()->setValue(2);
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
        clickBox(wizard.useSummator());
        QTest::mouseClick(wizard.cancelButton(), Qt::LeftButton);
    });
    TOptMasterForm wizard(*system, configuration);
    EXPECT_FALSE(wizard.execute());
    EXPECT_EQ(system->gazOptions.count(), 6);
    EXPECT_FALSE(configuration.summatorUse);
}

} // namespace

#include "dialogs/Colorselectform.h"
#include "dialogs/Optform.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "station/Controllerfolder.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "testsupport/Recordingnotifier.h"
#include "widgets/Colorselector.h"
#include "widgets/Dlcolorselector.h"
#include "widgets/Mybutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

using ::testing::HasSubstr;
using modal::Answer;
using modal::answerModal;

enum Page { modePage, gasPage, screenPage, summatorPage, miscPage, manufacturerPage };

// Processes events until done says so, within a generous deadline.
bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 30'000);
}

// Answers a message box: records its caption and text, presses OK.
Answer pressOk(QString& caption, QString& text)
{
    return [&caption, &text](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    };
}

class OptFormTest : public station_test::ControllerFolder {
protected:
    OptFormTest() { configuration.saveProgramSettings(); }

    void setTavir()
    {
        configuration.deviceType = modelTavir;
        configuration.applyDeviceTimeDefaults();
    }
    std::unique_ptr<TOptForm> open()
    {
        auto form = std::make_unique<TOptForm>(*system, configuration);
        form->show();
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    template <typename Control>
    static Control* control(TOptForm& form, const char* key)
    {
        auto* found = form.findChild<Control*>(QString::fromUtf8(key));
        EXPECT_NE(found, nullptr) << key;
        return found;
    }
    // Starts editing a cell of the grid and types text over its contents.
    static QLineEdit* typeInto(QTableWidget& grid, int row, int column, const QString& text)
    {
        // The offscreen platform activates no window when a message box closes.
        QApplication::setActiveWindow(grid.window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(grid.window()));
        grid.setFocus();
        grid.setCurrentCell(row, column);
        grid.editItem(grid.item(row, column));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        EXPECT_NE(editor, nullptr);
        if (!editor)
            return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        return editor;
    }
    std::filesystem::path iniPath() const { return dir / Configuration::iniFileName; }

    test::DecimalSeparatorScope separator{','};
};

TEST_F(OptFormTest, OkWritesEveryEditedKeyToTheSettingsFile)
{
    configuration.settingsMode = true;
    configuration.summatorPresent = 2;
    auto form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("  Настройки"));
    EXPECT_TRUE(form->isModal());

    control<QRadioButton>(*form, "work_mode");  // the five share the key
    const auto modes = form->findChildren<QRadioButton*>(QStringLiteral("work_mode"));
    ASSERT_EQ(modes.size(), 5);
    control<QComboBox>(*form, "time_mode_period")->setEditText(QStringLiteral("150"));
    EXPECT_TRUE(modes[1]->isChecked()) << "typing a period chooses the time mode";
    modes[2]->setChecked(true);
    control<QComboBox>(*form, "max_depth_counter")->setCurrentIndex(5);
    control<QCheckBox>(*form, "save_all_values")->setChecked(false);
    const QString times[] = {"3", "24", "31", "36", "56", "71", "121"};
    for (int row = 0; row < 7; ++row)
        form->timeGrid()->item(row, 1)->setText(times[row]);

    form->gasGrid()->item(0, 1)->setText(QStringLiteral("CH4"));
    form->gasGrid()->item(0, 2)->setText(QStringLiteral("9,5"));
    control<QCheckBox>(*form, "коррекция_штокетников")->setChecked(true);
    control<QLineEdit>(*form, "min_gaz_value")->setText(QStringLiteral("0,0002"));

    control<TDLColorSelector>(*form, "цвет_фона")->setColorValue(0x00FFFF);
    control<TDLColorSelector>(*form, "цвет_кривой")->setColorValue(0x0000FF);
    control<QSpinBox>(*form, "толщина_кривой")->setValue(3);
    control<QComboBox>(*form, "горизонтальная_разлиновка")->setEditText(QStringLiteral("10"));
    control<QComboBox>(*form, "вертикальная_разлиновка")->setEditText(QStringLiteral("20"));
    control<QLineEdit>(*form, "размер_экрана")->setText(QStringLiteral("240"));
    control<QFontComboBox>(*form, "имя_шрифта")->setEditText(QStringLiteral("Courier New"));
    control<QSpinBox>(*form, "размер_шрифта")->setValue(11);
    control<QSpinBox>(*form, "размер_шрифта_таблицы")->setValue(9);

    control<QCheckBox>(*form, "use")->click();
    control<QComboBox>(*form, "имя_сумм")->setEditText(QStringLiteral("COM3"));
    control<QCheckBox>(*form, "show")->setChecked(true);
    control<QCheckBox>(*form, "show_win")->setChecked(true);
    control<QComboBox>(*form, "gaz_summ_prec")->setCurrentIndex(4);
    control<QLineEdit>(*form, "coeff")->setText(QStringLiteral("0,2"));
    control<QLineEdit>(*form, "null")->setText(QStringLiteral("0,125"));
    EXPECT_EQ(control<QLineEdit>(*form, "null10")->text(), QStringLiteral("0,125")) << "the hidden field copies";
    control<QLineEdit>(*form, "porog")->setText(QStringLiteral("0,9"));
    control<QLineEdit>(*form, "summ_max1")->setText(QStringLiteral("2"));
    control<QLineEdit>(*form, "summ_max10")->setText(QStringLiteral("20"));

    control<QComboBox>(*form, "имя")->setEditText(QStringLiteral("/dev/ttyUSB0"));
    control<QCheckBox>(*form, "remote_control")->setChecked(false);
    control<QLineEdit>(*form, "пароль")->setText(QStringLiteral("секрет"));

    control<QComboBox>(*form, "scr_adc_value_mode")->setCurrentIndex(1);
    control<QCheckBox>(*form, "значения_АЦП")->setChecked(true);
    control<QComboBox>(*form, "время_расчёта_нуля")->setCurrentIndex(2);

    form->okButton()->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);

    Configuration saved;
    saved.loadProgramSettings(dir.path());
    EXPECT_THAT(saved.programmeTimes, ::testing::ElementsAre(3, 24, 31, 36, 56, 71, 121, 0));
    EXPECT_TRUE(saved.correctWindows);
    EXPECT_DOUBLE_EQ(saved.minGazValue, 0.0002);
    EXPECT_EQ(saved.backgroundColor, 0x00FFFFu);
    EXPECT_EQ(saved.curveColor, 0x0000FFu);
    EXPECT_EQ(saved.curveWidth, 3);
    EXPECT_EQ(saved.horizontalGrid, 10);
    EXPECT_EQ(saved.verticalGrid, 20);
    EXPECT_EQ(saved.screenSeconds, 240);
    EXPECT_EQ(saved.fontName, "Courier New");
    EXPECT_EQ(saved.fontSize, 11);
    EXPECT_EQ(saved.tableFontSize, 9);
    EXPECT_TRUE(saved.summatorUse);
    EXPECT_EQ(saved.summatorPresent, 0) << "clicking \"Использовать газосумматор\" clears the presence";
    EXPECT_EQ(saved.summatorPortName, "COM3");
    EXPECT_TRUE(saved.summatorShow);
    EXPECT_TRUE(saved.summatorShowWindow);
    EXPECT_EQ(saved.summatorPrecision, 4);
    EXPECT_FLOAT_EQ(saved.summatorCoeff, 0.2f);
    EXPECT_FLOAT_EQ(saved.summatorNull, 0.125f);
    EXPECT_FLOAT_EQ(saved.summatorNull10, 0.125f);
    EXPECT_FLOAT_EQ(saved.summatorSwitchThreshold, 0.9f);
    EXPECT_DOUBLE_EQ(saved.summatorMax1, 2);
    EXPECT_DOUBLE_EQ(saved.summatorMax10, 20);
    EXPECT_EQ(saved.portName, "/dev/ttyUSB0");
    EXPECT_FALSE(saved.remoteControl);
    EXPECT_EQ(saved.password, "секрет");
    EXPECT_EQ(saved.adcValueMode, 1);
    EXPECT_TRUE(saved.showAdcValue);
    EXPECT_EQ(saved.zeroTime, 3);

    NivraSystem reloaded(saved, notifier, dir.path());
    reloaded.load();
    EXPECT_EQ(reloaded.workMode(), NivraSystem::continuousMode);
    EXPECT_EQ(reloaded.timeModePeriod(), 150);
    EXPECT_EQ(reloaded.maxDepthCounter(), 6);
    EXPECT_FALSE(reloaded.saveAllValues());
    EXPECT_EQ(reloaded.gazOptions.gas(0).label, "CH4");
    EXPECT_FLOAT_EQ(reloaded.gazOptions.gas(0).nominalStart, 9.5f);
}

TEST_F(OptFormTest, CancelWritesNothing)
{
    configuration.settingsMode = true;
    const std::string before = test::readFile(iniPath());
    auto form = open();
    control<QLineEdit>(*form, "размер_экрана")->setText(QStringLiteral("240"));
    form->gasGrid()->item(0, 1)->setText(QStringLiteral("CH4"));
    form->timeGrid()->item(0, 1)->setText(QStringLiteral("9"));
    control<QCheckBox>(*form, "use")->click();
    form->cancelButton()->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(test::readFile(iniPath()), before);
    EXPECT_EQ(configuration.screenSeconds, 120);
    EXPECT_EQ(configuration.programmeTimes[0], 2);
    EXPECT_FALSE(configuration.summatorUse);
    EXPECT_EQ(system->gazOptions.gas(0).label, "C1");

    // Escape is "Отмена" too.
    form = open();
    control<QLineEdit>(*form, "размер_экрана")->setText(QStringLiteral("240"));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(test::readFile(iniPath()), before);
}

TEST_F(OptFormTest, SettingsModeShowsItsPagesAndControls)
{
    for (const bool settingsMode : {false, true}) {
        configuration.settingsMode = settingsMode;
        auto form = open();
        QTabWidget& pages = *form->pages();
        EXPECT_EQ(pages.tabText(summatorPage), QStringLiteral("Газосумматор"));
        EXPECT_EQ(pages.tabText(miscPage), QStringLiteral("Разное"));
        EXPECT_TRUE(pages.isTabVisible(modePage) && pages.isTabVisible(gasPage) && pages.isTabVisible(screenPage));
        EXPECT_EQ(pages.isTabVisible(summatorPage), settingsMode);
        EXPECT_EQ(pages.isTabVisible(miscPage), settingsMode);
        EXPECT_FALSE(pages.isTabVisible(manufacturerPage));
        for (const char* key : {"коррекция_штокетников", "save_all_values", "имя_шрифта", "размер_шрифта",
                                "размер_шрифта_таблицы", "размер_экрана", "min_gaz_value"})
            EXPECT_EQ(control<QWidget>(*form, key)->isEnabled(), settingsMode) << key;
        EXPECT_EQ(form->timeGrid()->isEnabled(), settingsMode);
        EXPECT_TRUE(control<QWidget>(*form, "толщина_кривой")->isEnabled());

        QTest::mouseDClick(form->topArea(), Qt::LeftButton);
        EXPECT_EQ(pages.isTabVisible(manufacturerPage), settingsMode)
            << "the manufacturer's page only in the settings mode";
        form->cancelButton()->click();
    }
}

TEST_F(OptFormTest, ModeFourFollowsTheSummatorSwitch)
{
    configuration.settingsMode = true;
    auto form = open();
    const auto modes = form->findChildren<QRadioButton*>(QStringLiteral("work_mode"));
    ASSERT_EQ(modes.size(), 5);
    EXPECT_EQ(modes[4]->text(), QStringLiteral("От показаний газосумматора"));
    EXPECT_FALSE(modes[4]->isEnabled()) << "no summator and no total-gas threshold";
    auto* use = control<QCheckBox>(*form, "use");
    QWidget* panel = control<QCheckBox>(*form, "show")->parentWidget();
    EXPECT_TRUE(panel->isHidden());
    use->click();
    EXPECT_TRUE(modes[4]->isEnabled());
    EXPECT_FALSE(panel->isHidden());
    modes[4]->setChecked(true);
    form->okButton()->click();
    EXPECT_EQ(system->workMode(), NivraSystem::summatorMode);

    configuration.summatorUse = false;
    configuration.thresholdByTotalGas = true;
    form = open();
    EXPECT_TRUE(form->findChildren<QRadioButton*>(QStringLiteral("work_mode"))[4]->isEnabled());
    form->cancelButton()->click();
}

TEST_F(OptFormTest, TheShownValues)
{
    configuration.settingsMode = true;
    setTavir();
    configuration.programmeTimes[3] = 70;
    auto form = open();
    EXPECT_EQ(control<QComboBox>(*form, "max_depth_counter")->currentText(), QStringLiteral("2"))
        << "the stored 3 shows as index 2";
    QTableWidget& times = *form->timeGrid();
    ASSERT_EQ(times.rowCount(), 4);
    EXPECT_EQ(times.item(0, 0)->text(), QStringLiteral(" Время начала нагрева "));
    EXPECT_EQ(times.item(2, 1)->text(), QStringLiteral("63")) << "the intensity limited on showing";
    EXPECT_EQ(control<QComboBox>(*form, "время1")->currentText(), QStringLiteral("4"));
    EXPECT_EQ(control<QLineEdit>(*form, "min_gaz_value")->text(), QStringLiteral("0,000100"));
    EXPECT_EQ(control<QLineEdit>(*form, "summ_max10")->text(), QStringLiteral("10,000"));

    QTableWidget& gases = *form->gasGrid();
    ASSERT_EQ(gases.rowCount(), 7);
    ASSERT_EQ(gases.columnCount(), 5);
    const QStringList headers{" Название ", "Кракт.назв.", "Нач.вых.,с", "Оконч.вых.,с", " Цвет "};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(gases.horizontalHeaderItem(column)->text(), headers[column]);
    EXPECT_EQ(gases.item(0, 2)->text(), QStringLiteral("10,0"));
    EXPECT_EQ(gases.item(0, 4)->text(), QStringLiteral("255"));

    QStringList labels;
    for (const QLabel* label : form->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Тавир")));

    // The preview follows the first size and the chosen family.
    control<QSpinBox>(*form, "размер_шрифта")->setValue(14);
    EXPECT_EQ(form->fontPreview()->font().pointSize(), 14);
    control<QFontComboBox>(*form, "имя_шрифта")->setEditText(QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(form->fontPreview()->font().family(), QStringLiteral("DejaVu Serif"));
    form->cancelButton()->click();
}

TEST_F(OptFormTest, TimeGridCorrectsAFinishedCell)
{
    configuration.settingsMode = true;
    setTavir();
    auto form = open();
    QTableWidget& grid = *form->timeGrid();

    QString caption;
    QString message;
    answerModal(pressOk(caption, message), form.get());
    QLineEdit* editor = typeInto(grid, 2, 1, QStringLiteral("70"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return !message.isEmpty(); }));
    EXPECT_EQ(caption, QStringLiteral("Ошибка ввода параметра"));
    EXPECT_EQ(message, QStringLiteral("Значение параметра должно быть в интервале 1..63. Значение будет автоматически "
                                      "исправлено."));
    EXPECT_EQ(grid.item(2, 1)->text(), QStringLiteral("63"));
    EXPECT_TRUE(form->isVisible()) << "Enter in the cell finishes the edit, not the dialog";

    // The cycle cell left for another control: corrected, and the focus comes back.
    caption.clear();
    message.clear();
    answerModal(pressOk(caption, message), form.get());
    editor = typeInto(grid, 3, 1, QStringLiteral("50"));
    ASSERT_NE(editor, nullptr);
    grid.item(1, 1)->setText(QStringLiteral("60"));
    control<QComboBox>(*form, "max_depth_counter")->setFocus();
    ASSERT_TRUE(waitFor([&] { return !message.isEmpty(); }));
    EXPECT_EQ(message, QStringLiteral("Длительность цикла должна быть больше времени окончания нагрева! Значение будет "
                                      "автоматически исправлено."));
    EXPECT_EQ(grid.item(3, 1)->text(), QStringLiteral("120"));
    ASSERT_TRUE(waitFor([&] { return form->focusWidget() == &grid; }));

    // A click on a step name moves the cursor to its seconds.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualItemRect(grid.item(0, 0)).center());
    ASSERT_TRUE(waitFor([&] { return grid.currentColumn() == 1; }));
    EXPECT_EQ(grid.currentRow(), 0);
    form->cancelButton()->click();
}

TEST_F(OptFormTest, OkRefusesAReversedWindowAndPointsAtIt)
{
    configuration.settingsMode = true;
    auto form = open();
    QTableWidget& grid = *form->gasGrid();
    QString caption;
    QString message;
    grid.item(0, 3)->setText(QStringLiteral("8"));  // метан 10 – 8
    answerModal(pressOk(caption, message), form.get());
    form->okButton()->click();
    ASSERT_TRUE(waitFor([&] { return !message.isEmpty(); }));
    EXPECT_EQ(caption, QStringLiteral("Ошибка ввода параметра"));
    EXPECT_THAT(message.toStdString(), HasSubstr("\"метан\""));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pages()->currentIndex(), static_cast<int>(gasPage));
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_FLOAT_EQ(system->gazOptions.gas(0).nominalEnd, 15.0f);

    // A new gas without its end is refused the same way.
    grid.item(0, 3)->setText(QStringLiteral("15"));
    grid.item(6, 0)->setText(QStringLiteral("гептан"));
    grid.item(6, 2)->setText(QStringLiteral("80"));
    message.clear();
    answerModal(pressOk(caption, message), form.get());
    form->okButton()->click();
    ASSERT_TRUE(waitFor([&] { return !message.isEmpty(); }));
    EXPECT_THAT(message.toStdString(), HasSubstr("\"гептан\""));
    EXPECT_EQ(grid.currentRow(), 6);
    EXPECT_EQ(system->gazOptions.count(), 6);

    grid.item(6, 3)->setText(QStringLiteral("85"));
    form->okButton()->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(system->gazOptions.count(), 7);
}

TEST_F(OptFormTest, ColourCellOpensTheColourSelection)
{
    configuration.settingsMode = true;
    auto form = open();
    form->pages()->setCurrentIndex(gasPage);
    QTableWidget& grid = *form->gasGrid();
    const QPoint cell = grid.visualItemRect(grid.item(0, 4)).center();

    QString title;
    answerModal(
        [&title](QWidget& window) {
            auto* colours = qobject_cast<TColorSelectForm*>(&window);
            ASSERT_NE(colours, nullptr);
            title = colours->windowTitle();
            EXPECT_EQ(colours->colour(), 255u) << "starts at the cell's colour";
            QTest::mouseClick(colours->selector(), Qt::LeftButton, {}, QPoint(4, 4));
            QTest::keyClick(colours, Qt::Key_Escape);
        },
        form.get());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_TRUE(waitFor([&] { return !title.isEmpty() && QApplication::activeModalWidget() == form.get(); }));
    EXPECT_EQ(title, QStringLiteral(" Цвет - ''метан''"));
    EXPECT_EQ(grid.item(0, 4)->text(), QStringLiteral("255")) << "Escape keeps the old colour";
    EXPECT_EQ(grid.currentColumn(), 3) << "the colour column does not keep the cursor";

    std::uint32_t chosen = 0;
    answerModal(
        [&chosen](QWidget& window) {
            auto* colours = qobject_cast<TColorSelectForm*>(&window);
            ASSERT_NE(colours, nullptr);
            QTest::mouseDClick(colours->selector(), Qt::LeftButton, {}, QPoint(4, 4));
            chosen = colours->selector()->colorValue();
        },
        form.get());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_TRUE(waitFor([&] { return grid.item(0, 4)->text() != QStringLiteral("255"); }));
    EXPECT_EQ(grid.item(0, 4)->text(), QString::number(chosen));

    // The empty row has no colour to choose.
    const QPoint empty = grid.visualItemRect(grid.item(6, 4)).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, empty);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeModalWidget(), form.get());
    form->cancelButton()->click();
}

TEST_F(OptFormTest, ZeroCalibrationRunsThirtyTicks)
{
    configuration.settingsMode = true;
    setTavir();
    configuration.summatorNull = 0.5f;
    auto form = open();
    TMyButton& button = *form->zeroShiftButton();
    EXPECT_FALSE(button.isHidden());
    EXPECT_EQ(button.text(), QStringLiteral("Автоматическая установка сдвига нуля"));
    QStringList captions;
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    QObject::connect(timer, &QTimer::timeout, [&] { captions << button.text(); });

    button.click();
    EXPECT_FALSE(button.isEnabled());
    EXPECT_TRUE(configuration.summatorZeroCalibration);
    EXPECT_FALSE(configuration.summatorHighChannel);
    EXPECT_EQ(configuration.summatorNull, 0.0f);
    ASSERT_TRUE(waitFor([&] { return button.isEnabled(); }));
    EXPECT_EQ(form->zeroShiftTicks(), 30);
    ASSERT_EQ(captions.size(), 30);
    EXPECT_EQ(captions[0], QStringLiteral("."));
    EXPECT_EQ(captions[1], QStringLiteral(".."));
    EXPECT_EQ(captions[28], QString(29, QLatin1Char('.')));
    EXPECT_EQ(button.text(), QStringLiteral("Автоматическая установка сдвига нуля"));
    EXPECT_FALSE(configuration.summatorZeroCalibration);
    EXPECT_EQ(control<QLineEdit>(*form, "null")->text(), QStringLiteral("0,000")) << "no readings: offset 0";

    // Written at once: kept when the dialog is cancelled.
    form->cancelButton()->click();
    EXPECT_EQ(configuration.summatorNull, 0.0f);
}

TEST_F(OptFormTest, TypeSelectorWritesTheTypeAtOnce)
{
    configuration.settingsMode = true;
    auto form = open();
    QTest::mouseDClick(form->topArea(), Qt::LeftButton);
    ASSERT_TRUE(form->pages()->isTabVisible(manufacturerPage));
    auto* type = control<QComboBox>(*form, "device_type");
    EXPECT_FALSE(type->isVisible());
    QTest::mouseDClick(form->manufacturerArea(), Qt::LeftButton);
    EXPECT_TRUE(type->isVisible());
    type->setCurrentIndex(1);
    EXPECT_EQ(configuration.deviceType, modelTavir);
    EXPECT_EQ(form->timeGrid()->rowCount(), 4);
    EXPECT_EQ(form->timeGrid()->item(3, 1)->text(), QStringLiteral("120"));
    form->cancelButton()->click();
    EXPECT_EQ(configuration.deviceType, modelTavir) << "kept on cancel";
}

// Every page as the operator sees it, on a 1024 × 768 screen.
TEST_F(OptFormTest, EveryPageFitsAndIsDrawn)
{
    configuration.settingsMode = true;
    for (const std::int32_t type : {modelLT4KS, modelTavir}) {
        configuration.deviceType = type;
        configuration.applyDeviceTimeDefaults();
        configuration.summatorUse = type == modelTavir;  // the summator panel both hidden and shown
        auto form = open();
        QTest::mouseDClick(form->topArea(), Qt::LeftButton);
        QTest::mouseDClick(form->manufacturerArea(), Qt::LeftButton);
        for (int page = 0; page < form->pages()->count(); ++page) {
            form->pages()->setCurrentIndex(page);
            QApplication::processEvents();
            const QSize size = form->size();
            EXPECT_LE(size.width(), 1024 - 16) << page;
            EXPECT_LE(size.height(), 768 - 48) << page;
            form->grab().save(QStringLiteral(NIVRA_OPTFORM_PICTURES "/optform-type%1-page%2.png").arg(type).arg(page));
        }
        form->cancelButton()->click();
    }
    configuration.settingsMode = false;
    configuration.deviceType = modelLT4KS;
    configuration.applyDeviceTimeDefaults();
    auto form = open();
    form->grab().save(QStringLiteral(NIVRA_OPTFORM_PICTURES "/optform-operator.png"));
    form->cancelButton()->click();
}

} // namespace

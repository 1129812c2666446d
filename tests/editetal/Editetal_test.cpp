#include "analysis/Etalrecordedit.h"
#include "analysis/Gazetalline.h"
#include "analysis/Gazopts.h"
#include "dialogs/Editetalform.h"
#include "dialogs/Etalstartform.h"
#include "library/Lockobject.h"
#include "settings/Inifile.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using modal::answerModal;
using Texts = std::vector<std::string>;

constexpr int valueColumn = 1;

void savePicture(QWidget& window, const char* name)
{
    window.grab().save(QStringLiteral(NIVRA_EDITETAL_PICTURES "/%1.png").arg(QString::fromUtf8(name)));
}

std::vector<double> concentrations(const GazEtalLine& entry)
{
    std::vector<double> values;
    for (const GazEtalPoint& point : entry.points)
        values.push_back(point.concentration);
    return values;
}

std::vector<double> areas(const GazEtalLine& entry)
{
    std::vector<double> values;
    for (const GazEtalPoint& point : entry.points)
        values.push_back(point.area);
    return values;
}

Texts cells(const TMyGrid& grid, int column)
{
    Texts texts;
    for (int row = 1; row < grid.rowCount(); ++row)
        texts.push_back(grid.cell(column, row).toStdString());
    return texts;
}

// Types into a value cell as the operator does; the text is not entered, OK has to take it.
void typeInto(TMyGrid& grid, int row, const QString& text)
{
    grid.setFocus();
    grid.setCurrentCell(valueColumn, row);
    // The first key opens the cell's editor, which takes the focus and the keys after it.
    for (const QChar character : text) {
        QWidget* focus = grid.window()->focusWidget();
        QTest::keyClicks(focus ? focus : &grid, QString(character));
    }
    ASSERT_TRUE(grid.editing());
}

// An answer that did not close its dialog is a failure, not a test that hangs.
void failIfStillOpen(QDialog& dialog)
{
    QTimer::singleShot(10'000, &dialog, [&dialog] {
        if (!dialog.isVisible())
            return;
        ADD_FAILURE() << "the dialog stayed open";
        dialog.reject();
    });
}

// A key reaches the widget with the focus, as the operator's key does.
void pressKey(QWidget& window, Qt::Key key)
{
    QWidget* focus = window.focusWidget();
    QTest::keyClick(focus ? focus : &window, key);
}

void choose(QComboBox& list, const QString& text)
{
    const int index = list.findText(text, Qt::MatchExactly);
    ASSERT_GE(index, 0) << text.toStdString();
    list.setCurrentIndex(index);
}

class EditEtalFormTest : public ::testing::Test {
protected:
    GazEtalLine dilutedEntry() const
    {
        GazEtalLine entry;
        entry.dilution = "2 / 10";
        entry.repeats = 4;
        entry.points = {{1, 100}, {0.1, 20}, {0, 0}, {0, 0}, {0, 0}, {0.02, 7}};
        return entry;
    }
    void writePresets(const std::string& value)
    {
        lib::IniFile ini(settings);
        ini.writeString("калибровка", "проценты", value);
    }

    test::DecimalSeparatorScope separator{'.'};
    test::TemporaryDirectory folder;
    std::filesystem::path settings = folder / "хроматограф.ini";
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
};

TEST_F(EditEtalFormTest, AddingShowsThePresetsAndOkStoresTheDilutedSharesAndTheTypedTexts)
{
    writePresets("1, \"0,5\"");
    TEditEtalForm form(gases, settings);
    GazEtalLine entry;
    entry.points.assign(6, GazEtalPoint{});
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("  Добавить"));
        EXPECT_EQ(form.grid()->cell(0, 1), QStringLiteral("метан, %"));
        EXPECT_EQ(form.grid()->cell(0, 6), QStringLiteral("гексан, %"));
        EXPECT_EQ(cells(*form.grid(), valueColumn), (Texts{"1", "0,5", "", "", "", ""}));
        EXPECT_TRUE(form.dilutionBox()->isEnabled());
        EXPECT_FALSE(form.dilutionBox()->isChecked());
        EXPECT_FALSE(form.partsList()->isEnabled());
        EXPECT_FALSE(form.totalList()->isEnabled());
        EXPECT_EQ(form.repeatsList()->currentText(), QStringLiteral("3"));
        EXPECT_EQ(form.repeatsList()->count(), 10);
        EXPECT_EQ(form.totalList()->itemText(0), QStringLiteral("  10"));

        QTest::mouseClick(form.dilutionBox(), Qt::LeftButton);
        EXPECT_TRUE(form.partsList()->isEnabled());
        EXPECT_TRUE(form.totalList()->isEnabled());
        choose(*form.partsList(), QStringLiteral("5"));
        choose(*form.totalList(), QStringLiteral(" 100"));
        choose(*form.repeatsList(), QStringLiteral("5"));
        typeInto(*form.grid(), 3, QStringLiteral("2,5"));
        savePicture(form, "editetal-add");
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(form.addRecord(entry));

    EXPECT_EQ(entry.dilution, "5 / 100");
    EXPECT_EQ(entry.repeats, 5);
    const std::vector<double> expected{0.05, 0.025, 0.125, 0, 0, 0};
    ASSERT_EQ(entry.points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(entry.points[i].concentration, expected[i]) << i;
    // The typed texts preset the next entry.
    EXPECT_EQ(EtalRecordEdit::forAdd(6, EtalRecordEdit::readPresets(settings)).absolutes,
              (Texts{"1", "0,5", "2,5", "", "", ""}));
}

TEST_F(EditEtalFormTest, EditingADilutedEntryShowsAbsoluteValuesAndKeepsTheAreas)
{
    TEditEtalForm form(gases, settings);
    GazEtalLine entry = dilutedEntry();
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("  Редактирование"));
        EXPECT_TRUE(form.dilutionBox()->isEnabled());
        EXPECT_TRUE(form.dilutionBox()->isChecked());
        EXPECT_TRUE(form.partsList()->isEnabled());
        EXPECT_EQ(form.partsList()->currentText(), QStringLiteral("2"));
        EXPECT_EQ(form.totalList()->currentText(), QStringLiteral("  10"));
        EXPECT_EQ(form.repeatsList()->currentText(), QStringLiteral("4"));
        EXPECT_EQ(cells(*form.grid(), valueColumn),
                  (Texts{"5.000000", "0.500000", "0.000000", "0.000000", "0.000000", "0.100000"}));
        savePicture(form, "editetal-edit");
        typeInto(*form.grid(), 1, QStringLiteral("6"));
        QTest::keyClick(form.grid(), Qt::Key_Return);
        form.okButton()->click();
    });
    ASSERT_TRUE(form.editRecord(entry));

    EXPECT_EQ(entry.dilution, "2 / 10");
    EXPECT_EQ(entry.repeats, 4);
    const std::vector<double> expected{1.2, 0.1, 0, 0, 0, 0.02};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(entry.points[i].concentration, expected[i], 1e-12) << i;
    EXPECT_EQ(areas(entry), areas(dilutedEntry()));
    // Editing writes no presets.
    EXPECT_TRUE(EtalRecordEdit::readPresets(settings).empty());
}

TEST_F(EditEtalFormTest, ClearingTheBoxOfADilutedEntryStoresTheSharesUndiluted)
{
    TEditEtalForm form(gases, settings);
    GazEtalLine entry = dilutedEntry();
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        QTest::mouseClick(form.dilutionBox(), Qt::LeftButton);
        EXPECT_FALSE(form.partsList()->isEnabled());
        EXPECT_FALSE(form.totalList()->isEnabled());
        form.okButton()->click();
    });
    ASSERT_TRUE(form.editRecord(entry));
    EXPECT_EQ(entry.dilution, "");
    EXPECT_DOUBLE_EQ(entry.points[0].concentration, 5);
}

TEST_F(EditEtalFormTest, AnUndilutedEntryCannotBeGivenADilutionWhenEdited)
{
    TEditEtalForm form(gases, settings);
    // The same form edits a diluted entry first: nothing of it may stay.
    GazEtalLine diluted = dilutedEntry();
    answerModal([](QWidget& window) { dynamic_cast<TEditEtalForm&>(window).cancelButton()->click(); });
    ASSERT_FALSE(form.editRecord(diluted));

    GazEtalLine entry;
    entry.repeats = 2;
    entry.points.assign(6, GazEtalPoint{0.5, 3});
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        EXPECT_FALSE(form.dilutionBox()->isEnabled());
        EXPECT_FALSE(form.dilutionBox()->isChecked());
        EXPECT_FALSE(form.partsList()->isEnabled());
        EXPECT_FALSE(form.totalList()->isEnabled());
        EXPECT_EQ(form.repeatsList()->currentText(), QStringLiteral("2"));
        EXPECT_EQ(cells(*form.grid(), valueColumn).front(), "0.500000");
        savePicture(form, "editetal-edit-undiluted");
        form.okButton()->click();
    });
    ASSERT_TRUE(form.editRecord(entry));
    EXPECT_EQ(entry.dilution, "");
    EXPECT_EQ(entry.repeats, 2);
    EXPECT_EQ(concentrations(entry), std::vector<double>(6, 0.5));
}

TEST_F(EditEtalFormTest, CancelChangesNothing)
{
    writePresets("\"1,2,3\"");
    const std::string before = test::readFile(settings);
    TEditEtalForm form(gases, settings);
    for (const bool adding : {true, false}) {
        SCOPED_TRACE(adding ? "add" : "edit");
        GazEtalLine entry = dilutedEntry();
        answerModal([](QWidget& window) {
            auto& form = dynamic_cast<TEditEtalForm&>(window);
            QTest::mouseClick(form.dilutionBox(), Qt::LeftButton);
            choose(*form.repeatsList(), QStringLiteral("9"));
            typeInto(*form.grid(), 2, QStringLiteral("77"));
            form.cancelButton()->click();
        });
        EXPECT_FALSE(adding ? form.addRecord(entry) : form.editRecord(entry));
        EXPECT_EQ(entry.dilution, dilutedEntry().dilution);
        EXPECT_EQ(entry.repeats, dilutedEntry().repeats);
        EXPECT_EQ(concentrations(entry), concentrations(dilutedEntry()));
        EXPECT_EQ(areas(entry), areas(dilutedEntry()));
        EXPECT_EQ(test::readFile(settings), before);
    }
}

TEST_F(EditEtalFormTest, AStoredValueOutsideTheListsIsShownAndKept)
{
    TEditEtalForm form(gases, settings);
    GazEtalLine entry = dilutedEntry();
    entry.dilution = "3 / 7";
    entry.repeats = 12;
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        EXPECT_EQ(form.partsList()->currentText(), QStringLiteral("3"));
        EXPECT_EQ(form.totalList()->currentText(), QStringLiteral("7"));
        EXPECT_EQ(form.repeatsList()->currentText(), QStringLiteral("12"));
        form.okButton()->click();
    });
    ASSERT_TRUE(form.editRecord(entry));
    EXPECT_EQ(entry.dilution, "3 / 7");
    EXPECT_EQ(entry.repeats, 12);
    // Shown as 2.333333, so stored back a little off: six decimals are what the operator sees.
    EXPECT_NEAR(entry.points[0].concentration, 1, 1e-6);

    // The next filling offers the lists' own choices only.
    GazEtalLine added;
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        EXPECT_EQ(form.partsList()->findText(QStringLiteral("3")), -1);
        EXPECT_EQ(form.totalList()->count(), 23);
        EXPECT_EQ(form.repeatsList()->count(), 10);
        form.cancelButton()->click();
    });
    EXPECT_FALSE(form.addRecord(added));
}

TEST_F(EditEtalFormTest, AClickOnAGasNameGoesToItsValue)
{
    TEditEtalForm form(gases, settings);
    GazEtalLine entry = dilutedEntry();
    answerModal([](QWidget& window) {
        auto& form = dynamic_cast<TEditEtalForm&>(window);
        TMyGrid& grid = *form.grid();
        QHeaderView& names = *grid.verticalHeader();
        const QPoint third(names.width() / 2, names.sectionViewportPosition(2) + names.sectionSize(2) / 2);
        QTest::mouseClick(names.viewport(), Qt::LeftButton, {}, third);
        EXPECT_EQ(grid.currentRow(), 3);
        EXPECT_EQ(grid.currentColumn(), valueColumn);
        QTest::keyClicks(&grid, QStringLiteral("4"));
        EXPECT_TRUE(grid.editing());
        form.okButton()->click();
    });
    ASSERT_TRUE(form.editRecord(entry));
    EXPECT_DOUBLE_EQ(entry.points[2].concentration, 0.8);
}

TEST(EtalStartForm, ShowsThePromptBigAndBlueAndAnswersWithItsButtons)
{
    const QString text = QStringLiteral("Введите газ с разбавлением \"2 / 10\" и нажмите кнопку \"OK\"");
    struct Case {
        const char* what;
        std::function<void(TEtalStartForm&)> answer;
        bool result;
    };
    const Case cases[] = {
        {"OK", [](TEtalStartForm& form) { QTest::mouseClick(form.okButton(), Qt::LeftButton); }, true},
        {"Отмена", [](TEtalStartForm& form) { QTest::mouseClick(form.cancelButton(), Qt::LeftButton); }, false},
        {"Escape", [](TEtalStartForm& form) { pressKey(form, Qt::Key_Escape); }, false},
        {"Enter", [](TEtalStartForm& form) { pressKey(form, Qt::Key_Return); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEtalStartForm form(text);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("  Внимание!!!"));
        EXPECT_EQ(form.textLabel()->text(), text);
        EXPECT_TRUE(form.textLabel()->wordWrap());
        EXPECT_TRUE(form.textLabel()->alignment() & Qt::AlignHCenter);
        EXPECT_EQ(form.textLabel()->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_GE(form.textLabel()->font().pointSize(), 2 * form.okButton()->font().pointSize() - 2);
        EXPECT_EQ(form.okButton()->text(), QStringLiteral("OK"));
        EXPECT_EQ(form.cancelButton()->text(), QStringLiteral("Отмена"));
        answerModal([&c](QWidget& window) {
            auto& shown = dynamic_cast<TEtalStartForm&>(window);
            QApplication::setActiveWindow(&shown);
            savePicture(shown, "etalstart");
            c.answer(shown);
            failIfStillOpen(shown);
        });
        EXPECT_EQ(form.execute(), c.result);
    }
}

} // namespace

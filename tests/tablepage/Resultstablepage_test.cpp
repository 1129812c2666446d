#include "Tablepagesupport.h"

#include "views/Resultstablemodel.h"
#include "views/Windowstyle.h"

#include <QAbstractItemModelTester>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gmock/gmock.h>

#include <numeric>
#include <string_view>

namespace {

using namespace tablepage;
using fixtures::numberedRecord;
using fixtures::recordBytes;
using fixtures::recordsBytes;
using testing::ElementsAre;

// What the model tester finds wrong, collected instead of only logged.
std::vector<std::string>* modelFailures = nullptr;

void collectModelFailures(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (modelFailures && context.category && std::string_view(context.category) == "qt.modeltest")
        modelFailures->push_back(message.toStdString());
    else if (type == QtFatalMsg)
        std::abort();
}

class TablePageTest : public TablePageFixture {
protected:
    QTableView& table() const { return *page.table(); }
    QTableView& frozen() const { return *table().findChild<QTableView*>("frozenColumn"); }
    QPoint centreOf(int row, int column) const { return table().visualRect(model().index(row, column)).center(); }

    void click(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(table().viewport(), Qt::LeftButton, modifiers, centreOf(row, column));
    }

    QLineEdit* editorAt(const QModelIndex& index) const { return qobject_cast<QLineEdit*>(table().indexWidget(index)); }

    // Types into the editor of the cell and presses Enter (or not); the editor closes and opens
    // again on the current cell.
    void type(int row, int column, const QString& text, bool enter = true)
    {
        const QModelIndex index = model().index(row, column);
        table().setCurrentIndex(index);
        QPointer<QLineEdit> editor = editorAt(index);
        ASSERT_NE(editor, nullptr) << "the editor is always shown in edit mode";
        editor->selectAll();
        editor->insert(text);
        if (!enter)
            return;
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor.isNull() && editorAt(table().currentIndex()) != nullptr; }, 20'000));
    }

    std::vector<QString> menuItems() const
    {
        std::vector<QString> texts;
        for (const QAction* action : page.tableMenu()->actions())
            if (!action->isSeparator())
                texts.push_back(action->text());
        return texts;
    }

    void showPage()
    {
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
};

TEST_F(TablePageTest, TheModelKeepsToQtsRulesThroughEveryChange)
{
    std::vector<std::string> failures;
    modelFailures = &failures;
    const QtMessageHandler previous = qInstallMessageHandler(collectModelFailures);
    {
        QAbstractItemModelTester tester(&model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        const CalculatedGazes two{result("метан", 1.5, "метан_абс"), result(CalculatedGaz::totalName, 1.5)};
        ASSERT_TRUE(grid.open(path()));
        ASSERT_TRUE(grid.appendResults(two, 10));
        ASSERT_TRUE(grid.appendResults(two, 20));
        ASSERT_TRUE(grid.appendResults(thirteenResults(), 30));
        ASSERT_TRUE(grid.appendResults(thirteenResults(2), 40));
        grid.setReverseMode(true);
        grid.setEditMode(true);
        EXPECT_EQ(grid.editCell(2, 1, "5"), TextGrid::EditResult::written);
        grid.zeroRows(0, 1);
        grid.deleteRows(1, 2);
        configuration.tableFontSize = 14;
        page.applyFont();
        grid.close();
        ASSERT_TRUE(grid.open(path()));
        ASSERT_TRUE(grid.clearAll());
        ASSERT_TRUE(grid.appendResults(two, 50));
    }
    qInstallMessageHandler(previous);
    modelFailures = nullptr;
    EXPECT_THAT(failures, testing::IsEmpty());
}

TEST_F(TablePageTest, AnEmptyFileShowsTheHeaderRowAndOneEmptyRow)
{
    ASSERT_TRUE(grid.open(path()));
    showPage();
    EXPECT_EQ(model().columnCount(), 2);
    EXPECT_EQ(model().rowCount(), 1);
    EXPECT_EQ(header(0), QStringLiteral("Глубина, м"));
    EXPECT_EQ(header(1), QStringLiteral("      Дата Время      "));
    EXPECT_TRUE(table().horizontalHeader()->isVisible());
    EXPECT_EQ(table().rowHeight(0), grid.rowHeight());
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(text(0, column), QString());
        EXPECT_FALSE(model().flags(model().index(0, column)) & Qt::ItemIsSelectable);
    }
    EXPECT_TRUE(selectedRows().empty());

    page.toggleEditMode();
    EXPECT_FALSE(model().flags(model().index(0, 0)) & Qt::ItemIsEditable) << "the empty row is no record";
    EXPECT_EQ(table().indexWidget(model().index(0, 0)), nullptr);
}

TEST_F(TablePageTest, ThirteenResultsGiveFifteenColumnsAndReverseShowsTheTotalFirst)
{
    ASSERT_TRUE(grid.open(path()));
    ASSERT_TRUE(grid.appendResults(thirteenResults(), 1234.5));
    EXPECT_EQ(model().columnCount(), 15);
    EXPECT_EQ(header(2), QStringLiteral("метан,%"));
    EXPECT_EQ(header(8), QStringLiteral("сумм_газ,%"));
    EXPECT_EQ(text(0, 0), QStringLiteral("1234.5"));
    EXPECT_EQ(text(0, 1), QStringLiteral("17.05.2024 14:05"));
    EXPECT_EQ(text(0, 2), QStringLiteral("0.92000"));
    EXPECT_EQ(model().data(model().index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model().headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_FALSE(page.reverseButton()->isChecked());

    page.reverseButton()->click();
    EXPECT_TRUE(grid.reverseMode());
    EXPECT_TRUE(page.reverseButton()->isChecked());
    EXPECT_EQ(model().columnCount(), 15);
    EXPECT_EQ(header(2), QStringLiteral("сумм_газ,%"));
    EXPECT_EQ(header(3), QStringLiteral("метан_отн,%"));
    EXPECT_EQ(header(9), QStringLiteral("метан,%"));
    const auto background = [this](int column) {
        return model().data(model().index(0, column), Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(background(2), QColor(0xF0, 0xFF, 0xFF)) << "0xFFFFF0 with red in the low byte";
    EXPECT_EQ(background(3), QColor(0xF0, 0xFF, 0xF0));
    for (int column : {0, 1})
        EXPECT_FALSE(model().data(model().index(0, column), Qt::BackgroundRole).isValid()) << column;
    for (int column = 0; column < model().columnCount(); ++column)
        EXPECT_EQ(table().columnWidth(column), grid.columns()[static_cast<std::size_t>(column)].width) << column;

    page.reverseButton()->click();
    EXPECT_FALSE(grid.reverseMode());
    EXPECT_EQ(header(2), QStringLiteral("метан,%"));
    grid.setReverseMode(true);  // as read from the settings file
    EXPECT_TRUE(page.reverseButton()->isChecked());
}

TEST_F(TablePageTest, TheSelectedRowsAreDeletedOrZeroedAsChosen)
{
    reg_file::File second = numberedRecord(2);
    reg_file::File third = numberedRecord(3);
    second.values.fill(0);
    third.values.fill(0);
    const struct {
        const char* what;
        std::optional<ResultsTablePage::RowsAction> action;
        std::string expected;
    } cases[] = {
        {"remove", ResultsTablePage::RowsAction::remove, recordsBytes({1, 4, 5})},
        {"fill with zeros", ResultsTablePage::RowsAction::fillWithZeros,
         recordsBytes({1}) + recordBytes(second) + recordBytes(third) + recordsBytes({4, 5})},
        {"cancelled", std::nullopt, recordsBytes({1, 2, 3, 4, 5})},
    };
    showPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        openRecords({1, 2, 3, 4, 5});
        click(1, 3);
        click(2, 3, Qt::ShiftModifier);
        ASSERT_THAT(selectedRows(), ElementsAre(1, 2));
        int asked = 0;
        page.setRowsChoice([&] {
            ++asked;
            return c.action;
        });
        page.changeSelectedRows();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(contents(), c.expected);
        EXPECT_EQ(model().rowCount(), static_cast<int>(grid.recordCount()));
        EXPECT_EQ(text(1, 2).trimmed(), QString::fromStdString(grid.cellText(2, 1)).trimmed());
    }
    EXPECT_EQ(currentRow(), 2) << "the last row after the redraw";
}

TEST_F(TablePageTest, AnEditEnteredInTheCellWritesOnlyRealChanges)
{
    openRecords({1, 2, 3, 4, 5});
    showPage();
    page.toggleEditMode();
    ASSERT_TRUE(grid.editMode());
    const std::string original = contents();
    reg_file::File edited = numberedRecord(2);
    edited.values[0] = 7.5F;

    // Row 1 is record 2, whose methane (column 2) is 2.
    type(1, 2, QStringLiteral("2.000009"));
    EXPECT_EQ(contents(), original) << "a change under 0.00001 leaves the file byte for byte";
    type(1, 2, QStringLiteral("7,5"), false);
    table().setCurrentIndex(model().index(2, 2));
    EXPECT_EQ(contents(), original) << "a cell left without Enter writes nothing";
    EXPECT_EQ(text(1, 2), QStringLiteral("2.00000"));

    type(1, 2, QStringLiteral("7,5"));
    EXPECT_EQ(contents(), recordsBytes({1}) + recordBytes(edited) + recordsBytes({3, 4, 5}));
    EXPECT_EQ(text(1, 2), QStringLiteral("7.50000"));
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(table().currentIndex().column(), 2);
}

TEST_F(TablePageTest, ATextThatIsNoNumberIsRefusedAndTheValueKept)
{
    openRecords({1, 2, 3});
    showPage();
    page.toggleEditMode();
    const std::string original = contents();
    for (const QString& slip : {QStringLiteral("abc"), QStringLiteral("2.5ю"), QString()}) {
        type(1, 0, slip);
        EXPECT_EQ(contents(), original) << slip.toStdString();
        EXPECT_EQ(text(1, 0), QStringLiteral("20.0"));
        EXPECT_FALSE(page.refusal()->isHidden());
        EXPECT_THAT(page.refusal()->text().toStdString(), testing::HasSubstr("не число"));
    }
    type(1, 0, QStringLiteral("25"));
    EXPECT_TRUE(page.refusal()->isHidden()) << "a written value clears the refusal";
    EXPECT_EQ(text(1, 0), QStringLiteral("25.0"));
}

TEST_F(TablePageTest, ANewAnalysisIsAnAppendedRowSelectedAndInView)
{
    std::vector<int> hundred(100);
    std::iota(hundred.begin(), hundred.end(), 1);
    test::writeFile(path(), [&] {
        std::string bytes;
        for (int number : hundred)
            bytes += recordBytes(numberedRecord(number));
        return bytes;
    }());
    test::writeFile(folder / TextGrid::channelListName, fixtures::methaneDescriptor + fixtures::totalDescriptor);
    ASSERT_TRUE(grid.open(path()));
    showPage();
    EXPECT_EQ(currentRow(), 99);

    QSignalSpy inserted(&model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    const CalculatedGazes sameColumns{result("метан", 3, "метан_абс"), result(CalculatedGaz::totalName, 3)};
    ASSERT_TRUE(grid.appendResults(sameColumns, 1001));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(model().rowCount(), 101);
    EXPECT_THAT(selectedRows(), ElementsAre(100));
    EXPECT_TRUE(table().viewport()->rect().contains(table().visualRect(model().index(100, 2))))
        << "the new row is scrolled into view";
    EXPECT_EQ(text(100, 0), QStringLiteral("1001.0"));

    table().scrollToTop();
    click(3, 2);
    ASSERT_TRUE(grid.appendResults(sameColumns, 1002));
    EXPECT_THAT(selectedRows(), ElementsAre(3)) << "an older row chosen by the operator stays";
    EXPECT_EQ(model().rowCount(), 102);
}

TEST_F(TablePageTest, EditModeSwitchesTheTableAndKeepsTheSelectedRow)
{
    openRecords({1, 2, 3, 4, 5});
    showPage();
    click(2, 3);
    ASSERT_THAT(selectedRows(), ElementsAre(2));
    EXPECT_FALSE(frozen().isHidden());
    EXPECT_TRUE(page.editHint()->isHidden());
    EXPECT_EQ(table().editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(table().selectionBehavior(), QAbstractItemView::SelectRows);

    page.toggleEditMode();
    EXPECT_EQ(currentRow(), 2);
    EXPECT_TRUE(frozen().isHidden()) << "no fixed column in edit mode";
    EXPECT_FALSE(page.editHint()->isHidden());
    EXPECT_EQ(page.editHint()->text(), QStringLiteral("После изменения значения следует нажимать клавишу \"Enter\""));
    EXPECT_EQ(table().selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_EQ(table().selectionModel()->selectedIndexes().size(), 1) << "one cell, not the row";
    EXPECT_NE(editorAt(table().currentIndex()), nullptr) << "the editor is shown on the current cell";
    EXPECT_EQ(menuItems().back(), QStringLiteral("ОТКЛЮЧИТЬ режим редактирования"));

    table().setCurrentIndex(model().index(3, 2));
    page.toggleEditMode();
    EXPECT_FALSE(grid.editMode());
    EXPECT_THAT(selectedRows(), ElementsAre(3));
    EXPECT_FALSE(frozen().isHidden());
    EXPECT_TRUE(page.editHint()->isHidden());
    EXPECT_EQ(editorAt(table().currentIndex()), nullptr);
    EXPECT_EQ(menuItems().back(), QStringLiteral("ВКЛЮЧИТЬ режим редактирования"));
}

TEST_F(TablePageTest, TheDepthColumnStaysInPlaceWhileTheOthersScroll)
{
    ASSERT_TRUE(grid.open(path()));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(grid.appendResults(thirteenResults(), 100 + i));
    page.resize(400, 300);
    showPage();
    EXPECT_EQ(frozen().width(), table().columnWidth(0));
    EXPECT_EQ(frozen().geometry().left(), table().viewport()->geometry().left());
    EXPECT_EQ(frozen().palette().color(QPalette::Base),
              WindowStyle::darker(page.palette().color(QPalette::Window)))
        << "fixed cells 20 units darker";

    table().horizontalScrollBar()->setValue(table().horizontalScrollBar()->maximum());
    EXPECT_LT(table().columnViewportPosition(0), 0) << "the table's own column 0 scrolled away";
    EXPECT_EQ(frozen().columnViewportPosition(0), 0) << "the fixed one stays";

    // Moving to a column that lies under the fixed one brings it out from under it.
    table().scrollTo(model().index(1, 1));
    EXPECT_GE(table().visualRect(model().index(1, 1)).left(), table().columnWidth(0));
}

TEST_F(TablePageTest, TheTableMenuOpensUnderItsButtonAndAsTheContextMenu)
{
    openRecords({1, 2});
    showPage();
    QMenu& menu = *page.tableMenu();
    EXPECT_THAT(menuItems(), ElementsAre(QStringLiteral("Очистить всю таблицу..."),
                                         QStringLiteral("Удалить выделенные строки..."),
                                         QStringLiteral("Распечатать..."),
                                         QStringLiteral("ВКЛЮЧИТЬ режим редактирования")));
    EXPECT_FALSE(menu.actions()[2]->isEnabled()) << "printing comes later";
    EXPECT_EQ(page.editButton()->text(), QStringLiteral("Редакт. >>"));

    page.editButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 20'000));
    const QPoint underButton = page.editButton()->mapToGlobal(QPoint(0, page.editButton()->height()));
    EXPECT_EQ(menu.pos(), underButton);
    menu.hide();

    const QPoint inCell = centreOf(1, 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inCell, table().viewport()->mapToGlobal(inCell));
    QApplication::sendEvent(table().viewport(), &event);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 20'000));
    EXPECT_EQ(menu.pos(), table().viewport()->mapToGlobal(inCell));
    menu.hide();

    // Its last item switches edit mode.
    menu.actions().back()->trigger();
    EXPECT_TRUE(grid.editMode());
}

TEST_F(TablePageTest, ClearingNeedsTheConfirmationAndKeepsTheRecordsWhenItFails)
{
    openRecords({1, 2, 3});
    showPage();
    page.clearTable();
    EXPECT_EQ(grid.recordCount(), 3U) << "no confirmation hook, no clearing";
    bool confirm = false;
    page.setClearConfirmation([&] { return confirm; });
    page.clearTable();
    EXPECT_EQ(grid.recordCount(), 3U);

    // The copy cannot take the name: a folder of that name with a file in it stands there.
    std::filesystem::create_directory(folder / "data.tim.bak");
    test::writeFile(folder / "data.tim.bak" / "x", "x");
    confirm = true;
    QString caption;
    QString message;
    answerModal([&](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        message = box->text();
        box->accept();
    });
    page.clearTable();
    EXPECT_EQ(caption, QStringLiteral("  ОШИБКА"));
    EXPECT_THAT(message.toStdString(), testing::HasSubstr("записи сохранены"));
    EXPECT_EQ(contents(), recordsBytes({1, 2, 3}));
    EXPECT_EQ(model().rowCount(), 3);

    std::filesystem::remove_all(folder / "data.tim.bak");
    page.toggleEditMode();
    page.clearTable();
    EXPECT_FALSE(grid.editMode());
    EXPECT_EQ(contents(), "");
    EXPECT_EQ(test::readFile(folder / "data.tim.bak"), recordsBytes({1, 2, 3}));
    EXPECT_EQ(model().rowCount(), 1) << "the empty row";
    EXPECT_TRUE(frozen().isVisible());
}

TEST_F(TablePageTest, TheTableFontComesFromTheSettings)
{
    openRecords({1});
    const QStringList installed = QFontDatabase::families();
    ASSERT_FALSE(installed.isEmpty());
    const QString family = installed.front();
    const struct {
        std::string name;
        int size;
        QString family;
        int pointSize;
    } cases[] = {
        {"NoSuchFontAnywhere", 7, WindowStyle::fontFamily(), 7},
        {family.toUpper().toStdString(), 14, family, 14},
        {family.toStdString(), 0, family, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        configuration.fontName = c.name;
        configuration.tableFontSize = c.size;
        page.applyFont();
        const QFont font = table().font();
        EXPECT_EQ(font.family(), c.family);
        EXPECT_EQ(font.pointSize(), c.pointSize);
        const QFontMetrics metrics(font);
        EXPECT_EQ(grid.rowHeight(), metrics.height() + 4);
        EXPECT_EQ(table().verticalHeader()->defaultSectionSize(), grid.rowHeight());
        EXPECT_EQ(table().columnWidth(0), grid.columns()[0].width);
        EXPECT_EQ(grid.columns()[1].width, metrics.horizontalAdvance(QStringLiteral(" ") + header(1) + " "));
    }
}

// A well of thirty analyses as the operator sees it; the picture is kept in the build folder.
TEST_F(TablePageTest, ARealisticWellIsDrawnWithItsColours)
{
    ASSERT_TRUE(grid.open(path()));
    for (int i = 0; i < 30; ++i) {
        now += 90;
        ASSERT_TRUE(grid.appendResults(thirteenResults(1 + 0.05 * i), 1520.0 + 2.5 * i));
    }
    page.resize(1100, 520);
    showPage();
    const QImage picture = page.grab().toImage();
    picture.save(QStringLiteral(NIVRA_TABLEPAGE_PICTURES "/tablepage.png"));

    const auto pixelInCell = [&](int row, int column) {
        const QRect cell = table().visualRect(model().index(row, column));
        return picture.pixelColor(table().viewport()->mapTo(&page, cell.topLeft() + QPoint(3, cell.height() / 2)));
    };
    EXPECT_EQ(pixelInCell(2, 2), QColor(0xF0, 0xFF, 0xF0)) << "a gas column";
    EXPECT_EQ(pixelInCell(2, 8), QColor(0xF0, 0xFF, 0xFF)) << "the total";
    EXPECT_EQ(pixelInCell(2, 0), WindowStyle::darker(page.palette().color(QPalette::Window))) << "the fixed column";
    EXPECT_NE(pixelInCell(29, 2), QColor(0xF0, 0xFF, 0xF0)) << "the selected last row shows the selection";

    page.toggleEditMode();
    table().setCurrentIndex(model().index(27, 4));
    page.grab().save(QStringLiteral(NIVRA_TABLEPAGE_PICTURES "/tablepage-edit.png"));
}

} // namespace

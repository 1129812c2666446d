#include "dialogs/Previewform.h"
#include "dialogs/Printgridform.h"
#include "dialogs/Tabledialogs.h"
#include "library/Strworks.h"
#include "settings/Inifile.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "tablepage/Tablepagesupport.h"
#include "views/Stationprinter.h"
#include "widgets/Mybutton.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QXmlStreamReader>

#include <gmock/gmock.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Alignment = GridPrintLayout::Alignment;
using Table = GridPrintLayout::Table;
using testing::ElementsAre;

const QString pictures = QStringLiteral(NIVRA_PRINTGRID_PICTURES);

std::string depthText(int row)
{
    char text[32];
    std::snprintf(text, sizeof text, " %.1f ", 1000.0 + 0.5 * row);
    return text;
}

// A results table of `rows` analyses: depth, date and time, methane, the total and a share.
Table resultsTable(int rows, GridPrintLayout::Selection selection = {1, 1, 1, 1})
{
    Table table(5, 1, 1);
    table.addRow(std::vector<std::string>{"Глубина, м", "      Дата Время      ", "метан,%", "сумм_газ,%", "метан_отн,%"});
    for (int r = 1; r <= rows; ++r) {
        char time[32], methane[32], total[32], share[32];
        std::snprintf(time, sizeof time, "%i.%02i.2024 %i:%02i ", 1 + r % 28, 1 + r % 12, r % 24, r % 60);
        std::snprintf(methane, sizeof methane, " %.5f ", 0.9 + 0.001 * r);
        std::snprintf(total, sizeof total, " %.5f ", 1.0 + 0.001 * r);
        std::snprintf(share, sizeof share, " %.1f ", 90.0 + 0.01 * r);
        table.addRow(std::vector<std::string>{depthText(r), time, methane, total, share});
    }
    table.selection = selection;
    return table;
}

struct PdfInfo {
    int pages = 0;
    double width = 0;
    double height = 0;
};

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Without the whole text in the message: a printed table is long.
testing::AssertionResult shows(const std::string& text, const std::string& wanted)
{
    if (text.find(wanted) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << wanted << "\" is not printed";
}

testing::AssertionResult lacks(const std::string& text, const std::string& unwanted)
{
    if (text.find(unwanted) == std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << unwanted << "\" is printed";
}

PdfInfo pdfInfo(const QString& path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    PdfInfo found;
    found.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    found.width = size.captured(1).toDouble();
    found.height = size.captured(2).toDouble();
    return found;
}

std::string pdfText(const QString& path, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments).toStdString();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString& path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

class PrintGridFormTest : public testing::Test {
protected:
    std::filesystem::path settings() const { return folder / "хроматограф.ini"; }
    QString pdf() const { return QString::fromStdString((folder / "table.pdf").string()); }

    void storeChoices(const std::string& title, int whole, const std::string& cellWidth)
    {
        lib::IniFile ini(settings());
        ini.writeString(TPrintGridForm::section, TPrintGridForm::titleKey, title);
        ini.writeInteger(TPrintGridForm::section, TPrintGridForm::wholeTableKey, whole);
        ini.writeString(TPrintGridForm::section, TPrintGridForm::cellWidthKey, cellWidth);
    }

    std::unique_ptr<TPrintGridForm> form(Table table, bool rotate = true)
    {
        auto made = std::make_unique<TPrintGridForm>(std::move(table), settings(), rotate, Alignment::right);
        made->printerSource = [path = pdf()] { return pdfPrinter(path); };
        return made;
    }

    // The dialog run, answered by `answer` once it is up.
    bool execute(TPrintGridForm& shown, modal::Answer answer)
    {
        modal::answerModal(std::move(answer));
        return shown.execute();
    }

    test::TemporaryDirectory folder;
};

TEST_F(PrintGridFormTest, ControlsAndTheStoredChoicesThenTheSelectionDecides)
{
    const struct {
        int storedWhole;
        GridPrintLayout::Selection selection;
        bool rotate;
        bool whole;
    } cases[] = {
        {0, {2, 5, 2, 5}, true, true},    // a single cell: the whole table, whatever was stored
        {1, {0, 3, 4, 7}, false, false},  // a block: only the block
    };
    for (const auto& c : cases) {
        storeChoices("Отчёт по скважине 12", c.storedWhole, "3,5");
        const auto shown = form(resultsTable(10, c.selection), c.rotate);
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("  Распечатка таблицы"));
        EXPECT_EQ(shown->titleEdit()->text(), QStringLiteral("Отчёт по скважине 12"));
        EXPECT_EQ(shown->cellWidthBox()->currentText(), QStringLiteral("3,5"));
        EXPECT_EQ(shown->fontSizeBox()->currentText(), QStringLiteral("10"));
        EXPECT_TRUE(shown->headerMemo()->toPlainText().isEmpty());
        EXPECT_EQ(shown->wholeButton()->isChecked(), c.whole);
        EXPECT_EQ(shown->selectionButton()->isChecked(), !c.whole);
        EXPECT_EQ(shown->rotateBox()->isChecked(), c.rotate);
    }

    std::filesystem::remove(settings());
    const auto fresh = form(resultsTable(3));
    EXPECT_EQ(fresh->titleEdit()->text(), QStringLiteral("Геолого-технологические исследования"));
    EXPECT_EQ(fresh->cellWidthBox()->currentText(), QStringLiteral("2"));
    QStringList sizes, widths;
    for (int i = 0; i < fresh->fontSizeBox()->count(); ++i)
        sizes << fresh->fontSizeBox()->itemText(i);
    for (int i = 0; i < fresh->cellWidthBox()->count(); ++i)
        widths << fresh->cellWidthBox()->itemText(i);
    EXPECT_EQ(sizes.join(' '), QStringLiteral("7 8 9 10 11 12 14 16 20 24 36"));
    EXPECT_EQ(widths.join(' '), QStringLiteral("1,5 1,6 1,7 1,8 1,9 2 2,5 3 3,5 4 4,5 5 5,5 6 6,5"));
    EXPECT_EQ(fresh->wholeButton()->text(), QStringLiteral("Печать всей таблицы целиком"));
    EXPECT_EQ(fresh->selectionButton()->text(), QStringLiteral("Печать только выделенного фрагмента"));
    EXPECT_EQ(fresh->rotateBox()->text(), QStringLiteral("Повернуть на 90 градусов"));
    EXPECT_EQ(fresh->printButton()->text(), QStringLiteral("Печать"));
    EXPECT_EQ(fresh->cancelButton()->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(fresh->previewButton()->text(), QStringLiteral("Просмотр..."));
    EXPECT_EQ(fresh->helpButton()->text(), QStringLiteral("Справка"));
    EXPECT_FALSE(fresh->helpButton()->isEnabled());

    fresh->headerMemo()->setPlainText(QStringLiteral("Скважина 12\nКуст 7\n"));
    fresh->fontSizeBox()->setCurrentText(QStringLiteral("крупно"));
    fresh->cellWidthBox()->setCurrentText(QStringLiteral("2.5"));
    const GridPrintLayout::Options chosen = fresh->options();
    EXPECT_THAT(chosen.headerLines, ElementsAre("Скважина 12", "Куст 7"));
    EXPECT_EQ(chosen.fontSize, 10) << "no number: the default";
    EXPECT_DOUBLE_EQ(chosen.cellWidth, 2.5);
    EXPECT_EQ(chosen.alignment, Alignment::right);

    fresh->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fresh.get()));
    fresh->grab().save(pictures + QStringLiteral("/printgridform.png"));
}

// Every row reaches the paper, on landscape pages when turned; the choices are written back.
TEST_F(PrintGridFormTest, PrintingPutsEveryRowOnThePages)
{
    const struct {
        bool rotate;
        bool landscape;
    } cases[] = {{true, true}, {false, false}};
    for (const auto& c : cases) {
        QFile::remove(pdf());
        const auto shown = form(resultsTable(300), c.rotate);
        const bool printed = execute(*shown, [](QWidget& window) {
            auto& dialog = dynamic_cast<TPrintGridForm&>(window);
            dialog.titleEdit()->setText(QStringLiteral("Сводка анализов"));
            dialog.headerMemo()->setPlainText(QStringLiteral("Скважина 12, куст 7"));
            dialog.cellWidthBox()->setCurrentText(QStringLiteral("4"));
            dialog.printButton()->click();
        });
        ASSERT_TRUE(printed);
        const PdfInfo info = pdfInfo(pdf());
        EXPECT_GT(shown->printedPages(), 1);
        EXPECT_EQ(info.pages, shown->printedPages());
        EXPECT_EQ(info.width > info.height, c.landscape) << info.width << " x " << info.height;

        const std::string first = pdfText(pdf(), 1);
        EXPECT_TRUE(shows(first, "Сводка анализов"));
        EXPECT_TRUE(shows(first, "Скважина 12, куст 7"));
        EXPECT_TRUE(shows(first, "Глубина, м"));
        EXPECT_TRUE(shows(first, "1000.5"));
        EXPECT_TRUE(shows(first, "0.90100"));
        const std::string second = pdfText(pdf(), 2);
        EXPECT_TRUE(lacks(second, "Сводка анализов")) << "the title on the first page only";
        const std::string all = pdfText(pdf());
        EXPECT_TRUE(shows(all, "1150.0"));
        EXPECT_TRUE(shows(all, "1.30000"));
        EXPECT_TRUE(lacks(all, "…")) << "no text cut at 4 cm";

        const lib::IniFile ini(settings());
        EXPECT_EQ(ini.readString(TPrintGridForm::section, TPrintGridForm::titleKey, ""), "Сводка анализов");
        EXPECT_EQ(ini.readString(TPrintGridForm::section, TPrintGridForm::wholeTableKey, ""), "1");
        EXPECT_EQ(ini.readString(TPrintGridForm::section, TPrintGridForm::cellWidthKey, ""), "4");

        if (c.landscape) {
            QFile::remove(pictures + QStringLiteral("/table.pdf"));
            QFile::copy(pdf(), pictures + QStringLiteral("/table.pdf"));
            run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("90"),
                                             QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                             QStringLiteral("1"), QStringLiteral("-singlefile"), pdf(),
                                             pictures + QStringLiteral("/table-page")});
        }
    }
}

// A long print shows its progress; its "Отмена" stops the page loop, and the dialog closes.
TEST_F(PrintGridFormTest, ALongPrintShowsItsProgressAndStopsOnCancel)
{
    const auto shown = form(resultsTable(20000));  // more than 400 pages
    bool progressShown = false;
    modal::answerWhenUp(
        [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* progress = qobject_cast<QProgressDialog*>(top); progress && progress->isVisible())
                    return static_cast<QWidget*>(progress);
            return static_cast<QWidget*>(nullptr);
        },
        [&](QWidget& window) {
            progressShown = true;
            EXPECT_GT(static_cast<QProgressDialog&>(window).value(), 0);
            static_cast<QProgressDialog&>(window).cancel();
        },
        QDeadlineTimer(60'000));
    EXPECT_TRUE(execute(*shown, [](QWidget& window) { dynamic_cast<TPrintGridForm&>(window).printButton()->click(); }));
    EXPECT_TRUE(progressShown);
    EXPECT_GT(shown->printedPages(), 0);
    EXPECT_LT(shown->printedPages(), 400) << "stopped";
    EXPECT_FALSE(shown->isVisible());
}

TEST_F(PrintGridFormTest, OnlyTheSelectedBlockWithItsTitlesIsPrinted)
{
    storeChoices("Выборка", 1, "3");
    const auto shown = form(resultsTable(40, {2, 10, 3, 12}));
    ASSERT_TRUE(execute(*shown, [](QWidget& window) {
        auto& dialog = dynamic_cast<TPrintGridForm&>(window);
        EXPECT_TRUE(dialog.selectionButton()->isChecked());
        dialog.printButton()->click();
    }));
    const std::string text = pdfText(pdf());
    for (const char* wanted : {"Выборка", "Глубина, м", "метан,%", "сумм_газ,%", "1005.0", "1006.0", "0.91000", "1.01200"})
        EXPECT_TRUE(shows(text, wanted));
    for (const char* absent : {"Дата Время", "метан_отн", "1004.5", "1006.5", "0.90900", "0.91300"})
        EXPECT_TRUE(lacks(text, absent));
    const lib::IniFile ini(settings());
    EXPECT_EQ(ini.readString(TPrintGridForm::section, TPrintGridForm::wholeTableKey, ""), "0");
}

TEST_F(PrintGridFormTest, CancelPrintsNothingAndKeepsTheStoredChoices)
{
    storeChoices("Прежний", 1, "3");
    const auto shown = form(resultsTable(5));
    EXPECT_FALSE(execute(*shown, [](QWidget& window) {
        auto& dialog = dynamic_cast<TPrintGridForm&>(window);
        dialog.titleEdit()->setText(QStringLiteral("Новый"));
        dialog.cancelButton()->click();
    }));
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_EQ(lib::IniFile(settings()).readString(TPrintGridForm::section, TPrintGridForm::titleKey, ""), "Прежний");
}

TEST_F(PrintGridFormTest, WithoutAPrinterOnlyTheBoxIsShown)
{
    const auto shown = form(resultsTable(5));
    shown->printerSource = [] { return std::unique_ptr<QPrinter>(); };
    QString text, caption;
    EXPECT_FALSE(execute(*shown, [&](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        box->accept();
    }));
    EXPECT_EQ(text, QString::fromUtf8(StationPrinter::noPrinterText));
    EXPECT_EQ(caption, QStringLiteral("  ОШИБКА"));
    EXPECT_FALSE(shown->isVisible());
}

// The preview's steps through the zoom list, its saved pictures, and its "Печать", which prints
// the table and closes the print dialog too.
TEST_F(PrintGridFormTest, PreviewZoomsSavesAndPrints)
{
    const auto shown = form(resultsTable(300));
    const QString savedPdf = QString::fromStdString((folder / "preview.pdf").string());
    const QString savedSvg = QString::fromStdString((folder / "preview.svg").string());
    const QString chosenName = QString::fromStdString((folder / "chosen").string());
    QString saveCaption;
    int previewPages = 0;
    const bool printed = execute(*shown, [&](QWidget& window) {
        auto& dialog = dynamic_cast<TPrintGridForm&>(window);
        modal::answerModal(
            [&](QWidget& previewWindow) {
                auto& preview = dynamic_cast<TPreviewForm&>(previewWindow);
                EXPECT_EQ(preview.windowTitle(), QStringLiteral("Предварительный просмотр"));
                EXPECT_TRUE(preview.isMaximized());
                EXPECT_EQ(preview.zoomBox()->currentText(), QStringLiteral("100 %"));
                EXPECT_EQ(preview.zoomInButton()->toolTip(), QStringLiteral("Увеличение изображения"));
                EXPECT_EQ(preview.zoomOutButton()->toolTip(), QStringLiteral("Уменьшение изображения"));
                previewPages = preview.pageCount();
                EXPECT_GT(previewPages, 1);
                EXPECT_GT(preview.pageSize().width(), preview.pageSize().height()) << "turned";
                EXPECT_LE(preview.heldPages(), 3u) << "only the pages in view are drawn";
                const int fullWidth = preview.pageRect(0).width();
                EXPECT_EQ(fullWidth, preview.pageSize().width());
                preview.grab().save(pictures + QStringLiteral("/preview.png"));

                preview.zoomInButton()->click();
                EXPECT_EQ(preview.zoom(), 100) << "no step beyond the last";
                std::vector<int> zooms;
                for (int step = 0; step < 7; ++step) {
                    preview.zoomOutButton()->click();
                    zooms.push_back(preview.zoom());
                }
                EXPECT_THAT(zooms, ElementsAre(90, 80, 66, 50, 33, 25, 25));
                preview.resize(1000, 700);
                QApplication::processEvents();
                preview.grab().save(pictures + QStringLiteral("/preview-25.png"));
                EXPECT_EQ(preview.pageRect(0).width(), static_cast<int>(preview.pageSize().width() * 0.25));
                EXPECT_EQ(preview.canvas()->width(), preview.pageRect(0).width() + 24);
                QApplication::processEvents();
                EXPECT_LE(preview.canvas()->geometry().left() * 2 + preview.canvas()->width(),
                          preview.scrollArea()->viewport()->width() + 1)
                    << "centred when narrower";
                EXPECT_GT(preview.canvas()->geometry().left(), 0);
                preview.zoomInButton()->click();
                EXPECT_EQ(preview.zoom(), 33);

                EXPECT_TRUE(preview.saveTo(savedPdf, TPreviewForm::Format::pdf));
                EXPECT_TRUE(preview.saveTo(savedSvg, TPreviewForm::Format::svg));
                // "Сохранить...": the format is the chosen filter's, its suffix added.
                modal::answerModal(
                    [&](QWidget& files) {
                        auto& chooser = dynamic_cast<QFileDialog&>(files);
                        saveCaption = chooser.windowTitle();
                        chooser.selectNameFilter(chooser.nameFilters().last());
                        chooser.selectFile(chosenName);
                        static_cast<QDialog&>(chooser).accept();
                    },
                    &preview);
                preview.saveButton()->click();
                EXPECT_LE(preview.heldPages(), TPreviewForm::keptPages);
                preview.printButton()->click();
            },
            &dialog);
        dialog.previewButton()->click();
    });
    EXPECT_TRUE(printed) << "the preview's \"Печать\" prints";
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(pdfInfo(pdf()).pages, shown->printedPages());

    const PdfInfo saved = pdfInfo(savedPdf);
    EXPECT_EQ(saved.pages, previewPages);
    EXPECT_GT(saved.width, saved.height);
    EXPECT_TRUE(shows(pdfText(savedPdf, 1), "Глубина, м"));

    QFile svg(savedSvg);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&svg);
    int texts = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QStringLiteral("text"))
            ++texts;
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_GT(texts, 300);
    EXPECT_TRUE(QSvgRenderer(savedSvg).isValid());

    EXPECT_EQ(saveCaption, QStringLiteral("  Сохранение рисунка"));
    EXPECT_TRUE(QSvgRenderer(chosenName + QStringLiteral(".svg")).isValid());
}

// Scrolled through a long table, the preview keeps only the pages near the view.
TEST_F(PrintGridFormTest, ThePreviewHoldsOnlyThePagesNearTheView)
{
    const auto shown = form(resultsTable(3000));
    std::unique_ptr<TPreviewForm> preview = shown->openPreview();
    ASSERT_NE(preview, nullptr);
    ASSERT_GT(preview->pageCount(), static_cast<int>(TPreviewForm::keptPages) * 2);
    preview->resize(1000, 700);
    preview->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview.get()));
    QScrollBar& bar = *preview->scrollArea()->verticalScrollBar();
    std::size_t mostHeld = 0;
    for (int value = 0; value < bar.maximum(); value += bar.pageStep()) {
        bar.setValue(value);
        QApplication::processEvents();
        mostHeld = std::max(mostHeld, preview->heldPages());
    }
    EXPECT_LE(mostHeld, TPreviewForm::keptPages);
    EXPECT_GT(preview->heldPages(), 0u);
}

TEST_F(PrintGridFormTest, ThePreviewsCancelReturnsToTheDialog)
{
    const auto shown = form(resultsTable(20));
    bool dialogStillUp = false;
    EXPECT_FALSE(execute(*shown, [&](QWidget& window) {
        auto& dialog = dynamic_cast<TPrintGridForm&>(window);
        modal::answerModal([](QWidget& preview) { dynamic_cast<TPreviewForm&>(preview).cancelButton()->click(); },
                           &dialog);
        dialog.previewButton()->click();
        dialogStillUp = dialog.isVisible();
        dialog.cancelButton()->click();
    }));
    EXPECT_TRUE(dialogStillUp);
    EXPECT_FALSE(QFile::exists(pdf()));
}

// "Распечатать..." of the results page hands the dialog the table with its header row and
// depth titles, and the selected rows.
class TablePagePrintTest : public tablepage::TablePageFixture {};

TEST_F(TablePagePrintTest, ThePageHandsItsTableAndSelectionToThePrint)
{
    openRecords({1, 2, 3, 4, 5});
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_FALSE(page.printAction()->isEnabled()) << "until printing is offered";
    connectTableDialogs(page);
    EXPECT_TRUE(page.printAction()->isEnabled());

    Table copy = page.printTable();
    ASSERT_EQ(copy.rowCount(), 6);
    ASSERT_EQ(copy.columnCount(), grid.columnCount());
    EXPECT_EQ(copy.cell(0, 0), "Глубина, м");
    for (int column = 0; column < grid.columnCount(); ++column)
        EXPECT_EQ(copy.cell(column, 3), grid.cellText(column, 2)) << column;
    EXPECT_EQ(copy.selection, (GridPrintLayout::Selection{0, 5, grid.columnCount() - 1, 5})) << "the last row";

    page.table()->selectionModel()->select(
        QItemSelection(model().index(1, 0), model().index(2, grid.columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
    copy = page.printTable();
    EXPECT_EQ(copy.selection, (GridPrintLayout::Selection{0, 2, grid.columnCount() - 1, 3}));
    const Table block = copy.selectionCopy();
    EXPECT_EQ(block.rowCount(), 3);
    EXPECT_EQ(block.cell(0, 1), copy.cell(0, 2)) << "the depth as row title, once";
    EXPECT_EQ(block.cell(1, 1), copy.cell(1, 2));

    const QString printed = QString::fromStdString((folder / "page.pdf").string());
    qputenv(StationPrinter::pdfVariable, printed.toUtf8());
    bool selectionChosen = false;
    modal::answerModal([&](QWidget& window) {
        auto& dialog = dynamic_cast<TPrintGridForm&>(window);
        selectionChosen = dialog.selectionButton()->isChecked();
        EXPECT_TRUE(dialog.rotateBox()->isChecked());
        dialog.printButton()->click();
    });
    page.printAction()->trigger();
    qunsetenv(StationPrinter::pdfVariable);
    EXPECT_TRUE(selectionChosen);
    const std::string text = pdfText(printed);
    EXPECT_TRUE(shows(text, "Глубина, м"));
    const auto depth = [&](int row) { return std::string(lib::trim(grid.cellText(0, row))); };
    EXPECT_TRUE(shows(text, depth(1)));
    EXPECT_TRUE(shows(text, depth(2)));
    EXPECT_TRUE(lacks(text, depth(3)));
}

TEST_F(TablePagePrintTest, AnEmptyTablePrintsItsHeaderAndOneEmptyRow)
{
    openRecords({});
    const Table copy = page.printTable();
    EXPECT_EQ(copy.rowCount(), 2);
    EXPECT_EQ(copy.cell(0, 0), "Глубина, м");
    EXPECT_EQ(copy.cell(0, 1), "");
    EXPECT_TRUE(copy.selection.singleCell());
}

} // namespace

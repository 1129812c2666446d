#include "dialogs/Printgridform.h"

#include "dialogs/Previewform.h"
#include "settings/Inifile.h"
#include "views/Paintersurface.h"
#include "views/Stationprinter.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr double centimetresPerInch = 0.3937;
const QStringList fontSizes{"7", "8", "9", "10", "11", "12", "14", "16", "20", "24", "36"};
const QStringList cellWidths{"1,5", "1,6", "1,7", "1,8", "1,9", "2",   "2,5", "3",
                             "3,5", "4",   "4,5", "5",   "5,5", "6",   "6,5"};
const QString defaultFontSize = QStringLiteral("10");
const QString defaultCellWidth = QStringLiteral("2");

QComboBox* listBox(QWidget* parent, const char* name, const QStringList& items, const QString& chosen)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentText(chosen);
    box->setFixedWidth(80);
    return box;
}

std::string text(const QString& shown)
{
    return shown.toStdString();
}

} // namespace

TPrintGridForm::TPrintGridForm(GridPrintLayout::Table table, std::filesystem::path settingsFile, bool rotate,
                               GridPrintLayout::Alignment alignment, QWidget* parent)
    : QDialog(parent),
      printerSource(&StationPrinter::open),
      table_(std::move(table)),
      settingsFile_(std::move(settingsFile)),
      alignment_(alignment)
{
    setWindowTitle(QStringLiteral("  Распечатка таблицы"));
    setModal(true);

    print_ = TMyButton::okButton(this);
    print_->setText(QStringLiteral("Печать"));
    cancel_ = TMyButton::cancelButton(this);
    preview_ = new TMyButton(QStringLiteral("Просмотр..."), this);
    preview_->setMinimumWidth(100);
    help_ = TMyButton::helpButton(this);
    help_->setEnabled(false);
    connect(preview_, &TMyButton::clicked, this, &TPrintGridForm::preview);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);
    column->addWidget(buildTopGroup());
    column->addWidget(buildOutputGroup());
    column->addLayout(TMyButton::rowAtRight({print_, cancel_, preview_, help_}));
    column->setSizeConstraint(QLayout::SetFixedSize);

    readChoices();
    (table_.selection.singleCell() ? whole_ : selection_)->setChecked(true);
    rotate_->setChecked(rotate);

    WindowStyle::prepare(*this);
    adjustSize();
}

TPrintGridForm::~TPrintGridForm() = default;

QWidget* TPrintGridForm::buildTopGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Верхняя часть распечатки"), this);
    title_ = new QLineEdit(QString::fromUtf8(defaultTitle), group);
    title_->setObjectName("title");
    title_->setMinimumWidth(360);
    header_ = new QPlainTextEdit(group);
    header_->setObjectName("header");
    header_->setFixedHeight(header_->fontMetrics().lineSpacing() * 4 + 12);
    header_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Заголовок таблицы"), group), 0, 0);
    grid->addWidget(title_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Шапка таблицы"), group), 1, 0, Qt::AlignTop);
    grid->addWidget(header_, 1, 1);
    return group;
}

QWidget* TPrintGridForm::buildOutputGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Способ вывода таблицы"), this);
    whole_ = new QRadioButton(QStringLiteral("Печать всей таблицы целиком"), group);
    whole_->setObjectName("wholeTable");
    whole_->setChecked(true);
    selection_ = new QRadioButton(QStringLiteral("Печать только выделенного фрагмента"), group);
    selection_->setObjectName("selectionOnly");
    rotate_ = new QCheckBox(QStringLiteral("Повернуть на 90 градусов"), group);
    rotate_->setObjectName("rotate");
    fontSize_ = listBox(group, "fontSize", fontSizes, defaultFontSize);
    cellWidth_ = listBox(group, "cellWidth", cellWidths, defaultCellWidth);

    auto* grid = new QGridLayout(group);
    grid->addWidget(whole_, 0, 0, 1, 3);
    grid->addWidget(selection_, 1, 0, 1, 3);
    grid->addWidget(rotate_, 2, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Размер шрифта для печати"), group), 3, 0);
    grid->addWidget(fontSize_, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ширина ячейки не более (см)"), group), 4, 0);
    grid->addWidget(cellWidth_, 4, 1);
    grid->setColumnStretch(2, 1);
    return group;
}

// Each choice keeps what the control shows when the file does not hold it.
void TPrintGridForm::readChoices()
{
    header_->clear();
    if (settingsFile_.empty())
        return;
    const lib::IniFile ini(settingsFile_);
    title_->setText(QString::fromStdString(ini.readString(section, titleKey, text(title_->text()))));
    const bool whole = ini.readInteger(section, wholeTableKey, whole_->isChecked() ? 1 : 0) != 0;
    (whole ? whole_ : selection_)->setChecked(true);
    cellWidth_->setCurrentText(
        QString::fromStdString(ini.readString(section, cellWidthKey, text(cellWidth_->currentText()))));
}

void TPrintGridForm::writeChoices() const
{
    if (settingsFile_.empty())
        return;
    lib::IniFile ini(settingsFile_);
    // Quoted, so that blanks around the title survive.
    ini.writeString(section, titleKey, '"' + text(title_->text()) + '"');
    ini.writeInteger(section, wholeTableKey, wholeTable() ? 1 : 0);
    ini.writeString(section, cellWidthKey, text(cellWidth_->currentText()));
}

GridPrintLayout::Options TPrintGridForm::options() const
{
    GridPrintLayout::Options chosen;
    chosen.title = text(title_->text());
    const QString lines = header_->toPlainText();
    if (!lines.isEmpty()) {
        QStringList split = lines.split(QLatin1Char('\n'));
        // A line break after the last line starts no line of its own.
        if (split.size() > 1 && split.back().isEmpty())
            split.removeLast();
        for (const QString& line : split)
            chosen.headerLines.push_back(text(line));
    }
    chosen.fontSize = GridPrintLayout::fontSizeOf(text(fontSize_->currentText()));
    chosen.cellWidth = GridPrintLayout::cellWidthOf(text(cellWidth_->currentText()));
    chosen.alignment = alignment_;
    return chosen;
}

bool TPrintGridForm::wholeTable() const
{
    return whole_->isChecked();
}

bool TPrintGridForm::rotated() const
{
    return rotate_->isChecked();
}

const GridPrintLayout::Table& TPrintGridForm::chosenTable()
{
    if (wholeTable())
        return table_;
    selectionCopy_ = table_.selectionCopy();
    return selectionCopy_;
}

void TPrintGridForm::run(GridPrintLayout::Table table, const std::filesystem::path& settingsFile, QWidget* parent)
{
    TPrintGridForm form(std::move(table), settingsFile, true, GridPrintLayout::Alignment::right, parent);
    form.execute();
}

bool TPrintGridForm::ensurePrinter()
{
    if (!printer_ && printerSource)
        printer_ = printerSource();
    return printer_ != nullptr;
}

bool TPrintGridForm::execute()
{
    if (!ensurePrinter()) {
        StationPrinter::showNoPrinter(parentWidget() ? parentWidget() : this);
        return false;
    }
    return exec() == QDialog::Accepted;
}

void TPrintGridForm::done(int result)
{
    if (result == QDialog::Accepted && print())
        writeChoices();
    QDialog::done(result);
}

void TPrintGridForm::orientPrinter()
{
    printer_->setPageOrientation(rotated() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

// Page after page, with the progress shown and the window kept alive; "Отмена" there stops
// the print.
bool TPrintGridForm::print()
{
    printedPages_ = 0;
    if (!ensurePrinter())
        return false;
    orientPrinter();
    const GridPrintLayout::Options chosen = options();
    printer_->setDocName(QString::fromStdString(chosen.title));
    const GridPrintLayout::Table& table = chosenTable();
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        StationPrinter::showNoPrinter(this);
        return false;
    }
    PainterSurface surface(painter);
    GridPrintLayout layout(table, chosen,
                           {printer_->logicalDpiY() * centimetresPerInch, printer_->width(), printer_->height()});
    layout.measure(surface);

    const int pages = layout.pageCount();
    QProgressDialog progress(QStringLiteral("Печать таблицы..."), QStringLiteral("Отмена"), 0, pages, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer_->newPage())
            break;
        layout.drawPage(surface, page);
        ++printedPages_;
        // Until the progress shows itself, the station's timers and paints still come through;
        // the operator's input waits, so that nothing starts a second print meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        progress.setLabelText(QStringLiteral("Печать таблицы: страница %1 из %2").arg(page + 1).arg(pages));
        progress.setValue(page + 1);
        if (progress.wasCanceled()) {
            printer_->abort();
            break;
        }
    }
    painter.end();
    return true;
}

void TPrintGridForm::preview()
{
    const std::unique_ptr<TPreviewForm> form = openPreview();
    if (!form)
        return;
    const bool printChosen = form->execute();
    if (printChosen)
        accept();
}

std::unique_ptr<TPreviewForm> TPrintGridForm::openPreview()
{
    if (!ensurePrinter())
        return nullptr;
    orientPrinter();
    // The preview keeps what it draws from: the selected block, or this dialog's table, which
    // outlives it.
    const std::shared_ptr<const GridPrintLayout::Table> table =
        wholeTable() ? std::shared_ptr<const GridPrintLayout::Table>(&table_, [](const GridPrintLayout::Table*) {})
                     : std::make_shared<const GridPrintLayout::Table>(table_.selectionCopy());
    // The pages are pictures; measured on one, they are drawn alike.
    QPicture scratch;
    const double pixelsPerInch = scratch.logicalDpiY();
    const double units = pixelsPerInch * centimetresPerInch;
    const int width = static_cast<int>(units * printer_->width() / (printer_->logicalDpiX() * centimetresPerInch));
    const int height = static_cast<int>(units * printer_->height() / (printer_->logicalDpiY() * centimetresPerInch));
    auto layout = std::make_shared<GridPrintLayout>(*table, options(), GridPrintLayout::Page{units, width, height});
    {
        QPainter painter(&scratch);
        PainterSurface surface(painter);
        layout->measure(surface);
    }
    const int pages = layout->pageCount();
    return std::make_unique<TPreviewForm>(
        QSize(width, height), pages, pixelsPerInch,
        [table, layout](QPainter& painter, int page) {
            PainterSurface surface(painter);
            layout->drawPage(surface, page);
        },
        printer_->pageLayout(), this);
}

void TPrintGridForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

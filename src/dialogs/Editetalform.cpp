#include "dialogs/Editetalform.h"

#include "analysis/Gazetalline.h"
#include "analysis/Gazopts.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int nameColumn = 0;
constexpr int valueColumn = 1;
constexpr int cellPadding = 16;
// Beyond this many gases the grid scrolls instead of growing past the screen.
constexpr int shownRowsAtMost = 20;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QStringList items(const std::vector<std::string>& choices)
{
    QStringList list;
    for (const std::string& choice : choices)
        list << qs(choice);
    return list;
}

// The lists are filled afresh on every filling, so an item added for an odd stored value does
// not stay for the next entry.
void showChoice(QComboBox& list, const std::vector<std::string>& choices, const std::string& text)
{
    list.clear();
    list.addItems(items(choices));
    int index = list.findText(qs(text), Qt::MatchExactly);
    if (index < 0) {
        list.addItem(qs(text));
        index = list.count() - 1;
    }
    list.setCurrentIndex(index);
}

QComboBox* newList(const char* name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(false);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

} // namespace

TEditEtalForm::TEditEtalForm(const GazOptions& gases, std::filesystem::path settingsPath, QWidget* parent)
    : QDialog(parent), gases_(gases), settingsPath_(std::move(settingsPath))
{
    setModal(true);

    ok_ = TMyButton::okButton(this);
    cancel_ = TMyButton::cancelButton(this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);
    column->addWidget(new QLabel(QStringLiteral("Абсолютные значения газов:"), this));
    column->addWidget(buildGrid());
    column->addLayout(buildDilutionRow());
    column->addLayout(buildRepeatsRow());
    column->addSpacing(4);
    column->addLayout(TMyButton::rowAtRight({ok_, cancel_}));
    column->setSizeConstraint(QLayout::SetFixedSize);

    WindowStyle::prepare(*this);
    fill(EtalRecordEdit::forAdd(0, {}));
}

QWidget* TEditEtalForm::buildGrid()
{
    grid_ = new TMyGrid(this);
    grid_->setObjectName(QStringLiteral("grGazes"));
    grid_->setColCount(2);
    grid_->setFixedCols(1);
    grid_->setFixedAlignment(Qt::AlignLeft);
    grid_->setAlignment(Qt::AlignRight);
    grid_->setAddCharasters(true);
    // The rows are named by their gas; a top row would only repeat the label above the grid.
    grid_->horizontalHeader()->hide();
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->verticalHeader()->viewport()->installEventFilter(this);
    return grid_;
}

QLayout* TEditEtalForm::buildDilutionRow()
{
    dilution_ = new QCheckBox(QStringLiteral("Разбавление"), this);
    dilution_->setObjectName(QStringLiteral("chbDilution"));
    parts_ = newList("cbParts", this);
    to_ = new QLabel(QStringLiteral("к"), this);
    total_ = newList("cbTotal", this);
    connect(dilution_, &QCheckBox::toggled, this, &TEditEtalForm::dilutionToggled);

    auto* row = new QHBoxLayout;
    row->addWidget(dilution_);
    row->addSpacing(8);
    row->addWidget(parts_);
    row->addWidget(to_);
    row->addWidget(total_);
    row->addStretch(1);
    return row;
}

QLayout* TEditEtalForm::buildRepeatsRow()
{
    repeats_ = newList("cbRepeats", this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Кол-во повторов:"), this));
    row->addWidget(repeats_);
    row->addStretch(1);
    return row;
}

// Every gas shows whole, both columns wide enough for their longest text.
void TEditEtalForm::fitGrid()
{
    const QFontMetrics metrics = grid_->fontMetrics();
    int nameWidth = metrics.horizontalAdvance(QStringLiteral("Разбавление"));
    for (int row = 1; row < grid_->rowCount(); ++row)
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(grid_->cell(nameColumn, row)));
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("0000.000000")) + 2 * cellPadding;
    grid_->setColWidth(nameColumn, nameWidth + cellPadding);
    grid_->setColWidth(valueColumn, valueWidth);

    const int frame = 2 * grid_->frameWidth();
    const int rows = std::clamp(grid_->rowCount() - 1, 1, shownRowsAtMost);
    const bool scrolls = grid_->rowCount() - 1 > shownRowsAtMost;
    const int scrollBar = scrolls ? grid_->verticalScrollBar()->sizeHint().width() : 0;
    grid_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    grid_->setFixedSize(nameWidth + cellPadding + valueWidth + scrollBar + frame,
                        rows * grid_->defaultRowHeight() + frame);
}

void TEditEtalForm::fill(const EtalRecordEdit::Fields& fields)
{
    grid_->commitEdit();
    const int gasCount = static_cast<int>(fields.absolutes.size());
    grid_->setRowCount(gasCount + 1);
    for (int i = 0; i < gasCount; ++i) {
        const int row = i + 1;
        const std::size_t gas = static_cast<std::size_t>(i);
        grid_->setCell(nameColumn, row, qs(gases_.gas(gas).name) + QStringLiteral(", %"));
        grid_->setCell(valueColumn, row, qs(fields.absolutes[gas]));
    }
    if (gasCount > 0)
        grid_->setCurrentCell(valueColumn, 1);
    fitGrid();

    showChoice(*parts_, EtalRecordEdit::partsChoices(), fields.parts);
    showChoice(*total_, EtalRecordEdit::totalChoices(), fields.total);
    showChoice(*repeats_, EtalRecordEdit::repeatChoices(), fields.repeats);
    {
        // The lists follow the box below, whether or not its state changes.
        const QSignalBlocker quiet(dilution_);
        dilution_->setChecked(fields.diluted);
    }
    dilution_->setEnabled(fields.dilutionEnabled);
    dilutionToggled(fields.diluted);
    adjustSize();
}

EtalRecordEdit::Fields TEditEtalForm::typed() const
{
    EtalRecordEdit::Fields fields;
    fields.dilutionEnabled = dilution_->isEnabled();
    fields.diluted = dilution_->isChecked();
    fields.parts = parts_->currentText().toStdString();
    fields.total = total_->currentText().toStdString();
    for (int row = 1; row < grid_->rowCount(); ++row)
        fields.absolutes.push_back(grid_->cell(valueColumn, row).toStdString());
    fields.repeats = repeats_->currentText().toStdString();
    return fields;
}

void TEditEtalForm::dilutionToggled(bool on)
{
    for (QWidget* part : {static_cast<QWidget*>(parts_), static_cast<QWidget*>(to_), static_cast<QWidget*>(total_)})
        part->setEnabled(on);
}

bool TEditEtalForm::run(const QString& caption, const EtalRecordEdit::Fields& fields, GazEtalLine& entry)
{
    setWindowTitle(caption);
    fill(fields);
    if (exec() != QDialog::Accepted)
        return false;
    EtalRecordEdit::store(typed(), entry);
    return true;
}

bool TEditEtalForm::addRecord(GazEtalLine& entry)
{
    const std::size_t gasCount = static_cast<std::size_t>(gases_.count());
    if (!run(QStringLiteral("  Добавить"),
             EtalRecordEdit::forAdd(gasCount, EtalRecordEdit::readPresets(settingsPath_)), entry))
        return false;
    EtalRecordEdit::writePresets(settingsPath_, typed().absolutes);
    return true;
}

bool TEditEtalForm::editRecord(GazEtalLine& entry)
{
    const std::size_t gasCount = static_cast<std::size_t>(gases_.count());
    return run(QStringLiteral("  Редактирование"), EtalRecordEdit::forEdit(entry, gasCount), entry);
}

void TEditEtalForm::done(int result)
{
    grid_->commitEdit();
    QDialog::done(result);
}

void TEditEtalForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

// The names are no place to type: a click there goes to the gas's value.
bool TEditEtalForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_->verticalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const int row = grid_->verticalHeader()->logicalIndexAt(press->position().toPoint().y());
        if (row >= 0) {
            grid_->setFocus(Qt::MouseFocusReason);
            grid_->setCurrentCell(valueColumn, row + 1);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

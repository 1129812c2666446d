#include "dialogs/Optmasterform.h"

#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace {

enum Page { mainPage, gasesPage, summatorPage, closingPage };
static_assert(gasesPage == SetupWizard::gasesPage);

constexpr int numberColumn = 0;
constexpr int nameColumn = 1;
constexpr int iconSize = 40;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList catalogueLines()
{
    QStringList lines;
    for (const std::string& line : SetupWizard::popupStrings())
        lines << qs(line);
    return lines;
}

// Every page starts with its title in the station's heading colour.
QVBoxLayout* titledPage(QWidget& page, const char* title)
{
    auto* layout = new QVBoxLayout(&page);
    layout->setContentsMargins(16, 12, 16, 12);
    auto* caption = new QLabel(utf8(title));
    WindowStyle::setTag(*caption, 1);
    QFont font = caption->font();
    font.setBold(true);
    caption->setFont(font);
    layout->addWidget(caption);
    layout->addSpacing(8);
    return layout;
}

QFrame* separator()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TOptMasterForm::TOptMasterForm(NivraSystem& system, Configuration& configuration, QWidget* parent)
    : QDialog(parent), wizard_(system, configuration)
{
    setWindowTitle(utf8(SetupWizard::caption));
    setModal(true);

    pages_ = new QStackedWidget;
    pages_->setObjectName("PageControl1");
    pages_->addWidget(buildMainPage());
    pages_->addWidget(buildGasesPage());
    pages_->addWidget(buildSummatorPage());
    pages_->addWidget(buildClosingPage());

    previous_ = new TMyButton(QStringLiteral("Назад <<"));
    previous_->setObjectName("btnPrev");
    next_ = new TMyButton(QStringLiteral("Далее >>"));
    next_->setObjectName("btnNext");
    ok_ = TMyButton::okButton();
    ok_->setObjectName("btnOK");
    cancel_ = TMyButton::cancelButton();
    cancel_->setObjectName("btnCancel");
    connect(previous_, &TMyButton::clicked, this, &TOptMasterForm::btnPrevClick);
    connect(next_, &TMyButton::clicked, this, &TOptMasterForm::btnNextClick);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch(1);
    for (TMyButton* button : {previous_, next_, ok_, cancel_}) {
        button->setMinimumWidth(90);
        buttons->addWidget(button);
    }
    buttons->insertSpacing(3, 12);  // between the steps and the closing buttons

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 10);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(separator());
    column->addWidget(pages_, 1);
    column->addWidget(separator());
    column->addSpacing(10);
    column->addLayout(buttons);

    fill();
    WindowStyle::prepare(*this);
    fitGrid();
    showPage(mainPage);
    adjustSize();
}

TOptMasterForm::~TOptMasterForm() = default;

QWidget* TOptMasterForm::buildHeader()
{
    auto* header = new QWidget;
    header->setObjectName("pnlHeader");
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Qt::white);
    header->setPalette(palette);

    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(iconSize, iconSize));
    auto* title = new QLabel(utf8(SetupWizard::header));
    WindowStyle::setTag(*title, 4);
    step_ = new QLabel;
    step_->setObjectName("lbStep");
    WindowStyle::setTag(*step_, 3);

    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(12, 8, 16, 8);
    layout->addWidget(icon);
    layout->addSpacing(8);
    layout->addWidget(title);
    layout->addStretch(1);
    layout->addWidget(step_);
    return header;
}

QWidget* TOptMasterForm::buildMainPage()
{
    auto* page = new QWidget;
    QVBoxLayout* layout = titledPage(*page, "Основные параметры программы");

    model_ = new QLabel;
    model_->setObjectName("lbModel");
    WindowStyle::setTag(*model_, 2);
    // Carries the type from the settings to "OK"; the operator never sees it.
    models_ = new QComboBox;
    models_->setObjectName("cbModel");
    for (const std::string& name : SetupWizard::modelList())
        models_->addItem(qs(name));
    models_->hide();

    count_ = new QSpinBox;
    count_->setObjectName("edCount");
    count_->setRange(SetupWizard::minimumCount, SetupWizard::maximumCount);
    count_->setMinimumWidth(70);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    grid->addWidget(new QLabel(QStringLiteral("Название хроматографа")), 0, 0);
    grid->addWidget(model_, 0, 1);
    grid->addWidget(models_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Количество регистрируемых \nкомпонентов")), 1, 0);
    grid->addWidget(count_, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

QWidget* TOptMasterForm::buildGasesPage()
{
    auto* page = new QWidget;
    QVBoxLayout* layout = titledPage(*page, "Перечень регистрируемых газов");

    grid_ = new TMyGrid;
    grid_->setObjectName("grGazes");
    grid_->setColCount(2);
    grid_->setFixedCols(1);
    grid_->setTopStrings({QStringLiteral(" № "), QStringLiteral("     Название газа     ")});
    grid_->setColWidth(numberColumn, 40);
    grid_->setColWidth(nameColumn, 220);
    grid_->setOnGetCellProps([](TMyGrid&, int, int, int& kind) { kind = TMyGrid::ckList; });
    grid_->setOnGetPopupStrings([](TMyGrid&, int, QStringList& list, int) { list = catalogueLines(); });
    connect(grid_, &TMyGrid::OnChange, this, &TOptMasterForm::grGazesChange);

    auto* row = new QHBoxLayout;
    row->addWidget(grid_);
    row->addStretch(1);
    layout->addLayout(row, 1);
    return page;
}

// The longest list the count allows shows whole, in the window's font.
void TOptMasterForm::fitGrid()
{
    const int frame = 2 * grid_->frameWidth();
    const int rows = SetupWizard::maximumCount * grid_->verticalHeader()->defaultSectionSize();
    grid_->setMinimumHeight(grid_->horizontalHeader()->sizeHint().height() + rows + frame);
    grid_->setFixedWidth(grid_->colWidth(numberColumn) + grid_->colWidth(nameColumn) + frame);
}

QWidget* TOptMasterForm::buildSummatorPage()
{
    auto* page = new QWidget;
    QVBoxLayout* layout = titledPage(*page, "Отдельный газосумматор");
    use_ = new QCheckBox(QStringLiteral("Использовать газосумматор"));
    use_->setObjectName("use");
    show_ = new QCheckBox(QStringLiteral("Выводить показания газосумматора на экран"));
    show_->setObjectName("show");
    // Also when the box is set from the settings, so that the display box follows at once.
    connect(use_, &QCheckBox::toggled, this, &TOptMasterForm::chbUseSummClick);
    layout->addWidget(use_);
    layout->addSpacing(6);
    layout->addWidget(show_);
    layout->addStretch(1);
    return page;
}

QWidget* TOptMasterForm::buildClosingPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 12, 16, 12);
    QStringList lines;
    for (const std::string& line : SetupWizard::closingLines())
        lines << qs(line);
    auto* text = new QLabel(lines.join(QLatin1Char('\n')));
    text->setObjectName("lbClosing");
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(text);
    layout->addStretch(1);
    return page;
}

void TOptMasterForm::fill()
{
    shown_ = wizard_.read();
    model_->setText(qs(shown_.model));
    models_->setCurrentIndex(shown_.modelIndex);
    count_->setValue(SetupWizard::gasRows(shown_.count, SetupWizard::maximumCount));
    grid_->setRowCount(static_cast<int>(shown_.names.size()) + 1);
    for (std::size_t i = 0; i < shown_.names.size(); ++i)
        grid_->setCell(nameColumn, static_cast<int>(i) + 1, qs(shown_.names[i]));
    use_->setChecked(shown_.summatorUse);
    show_->setChecked(shown_.summatorShow);
    chbUseSummClick();
}

bool TOptMasterForm::execute()
{
    return exec() == QDialog::Accepted;
}

void TOptMasterForm::done(int result)
{
    if (result == QDialog::Accepted) {
        const SetupWizard::Values values = collect();
        if (const auto refusal = SetupWizard::check(values)) {
            refuse(*refusal);
            return;
        }
        wizard_.store(values);
    }
    QDialog::done(result);
}

void TOptMasterForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

void TOptMasterForm::showPage(int page)
{
    pages_->setCurrentIndex(page);
    if (page == gasesPage)
        tshGasesShow();
    step_->setText(qs(SetupWizard::stepLabel(page)));
    const SetupWizard::Buttons enabled = SetupWizard::buttons(page);
    previous_->setEnabled(enabled.previous);
    next_->setEnabled(enabled.next);
    ok_->setEnabled(enabled.ok);
}

void TOptMasterForm::btnPrevClick()
{
    if (pages_->currentIndex() > mainPage)
        showPage(pages_->currentIndex() - 1);
}

void TOptMasterForm::btnNextClick()
{
    if (pages_->currentIndex() < closingPage)
        showPage(pages_->currentIndex() + 1);
}

void TOptMasterForm::tshGasesShow()
{
    const int shownRows = grid_->rowCount() - 1;
    const int rows = SetupWizard::gasRows(count_->text().toStdString(), shownRows);
    grid_->setRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        grid_->setCell(numberColumn, row, QString::number(row));
        if (row > shownRows)
            grid_->setCell(nameColumn, row, QString());
    }
}

void TOptMasterForm::grGazesChange()
{
    for (int row = 1; row < grid_->rowCount(); ++row)
        grid_->setCell(nameColumn, row, qs(SetupWizard::firstWord(grid_->cell(nameColumn, row).toStdString())));
}

void TOptMasterForm::chbUseSummClick()
{
    show_->setEnabled(use_->isChecked());
}

SetupWizard::Values TOptMasterForm::collect() const
{
    SetupWizard::Values values = shown_;
    values.count = count_->text().toStdString();
    values.names.clear();
    for (int row = 1; row < grid_->rowCount(); ++row)
        values.names.push_back(grid_->cell(nameColumn, row).toStdString());
    values.modelIndex = models_->currentIndex();
    values.summatorUse = use_->isChecked();
    values.summatorShow = show_->isChecked();
    return values;
}

void TOptMasterForm::refuse(const SetupWizard::Refusal& refusal)
{
    showPage(gasesPage);
    if (refusal.emptyRow)
        grid_->setCurrentCell(nameColumn, static_cast<int>(*refusal.emptyRow) + 1);
    grid_->setFocus();
    QMessageBox box(QMessageBox::Critical, utf8(SetupWizard::errorCaption), qs(refusal.message), QMessageBox::Ok,
                    this);
    box.exec();
}

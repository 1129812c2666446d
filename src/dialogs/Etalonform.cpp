#include "dialogs/Etalonform.h"

#include "dialogs/Editetalform.h"
#include "dialogs/Etalstartform.h"
#include "dialogs/Etalvisform.h"
#include "library/Myfunctions.h"
#include "library/Numstr.h"
#include "results/Log.h"
#include "settings/Configuration.h"
#include "station/Station.h"
#include "views/Placementstore.h"
#include "views/Windowstyle.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr const char* resultsTitle = "Результат калибровки";
constexpr const char* fileFilter = "Файлы калибровок (*.cal)";
constexpr const char* notSavedText = "Не удалось записать калибровку в файл\n%1";
constexpr const char* notLoadedText = "В файле нет калибровки, или его не удалось прочитать:\n%1";
constexpr std::uint32_t runCancelFace = 0x00FFFF;  // yellow
constexpr std::uint32_t runCancelText = 0x0000FF;  // red

QString qtext(const std::string& text)
{
    return QString::fromStdString(text);
}

// A title bar over a grid, as the panels of the window have them.
QLabel* titleBar(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}

void fillGrid(TMyGrid& grid, const std::vector<std::string>& headers, std::size_t rows,
              const std::function<std::vector<std::string>(std::size_t)>& row)
{
    QStringList captions;
    for (const std::string& header : headers)
        captions << qtext(header);
    grid.setColCount(static_cast<int>(headers.size()));
    grid.setRowCount(static_cast<int>(rows) + 1);
    grid.setTopStrings(captions);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::vector<std::string> texts = row(r);
        for (std::size_t c = 0; c < texts.size(); ++c)
            grid.setCell(static_cast<int>(c), static_cast<int>(r) + 1, qtext(texts[c]));
    }
    grid.resizeColumnsToContents();
}


} // namespace

TEtalonForm::TEtalonForm(Station& station, Configuration& configuration, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), station_(station), configuration_(configuration)
{
    setObjectName(QStringLiteral("TEtalonForm"));
    setWindowTitle(QString::fromUtf8(caption));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    column->addWidget(buildProgrammePanel(), 1);
    column->addWidget(buildResultsPanel(), 1);
    column->addWidget(buildBottomBar());
    buildPopupMenu();

    stepTimer_ = new QTimer(this);
    stepTimer_->setSingleShot(true);
    connect(stepTimer_, &QTimer::timeout, this, &TEtalonForm::runStep);

    chooseFile = [this](bool saving) {
        const QString folder = QString::fromStdString(station_.system().directory.string());
        QFileDialog dialog(this, saving ? QStringLiteral("Сохранить") : QStringLiteral("Загрузить"), folder,
                           QString::fromUtf8(fileFilter));
        dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("cal"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                       : QString();
    };

    WindowStyle::prepare(*this);
    resize(1180, 620);
}

TEtalonForm::~TEtalonForm() = default;

QWidget* TEtalonForm::buildProgrammePanel()
{
    auto* panel = new QWidget(this);
    programmeTitle_ = titleBar(QString::fromUtf8(programmeTitle), panel);
    programmeGrid_ = new TMyGrid(panel);
    programmeGrid_->setFixedCols(1);
    programmeGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    programmeGrid_->setAlignment(Qt::AlignCenter);
    programmeGrid_->setOnGetCellProps([](TMyGrid&, int, int, int& kind) { kind = TMyGrid::ckReadOnly; });
    programmeGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(programmeGrid_, &QAbstractItemView::doubleClicked, this, [this] { editRecord(); });
    connect(programmeGrid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { selectionChanged(); });
    connect(programmeGrid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(programmeGrid_->viewport()->mapToGlobal(at)); });

    add_ = new TMyButton(QStringLiteral("Добавить..."), panel);
    edit_ = new TMyButton(QStringLiteral("Редактировать..."), panel);
    delete_ = new TMyButton(QStringLiteral("Удалить"), panel);
    runButton_ = new TMyButton(QStringLiteral("Запуск концентрации"), panel);
    cancelRun_ = new TMyButton(QStringLiteral("Отмена"), panel);
    cancelRun_->setColor(runCancelFace);
    cancelRun_->setFontColor(runCancelText);
    QFont bold = cancelRun_->font();
    bold.setBold(true);
    cancelRun_->setFont(bold);
    cancelRun_->hide();
    connect(add_, &TMyButton::clicked, this, &TEtalonForm::addRecord);
    connect(edit_, &TMyButton::clicked, this, &TEtalonForm::editRecord);
    connect(delete_, &TMyButton::clicked, this, &TEtalonForm::deleteRecord);
    connect(runButton_, &TMyButton::clicked, this, &TEtalonForm::runSelected);
    connect(cancelRun_, &TMyButton::clicked, this, &TEtalonForm::cancelRun);

    auto* buttons = new QVBoxLayout;
    for (TMyButton* button : {add_, edit_, delete_, runButton_, cancelRun_}) {
        button->setMinimumWidth(QFontMetrics(button->font()).horizontalAdvance(QStringLiteral("Запуск с конц-ей '1000 / 2000'")) + 24);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* row = new QHBoxLayout;
    row->addWidget(programmeGrid_, 1);
    row->addLayout(buttons);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(programmeTitle_);
    column->addLayout(row, 1);
    return panel;
}

QWidget* TEtalonForm::buildResultsPanel()
{
    resultsPanel_ = new QWidget(this);
    resultsGrid_ = new TMyGrid(resultsPanel_);
    resultsGrid_->setFixedCols(1);
    resultsGrid_->setAlignment(Qt::AlignCenter);
    resultsGrid_->setOnGetDrawParams([this](TMyGrid&, int column, int, TMyGrid::DrawParams& params) {
        const std::size_t gas = CalibrationProgramme::resultsColumnGas(column);
        const GazOptions& gases = station_.system().gazOptions;
        if (gas < static_cast<std::size_t>(gases.count()))
            params.fontColor = lib::readableOnWhite(lib::resolveColour(gases.gas(gas).colour));
    });

    degassingEdit_ = new QLineEdit(resultsPanel_);
    degassingEdit_->setFixedWidth(QFontMetrics(degassingEdit_->font()).horizontalAdvance(QStringLiteral("00000,000")) + 16);
    connect(degassingEdit_, &QLineEdit::textEdited, this, &TEtalonForm::degassingChanged);
    curves_ = new TMyButton(QStringLiteral("Просмотр..."), resultsPanel_);
    save_ = new TMyButton(QStringLiteral("Сохранить..."), resultsPanel_);
    load_ = new TMyButton(QStringLiteral("Загрузить..."), resultsPanel_);
    for (TMyButton* button : {curves_, save_, load_})
        button->setMinimumWidth(110);
    connect(curves_, &TMyButton::clicked, this, &TEtalonForm::showCurves);
    connect(save_, &TMyButton::clicked, this, &TEtalonForm::saveToFile);
    connect(load_, &TMyButton::clicked, this, &TEtalonForm::loadFromFile);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Коэффициент дегазации:"), resultsPanel_));
    controls->addWidget(degassingEdit_);
    controls->addStretch(1);
    controls->addWidget(curves_);
    controls->addSpacing(12);
    controls->addWidget(save_);
    controls->addWidget(load_);

    auto* column = new QVBoxLayout(resultsPanel_);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(titleBar(QString::fromUtf8(resultsTitle), resultsPanel_));
    column->addWidget(resultsGrid_, 1);
    column->addLayout(controls);
    return resultsPanel_;
}

QWidget* TEtalonForm::buildBottomBar()
{
    bottomBar_ = new QWidget(this);
    ok_ = TMyButton::okButton(bottomBar_);
    cancel_ = TMyButton::cancelButton(bottomBar_);
    connect(ok_, &TMyButton::clicked, this, &TEtalonForm::accept);
    connect(cancel_, &TMyButton::clicked, this, &TEtalonForm::reject);
    QHBoxLayout* row = TMyButton::rowAtRight({ok_, cancel_});
    row->setContentsMargins(0, 0, 0, 0);
    bottomBar_->setLayout(row);
    return bottomBar_;
}

void TEtalonForm::buildPopupMenu()
{
    popup_ = new QMenu(this);
    popup_->addAction(QStringLiteral("Добавить..."), this, &TEtalonForm::addRecord);
    popup_->addAction(QStringLiteral("Редактировать..."), this, &TEtalonForm::editRecord);
    popup_->addAction(QStringLiteral("Удалить"), this, &TEtalonForm::deleteRecord);
}

void TEtalonForm::open(std::filesystem::path settingsPath)
{
    settingsPath_ = std::move(settingsPath);
    curves_->setEnabled(!configuration_.calcResultFromPeak);
    const EtalonStorage& store = station_.system().etalonStorage;
    programme_.entries.assign(store.entries.begin(), store.entries.end());
    degassing_ = store.degKoeff;
    degassingEdit_->setText(qtext(lib::formatReal(degassing_, 3)));
    discardOnClose_ = true;
    if (!placed_) {
        placed_ = true;
        if (const QScreen* shown = screen())
            move(shown->availableGeometry().center() - rect().center());
    }
    savedBounds_ = geometry();
    fillGrids();
    restoreNormalLayout();
    show();
    raise();
    activateWindow();
}

void TEtalonForm::fillGrids()
{
    fillProgramme();
    fillResults();
}

void TEtalonForm::fillProgramme()
{
    const std::optional<std::size_t> kept = selected();
    const GazOptions& gases = station_.system().gazOptions;
    const auto gasCount = static_cast<std::size_t>(gases.count());
    fillGrid(*programmeGrid_, CalibrationProgramme::programmeHeaders(gases), programme_.entries.size(),
             [&](std::size_t row) { return programme_.programmeRow(row, gasCount); });
    if (kept && *kept < programme_.entries.size())
        select(*kept);
    selectionChanged();
}

void TEtalonForm::fillResults()
{
    const GazOptions& gases = station_.system().gazOptions;
    const auto gasCount = static_cast<std::size_t>(gases.count());
    fillGrid(*resultsGrid_, CalibrationProgramme::resultsHeaders(gases, configuration_.calcResultFromPeak),
             programme_.entries.size(), [&](std::size_t row) { return programme_.resultsRow(row, gasCount, degassing_); });
}

void TEtalonForm::commitResults()
{
    resultsGrid_->commitEdit();
    programme_.commitResults([this](int column, int row) { return resultsGrid_->cell(column, row).toStdString(); },
                             static_cast<std::size_t>(station_.system().gazOptions.count()), degassing_);
}

std::optional<std::size_t> TEtalonForm::selected() const
{
    const int row = programmeGrid_->currentRow();
    if (row < 1 || static_cast<std::size_t>(row) > programme_.entries.size())
        return std::nullopt;
    return static_cast<std::size_t>(row - 1);
}

void TEtalonForm::select(std::size_t index)
{
    programmeGrid_->setCurrentCell(1, static_cast<int>(index) + 1);
}

void TEtalonForm::selectionChanged()
{
    const std::optional<std::size_t> index = selected();
    runButton_->setText(index ? qtext(CalibrationProgramme::runCaption(programme_.entries[*index]))
                              : QStringLiteral("Запуск концентрации"));
}

void TEtalonForm::degassingChanged(const QString& text)
{
    if (const std::optional<double> value = CalibrationProgramme::degassingFromText(text.toStdString())) {
        degassing_ = *value;
        fillResults();
    }
}

void TEtalonForm::addRecord()
{
    if (running())
        return;
    const GazOptions& gases = station_.system().gazOptions;
    GazEtalLine entry = CalibrationProgramme::newEntry(static_cast<std::size_t>(gases.count()));
    TEditEtalForm editor(gases, settingsPath_, this);
    if (!editor.addRecord(entry))
        return;
    programme_.add(std::move(entry));
    fillGrids();
    select(programme_.entries.size() - 1);
}

void TEtalonForm::editRecord()
{
    const std::optional<std::size_t> index = selected();
    if (running() || !index)
        return;
    GazEtalLine entry = programme_.entries[*index];
    TEditEtalForm editor(station_.system().gazOptions, settingsPath_, this);
    if (!editor.editRecord(entry))
        return;
    programme_.replaceEdited(*index, entry);
    fillGrids();
}

void TEtalonForm::deleteRecord()
{
    const std::optional<std::size_t> index = selected();
    if (running() || !index)
        return;
    programme_.remove(*index);
    fillGrids();
}

void TEtalonForm::showCurves()
{
    if (running() || configuration_.calcResultFromPeak)
        return;
    commitResults();
    TEtalVisForm view(programme_.entries, degassing_, station_.system().gazOptions, settingsPath_, this);
    if (!view.execute())
        return;
    programme_.entries = view.entries();
    fillGrids();
}

void TEtalonForm::takeIntoStore()
{
    station_.system().takeCalibration(programme_.entries, degassing_);
    configuration_.saveProgramSettings();
}

void TEtalonForm::saveToFile()
{
    if (running())
        return;
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    takeIntoStore();
    if (!station_.system().saveCalibration(std::filesystem::path(path.toStdString()))) {
        QMessageBox::critical(this, QString::fromUtf8(caption), QString::fromUtf8(notSavedText).arg(path));
        return;
    }
    station_.journal().add(Log::calibrationSaved);
    station_.journal().save();
}

void TEtalonForm::loadFromFile()
{
    if (running())
        return;
    const QString path = chooseFile(false);
    if (path.isEmpty())
        return;
    if (!station_.system().loadCalibration(std::filesystem::path(path.toStdString()))) {
        QMessageBox::critical(this, QString::fromUtf8(caption), QString::fromUtf8(notLoadedText).arg(path));
        return;
    }
    station_.journal().add(Log::calibrationLoaded);
    station_.journal().save();
    hide();
    open(settingsPath_);
}

void TEtalonForm::accept()
{
    discardOnClose_ = false;
    close();
}

void TEtalonForm::reject()
{
    discardOnClose_ = true;
    close();
}

void TEtalonForm::closeEvent(QCloseEvent* event)
{
    if (running()) {
        event->ignore();
        return;
    }
    if (!discardOnClose_) {
        commitResults();
        const auto answer = QMessageBox::question(this, QString::fromUtf8(caption), QString::fromUtf8(saveQuestion),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            takeIntoStore();
            station_.journal().add(Log::calibrationDone);
            station_.journal().save();
        }
        discardOnClose_ = true;
    }
    event->accept();
}

void TEtalonForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void TEtalonForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

// --- the run --------------------------------------------------------------------------------

CalibrationRun::Controller TEtalonForm::controller()
{
    CalibrationRun::Controller controller;
    controller.start = [this]() -> std::optional<std::string> {
        std::optional<std::string> refusal = station_.start();
        if (refusal)
            refusal_ = qtext(*refusal);
        return refusal;
    };
    controller.idle = [this] { return station_.idle(); };
    controller.completedCycles = [this] { return station_.system().completedCycles(); };
    controller.areas = [this] {
        const NivraSystem& system = station_.system();
        return CalibrationRun::gasAreas(system.calculation.results(), system.gazOptions);
    };
    return controller;
}

void TEtalonForm::runSelected()
{
    const std::optional<std::size_t> index = selected();
    if (running() || !index)
        return;
    runEntry_ = *index;
    const GazEtalLine& entry = programme_.entries[runEntry_];
    refusal_.reset();
    run_ = std::make_unique<CalibrationRun>(entry.dilution, entry.repeats, controller());
    station_.system().setCalibrating(true);
    applyRunLayout();
    if (run_->ended()) {
        programmeTitle_->clear();
        finishRun();
        return;
    }
    TEtalStartForm prompt(qtext(run_->promptText()), this);
    prompt_ = &prompt;
    const bool confirmed = prompt.execute();
    prompt_ = nullptr;
    if (!run_)
        return;  // the station closed while the prompt stood
    run_->promptAnswered(confirmed);
    if (run_->ended())
        finishRun();
    else
        stepTimer_->start(CalibrationRun::startUpStep);
}

void TEtalonForm::cancelRun()
{
    if (run_)
        run_->cancel();
}

void TEtalonForm::abortRun()
{
    if (!run_)
        return;
    if (prompt_)
        prompt_->reject();
    run_->cancel();
    run_->step();
    finishRun();
}

void TEtalonForm::runStep()
{
    if (!run_)
        return;
    const std::optional<std::chrono::milliseconds> next = run_->step();
    if (!next) {
        finishRun();
        return;
    }
    programmeTitle_->setText(qtext(run_->title()));
    stepTimer_->start(*next);
}

void TEtalonForm::finishRun()
{
    stepTimer_->stop();
    if (!run_)
        return;
    const bool succeeded = run_->phase() == CalibrationRun::Phase::succeeded;
    if (succeeded && runEntry_ < programme_.entries.size())
        programme_.setAreas(runEntry_, run_->means());
    run_.reset();
    station_.system().setCalibrating(false);
    restoreNormalLayout();
    fillResults();
    if (refusal_)
        emit startRefused(*refusal_);
}

void TEtalonForm::applyRunLayout()
{
    savedBounds_ = geometry();
    runLayout_ = true;
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const int third = screenArea.height() / 3;
    PlacementStore::placeFrame(*this, QRect(screenArea.left(), screenArea.top(), screenArea.width(), third));
    setEditingEnabled(false);
    bottomBar_->hide();
    resultsPanel_->hide();
    cancelRun_->show();
    emit runLayoutRequested(QRect(screenArea.left(), screenArea.top() + third, screenArea.width(), screenArea.height() - third));
}

void TEtalonForm::restoreNormalLayout()
{
    const bool wasRunning = runLayout_;
    runLayout_ = false;
    programmeTitle_->setText(QString::fromUtf8(programmeTitle));
    if (wasRunning && isVisible() && savedBounds_.isValid())
        setGeometry(savedBounds_);
    bottomBar_->show();
    resultsPanel_->show();
    cancelRun_->hide();
    setEditingEnabled(true);
    curves_->setEnabled(!configuration_.calcResultFromPeak);
    if (wasRunning)
        emit runLayoutEnded();
}

void TEtalonForm::setEditingEnabled(bool on)
{
    for (QWidget* control : std::initializer_list<QWidget*>{add_, edit_, delete_, runButton_, curves_, ok_,
                                                            programmeGrid_, resultsGrid_})
        control->setEnabled(on);
    for (QAction* item : popup_->actions())
        item->setEnabled(on);
}

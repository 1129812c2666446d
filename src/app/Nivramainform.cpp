#include "app/Nivramainform.h"

#include "chromatogram/Printexpansion.h"
#include "dialogs/Aboutform.h"
#include "dialogs/Etalonform.h"
#include "dialogs/Gaztimeform.h"
#include "dialogs/Optform.h"
#include "dialogs/Optmasterform.h"
#include "dialogs/Porogform.h"
#include "dialogs/Tabledialogs.h"
#include "platform/Beep.h"
#include "results/Log.h"
#include "settings/Configuration.h"
#include "station/Station.h"
#include "views/Chromatogrampanel.h"
#include "views/Chromatogramprinter.h"
#include "views/Helpviewer.h"
#include "views/Historypage.h"
#include "views/Journalpage.h"
#include "views/Resultstablepage.h"
#include "views/Stationprinter.h"
#include "views/Summatorchart.h"
#include "views/Placementstore.h"
#include "views/Windowstyle.h"
#include "widgets/Textindicator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>
#include <functional>

namespace {

constexpr int hintDuration = 10000;  // ms a hint stays up
constexpr const char* placementSection = "главное_окно";
constexpr const char* closingCaption = "  Завершение работы";
constexpr const char* workingWhenClosing = "Для закрытия программы дождитесь завершения работы хроматографа";
constexpr const char* closingQuestion = "Вы действительно хотите выйти из программы ?";
constexpr const char* printCaption = "  Печать";
constexpr const char* printQuestion = "Распечатать хроматограмму ?";
constexpr const char* printWhileWorking = "Невозможно выполнить печать. Дождитесь окончания цикла хроматографа";
constexpr const char* wizardWhileWorking =
    "Общую настройку нельзя производить при запущенном рабочем цикле. Дождитесь окончания цикла работы.";

QString qtext(const std::string& text)
{
    return QString::fromStdString(text);
}

// The status line shows a blank and the hint of the control under the mouse.
void setHint(QWidget& control, const QString& hint)
{
    control.setToolTip(hint);
    control.setToolTipDuration(hintDuration);
    control.setStatusTip(QStringLiteral(" ") + hint);
}

// The tool bar's mode buttons, in the order they stand.
struct ModeButton {
    std::int32_t mode;
    const char* text;
    const char* hint;
};
constexpr std::array<ModeButton, 5> modeButtonTable{{
    {NivraSystem::continuousMode, "Непрерывный", " Непрерывный режим "},
    {NivraSystem::timeMode, "По времени", " Режим работы по времени "},
    {NivraSystem::manualMode, "Ручной", " Ручной режим работы "},
    {NivraSystem::depthMarkMode, "По метке", " Режим по метке глубины "},
    {NivraSystem::summatorMode, "От сумматора", "От показаний газосумматора"},
}};

// The five tones of entering the settings mode, with the pauses between them (frequency 0).
constexpr std::array<std::pair<int, int>, 9> settingsModeTones{{
    {600, 30}, {0, 20}, {800, 30}, {0, 20}, {1000, 30}, {0, 20}, {1200, 30}, {0, 20}, {1400, 30},
}};

QLabel* taggedLabel(const QString& text, int tag, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    WindowStyle::setTag(*label, tag);
    return label;
}

} // namespace

// One item of the menus: its text, shortcut, what it does, and whether its window exists yet.
struct TNivraMainForm::MenuItem {
    const char* text;
    const char* shortcut;
    std::function<void()> run;  // empty: the window it opens comes later, the item is disabled
    QAction** keep = nullptr;
};

TNivraMainForm::TNivraMainForm(Station& station, Configuration& configuration, QWidget* parent)
    : QMainWindow(parent), station_(station), configuration_(configuration), view_(configuration, station.system())
{
    setObjectName(QStringLiteral("TNivraMainForm"));
    buildMenus();
    buildToolBar();
    buildPages();
    buildStatusLine();
    buildCalibrationWindow();
    applyFonts();
    applyVisibility();
    refreshModes();
    if (configuration_.firstStart)
        runSetupWizard();
    readPlacement();
    station_.startServices();
    summatorChart_->fill();

    timer_ = new QTimer(this);
    timer_->setInterval(std::chrono::milliseconds(Station::tickInterval));
    connect(timer_, &QTimer::timeout, this, &TNivraMainForm::tick);
    timer_->start();
    pages_->setCurrentIndex(0);

    connectStation();
    panel_->refresh();
    applyCaption();
    refreshState();
    WindowStyle::prepare(*this);
}

TNivraMainForm::~TNivraMainForm() = default;

void TNivraMainForm::buildMenus()
{
    QMenu* device = menuBar()->addMenu(QStringLiteral("Хроматограф"));
    const std::vector<MenuItem> deviceItems{
        {"Запуск", "F5", [this] { startCycle(); }},
        {"Непрерывный режим", nullptr, [this] { setMode(NivraSystem::continuousMode); },
         &modeItems_[NivraSystem::continuousMode]},
        {"Временной режим", nullptr, [this] { setMode(NivraSystem::timeMode); }, &modeItems_[NivraSystem::timeMode]},
        {"Ручной режим", nullptr, [this] { setMode(NivraSystem::manualMode); }, &modeItems_[NivraSystem::manualMode]},
        {"По метке глубины", nullptr, [this] { setMode(NivraSystem::depthMarkMode); },
         &modeItems_[NivraSystem::depthMarkMode]},
        {"Запуск прогрева колонок...", nullptr, [this] { startWarmUp(); }, &warmUpItem_},
        {"Порог срабатывания...", nullptr, [this] { openThreshold(*this); }},
        {"Выход из программы", "Alt+X", [this] { close(); }},
    };
    for (const MenuItem& item : deviceItems)
        addItem(*device, item);
    for (QAction* item : modeItems_)
        if (item)
            item->setCheckable(true);
    connect(device, &QMenu::aboutToShow, this, &TNivraMainForm::checkModeItems);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Настройка"));
    const std::vector<MenuItem> settingsItems{
        {"Общие настройки...", nullptr, [this] { openGeneralSettings(); }, &generalSettingsItem_},
        {"Рабочие настройки...", "F11", [this] { openWorkSettings(); }},
        {"Время выхода газов", nullptr, [this] { showGasTimes(); }},
        {"Калибровка хроматографа...", nullptr, [this] { openCalibration(); }, &calibrationItem_},
        {"Настроечный режим...", nullptr, [this] { toggleSettingsMode(); }, &settingsModeItem_},
    };
    for (const MenuItem& item : settingsItems)
        addItem(*settings, item);
    settingsModeItem_->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    const std::vector<MenuItem> helpItems{
        {"Вызов справки", "F1", [this] { HelpViewer::showContents(this); }},
        {"О программе...", nullptr, [this] { showAbout(); }},
    };
    for (const MenuItem& item : helpItems)
        addItem(*help, item);
}

QAction* TNivraMainForm::addItem(QMenu& menu, const MenuItem& item)
{
    QAction* action = menu.addAction(QString::fromUtf8(item.text));
    if (item.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    // Shortcuts work with the menu closed, wherever the focus is in the window.
    action->setShortcutContext(Qt::WindowShortcut);
    if (item.run)
        connect(action, &QAction::triggered, this, item.run);
    else
        action->setEnabled(false);
    if (item.keep)
        *item.keep = action;
    addAction(action);
    actions_.push_back(action);
    return action;
}

void TNivraMainForm::buildToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Хроматограф"));
    toolBar_ = bar;
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    startButton_ = new QToolButton(bar);
    startButton_->setText(QStringLiteral("Запуск"));
    setHint(*startButton_, QStringLiteral(" Запуск хроматографа в ручном режиме "));
    connect(startButton_, &QToolButton::clicked, this, &TNivraMainForm::startCycle);
    bar->addWidget(startButton_);
    bar->addSeparator();

    modeGroup_ = new QButtonGroup(this);
    modeGroup_->setExclusive(true);
    for (const ModeButton& entry : modeButtonTable) {
        auto* button = new QToolButton(bar);
        button->setText(QString::fromUtf8(entry.text));
        button->setCheckable(true);
        setHint(*button, QString::fromUtf8(entry.hint));
        modeGroup_->addButton(button, entry.mode);
        modeButtons_[static_cast<std::size_t>(entry.mode)] = button;
        bar->addWidget(button);
    }
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int mode) { setMode(mode); });
    bar->addSeparator();

    saveButton_ = new QToolButton(bar);
    saveButton_->setText(QStringLiteral("Сохр."));
    setHint(*saveButton_, QStringLiteral(" Сохранить текущую разгонку "));
    connect(saveButton_, &QToolButton::clicked, this, &TNivraMainForm::saveCurrent);
    bar->addWidget(saveButton_);
    bar->addSeparator();

    auto* indicators = new QWidget(bar);
    auto* row = new QHBoxLayout(indicators);
    row->setContentsMargins(6, 0, 6, 0);
    row->addWidget(taggedLabel(QStringLiteral("Режим работы"), 3, indicators));
    modeName_ = taggedLabel(QString(), 1, indicators);
    modeName_->setMinimumWidth(QFontMetrics(modeName_->font()).horizontalAdvance(QStringLiteral("Прогрев колонок 3 из 3")) + 12);
    modeName_->setFrameShape(QFrame::StyledPanel);
    row->addWidget(modeName_);
    stateIndicator_ = new TTextIndicator(indicators);
    QFont bold = stateIndicator_->font();
    bold.setBold(true);
    stateIndicator_->setFont(bold);
    stateIndicator_->setFontColor(0xFFFFFF);
    stateIndicator_->setGradientDir(TTextIndicator::gdVertival);
    stateIndicator_->setBorderWidth(1);
    stateIndicator_->setBorderColor(0x404040);
    stateIndicator_->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("Р А Б О Т А")) + 40);
    setHint(*stateIndicator_, QStringLiteral(" Состояние хроматографа "));
    row->addWidget(stateIndicator_);
    cycleTime_ = new QLabel(indicators);
    cycleTime_->setAlignment(Qt::AlignCenter);
    cycleTime_->setFrameShape(QFrame::StyledPanel);
    cycleTime_->setMinimumWidth(QFontMetrics(cycleTime_->font()).horizontalAdvance(QStringLiteral("0000 с.")) + 12);
    setHint(*cycleTime_, QStringLiteral(" Время с начала цикла "));
    row->addWidget(cycleTime_);
    bar->addWidget(indicators);

    buildSummatorStrip(*bar);

    // The tool bar stands out a little darker than the window.
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, WindowStyle::darker(palette.color(QPalette::Window)));
    bar->setAutoFillBackground(true);
    bar->setPalette(palette);
}

void TNivraMainForm::buildSummatorStrip(QWidget& parent)
{
    summatorStrip_ = new QWidget(&parent);
    auto* row = new QHBoxLayout(summatorStrip_);
    row->setContentsMargins(6, 0, 6, 0);
    row->addWidget(taggedLabel(QStringLiteral("Показания газосумматора"), 3, summatorStrip_));
    summatorValue_ = taggedLabel(QStringLiteral("0,00"), 2, summatorStrip_);
    summatorValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    summatorValue_->setMinimumWidth(QFontMetrics(summatorValue_->font()).horizontalAdvance(QStringLiteral("000,000")) + 8);
    row->addWidget(summatorValue_);
    row->addWidget(taggedLabel(QStringLiteral("%"), 3, summatorStrip_));
    if (auto* bar = qobject_cast<QToolBar*>(&parent))
        summatorStripPlace_ = bar->addWidget(summatorStrip_);
}

void TNivraMainForm::buildPages()
{
    pages_ = new QTabWidget(this);

    chartSplitter_ = new QSplitter(Qt::Horizontal, pages_);
    NivraSystem& system = station_.system();
    panel_ = new ChromatogramPanel(system.curve, configuration_, system.gazOptions, chartSplitter_);
    chartSplitter_->addWidget(panel_);
    summatorChart_ = new SummatorChart(station_.summatorTrend(), station_.summatorTrendLock(), configuration_, chartSplitter_);
    summatorChart_->restorePlacement();
    chartSplitter_->addWidget(summatorChart_);
    chartSplitter_->setStretchFactor(0, 1);
    chartSplitter_->setStretchFactor(1, 0);
    pages_->addTab(chartSplitter_, QStringLiteral("Хроматограмма"));

    journalPage_ = new JournalPage(station_.journal(), pages_);
    pages_->addTab(journalPage_, QStringLiteral("Журнал"));
    tablePage_ = new ResultsTablePage(system.textGrid, configuration_, pages_);
    connectTableDialogs(*tablePage_);
    pages_->addTab(tablePage_, QStringLiteral("Таблица"));
    historyPage_ = new HistoryPage(system.history, configuration_, system.gazOptions, pages_);
    pages_->addTab(historyPage_, QStringLiteral("История"));
    setCentralWidget(pages_);

    printer_ = new ChromatogramPrinter(this);
    // A printer that would not take the page (a PDF file that cannot be written, a spooler
    // gone) is told as a missing one: the operator would otherwise wait for a page.
    connect(printer_, &ChromatogramPrinter::finished, this, [this](bool printed) {
        setPrintButtonsEnabled(true);
        if (!printed)
            StationPrinter::showNoPrinter(this);
    });
    connect(panel_, &ChromatogramPanel::printRequested, this, &TNivraMainForm::printChromatogram);
    connect(historyPage_, &HistoryPage::printRequested, this, &TNivraMainForm::printHistoryEntry);
    setPrintButtonsEnabled(true);
}

void TNivraMainForm::buildStatusLine()
{
    statusBar()->setSizeGripEnabled(true);
}

void TNivraMainForm::applyFonts()
{
    QFont font(WindowStyle::fontFamily(), configuration_.tableFontSize > 0 ? configuration_.tableFontSize : 8);
    statusBar()->setFont(font);
    statusBar()->setFixedHeight(QFontMetrics(font).height() + 6);
}

void TNivraMainForm::connectStation()
{
    NivraSystem& system = station_.system();
    connections_.emplace_back(system.modeChanged.connect([this] { refreshModes(); }));
    connections_.emplace_back(system.stateChanged.connect([this] {
        refreshState();
        refreshModes();
    }));
    // A failure stays on the display until the next cycle starts.
    connections_.emplace_back(system.cycleStarted.connect([this] { station_.system().curve.setTitle({}); }));
    connections_.emplace_back(system.liveCurveChanged.connect([this] { panel_->refresh(); }));
}

void TNivraMainForm::tick()
{
    if (const auto failure = station_.tick()) {
        showFailure(*failure);
        return;
    }
    summatorChart_->takeNewReadings();
    if (station_.summatorReading())
        summatorValue_->setText(qtext(station_.summatorText()));
    if (configuration_.showAdcValue)
        panel_->setAdcText(qtext(station_.adcText()));
    cycleTime_->setText(qtext(station_.cycleTimeText()));
    if (!station_.idle())
        refreshState();
    else if (closeUnattended_ && !closedDown_)
        close();
}

void TNivraMainForm::showFailure(const std::string& text)
{
    station_.system().curve.setTitle(text);
    panel_->refresh();
}

// The answer is checked against the state once more: a cycle may have started while the
// question stood, and the curve would then be the new one, just begun.
void TNivraMainForm::printChromatogram()
{
    if (refusePrintWhileWorking() || !askToPrint() || refusePrintWhileWorking())
        return;
    printCurve(station_.system().curve);
}

// While a print is under way the buttons are off; a double click on a picture then does nothing.
void TNivraMainForm::printHistoryEntry()
{
    if (printer_->busy() || !askToPrint())
        return;
    if (const MyGraphics* entry = station_.system().history.selectedEntry())
        printCurve(PrintExpansion::expand(*entry, configuration_.samplesPerSecond));
}

bool TNivraMainForm::refusePrintWhileWorking()
{
    if (station_.idle())
        return false;
    QMessageBox::critical(this, QString::fromUtf8(StationPrinter::errorCaption), QString::fromUtf8(printWhileWorking));
    return true;
}

bool TNivraMainForm::askToPrint()
{
    return QMessageBox::question(this, QString::fromUtf8(printCaption), QString::fromUtf8(printQuestion),
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void TNivraMainForm::printCurve(const MyGraphics& curve)
{
    std::unique_ptr<QPrinter> printer = StationPrinter::open();
    if (!printer) {
        StationPrinter::showNoPrinter(this);
        return;
    }
    ChromatogramDrawing::Style style = ChromatogramDrawing::Style::from(configuration_, station_.system().gazOptions);
    style.resultsHidden = panel_->resultsHidden();
    if (printer_->print(std::move(printer), curve, station_.system().gazOptions, std::move(style)))
        setPrintButtonsEnabled(false);
}

void TNivraMainForm::setPrintButtonsEnabled(bool enabled)
{
    panel_->printButton()->setEnabled(enabled);
    historyPage_->printButton()->setEnabled(enabled);
}

void TNivraMainForm::startCycle()
{
    if (const auto failure = station_.start())
        showFailure(*failure);
}

void TNivraMainForm::setMode(std::int32_t mode)
{
    NivraSystem& system = station_.system();
    system.setWorkMode(mode);
    configuration_.saveProgramSettings();
    // The mode is the controller's own key: stored with it, so that it survives a crash.
    static_cast<lib::ini_options&>(system).save(system.iniPath.string());
    refreshModes();
}

void TNivraMainForm::checkModeItems()
{
    const std::int32_t mode = station_.system().workMode();
    for (std::size_t i = 0; i < modeItems_.size(); ++i)
        if (modeItems_[i])
            modeItems_[i]->setChecked(static_cast<std::int32_t>(i) == mode);
}

void TNivraMainForm::startWarmUp()
{
    station_.system().requestWarmUp();
}

void TNivraMainForm::saveCurrent()
{
    station_.system().calculation.announcePending();
}

void TNivraMainForm::toggleSettingsMode()
{
    configuration_.settingsMode = !configuration_.settingsMode;
    if (configuration_.settingsMode)
        for (const auto& [frequency, milliseconds] : settingsModeTones)
            platform::beep(frequency, milliseconds);
    settingsModeItem_->setChecked(configuration_.settingsMode);
    applyVisibility();
}

// The dialog is modal over a running station: the timer goes on ticking under it.
void TNivraMainForm::openWorkSettings()
{
    TOptForm form(station_.system(), configuration_, this);
    form.thresholdDialog = [this](QWidget& parent) { openThreshold(parent); };
    if (!form.execute())
        return;
    refreshModes();
    applyFonts();
    tablePage_->applyFont();
    station_.displaySettingsChanged();
    station_.system().refreshLiveCurve(true);  // the marks of the new gas table; repaints the display
    historyPage_->pictures()->update();
    applyVisibility();
    station_.summatorSettingsChanged();
}

// Changed in memory only: stored with the next save of the settings.
void TNivraMainForm::openThreshold(QWidget& parent)
{
    TPorogForm form(configuration_, &parent);
    const bool confirmed = form.execute();
    // The computer's name is taken when its own dialog is confirmed, even if this one is not.
    station_.registrationSettingsChanged();
    if (confirmed)
        refreshModes();  // the summator mode depends on the source
}

void TNivraMainForm::openGeneralSettings()
{
    if (!station_.idle()) {
        QMessageBox::warning(this, QStringLiteral("  Внимание!"), QString::fromUtf8(wizardWhileWorking));
        return;
    }
    runSetupWizard();
}

// At a first start the window is not shown yet: the wizard stands alone on the desktop.
void TNivraMainForm::runSetupWizard()
{
    TOptMasterForm wizard(station_.system(), configuration_, isVisible() ? this : nullptr);
    if (!wizard.execute())
        return;
    station_.system().saveSettings();
    applyCaption();
    applyVisibility();
    refreshModes();
    station_.system().refreshLiveCurve(true);
}

// A tool window kept from its first showing; the gases it lists are those of that moment.
void TNivraMainForm::showGasTimes()
{
    if (!gasTimes_) {
        gasTimes_ = new TGazTimeForm(station_.system(), this);
        // A tool window has no place of its own: over the display, not over the menus.
        gasTimes_->adjustSize();
        gasTimes_->move(frameGeometry().center() - gasTimes_->rect().center());
    }
    gasTimes_->show();
    gasTimes_->raise();
    gasTimes_->activateWindow();
}

void TNivraMainForm::buildCalibrationWindow()
{
    calibration_ = new TEtalonForm(station_, configuration_, this);
    connect(calibration_, &TEtalonForm::visibilityChanged, this, [this](bool shown) { panel_->setResultsHidden(shown); });
    connect(calibration_, &TEtalonForm::runLayoutRequested, this, &TNivraMainForm::enterCalibrationLayout);
    connect(calibration_, &TEtalonForm::runLayoutEnded, this, &TNivraMainForm::leaveCalibrationLayout);
    connect(calibration_, &TEtalonForm::startRefused, this, [this](const QString& text) { showFailure(text.toStdString()); });
}

void TNivraMainForm::openCalibration()
{
    calibration_->open(station_.system().iniPath);
}

void TNivraMainForm::enterCalibrationLayout(const QRect& frame)
{
    maximisedBeforeRun_ = isMaximized();
    boundsBeforeRun_ = normalGeometry().isValid() ? normalGeometry() : geometry();
    if (maximisedBeforeRun_)
        showNormal();
    PlacementStore::placeFrame(*this, frame);
    pages_->setCurrentIndex(0);
    menuBar()->setEnabled(false);
    toolBar_->setEnabled(false);
    actionsEnabledBeforeRun_.clear();
    for (QAction* item : actions_) {
        actionsEnabledBeforeRun_.push_back(item->isEnabled());
        item->setEnabled(false);
    }
}

void TNivraMainForm::leaveCalibrationLayout()
{
    menuBar()->setEnabled(true);
    toolBar_->setEnabled(true);
    for (std::size_t i = 0; i < actions_.size() && i < actionsEnabledBeforeRun_.size(); ++i)
        actions_[i]->setEnabled(actionsEnabledBeforeRun_[i]);
    setGeometry(boundsBeforeRun_);
    if (maximisedBeforeRun_)
        showMaximized();
}

void TNivraMainForm::showAbout()
{
    TAboutForm about(configuration_, this);
    about.exec();
}

void TNivraMainForm::refreshModes()
{
    const std::int32_t mode = station_.system().workMode();
    for (std::size_t i = 0; i < modeButtons_.size(); ++i)
        modeButtons_[i]->setChecked(static_cast<std::int32_t>(i) == mode);
    modeButtons_[NivraSystem::summatorMode]->setEnabled(view_.summatorModeEnabled());
    setHint(*modeButtons_[NivraSystem::timeMode], qtext(view_.timeModeHint()));
    setHint(*modeButtons_[NivraSystem::summatorMode], qtext(view_.summatorModeHint()));
    modeName_->setText(qtext(station_.modeText()));
    checkModeItems();
}

void TNivraMainForm::refreshState()
{
    view_.refreshState();
    stateIndicator_->setText(qtext(view_.stateText()));
    const StationView::Gradient gradient = view_.stateGradient();
    stateIndicator_->setGradientColors(gradient.from, gradient.to);
    if (station_.idle())
        cycleTime_->clear();
}

void TNivraMainForm::applyVisibility()
{
    saveButton_->setEnabled(view_.saveButtonEnabled());
    summatorStripPlace_->setVisible(view_.summatorStripVisible());
    summatorChart_->setVisible(view_.summatorChartVisible());
    panel_->setAdcVisible(view_.adcIndicatorVisible());
    generalSettingsItem_->setEnabled(configuration_.settingsMode);
    calibrationItem_->setEnabled(configuration_.settingsMode);
}

void TNivraMainForm::applyCaption()
{
    setWindowTitle(qtext(view_.caption()));
    warmUpItem_->setVisible(view_.warmUpItemVisible());
}

QAction* TNivraMainForm::action(const QString& text) const
{
    for (QAction* item : actions_)
        if (item->text() == text)
            return item;
    return nullptr;
}

bool TNivraMainForm::summatorStripShown() const
{
    return summatorStripPlace_->isVisible();
}

QToolButton* TNivraMainForm::modeButton(std::int32_t mode) const
{
    return mode >= 0 && static_cast<std::size_t>(mode) < modeButtons_.size() ? modeButtons_[static_cast<std::size_t>(mode)]
                                                                              : nullptr;
}

void TNivraMainForm::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void TNivraMainForm::closeUnattended(bool abandonCycle)
{
    closeUnattended_ = true;
    abandonCycle_ = abandonCycle_ || abandonCycle;
    if (station_.idle() || abandonCycle_)
        close();
    // Otherwise the timer closes the window once the cycle has ended.
}

void TNivraMainForm::closeEvent(QCloseEvent* event)
{
    if (!closedDown_ && !mayClose()) {
        event->ignore();
        return;
    }
    if (!closedDown_)
        closeDown();
    event->accept();
}

// The operator may close only while the chromatograph is idle, and is asked first. The answer
// is checked against the state once more: a cycle may have started while the question stood.
bool TNivraMainForm::mayClose()
{
    if (closeUnattended_)
        return station_.idle() || abandonCycle_;
    const auto refuse = [this] {
        QMessageBox::critical(this, QString::fromUtf8(closingCaption), QString::fromUtf8(workingWhenClosing));
        return false;
    };
    if (!station_.idle() || calibration_->running())
        return refuse();
    if (QMessageBox::question(this, QString::fromUtf8(closingCaption), QString::fromUtf8(closingQuestion),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return false;
    return station_.idle() || refuse();
}

void TNivraMainForm::closeDown()
{
    closedDown_ = true;
    timer_->stop();
    calibration_->abortRun();  // puts this window back where it was before the run
    configuration_.firstStart = false;
    emit closingDown();
    summatorChart_->storePlacement();
    station_.closeDown();
    writePlacement();
    emit closed();
}

void TNivraMainForm::readPlacement()
{
    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect fallback(available.topLeft() + QPoint(20, 20),
                         QSize(std::min(1280, available.width() - 40), std::min(860, available.height() - 40)));
    PlacementStore::restore(*this, station_.system().iniPath, placementSection, fallback, QSize(200, 150));
}

void TNivraMainForm::writePlacement()
{
    PlacementStore::store(*this, station_.system().iniPath, placementSection);
}

#include "dialogs/Optform.h"

#include "dialogs/Colorselectform.h"
#include "library/Numstr.h"
#include "settings/Chromatographmodel.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "views/Helpviewer.h"
#include "views/Windowstyle.h"
#include "widgets/Dlcolorselector.h"
#include "widgets/Mybutton.h"
#include "widgets/Qtcolour.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace {

enum Page { modePage, gasPage, screenPage, summatorPage, miscPage, manufacturerPage };

// "Справка" opens the help at the page on show, in the order of Page.
constexpr std::array<const char*, 6> pageTopics{"SETTINGS_WORK_MODE",     "SETTINGS_WORK_GAS",  "SETTINGS_WORK_SCREEN",
                                                "SETTINGS_WORK_SUMMATOR", "SETTINGS_WORK_MISC", "SETTINGS_WORK_MANUFACTURER"};

QString pageTopic(int page)
{
    const bool known = page >= 0 && static_cast<std::size_t>(page) < pageTopics.size();
    return QString::fromLatin1(known ? pageTopics[static_cast<std::size_t>(page)] : "SETTINGS_WORK");
}

enum GasColumn { nameColumn, labelColumn, startColumn, endColumn, colourColumn, gasColumns };

constexpr int valueColumn = 1;
constexpr int rowHeight = 20;
constexpr int zeroShiftMs = 200;
const char* const zeroShiftCaption = "Автоматическая установка сдвига нуля";
// Typing over a cell edits it, as a double click, F2 or a click on the current cell do.
constexpr QAbstractItemView::EditTriggers editTriggers = QAbstractItemView::DoubleClicked
                                                         | QAbstractItemView::SelectedClicked
                                                         | QAbstractItemView::EditKeyPressed
                                                         | QAbstractItemView::AnyKeyPressed;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string text(const QString& text)
{
    return text.toStdString();
}

QStringList numbers(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

QComboBox* comboBox(const QStringList& items, bool editable)
{
    auto* box = new QComboBox;
    box->addItems(items);
    box->setEditable(editable);
    return box;
}

// A fixed list shows nothing for a value it does not hold; "OK" then keeps the stored one.
void showText(QComboBox& box, const std::string& value)
{
    if (box.isEditable())
        box.setEditText(qs(value));
    else
        box.setCurrentIndex(box.findText(qs(value)));
}

// A port is "COM1" … "COM8" or a device path, which must read whole.
QComboBox* portBox()
{
    QComboBox* box = comboBox({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}, true);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB00")) + 40);
    return box;
}

QSpinBox* spinBox(int minimum, int maximum)
{
    auto* box = new QSpinBox;
    box->setRange(minimum, maximum);
    return box;
}

QLineEdit* numberEdit()
{
    auto* edit = new QLineEdit;
    edit->setMaximumWidth(110);
    return edit;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}

QWidget* rowWidget(std::initializer_list<QWidget*> widgets)
{
    auto* widget = new QWidget;
    widget->setLayout(row(widgets));
    return widget;
}

// The fixed column of a grid: the step or gas names, which the cursor does not stay on.
void styleFixed(QTableWidgetItem& item, const QPalette& palette)
{
    item.setBackground(palette.color(QPalette::Button));
}

// The colour column of the gas grid: the rows with a name show their colour as a filled
// rectangle, the others stay empty.
class ColourCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.siblingAtColumn(nameColumn).data().toString().isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->fillRect(option.rect, option.palette.base());
        const std::uint32_t colour = WorkOptions::colourValue(text(index.data().toString()));
        painter->fillRect(option.rect.adjusted(2, 2, -2, -2), qtColour(colour));
    }
};

// The controls carry the settings key they edit as their name.
template <typename Widget>
Widget* named(Widget* widget, const char* key)
{
    widget->setObjectName(QString::fromUtf8(key));
    return widget;
}

} // namespace

TOptForm::TOptForm(NivraSystem& system, Configuration& configuration, QWidget* parent)
    : QDialog(parent), configuration_(configuration), options_(system, configuration)
{
    setWindowTitle(QStringLiteral("  Настройки"));
    setModal(true);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(zeroShiftMs);
    connect(timer_, &QTimer::timeout, this, &TOptForm::zeroShiftTick);

    pages_ = new QTabWidget(this);
    pages_->addTab(buildModePage(), QStringLiteral("Режим"));
    pages_->addTab(buildGasPage(), QStringLiteral("Газ"));
    pages_->addTab(buildScreenPage(), QStringLiteral("Экран"));
    pages_->addTab(buildSummatorPage(), QStringLiteral("Газосумматор"));
    pages_->addTab(buildMiscPage(), QStringLiteral("Разное"));
    pages_->addTab(buildManufacturerPage(), QStringLiteral("Настройки производителя"));

    // The small area a manufacturer double-clicks, in the dialog's top right corner. Not the
    // page control's corner widget: on X11 that one is not shown while the tabs leave room.
    topArea_ = new QWidget;
    topArea_->setObjectName("PaintBox1");
    topArea_->setFixedSize(40, 10);
    topArea_->installEventFilter(this);

    ok_ = TMyButton::okButton();
    cancel_ = TMyButton::cancelButton();
    help_ = TMyButton::helpButton();
    QHBoxLayout* buttons = TMyButton::rowAtRight({ok_, cancel_, help_});

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 0, 8, 8);
    column->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(topArea_);
    column->addLayout(top);
    column->addWidget(pages_, 1);
    column->addLayout(buttons);

    connect(qApp, &QApplication::focusChanged, this, &TOptForm::focusMoved);
    connect(help_, &TMyButton::clicked, this, [this] { HelpViewer::showTopic(pageTopic(pages_->currentIndex()), this); });

    fill();
    WindowStyle::prepare(*this);
    updateFontPreview();  // after the window's font, which the preview must not take
    adjustSize();
}

// The children go after this part of the object: nothing may call back into it meanwhile.
TOptForm::~TOptForm()
{
    disconnect(qApp, nullptr, this, nullptr);
    for (QObject* watched : {static_cast<QObject*>(topArea_), static_cast<QObject*>(manufacturerArea_),
                             static_cast<QObject*>(timeGrid_), static_cast<QObject*>(gasGrid_),
                             static_cast<QObject*>(gasGrid_->viewport())})
        watched->removeEventFilter(this);
}

QWidget* TOptForm::buildModePage()
{
    auto* page = new QWidget;
    auto* modeGroup = new QGroupBox(QStringLiteral("Режим работы"));
    const char* const captions[] = {"Ручной", "С промежутком времени в ", "Непрерывно", "С программы регистрации",
                                    "От показаний газосумматора"};
    for (int i = 0; i < 5; ++i)
        modes_[i] = named(new QRadioButton(QString::fromUtf8(captions[i])), "work_mode");
    timePeriod_ = named(comboBox({"120", "150", "180"}, true), "time_mode_period");
    timePeriod_->setMaximumWidth(80);
    connect(timePeriod_, &QComboBox::editTextChanged, this, [this] {
        if (!filling_)
            modes_[1]->setChecked(true);
    });
    auto* modes = new QVBoxLayout(modeGroup);
    modes->addWidget(modes_[0]);
    modes->addLayout(row({modes_[1], timePeriod_, new QLabel(QStringLiteral("секунд"))}));
    for (int i = 2; i < 5; ++i)
        modes->addWidget(modes_[i]);

    maxDepth_ = named(comboBox(numbers(0, 10), false), "max_depth_counter");
    saveAll_ = named(new QCheckBox(QStringLiteral("Сохранять все разгонки подряд в непрерывном режиме")), "save_all_values");
    saveScience_ = named(new QCheckBox(QStringLiteral("Сохранять разгонки для научной обработки")), "save_science_values");
    saveScience_->setToolTip(QStringLiteral("Разгонки сохраняются в папке Analiz программы Nivra по датам и времени"));
    saveScience_->hide();

    timeGrid_ = new QTableWidget(0, 2);
    timeGrid_->setObjectName("Grid1");
    timeGrid_->horizontalHeader()->hide();
    timeGrid_->verticalHeader()->hide();
    timeGrid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    timeGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    timeGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    timeGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    timeGrid_->setEditTriggers(editTriggers);
    connect(timeGrid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { timeGridCellChanged(row, column); });
    connect(timeGrid_, &QTableWidget::itemChanged, this, &TOptForm::timeItemChanged);
    timeGrid_->installEventFilter(this);
    auto* timeGroup = new QGroupBox(QStringLiteral("Настройка времени (сек)"));
    auto* times = new QVBoxLayout(timeGroup);
    times->addWidget(timeGrid_);

    auto* left = new QVBoxLayout;
    left->addWidget(modeGroup);
    left->addLayout(row({new QLabel(QStringLiteral("Количество разгонок для входа в режим")), maxDepth_}));
    left->addWidget(saveAll_);
    left->addWidget(saveScience_);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(timeGroup);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    return page;
}

QWidget* TOptForm::buildGasPage()
{
    auto* page = new QWidget;
    gasGrid_ = new QTableWidget(0, gasColumns);
    gasGrid_->setObjectName("Grid2");
    gasGrid_->setHorizontalHeaderLabels(
        {QStringLiteral(" Название "), QStringLiteral("Кракт.назв."), QStringLiteral("Нач.вых.,с"),
         QStringLiteral("Оконч.вых.,с"), QStringLiteral(" Цвет ")});
    gasGrid_->verticalHeader()->hide();
    gasGrid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    gasGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gasGrid_->horizontalHeader()->setSectionResizeMode(colourColumn, QHeaderView::Fixed);
    gasGrid_->setColumnWidth(colourColumn, 72);
    gasGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    gasGrid_->setEditTriggers(editTriggers);
    gasGrid_->setItemDelegateForColumn(colourColumn, new ColourCellDelegate(gasGrid_));
    gasGrid_->viewport()->installEventFilter(this);
    gasGrid_->installEventFilter(this);
    connect(gasGrid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { gasGridCellChanged(row, column); });
    connect(gasGrid_, &QTableWidget::itemChanged, this, &TOptForm::gasItemChanged);
    auto* gases = new QGroupBox(QStringLiteral("Характеристики газов"));
    auto* gasLayout = new QVBoxLayout(gases);
    gasLayout->addWidget(gasGrid_);

    auto* misc = new QGroupBox(QStringLiteral("Разное"));
    correctWindows_ = named(new QCheckBox(QStringLiteral("Автоматически корректировать время выхода газа")),
                            "коррекция_штокетников");
    minGaz_ = named(numberEdit(), "min_gaz_value");
    minGazRow_ = rowWidget({new QLabel(QStringLiteral("Минимальная концентрация газа")), minGaz_,
                            new QLabel(QStringLiteral("%"))});
    auto* miscLayout = new QVBoxLayout(misc);
    miscLayout->addWidget(correctWindows_);
    miscLayout->addWidget(minGazRow_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gases, 1);
    layout->addWidget(misc);
    return page;
}

QWidget* TOptForm::buildScreenPage()
{
    auto* page = new QWidget;
    auto* look = new QGroupBox(QStringLiteral("Цвет и линии"));
    background_ = named(new TDLColorSelector, "цвет_фона");
    curve_ = named(new TDLColorSelector, "цвет_кривой");
    curveWidth_ = named(spinBox(1, 10), "толщина_кривой");
    auto* lookLayout = new QGridLayout(look);
    lookLayout->addWidget(new QLabel(QStringLiteral("Фон графиков")), 0, 0);
    lookLayout->addWidget(background_, 0, 1);
    lookLayout->addWidget(new QLabel(QStringLiteral("Цвет кривой")), 1, 0);
    lookLayout->addWidget(curve_, 1, 1);
    lookLayout->addWidget(new QLabel(QStringLiteral("Толщина кривой")), 2, 0);
    lookLayout->addWidget(curveWidth_, 2, 1, Qt::AlignLeft);
    lookLayout->setColumnStretch(1, 1);

    auto* grid = new QGroupBox(QStringLiteral("Разлиновка"));
    horizontalGrid_ = named(comboBox({"2", "5", "10", "15", "20"}, true), "горизонтальная_разлиновка");
    verticalGrid_ = named(comboBox({"10", "20", "40", "50"}, true), "вертикальная_разлиновка");
    screenSecondsLabel_ = new QLabel(QStringLiteral("Ширина экрана, сек"));
    screenSeconds_ = named(numberEdit(), "размер_экрана");
    auto* gridLayout = new QGridLayout(grid);
    gridLayout->addWidget(new QLabel(QStringLiteral("По горизонтали, сек")), 0, 0);
    gridLayout->addWidget(horizontalGrid_, 0, 1);
    gridLayout->addWidget(new QLabel(QStringLiteral("По вертикали, шт")), 1, 0);
    gridLayout->addWidget(verticalGrid_, 1, 1);
    gridLayout->addWidget(screenSecondsLabel_, 2, 0);
    gridLayout->addWidget(screenSeconds_, 2, 1);
    gridLayout->setColumnStretch(2, 1);

    auto* font = new QGroupBox(QStringLiteral("Шрифт"));
    fontName_ = named(new QFontComboBox, "имя_шрифта");
    fontSize_ = named(spinBox(5, 20), "размер_шрифта");
    tableFontSize_ = named(spinBox(5, 20), "размер_шрифта_таблицы");
    fontControls_ = new QWidget;
    auto* fontLayout = new QGridLayout(fontControls_);
    fontLayout->setContentsMargins(0, 0, 0, 0);
    fontLayout->addWidget(new QLabel(QStringLiteral("Имя шрифта")), 0, 0);
    fontLayout->addWidget(fontName_, 0, 1);
    fontLayout->addWidget(new QLabel(QStringLiteral("Размер шрифта")), 1, 0);
    fontLayout->addWidget(fontSize_, 1, 1, Qt::AlignLeft);
    fontLayout->addWidget(new QLabel(QStringLiteral("Размер шрифта для таблицы")), 2, 0);
    fontLayout->addWidget(tableFontSize_, 2, 1, Qt::AlignLeft);
    fontLayout->setColumnStretch(1, 1);
    fontPreview_ = new QLabel(QStringLiteral("Шрифт"));
    fontPreview_->setObjectName("fontPreview");
    fontPreview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    fontPreview_->setAlignment(Qt::AlignCenter);
    fontPreview_->setMinimumHeight(48);
    auto* fontColumn = new QVBoxLayout(font);
    fontColumn->addWidget(fontControls_);
    fontColumn->addWidget(fontPreview_);
    fontColumn->addStretch(1);
    connect(fontName_, &QComboBox::editTextChanged, this, &TOptForm::updateFontPreview);
    connect(fontSize_, &QSpinBox::textChanged, this, &TOptForm::updateFontPreview);
    connect(tableFontSize_, &QSpinBox::textChanged, this, &TOptForm::updateFontPreview);

    auto* left = new QVBoxLayout;
    left->addWidget(look);
    left->addWidget(grid);
    left->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(font, 1);
    return page;
}

QWidget* TOptForm::buildSummatorPage()
{
    auto* page = new QWidget;
    summatorUse_ = named(new QCheckBox(QStringLiteral("Использовать газосумматор")), "use");
    connect(summatorUse_, &QCheckBox::clicked, this, &TOptForm::summatorUseClicked);
    connect(summatorUse_, &QCheckBox::toggled, this, &TOptForm::summatorUseToggled);
    summatorPortLabel_ = new QLabel(QStringLiteral("Имя порта"));
    summatorPort_ = named(portBox(), "имя_сумм");

    summatorShow_ = named(new QCheckBox(QStringLiteral("Выводить показания газосумматора на экран")), "show");
    summatorShowWindow_ = named(new QCheckBox(QStringLiteral("Показать график гозосумматора")), "show_win");
    summatorPrecision_ = named(comboBox(numbers(0, 5), false), "gaz_summ_prec");
    summatorPanel_ = new QWidget;
    auto* panel = new QVBoxLayout(summatorPanel_);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(summatorShow_);
    panel->addWidget(summatorShowWindow_);
    panel->addLayout(row({new QLabel(QStringLiteral("Точность числа")), summatorPrecision_,
                          new QLabel(QStringLiteral("знаков после запятой"))}));

    threshold_ = new TMyButton(QStringLiteral("Порог срабатывания от газосумматора..."));
    connect(threshold_, &QAbstractButton::clicked, this, [this] {
        if (!thresholdDialog)
            return;
        thresholdDialog(*this);
        summatorUseToggled(summatorUse_->isChecked());  // the threshold's kind may allow mode 4 now
    });

    auto* settings = new QGroupBox(QStringLiteral("Настройки газосумматора"));
    auto* grid = new QGridLayout(settings);
    const auto addRow = [grid](int at, const char* key, const char* caption, QLineEdit*& edit, const char* unit,
                               QWidget** parts) {
        edit = named(numberEdit(), key);
        auto* label = new QLabel(QString::fromUtf8(caption));
        grid->addWidget(label, at, 0);
        grid->addWidget(edit, at, 1);
        parts[0] = label;
        parts[1] = edit;
        if (unit) {
            auto* unitLabel = new QLabel(QString::fromUtf8(unit));
            grid->addWidget(unitLabel, at, 2);
            parts[2] = unitLabel;
        }
    };
    QWidget* nullRow[2] = {};
    addRow(0, "coeff", "Коэффицент газосумматора", coeff_, nullptr, coeffRow_);
    addRow(1, "null", "Сдвиг нуля:", null_, nullptr, nullRow);
    addRow(2, "null10", "Сдвиг нуля, канал 2:", null10_, "В.", null10Row_);
    addRow(3, "porog", "Порог переключения канала:", switchThreshold_, "В.", switchRow_);
    addRow(4, "summ_max1", "Диапазон канала 1:", max1_, "%.", max1Row_);
    addRow(5, "summ_max10", "Диапазон канала 2:", max10_, "%.", max10Row_);
    zeroShift_ = new TMyButton(QString::fromUtf8(zeroShiftCaption));
    zeroShift_->setObjectName("MyButton5");
    grid->addWidget(zeroShift_, 6, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    connect(null_, &QLineEdit::textChanged, this, &TOptForm::nullShiftEdited);
    connect(zeroShift_, &QAbstractButton::clicked, this, &TOptForm::startZeroShift);

    auto* left = new QVBoxLayout;
    left->addWidget(summatorUse_);
    left->addLayout(row({summatorPortLabel_, summatorPort_}));
    left->addWidget(summatorPanel_);
    left->addLayout(row({threshold_}));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(settings);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TOptForm::buildMiscPage()
{
    auto* page = new QWidget;
    auto* link = new QGroupBox(QStringLiteral("Связь"));
    port_ = named(portBox(), "имя");
    model_ = new QLabel;
    WindowStyle::setTag(*model_, 4);
    auto* linkLayout = new QGridLayout(link);
    linkLayout->addWidget(new QLabel(QStringLiteral("Имя порта")), 0, 0);
    linkLayout->addWidget(port_, 0, 1);
    linkLayout->addWidget(new QLabel(QStringLiteral("Тип хроматографа")), 1, 0);
    linkLayout->addWidget(model_, 1, 1);
    linkLayout->setColumnStretch(2, 1);

    remoteControl_ = named(new QCheckBox(QStringLiteral("Позволить другой программе управлять режимами")), "remote_control");

    protection_ = new QGroupBox(QStringLiteral("Защита программы"));
    password_ = named(new QLineEdit, "пароль");
    password_->setEchoMode(QLineEdit::Password);
    password_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42 }"));
    auto* protectionLayout = new QHBoxLayout(protection_);
    protectionLayout->addWidget(new QLabel(QStringLiteral("Пароль для настроек")));
    protectionLayout->addWidget(password_);
    protection_->hide();

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(link);
    layout->addWidget(remoteControl_);
    layout->addWidget(protection_);
    layout->addStretch(1);
    return page;
}

QWidget* TOptForm::buildManufacturerPage()
{
    auto* page = new QWidget;
    manufacturerArea_ = new QWidget;
    manufacturerArea_->setObjectName("PaintBox2");
    manufacturerArea_->setFixedSize(40, 12);
    manufacturerArea_->installEventFilter(this);

    auto* adc = new QGroupBox(QStringLiteral("АЦП"));
    adcFormat_ = named(comboBox({QStringLiteral("шестнадцатиричный"), QStringLiteral("десятичный")}, false),
                       "scr_adc_value_mode");
    showAdc_ = named(new QCheckBox(QStringLiteral("Выводить значение АЦП на экран")), "значения_АЦП");
    auto* adcLayout = new QVBoxLayout(adc);
    adcLayout->addLayout(row({new QLabel(QStringLiteral("Формат представления числа АЦП")), adcFormat_}));
    adcLayout->addWidget(showAdc_);

    auto* gas = new QGroupBox(QStringLiteral("Газ - Разное"));
    zeroTime_ = named(comboBox(numbers(1, 6), false), "время_расчёта_нуля");
    auto* gasLayout = new QVBoxLayout(gas);
    gasLayout->addLayout(row({new QLabel(QStringLiteral("Расчёт нуля в первые")), zeroTime_, new QLabel(QStringLiteral("сек."))}));

    tavirGroup_ = new QGroupBox(QStringLiteral("Хроматограф \"Тавир\""));
    doseTime_ = named(comboBox(numbers(1, 6), false), "время1");
    auto* tavirLayout = new QVBoxLayout(tavirGroup_);
    tavirLayout->addLayout(
        row({new QLabel(QStringLiteral("Длительность забора дозы")), doseTime_, new QLabel(QStringLiteral("сек."))}));

    typeGroup_ = new QGroupBox(QStringLiteral("Уникальная возможность сменить тип хроматографа :)"));
    QStringList models;
    for (const std::string& name : WorkOptions::modelNames())
        models << qs(name);
    deviceType_ = named(comboBox(models, false), "device_type");
    auto* restart = new QLabel(QStringLiteral("Требуется перезапуск программы !!!"));
    WindowStyle::setTag(*restart, 2);
    auto* typeLayout = new QVBoxLayout(typeGroup_);
    typeLayout->addLayout(row({deviceType_}));
    typeLayout->addWidget(restart);
    typeGroup_->hide();
    connect(deviceType_, &QComboBox::currentIndexChanged, this, &TOptForm::deviceTypeChosen);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(manufacturerArea_);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(adc);
    left->addWidget(gas);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(tavirGroup_);
    right->addWidget(typeGroup_);
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);
    return page;
}

void TOptForm::fill()
{
    filling_ = true;
    shown_ = options_.read();
    const WorkOptions::Values& v = shown_;

    if (v.workMode >= 0 && v.workMode < 5)
        modes_[v.workMode]->setChecked(true);
    modes_[4]->setEnabled(WorkOptions::summatorModeAllowed(v.summatorUse, configuration_.thresholdByTotalGas));
    showText(*timePeriod_, v.timeModePeriod);
    maxDepth_->setCurrentIndex(v.maxDepthIndex);
    saveAll_->setChecked(v.saveAllValues);
    saveScience_->setChecked(v.saveScienceValues);
    fillTimeGrid(v.times);

    fillGasGrid();
    correctWindows_->setChecked(v.correctWindows);
    minGaz_->setText(qs(v.minGazValue));

    background_->setColorValue(v.backgroundColor);
    curve_->setColorValue(v.curveColor);
    curveWidth_->setValue(v.curveWidth);
    showText(*horizontalGrid_, v.horizontalGrid);
    showText(*verticalGrid_, v.verticalGrid);
    screenSeconds_->setText(qs(v.screenSeconds));
    fontName_->setCurrentFont(QFont(qs(v.fontName)));
    fontName_->setEditText(qs(v.fontName));  // a font this machine lacks stays as stored
    fontSize_->setValue(v.fontSize);
    tableFontSize_->setValue(v.tableFontSize);

    summatorUse_->setChecked(v.summatorUse);
    summatorPanel_->setVisible(v.summatorUse);
    showText(*summatorPort_, v.summatorPortName);
    summatorShow_->setChecked(v.summatorShow);
    summatorShowWindow_->setChecked(v.summatorShowWindow);
    showText(*summatorPrecision_, v.summatorPrecision);
    coeff_->setText(qs(v.summatorCoeff));
    null_->setText(qs(v.summatorNull));
    null10_->setText(qs(v.summatorNull10));
    switchThreshold_->setText(qs(v.summatorSwitchThreshold));
    max1_->setText(qs(v.summatorMax1));
    max10_->setText(qs(v.summatorMax10));

    showText(*port_, v.portName);
    model_->setText(qs(WorkOptions::modelName(configuration_.deviceType)));
    remoteControl_->setChecked(v.remoteControl);
    password_->setText(qs(v.password));

    adcFormat_->setCurrentIndex(v.adcValueMode);
    showAdc_->setChecked(v.showAdcValue);
    showText(*zeroTime_, v.zeroTime);
    showText(*doseTime_, v.doseTime);
    deviceType_->setCurrentIndex(configuration_.deviceType == modelLT4KS || configuration_.deviceType == modelTavir
                                     ? configuration_.deviceType
                                     : -1);

    applySettingsMode();
    applyDeviceLayout();
    filling_ = false;
}

void TOptForm::fillTimeGrid(const std::vector<std::string>& texts)
{
    const bool wasFilling = filling_;
    filling_ = true;
    const std::vector<WorkOptions::TimeRow> rows = options_.timeRows();
    timeGrid_->clearContents();
    timeGrid_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < timeGrid_->rowCount(); ++i) {
        auto* name = new QTableWidgetItem(QString::fromUtf8(rows[static_cast<std::size_t>(i)].caption));
        name->setFlags(Qt::ItemIsEnabled);
        styleFixed(*name, palette());
        timeGrid_->setItem(i, 0, name);
        const std::size_t index = static_cast<std::size_t>(i);
        timeGrid_->setItem(i, valueColumn, new QTableWidgetItem(index < texts.size() ? qs(texts[index]) : QString()));
    }
    timeGrid_->resizeColumnToContents(0);
    timeGrid_->setColumnWidth(valueColumn, 64);
    const int frame = 2 * timeGrid_->frameWidth();
    timeGrid_->setFixedSize(timeGrid_->columnWidth(0) + timeGrid_->columnWidth(valueColumn) + frame,
                            timeGrid_->rowCount() * rowHeight + frame);
    filling_ = wasFilling;
}

void TOptForm::fillGasGrid()
{
    const bool names = configuration_.settingsMode;
    const auto& rows = shown_.gases;
    gasGrid_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < gasGrid_->rowCount(); ++i) {
        const WorkOptions::GasRow& gas = rows[static_cast<std::size_t>(i)];
        const std::string* cells[gasColumns] = {&gas.name, &gas.label, &gas.start, &gas.end, &gas.colour};
        for (int column = 0; column < gasColumns; ++column) {
            auto* item = new QTableWidgetItem(qs(*cells[column]));
            if (column == colourColumn || (column == nameColumn && !names))
                item->setFlags(Qt::ItemIsEnabled);
            if (column == nameColumn && !names)
                styleFixed(*item, palette());
            gasGrid_->setItem(i, column, item);
        }
    }
}

void TOptForm::applySettingsMode()
{
    const bool on = configuration_.settingsMode;
    pages_->setTabVisible(summatorPage, on);
    pages_->setTabVisible(miscPage, on);
    pages_->setTabVisible(manufacturerPage, false);
    for (QWidget* widget : std::initializer_list<QWidget*>{correctWindows_, saveAll_, fontControls_, screenSecondsLabel_,
                                                           screenSeconds_, timeGrid_, minGazRow_})
        widget->setEnabled(on);
}

// Model 1 has the built-in two-channel summator; the others an external one on its own port.
void TOptForm::applyDeviceLayout()
{
    const bool tavir = configuration_.deviceType == modelTavir;
    zeroShift_->setVisible(tavir);
    for (QWidget** parts : {switchRow_, max1Row_, max10Row_})
        for (int i = 0; i < 3; ++i)
            parts[i]->setVisible(tavir);
    for (QWidget* widget : {coeffRow_[0], coeffRow_[1], static_cast<QWidget*>(summatorPortLabel_),
                            static_cast<QWidget*>(summatorPort_)})
        widget->setVisible(!tavir);
    for (QWidget* widget : null10Row_)
        widget->hide();
    tavirGroup_->setVisible(tavir);
}

WorkOptions::Values TOptForm::collect() const
{
    WorkOptions::Values v = shown_;
    for (int i = 0; i < 5; ++i)
        if (modes_[i]->isChecked())
            v.workMode = i;
    v.timeModePeriod = text(timePeriod_->currentText());
    v.maxDepthIndex = maxDepth_->currentIndex();
    v.saveAllValues = saveAll_->isChecked();
    v.saveScienceValues = saveScience_->isChecked();
    v.times.clear();
    for (int i = 0; i < timeGrid_->rowCount(); ++i)
        v.times.push_back(text(timeGrid_->item(i, valueColumn)->text()));

    v.gases.clear();
    for (int i = 0; i < gasGrid_->rowCount(); ++i) {
        const auto cell = [this, i](int column) { return text(gasGrid_->item(i, column)->text()); };
        v.gases.push_back({cell(nameColumn), cell(labelColumn), cell(startColumn), cell(endColumn), cell(colourColumn)});
    }
    v.correctWindows = correctWindows_->isChecked();
    v.minGazValue = text(minGaz_->text());

    v.backgroundColor = background_->colorValue();
    v.curveColor = curve_->colorValue();
    v.curveWidth = curveWidth_->value();
    v.horizontalGrid = text(horizontalGrid_->currentText());
    v.verticalGrid = text(verticalGrid_->currentText());
    v.screenSeconds = text(screenSeconds_->text());
    v.fontName = text(fontName_->currentText());
    v.fontSize = fontSize_->value();
    v.tableFontSize = tableFontSize_->value();

    v.summatorUse = summatorUse_->isChecked();
    v.clearSummatorPresence = clearPresence_;
    v.summatorPortName = text(summatorPort_->currentText());
    v.summatorShow = summatorShow_->isChecked();
    v.summatorShowWindow = summatorShowWindow_->isChecked();
    v.summatorPrecision = text(summatorPrecision_->currentText());
    v.summatorCoeff = text(coeff_->text());
    v.summatorNull = text(null_->text());
    v.summatorNull10 = text(null10_->text());
    v.summatorSwitchThreshold = text(switchThreshold_->text());
    v.summatorMax1 = text(max1_->text());
    v.summatorMax10 = text(max10_->text());

    v.portName = text(port_->currentText());
    v.remoteControl = remoteControl_->isChecked();
    v.password = text(password_->text());

    v.adcValueMode = adcFormat_->currentIndex() < 0 ? 0 : adcFormat_->currentIndex();
    v.showAdcValue = showAdc_->isChecked();
    v.zeroTime = text(zeroTime_->currentText());
    v.doseTime = text(doseTime_->currentText());
    return v;
}

bool TOptForm::execute()
{
    return exec() == QDialog::Accepted;
}

void TOptForm::done(int result)
{
    if (timer_->isActive())
        abandonZeroShift();
    if (result == QDialog::Accepted && !storeAll())
        return;
    QDialog::done(result);
}

bool TOptForm::storeAll()
{
    commitEditors();
    checkTimeCell(timeGrid_->currentRow(), false);
    const auto refusal = options_.store(collect());
    if (!refusal)
        return true;
    pages_->setCurrentIndex(gasPage);
    gasGrid_->setCurrentCell(static_cast<int>(refusal->row), endColumn);
    showMessage(qs(refusal->message));
    gasGrid_->setFocus();
    return false;
}

// An edit still open in a grid counts as finished when "OK" is chosen.
void TOptForm::commitEditors()
{
    for (QTableWidget* grid : {timeGrid_, gasGrid_}) {
        QWidget* focused = focusWidget();
        if (focused && focused != grid && grid->isAncestorOf(focused))
            grid->setFocus();
    }
}

void TOptForm::showEvent(QShowEvent* event)
{
    threshold_->setEnabled(static_cast<bool>(thresholdDialog));
    QDialog::showEvent(event);
    if (QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

bool TOptForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in a cell's editor finishes the edit; it must not go on to "OK".
    if ((watched == timeGrid_ || watched == gasGrid_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !static_cast<QWidget*>(watched)->hasFocus()) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == topArea_) {
            showManufacturerPage();
            return true;
        }
        if (watched == manufacturerArea_) {
            showTypeSelector();
            return true;
        }
    }
    if (gasGrid_ && watched == gasGrid_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QModelIndex index = gasGrid_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (index.isValid() && index.column() == colourColumn) {
            const int row = index.row();
            gasGrid_->setCurrentCell(row, endColumn);
            if (gasRowNamed(row))
                QTimer::singleShot(0, this, [this, row] { openColour(row); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TOptForm::timeGridCellChanged(int row, int column)
{
    if (row >= 0 && column == 0)
        QTimer::singleShot(0, timeGrid_, [this, row] {
            if (timeGrid_->currentRow() == row && timeGrid_->currentColumn() == 0)
                timeGrid_->setCurrentCell(row, valueColumn);
        });
}

void TOptForm::timeItemChanged(QTableWidgetItem* item)
{
    if (!filling_ && item->column() == valueColumn)
        requestTimeCheck(item->row(), false);
}

void TOptForm::focusMoved(QWidget* old, QWidget* now)
{
    const auto inGrid = [this](QWidget* widget) {
        return widget && (widget == timeGrid_ || timeGrid_->isAncestorOf(widget));
    };
    if (isVisible() && inGrid(old) && !inGrid(now))
        requestTimeCheck(timeGrid_->currentRow(), true);
}

// A finished edit and the focus leaving the grid often come together: one check for both.
void TOptForm::requestTimeCheck(int row, bool focusBack)
{
    if (checking_)
        return;
    pendingRow_ = row;
    pendingFocusBack_ = pendingFocusBack_ || focusBack;
    if (checkQueued_)
        return;
    checkQueued_ = true;
    QTimer::singleShot(0, this, &TOptForm::runTimeCheck);
}

void TOptForm::runTimeCheck()
{
    checkQueued_ = false;
    const bool focusBack = pendingFocusBack_;
    pendingFocusBack_ = false;
    if (isVisible())
        checkTimeCell(pendingRow_, focusBack);
}

bool TOptForm::checkTimeCell(int row, bool focusBack)
{
    if (checking_ || row < 0 || row >= timeGrid_->rowCount())
        return false;
    std::vector<std::string> cells;
    for (int i = 0; i < timeGrid_->rowCount(); ++i)
        cells.push_back(text(timeGrid_->item(i, valueColumn)->text()));
    const auto correction =
        WorkOptions::checkTime(options_.timeRows(), cells, static_cast<std::size_t>(row), cells[static_cast<std::size_t>(row)]);
    if (!correction)
        return false;
    checking_ = true;
    filling_ = true;
    timeGrid_->item(row, valueColumn)->setText(QString::number(correction->corrected));
    filling_ = false;
    showMessage(qs(correction->message));
    if (focusBack) {
        timeGrid_->setFocus();
        timeGrid_->setCurrentCell(row, valueColumn);
    }
    checking_ = false;
    return true;
}

void TOptForm::gasGridCellChanged(int row, int column)
{
    if (row < 0)
        return;
    int wanted = column;
    if (column == colourColumn)
        wanted = endColumn;
    else if (column == nameColumn && !configuration_.settingsMode)
        wanted = labelColumn;
    if (wanted != column)
        QTimer::singleShot(0, gasGrid_, [this, row, column, wanted] {
            if (gasGrid_->currentRow() == row && gasGrid_->currentColumn() == column)
                gasGrid_->setCurrentCell(row, wanted);
        });
}

void TOptForm::gasItemChanged(QTableWidgetItem* item)
{
    // A name given or taken decides whether the row's colour is drawn.
    if (!filling_ && item->column() == nameColumn)
        gasGrid_->viewport()->update();
}

bool TOptForm::gasRowNamed(int row) const
{
    const QTableWidgetItem* name = gasGrid_->item(row, nameColumn);
    return name && !name->text().isEmpty();
}

void TOptForm::openColour(int row)
{
    if (!gasRowNamed(row))
        return;
    QTableWidgetItem* cell = gasGrid_->item(row, colourColumn);
    TColorSelectForm form(this);
    form.setMode(0);
    form.setColour(WorkOptions::colourValue(text(cell->text())));
    if (form.execute(gasGrid_->item(row, nameColumn)->text(), false))
        cell->setText(QString::number(form.colour()));
}

void TOptForm::updateFontPreview()
{
    QFont font(fontName_->currentText());
    font.setPointSize(WorkOptions::previewFontSize(text(fontSize_->cleanText())));
    fontPreview_->setFont(font);
}

void TOptForm::summatorUseClicked(bool on)
{
    clearPresence_ = true;
    summatorPanel_->setVisible(on);
}

void TOptForm::summatorUseToggled(bool on)
{
    modes_[4]->setEnabled(WorkOptions::summatorModeAllowed(on, configuration_.thresholdByTotalGas));
}

// With the second channel's field hidden, both channels take the one offset shown.
void TOptForm::nullShiftEdited(const QString& shift)
{
    if (null10_->isHidden())
        null10_->setText(shift);
}

void TOptForm::startZeroShift()
{
    zeroShift_->setEnabled(false);
    options_.startZeroCalibration(!null10_->isHidden());
    ticks_ = 0;
    timer_->start();
}

void TOptForm::zeroShiftTick()
{
    zeroShift_->setText(QString(ticks_ + 1, QLatin1Char('.')));
    ++ticks_;
    if (ticks_ >= WorkOptions::zeroCalibrationTicks)
        finishZeroShift();
}

void TOptForm::finishZeroShift()
{
    timer_->stop();
    const WorkOptions::ZeroOffsets measured = options_.finishZeroCalibration();
    zeroShift_->setEnabled(true);
    zeroShift_->setText(QString::fromUtf8(zeroShiftCaption));
    null_->setText(qs(lib::formatReal(measured.null, 3)));
    if (!null10_->isHidden())
        null10_->setText(qs(lib::formatReal(measured.null10, 3)));
}

// Closed before the six seconds were over: a part of a measurement is no zero offset.
void TOptForm::abandonZeroShift()
{
    timer_->stop();
    options_.abandonZeroCalibration();
    zeroShift_->setEnabled(true);
    zeroShift_->setText(QString::fromUtf8(zeroShiftCaption));
    null_->setText(qs(lib::formatReal(configuration_.summatorNull, 3)));
    null10_->setText(qs(lib::formatReal(configuration_.summatorNull10, 3)));
}

void TOptForm::showManufacturerPage()
{
    if (!configuration_.settingsMode)
        return;
    const bool tavir = configuration_.deviceType == modelTavir;
    tavirGroup_->setVisible(tavir);
    for (QWidget* widget : null10Row_)
        widget->setVisible(tavir);
    pages_->setTabVisible(manufacturerPage, true);
    pages_->setCurrentIndex(manufacturerPage);
}

void TOptForm::showTypeSelector()
{
    typeGroup_->show();
}

void TOptForm::deviceTypeChosen(int type)
{
    if (filling_ || type < 0)
        return;
    options_.changeDeviceType(type);
    fillTimeGrid(options_.timeTexts());
    showText(*doseTime_, std::to_string(configuration_.programmeTimes[0]));
}

void TOptForm::showMessage(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(WorkOptions::inputErrorCaption), message,
                    QMessageBox::Ok, this);
    box.exec();
}

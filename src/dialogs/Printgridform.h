#pragma once

#include "results/Gridprintlayout.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QRadioButton;
class TMyButton;
class TPreviewForm;

// "  Распечатка таблицы": the title and header lines above the table, the whole table or only
// the selected block, the page turned or not, the font size and the widest cell; "Печать"
// prints page by page, "Просмотр..." shows the pages first. The choices that are kept live in
// section "печать_таблицы" of the settings file.
class TPrintGridForm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* section = "печать_таблицы";
    static constexpr const char* titleKey = "заголовок";
    static constexpr const char* wholeTableKey = "вся_таблица";
    static constexpr const char* cellWidthKey = "ширина_ячейки";
    static constexpr const char* defaultTitle = "Геолого-технологические исследования";

    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

    // The stored choices are read at once; then the table's selection decides between the whole
    // table (a single selected cell) and the selected block.
    TPrintGridForm(GridPrintLayout::Table table, std::filesystem::path settingsFile, bool rotate,
                   GridPrintLayout::Alignment alignment, QWidget* parent = nullptr);
    ~TPrintGridForm() override;

    // The table page's print: rotated, right-aligned, over `parent`.
    static void run(GridPrintLayout::Table table, const std::filesystem::path& settingsFile, QWidget* parent);

    // The printer every print and preview uses; the station's printer unless a test gives one.
    PrinterSource printerSource;

    // Without a printer: the box saying so, and false. Otherwise the dialog, modal; true when
    // the table was printed ("Печать" here or in the preview).
    bool execute();
    // "Печать" (OK) prints before the dialog closes; the choices are written back either way the
    // print ends.
    void done(int result) override;
    // The chosen table on the printer now, page after page, with the progress shown; its
    // "Отмена" stops the print. False when there is no printer.
    bool print();
    // "Просмотр...": the pages at the screen's scale; the preview's "Печать" closes this dialog
    // with OK, so that the table is printed.
    void preview();
    // The preview of what is chosen now, laid out but not shown; none without a printer. A child
    // of this dialog: it goes before the dialog does.
    std::unique_ptr<TPreviewForm> openPreview();

    // What is chosen now.
    GridPrintLayout::Options options() const;
    bool wholeTable() const;
    bool rotated() const;
    // Pages printed by the last print; 0 when none was made.
    int printedPages() const { return printedPages_; }

    QLineEdit* titleEdit() const { return title_; }
    QPlainTextEdit* headerMemo() const { return header_; }
    QRadioButton* wholeButton() const { return whole_; }
    QRadioButton* selectionButton() const { return selection_; }
    QCheckBox* rotateBox() const { return rotate_; }
    QComboBox* fontSizeBox() const { return fontSize_; }
    QComboBox* cellWidthBox() const { return cellWidth_; }
    TMyButton* printButton() const { return print_; }
    TMyButton* cancelButton() const { return cancel_; }
    TMyButton* previewButton() const { return preview_; }
    TMyButton* helpButton() const { return help_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildTopGroup();
    QWidget* buildOutputGroup();
    void readChoices();
    void writeChoices() const;
    const GridPrintLayout::Table& chosenTable();
    bool ensurePrinter();
    void orientPrinter();

    GridPrintLayout::Table table_;
    GridPrintLayout::Table selectionCopy_;
    std::filesystem::path settingsFile_;
    GridPrintLayout::Alignment alignment_;
    std::unique_ptr<QPrinter> printer_;
    int printedPages_ = 0;

    QLineEdit* title_ = nullptr;
    QPlainTextEdit* header_ = nullptr;
    QRadioButton* whole_ = nullptr;
    QRadioButton* selection_ = nullptr;
    QCheckBox* rotate_ = nullptr;
    QComboBox* fontSize_ = nullptr;
    QComboBox* cellWidth_ = nullptr;
    TMyButton* print_ = nullptr;
    TMyButton* cancel_ = nullptr;
    TMyButton* preview_ = nullptr;
    TMyButton* help_ = nullptr;
};

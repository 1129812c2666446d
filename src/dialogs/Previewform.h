#pragma once

#include <QDialog>
#include <QPageLayout>
#include <QPicture>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <map>

class QComboBox;
class QScrollArea;
class QToolButton;
class TMyButton;

// "Предварительный просмотр": the pages one under another at the chosen zoom, centred when
// narrower than the window. Every page is held as a picture of its own, drawn when it first
// comes into view, so that the first page of a long table shows at once; pages far from view
// are let go again. "Сохранить..." writes the pages as a PDF document or as one SVG picture.
class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // Draws page `page` (from 0) in screen pixels from the page's top-left corner.
    using PageRenderer = std::function<void(QPainter& painter, int page)>;
    enum class Format { pdf, svg };

    static constexpr std::array<const char*, 7> zoomTexts{"25 %", "33 %", "50 %", "66 %", "80 %", "90 %", "100 %"};
    static constexpr const char* helpTopic = "WORK_PRINTING_PREVIEW";
    static constexpr const char* saveCaption = "  Сохранение рисунка";
    // Pages drawn and kept at most; the ones farthest from view go first.
    static constexpr std::size_t keptPages = 24;

    // pageSize in pixels of the screen the pictures are drawn for (pixelsPerInch); pageLayout
    // is the printer's, for the PDF document.
    TPreviewForm(QSize pageSize, int pageCount, double pixelsPerInch, PageRenderer render, QPageLayout pageLayout,
                 QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // Maximised and modal; true when closed with "Печать".
    bool execute();

    // The zoom in percent: the number before the first blank of the list's text.
    int zoom() const;
    void zoomIn();
    void zoomOut();

    // The save dialog, then saveTo.
    void save();
    // PDF: one page per page, on the printer's paper. SVG: the pages one under another as one
    // picture. False, with the file removed, when it could not be written or the operator
    // cancelled.
    bool saveTo(const QString& path, Format format);

    int pageCount() const { return pageCount_; }
    QSize pageSize() const { return pageSize_; }
    // The picture of a page, drawn when first asked for.
    const QPicture& page(int index);
    // Pages drawn and held now.
    std::size_t heldPages() const { return pictures_.size(); }
    // Where a page lies on the scrolled canvas at the current zoom.
    QRect pageRect(int index) const;

    QComboBox* zoomBox() const { return zoom_; }
    QToolButton* zoomInButton() const { return zoomIn_; }
    QToolButton* zoomOutButton() const { return zoomOut_; }
    QScrollArea* scrollArea() const { return scroll_; }
    QWidget* canvas() const { return canvas_; }
    TMyButton* printButton() const { return print_; }
    TMyButton* cancelButton() const { return cancel_; }
    TMyButton* saveButton() const { return save_; }
    TMyButton* helpButton() const { return help_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolRow();
    void applyZoom();
    void paintCanvas(const QRect& area);
    void letGoFarPages(int firstShown, int lastShown);
    QPicture drawPage(int index) const;
    QPicture pageToSave(int index) const;
    bool writePdf(const QString& path);
    bool writeSvg(const QString& path);

    QSize pageSize_;
    int pageCount_ = 1;
    double pixelsPerInch_ = 96;
    PageRenderer render_;
    QPageLayout pageLayout_;
    std::map<int, QPicture> pictures_;

    QComboBox* zoom_ = nullptr;
    QToolButton* zoomIn_ = nullptr;
    QToolButton* zoomOut_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    TMyButton* print_ = nullptr;
    TMyButton* cancel_ = nullptr;
    TMyButton* save_ = nullptr;
    TMyButton* help_ = nullptr;
};

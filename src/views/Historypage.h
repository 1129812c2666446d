#pragma once

#include <QEvent>
#include <QImage>
#include <QWidget>

#include <boost/signals2/connection.hpp>

#include <cstddef>
#include <deque>
#include <string>

class Configuration;
class GazOptions;
class HistoryDrawing;
class History;
class QAbstractButton;
class QMouseEvent;
class QScrollArea;
class QToolButton;

// The page "История": the pictures of the last analyses in a 3 × 8 grid, newest top left, in a
// box that scrolls up and down; a click selects a picture, a double click asks to print it.
// It repaints itself whenever the history announces a change.
class HistoryPage : public QWidget {
    Q_OBJECT
public:
    HistoryPage(History& history, const Configuration& configuration, const GazOptions& gases,
                QWidget* parent = nullptr);

    QScrollArea* scrollArea() const;
    // The widget the pictures are painted on; as wide as the box shows.
    QWidget* pictures() const;
    // "Печать...": disabled until printing is offered.
    QAbstractButton* printButton() const;
    // Pixels around and between the pictures: the screen's pixels per inch / 20.
    int margin() const;

signals:
    // A double click on a picture (after selecting it), or the button.
    void printRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolRow();
    void fitToViewport();
    void paintPictures(const QRect& area);
    const QImage& pictureOf(std::size_t index, const QSize& size, const HistoryDrawing& drawing);
    void entryAdded();
    bool mouseEvent(QEvent::Type type, const QMouseEvent& mouse);
    bool hitTest(const QMouseEvent& mouse);
    const std::string& fontFamily();

    History& history_;
    const Configuration& configuration_;
    const GazOptions& gases_;
    QScrollArea* scrollArea_ = nullptr;
    QWidget* pictures_ = nullptr;
    // Each entry's picture as last drawn, by entry index: a repaint only copies them, and an
    // analysis added draws only its own. Dropped when the style of the pictures changes.
    std::deque<QImage> drawn_;
    std::string drawnStyle_;
    QToolButton* print_ = nullptr;
    std::string familyAsked_;  // "имя_шрифта" last resolved, and the family it resolved to
    std::string family_;
    boost::signals2::scoped_connection historyChanged_;
    boost::signals2::scoped_connection selectionChanged_;
    boost::signals2::scoped_connection loaded_;
};

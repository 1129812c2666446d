#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The window "Справка": the help book's contents, its pages with their links, back and forward,
// and a search over every page. HelpViewer finds it among the top-level windows and opens it
// at a topic; the book is a folder of HTML pages with index.html as the contents.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // One page found by a search: its file, its title and how often the words occur in it.
    struct Found {
        QString file;
        QString title;
        int hits = 0;
    };

    explicit HelpWindow(QWidget* parent = nullptr);

    // The book's folder; empty when no help was found, and then `lookedIn` names where it was
    // looked for. Reads every page for the topics and the search.
    void setFolder(const QString& folder, const QStringList& lookedIn);
    const QString& folder() const { return folder_; }
    bool hasBook() const { return !pages_.empty(); }

    // The page holding the anchor, scrolled to it; false, and the contents shown, when no page has it.
    bool showTopic(const QString& anchor);
    void showContents();
    // Pages holding every word of `text`, most hits first; the first of them is opened with
    // its first hit selected and every hit marked.
    std::vector<Found> search(const QString& text);

    QUrl source() const;

    // A modal window blocks every other one; the help stays usable as its transient child.
    void keepUsableBeside(QWidget* modal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Page {
        QString file;
        QString title;
        QString text;  // plain text, lower case, "ё" as "е"
        QStringList anchors;
    };

    QWidget* buildToolRow();
    QWidget* buildSidePane();
    void loadPages();
    void buildContents();
    void showMissingBook(const QStringList& lookedIn);
    void openPage(const QString& file, const QString& anchor = {});
    void openFound(int row);
    void markHits(const QStringList& words);
    void followSource(const QUrl& url);
    void runSearch();
    void fitPictures();
    QSize naturalSize(const QString& picture);

    QString folder_;
    std::vector<Page> pages_;
    QStringList searchWords_;
    bool following_ = false;
    int fittedWidth_ = -1;
    QHash<QString, QSize> naturalSizes_;

    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QToolButton* home_ = nullptr;
    QLineEdit* query_ = nullptr;
    QToolButton* find_ = nullptr;
    QTabWidget* side_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLabel* foundLabel_ = nullptr;
    QListWidget* found_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    std::vector<Found> lastFound_;
};

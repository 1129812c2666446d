#include "views/Helpwindow.h"

#include "views/Windowstyle.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRegularExpression>
#include <QScrollBar>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextList>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

constexpr const char* contentsFile = "index.html";
constexpr int urlRole = Qt::UserRole;
const QColor firstHitColour(255, 150, 50);
const QColor hitColour(255, 224, 102);

// Searching forgives case and the "ё" written as "е", as operators type.
QString normalised(const QString& text)
{
    QString result = text.toLower();
    result.replace(QChar(0x0451), QChar(0x0435));
    result.replace(QChar::Nbsp, QLatin1Char(' '));
    return result;
}

QRegularExpression wordPattern(const QString& word)
{
    QString pattern;
    for (const QChar c : word)
        pattern += c == QChar(0x0435) ? QStringLiteral("[\u0435\u0451]") : QRegularExpression::escape(QString(c));
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

QStringList wordsOf(const QString& text)
{
    return normalised(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QString readPage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The names a page can be opened at, as the browser itself finds them when it scrolls.
QStringList anchorsOf(const QTextDocument& document)
{
    QStringList anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            if (fragment.fragment().charFormat().isAnchor())
                anchors += fragment.fragment().charFormat().anchorNames();
    return anchors;
}

QToolButton* toolButton(const QString& text, QStyle::StandardPixmap icon, const char* name, QWidget& parent)
{
    auto* button = new QToolButton(&parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setIcon(parent.style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

QString missingBookPage(const QStringList& lookedIn)
{
    QString places;
    for (const QString& place : lookedIn)
        places += QStringLiteral("<li>%1</li>").arg(place.toHtmlEscaped());
    return QStringLiteral("<body style=\"font-size: 11pt\"><h1>Справка не найдена</h1>"
                          "<p>Файлы справки не найдены. Программа искала их в папках:</p><ul>%1</ul>"
                          "<p>Переустановите программу или укажите папку справки в переменной "
                          "окружения NIVRA_HELP_DIR.</p></body>")
        .arg(places);
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    // The station ends when its main window closes, whatever help is still open.
    setAttribute(Qt::WA_QuitOnClose, false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setOpenExternalLinks(false);
    // Pictures are fitted to the width; a scroll bar that came and went would change it again.
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    browser_->viewport()->installEventFilter(this);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(buildSidePane());
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 810});

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(buildToolRow());
    column->addWidget(splitter, 1);

    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::followSource);

    WindowStyle::prepare(*this);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(std::min(1100, screen.width() * 9 / 10), std::min(780, screen.height() * 9 / 10));
}

QWidget* HelpWindow::buildToolRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    back_ = toolButton(QStringLiteral("Назад"), QStyle::SP_ArrowBack, "back", *row);
    forward_ = toolButton(QStringLiteral("Вперёд"), QStyle::SP_ArrowForward, "forward", *row);
    home_ = toolButton(QStringLiteral("Содержание"), QStyle::SP_DirHomeIcon, "home", *row);
    back_->setEnabled(false);
    forward_->setEnabled(false);

    query_ = new QLineEdit(row);
    query_->setObjectName(QStringLiteral("query"));
    query_->setPlaceholderText(QStringLiteral("слова для поиска"));
    query_->setClearButtonEnabled(true);
    query_->setMinimumWidth(220);
    find_ = toolButton(QStringLiteral("Найти"), QStyle::SP_FileDialogContentsView, "find", *row);

    layout->addWidget(back_);
    layout->addWidget(forward_);
    layout->addWidget(home_);
    layout->addStretch(1);
    layout->addWidget(new QLabel(QStringLiteral("Поиск:"), row));
    layout->addWidget(query_);
    layout->addWidget(find_);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, &HelpWindow::showContents);
    connect(query_, &QLineEdit::returnPressed, this, &HelpWindow::runSearch);
    connect(find_, &QToolButton::clicked, this, &HelpWindow::runSearch);
    return row;
}

QWidget* HelpWindow::buildSidePane()
{
    side_ = new QTabWidget(this);
    side_->setObjectName(QStringLiteral("side"));

    contents_ = new QTreeWidget(side_);
    contents_->setObjectName(QStringLiteral("contents"));
    contents_->setHeaderHidden(true);
    contents_->setRootIsDecorated(true);
    side_->addTab(contents_, QStringLiteral("Содержание"));

    auto* searchPage = new QWidget(side_);
    auto* column = new QVBoxLayout(searchPage);
    column->setContentsMargins(4, 4, 4, 4);
    foundLabel_ = new QLabel(QStringLiteral("Впишите слова в поле «Поиск» и нажмите Enter."), searchPage);
    foundLabel_->setObjectName(QStringLiteral("foundLabel"));
    foundLabel_->setWordWrap(true);
    found_ = new QListWidget(searchPage);
    found_->setObjectName(QStringLiteral("found"));
    column->addWidget(foundLabel_);
    column->addWidget(found_, 1);
    side_->addTab(searchPage, QStringLiteral("Поиск"));

    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !following_)
            browser_->setSource(item->data(0, urlRole).toUrl());
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item)
            browser_->setSource(item->data(0, urlRole).toUrl());
    });
    connect(found_, &QListWidget::currentRowChanged, this, &HelpWindow::openFound);
    connect(found_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { openFound(found_->row(item)); });
    return side_;
}

void HelpWindow::setFolder(const QString& folder, const QStringList& lookedIn)
{
    folder_ = folder;
    pages_.clear();
    naturalSizes_.clear();
    lastFound_.clear();
    searchWords_.clear();
    const QSignalBlocker quietContents(contents_);
    const QSignalBlocker quietFound(found_);
    contents_->clear();
    found_->clear();
    browser_->clearHistory();
    if (!folder_.isEmpty()) {
        browser_->setSearchPaths({folder_});
        loadPages();
        buildContents();
    }
    if (pages_.empty())
        showMissingBook(lookedIn.isEmpty() ? QStringList{folder_} : lookedIn);
    query_->setEnabled(hasBook());
    find_->setEnabled(hasBook());
    home_->setEnabled(hasBook());
}

void HelpWindow::loadPages()
{
    const QDir dir(folder_);
    for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QTextDocument document;
        document.setBaseUrl(QUrl::fromLocalFile(dir.filePath(file)));
        document.setHtml(readPage(dir.filePath(file)));
        Page page{file, document.metaInformation(QTextDocument::DocumentTitle), normalised(document.toPlainText()),
                  anchorsOf(document)};
        if (page.title.isEmpty())
            page.title = file;
        pages_.push_back(std::move(page));
    }
    if (std::none_of(pages_.begin(), pages_.end(), [](const Page& page) { return page.file == QLatin1String(contentsFile); }))
        pages_.clear();
}

// The contents pane is the contents page's lists of links, nested as the lists are.
void HelpWindow::buildContents()
{
    if (pages_.empty())
        return;
    const QUrl base = QUrl::fromLocalFile(QDir(folder_).filePath(QLatin1String(contentsFile)));
    QTextDocument document;
    document.setBaseUrl(base);
    document.setHtml(readPage(base.toLocalFile()));
    std::vector<QTreeWidgetItem*> lastAtLevel;
    const QTextList* contentsList = nullptr;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        if (!list)
            continue;
        const std::size_t level = static_cast<std::size_t>(std::max(1, list->format().indent())) - 1;
        // The first list is the contents; later lists of the page are its own.
        if (level == 0 && contentsList && list != contentsList)
            break;
        if (level == 0)
            contentsList = list;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty())
                continue;
            QTreeWidgetItem* parent = level > 0 && level <= lastAtLevel.size() ? lastAtLevel[level - 1] : nullptr;
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
            item->setText(0, fragment.fragment().text().simplified());
            item->setToolTip(0, item->text(0));
            item->setData(0, urlRole, base.resolved(QUrl(format.anchorHref())));
            lastAtLevel.resize(level + 1);
            lastAtLevel[level] = item;
            break;
        }
    }
    contents_->expandAll();
}

void HelpWindow::showMissingBook(const QStringList& lookedIn)
{
    browser_->clearHistory();
    browser_->setHtml(missingBookPage(lookedIn));
}

bool HelpWindow::showTopic(const QString& anchor)
{
    const QString wanted = anchor.trimmed().toUpper();
    for (const Page& page : pages_) {
        const qsizetype at = page.anchors.indexOf(wanted);
        if (at < 0)
            continue;
        // The page's own name is its top: open it there rather than scroll past the margin.
        openPage(page.file, at == 0 ? QString() : wanted);
        return true;
    }
    showContents();
    return false;
}

void HelpWindow::showContents()
{
    if (hasBook())
        openPage(QLatin1String(contentsFile));
}

void HelpWindow::openPage(const QString& file, const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(QDir(folder_).filePath(file));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    browser_->setSource(url);
}

QUrl HelpWindow::source() const
{
    return browser_->source();
}

std::vector<HelpWindow::Found> HelpWindow::search(const QString& text)
{
    if (query_->text() != text)
        query_->setText(text);
    searchWords_ = wordsOf(text);
    lastFound_.clear();
    if (!searchWords_.isEmpty())
        for (const Page& page : pages_) {
            int hits = 0;
            for (const QString& word : searchWords_) {
                const qsizetype count = page.text.count(word);
                if (count == 0) {
                    hits = 0;
                    break;
                }
                hits += static_cast<int>(count);
            }
            if (hits > 0)
                lastFound_.push_back({page.file, page.title, hits});
        }
    std::stable_sort(lastFound_.begin(), lastFound_.end(), [](const Found& a, const Found& b) { return a.hits > b.hits; });

    {
        const QSignalBlocker quiet(found_);
        found_->clear();
        for (const Found& page : lastFound_)
            found_->addItem(QStringLiteral("%1 (%2)").arg(page.title).arg(page.hits));
    }
    foundLabel_->setText(lastFound_.empty() ? QStringLiteral("Ничего не найдено.")
                                            : QStringLiteral("Найдено страниц: %1").arg(lastFound_.size()));
    side_->setCurrentIndex(1);
    if (!lastFound_.empty())
        found_->setCurrentRow(0);
    return lastFound_;
}

void HelpWindow::runSearch()
{
    if (query_->text().trimmed().isEmpty())
        return;
    query_->setText(query_->text().simplified());
    search(query_->text());
}

void HelpWindow::openFound(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= lastFound_.size())
        return;
    openPage(lastFound_[static_cast<std::size_t>(row)].file);
    markHits(searchWords_);
}

// Every hit is marked; the first one in the page is selected and scrolled into view.
void HelpWindow::markHits(const QStringList& words)
{
    QTextDocument* document = browser_->document();
    QList<QTextEdit::ExtraSelection> marks;
    QTextCursor first;
    for (const QString& word : words) {
        const QRegularExpression pattern = wordPattern(word);
        for (QTextCursor hit = document->find(pattern); !hit.isNull(); hit = document->find(pattern, hit)) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = hit;
            mark.format.setBackground(hitColour);
            marks.append(mark);
            if (first.isNull() || hit.selectionStart() < first.selectionStart())
                first = hit;
        }
    }
    for (QTextEdit::ExtraSelection& mark : marks)
        if (mark.cursor == first)
            mark.format.setBackground(firstHitColour);
    browser_->setExtraSelections(marks);
    if (!first.isNull()) {
        browser_->setTextCursor(first);
        // A third down the view, with what leads up to it above.
        QScrollBar* bar = browser_->verticalScrollBar();
        bar->setValue(bar->value() + browser_->cursorRect(first).top() - browser_->viewport()->height() / 3);
    }
}

// The contents pane follows the page shown, and the marks of a search leave with their page.
void HelpWindow::followSource(const QUrl& url)
{
    browser_->setExtraSelections({});
    fittedWidth_ = -1;
    fitPictures();
    const QUrl page = url.adjusted(QUrl::RemoveFragment);
    QTreeWidgetItem* best = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QUrl target = (*it)->data(0, urlRole).toUrl();
        if (target == url) {
            best = *it;
            break;
        }
        if (!best && target.adjusted(QUrl::RemoveFragment) == page && !target.hasFragment())
            best = *it;
    }
    following_ = true;
    if (best)
        contents_->setCurrentItem(best);
    else
        contents_->clearSelection();
    following_ = false;
}

void HelpWindow::keepUsableBeside(QWidget* modal)
{
    QWindow* owner = modal ? modal->window()->windowHandle() : nullptr;
    create();
    windowHandle()->setTransientParent(owner);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == browser_->viewport() && event->type() == QEvent::Resize)
        fitPictures();
    return QWidget::eventFilter(watched, event);
}

QSize HelpWindow::naturalSize(const QString& picture)
{
    const auto known = naturalSizes_.constFind(picture);
    if (known != naturalSizes_.cend())
        return *known;
    const QVariant resource = browser_->document()->resource(QTextDocument::ImageResource, QUrl(picture));
    QSize size;
    if (resource.typeId() == QMetaType::QImage)
        size = resource.value<QImage>().size();
    else if (resource.typeId() == QMetaType::QPixmap)
        size = resource.value<QPixmap>().size();
    else if (resource.typeId() == QMetaType::QByteArray)
        size = QImage::fromData(resource.toByteArray()).size();
    naturalSizes_.insert(picture, size);
    return size;
}

// A picture wider than the page is shown narrower rather than cut or scrolled sideways; the
// line at the top of the view stays there.
void HelpWindow::fitPictures()
{
    const int width = browser_->viewport()->width();
    if (width == fittedWidth_ || !hasBook())
        return;
    fittedWidth_ = width;
    QTextDocument* document = browser_->document();
    document->setUndoRedoEnabled(false);
    const int room = std::max(80, width - 2 * static_cast<int>(document->documentMargin()) - 4);

    struct Change {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextImageFormat picture = it.fragment().charFormat().toImageFormat();
            if (!picture.isValid())
                continue;
            const QSize natural = naturalSize(picture.name());
            if (natural.isEmpty())
                continue;
            const int shownWidth = std::min(natural.width(), room);
            if (qRound(picture.width()) == shownWidth && picture.hasProperty(QTextFormat::ImageHeight))
                continue;
            picture.setWidth(shownWidth);
            picture.setHeight(static_cast<qreal>(natural.height()) * shownWidth / natural.width());
            changes.push_back({it.fragment().position(), it.fragment().length(), picture});
        }
    if (changes.empty())
        return;

    const QTextCursor top = browser_->cursorForPosition(QPoint(0, 0));
    const int topBefore = browser_->cursorRect(top).top();
    for (const Change& change : changes) {
        QTextCursor cursor(document);
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
    QScrollBar* bar = browser_->verticalScrollBar();
    bar->setValue(bar->value() + browser_->cursorRect(top).top() - topBefore);
}

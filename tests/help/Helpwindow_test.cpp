// The help window as the operator meets it: from the menu, from a dialog's "Справка", with its
// contents, links, search, and without a book.
#include "dialogs/Optform.h"
#include "dialogs/Porogform.h"
#include "settings/Configuration.h"
#include "station/Controllerfolder.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "views/Helpviewer.h"
#include "views/Helpwindow.h"
#include "widgets/Mybutton.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QAbstractTextDocumentLayout>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 30'000);
}

std::vector<HelpWindow*> helpWindows()
{
    std::vector<HelpWindow*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(window))
            found.push_back(help);
    return found;
}

HelpWindow* helpWindow()
{
    const std::vector<HelpWindow*> found = helpWindows();
    EXPECT_EQ(found.size(), 1u);
    return found.empty() ? nullptr : found.front();
}

QString shownFile(const HelpWindow& window)
{
    return QFileInfo(window.source().toLocalFile()).fileName();
}

QTextBrowser& page(HelpWindow& window)
{
    return *window.findChild<QTextBrowser*>(QStringLiteral("helpPage"));
}

// The first line of the page the operator sees at the top of the view.
QString topLine(HelpWindow& window)
{
    QTextBrowser& browser = page(window);
    return browser.cursorForPosition(QPoint(4, 4)).block().text().trimmed();
}

// Whether the heading stands in the view, in its upper part (a heading near the end of a page
// cannot be scrolled to the very top).
bool headingInView(HelpWindow& window, const QString& heading)
{
    QTextBrowser& browser = page(window);
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed() != heading)
            continue;
        const qreal top = browser.document()->documentLayout()->blockBoundingRect(block).top()
                          - browser.verticalScrollBar()->value();
        return top >= 0 && top < browser.viewport()->height() / 2;
    }
    return false;
}

// Clicks the first link of the page shown that leads to href, as the operator clicks it.
bool clickLink(HelpWindow& window, const QString& href)
{
    QTextBrowser& browser = page(window);
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(browser.document());
            cursor.setPosition(it.fragment().position() + 1);
            browser.setTextCursor(cursor);
            browser.ensureCursorVisible();
            const QPoint at = browser.cursorRect(cursor).center();
            QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    return false;
}

TMyButton* helpButtonOf(QWidget& dialog)
{
    for (TMyButton* button : dialog.findChildren<TMyButton*>())
        if (button->text() == QStringLiteral("Справка"))
            return button;
    return nullptr;
}

QTreeWidgetItem* contentsItem(HelpWindow& window, const QString& text)
{
    auto* contents = window.findChild<QTreeWidget*>(QStringLiteral("contents"));
    const QList<QTreeWidgetItem*> items = contents->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.front();
}

void savePicture(QWidget& window, const char* name)
{
    EXPECT_TRUE(window.grab().save(QStringLiteral(NIVRA_HELP_PICTURES "/%1.png").arg(QString::fromUtf8(name))));
}

class HelpWindowTest : public ::testing::Test {
protected:
    HelpWindowTest() { qputenv("NIVRA_HELP_DIR", QByteArray(NIVRA_HELP_BOOK)); }
    ~HelpWindowTest() override
    {
        for (HelpWindow* window : helpWindows())
            delete window;
        qunsetenv("NIVRA_HELP_DIR");
    }
    static HelpWindow& shown()
    {
        HelpWindow* window = helpWindow();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return *window;
    }
};

TEST_F(HelpWindowTest, TheMenuOpensTheContentsInOneWindowOnly)
{
    HelpViewer::showContents();
    HelpWindow& window = shown();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Справка"));
    EXPECT_EQ(shownFile(window), QStringLiteral("index.html"));
    EXPECT_EQ(topLine(window), QStringLiteral("Справка станции хроматографа"));
    auto* contents = window.findChild<QTreeWidget*>(QStringLiteral("contents"));
    EXPECT_GE(contents->topLevelItemCount(), 14);
    ASSERT_NE(contentsItem(window, QStringLiteral("Калибровка хроматографа")), nullptr);
    EXPECT_GE(contentsItem(window, QStringLiteral("Калибровка хроматографа"))->childCount(), 5);

    HelpViewer::showTopic(QStringLiteral("CALIBRATION"));
    HelpViewer::showContents();
    EXPECT_EQ(helpWindows().size(), 1u);
    EXPECT_EQ(shownFile(window), QStringLiteral("index.html"));
}

TEST_F(HelpWindowTest, ATopicOpensAtItsHeadingWhateverTheCase)
{
    const struct {
        const char* asked;
        const char* file;
        const char* heading;
    } cases[] = {
        {"WORK_PRINTING_PREVIEW", "printing.html", "Печать и предварительный просмотр"},
        {"work_printing_preview", "printing.html", "Печать и предварительный просмотр"},
        {"PRINTING_PREVIEW", "printing.html", "Предварительный просмотр"},
        {"SETTINGS_THRESHOLD", "threshold.html", "Порог срабатывания"},
        {"MESSAGES_SETTINGS", "messages.html", "При вводе настроек"},
        {"NO_SUCH_TOPIC", "index.html", "Справка станции хроматографа"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        HelpViewer::showTopic(QString::fromLatin1(c.asked));
        HelpWindow& window = shown();
        EXPECT_EQ(shownFile(window), QString::fromLatin1(c.file));
        EXPECT_TRUE(waitFor([&] { return headingInView(window, QString::fromUtf8(c.heading)); }))
            << topLine(window).toStdString();
    }
    // A page's own topic opens it at its top, also when the operator had scrolled it down.
    HelpViewer::showTopic(QStringLiteral("SETTINGS_THRESHOLD"));
    HelpWindow& window = shown();
    QScrollBar* bar = page(window).verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(topLine(window), QStringLiteral("Порог срабатывания"));
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);
    HelpViewer::showTopic(QStringLiteral("SETTINGS_THRESHOLD"));
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(HelpWindowTest, LinksContentsAndBackAndForwardMoveThroughThePages)
{
    HelpViewer::showContents();
    HelpWindow& window = shown();
    auto* back = window.findChild<QToolButton*>(QStringLiteral("back"));
    auto* forward = window.findChild<QToolButton*>(QStringLiteral("forward"));
    EXPECT_FALSE(back->isEnabled());

    ASSERT_TRUE(clickLink(window, QStringLiteral("calibration.html#CALIBRATION_RUN")));
    EXPECT_TRUE(waitFor([&] { return shownFile(window) == QStringLiteral("calibration.html"); }));
    EXPECT_TRUE(waitFor([&] { return topLine(window) == QStringLiteral("Калибровочные анализы"); }));
    auto* contents = window.findChild<QTreeWidget*>(QStringLiteral("contents"));
    ASSERT_NE(contents->currentItem(), nullptr);
    EXPECT_EQ(contents->currentItem()->text(0), QStringLiteral("Калибровочные анализы"));

    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(shownFile(window), QStringLiteral("index.html"));
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(shownFile(window), QStringLiteral("calibration.html"));

    contents->setCurrentItem(contentsItem(window, QStringLiteral("История")));
    EXPECT_EQ(shownFile(window), QStringLiteral("history.html"));
    window.findChild<QToolButton*>(QStringLiteral("home"))->click();
    EXPECT_EQ(shownFile(window), QStringLiteral("index.html"));
}

TEST_F(HelpWindowTest, TheSearchListsThePagesWithTheWordsAndMarksTheFirstHit)
{
    HelpViewer::showContents();
    HelpWindow& window = shown();
    QTextBrowser& browser = page(window);
    auto* query = window.findChild<QLineEdit*>(QStringLiteral("query"));
    auto* found = window.findChild<QListWidget*>(QStringLiteral("found"));

    // Typed as an operator types it: lower case, "е" for "ё", two words.
    query->setFocus();
    query->insert(QStringLiteral("коэффициент дегазации"));
    QTest::keyClick(query, Qt::Key_Return);
    ASSERT_GE(found->count(), 1);
    EXPECT_TRUE(found->item(0)->text().startsWith(QStringLiteral("Калибровка хроматографа")));
    EXPECT_EQ(window.findChild<QTabWidget*>(QStringLiteral("side"))->currentIndex(), 1);
    EXPECT_EQ(shownFile(window), QStringLiteral("calibration.html"));
    EXPECT_EQ(browser.textCursor().selectedText().toLower(), QStringLiteral("коэффициент"));
    EXPECT_GE(browser.extraSelections().size(), 4);

    const std::vector<HelpWindow::Found> yo = window.search(QStringLiteral("ВПЕРЕД"));
    ASSERT_FALSE(yo.empty());
    EXPECT_EQ(browser.textCursor().selectedText(), QStringLiteral("Вперёд"));

    EXPECT_TRUE(window.search(QStringLiteral("дегазации квазар")).empty());
    EXPECT_EQ(found->count(), 0);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("foundLabel"))->text(), QStringLiteral("Ничего не найдено."));

    // The marks leave with their page.
    window.search(QStringLiteral("дегазации"));
    EXPECT_FALSE(browser.extraSelections().isEmpty());
    window.showContents();
    EXPECT_TRUE(browser.extraSelections().isEmpty());
}

TEST_F(HelpWindowTest, TheDialogsHelpButtonsOpenTheirTopics)
{
    Configuration configuration;
    TPorogForm threshold(configuration);
    threshold.show();
    ASSERT_TRUE(threshold.helpButton()->isEnabled());
    threshold.helpButton()->click();
    HelpWindow& window = shown();
    EXPECT_EQ(shownFile(window), QStringLiteral("threshold.html"));
    EXPECT_EQ(topLine(window), QStringLiteral("Порог срабатывания"));
}

class OptFormHelpTest : public station_test::ControllerFolder {
protected:
    OptFormHelpTest() { qputenv("NIVRA_HELP_DIR", QByteArray(NIVRA_HELP_BOOK)); }
    ~OptFormHelpTest() override
    {
        for (HelpWindow* window : helpWindows())
            delete window;
        qunsetenv("NIVRA_HELP_DIR");
    }
};

// The working settings open the description of the page on show.
TEST_F(OptFormHelpTest, TheWorkingSettingsOpenThePageOnShow)
{
    TOptForm form(*system, configuration);
    form.show();
    TMyButton* help = helpButtonOf(form);
    ASSERT_NE(help, nullptr);
    const struct {
        int page;
        const char* heading;
    } cases[] = {{0, "Страница «Режим»"}, {1, "Страница «Газ»"}, {2, "Страница «Экран»"}};
    for (const auto& c : cases) {
        form.pages()->setCurrentIndex(c.page);
        help->click();
        HelpWindow* window = helpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(shownFile(*window), QStringLiteral("settings-work.html"));
        EXPECT_TRUE(waitFor([&] { return headingInView(*window, QString::fromUtf8(c.heading)); }))
            << topLine(*window).toStdString();
    }
}

// Clicks a contents entry through the window system, where a window blocked by a modal one
// drops the click.
void clickContents(HelpWindow& window, const QString& entry)
{
    auto* contents = window.findChild<QTreeWidget*>(QStringLiteral("contents"));
    QTreeWidgetItem* item = contentsItem(window, entry);
    ASSERT_NE(item, nullptr);
    const QPoint at = contents->viewport()->mapTo(&window, contents->visualItemRect(item).center());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
}

// A modal dialog blocks every other window: the help it opens must still take clicks, whether
// it was open before the dialog or not.
TEST_F(HelpWindowTest, HelpOpenedFromAModalDialogCanBeUsedBesideIt)
{
    for (const bool openBefore : {false, true}) {
        SCOPED_TRACE(openBefore ? "help open before the dialog" : "help opened by the dialog");
        if (openBefore) {
            HelpViewer::showContents();
            HelpWindow& window = shown();
            clickContents(window, QStringLiteral("История"));
            EXPECT_EQ(shownFile(window), QStringLiteral("history.html"));
        }
        Configuration configuration;
        TPorogForm threshold(configuration);
        bool answered = false;
        modal::answerModal([&](QWidget& dialog) {
            helpButtonOf(dialog)->click();
            HelpWindow& window = shown();
            EXPECT_EQ(shownFile(window), QStringLiteral("threshold.html"));
            clickContents(window, QStringLiteral("Журнал"));
            EXPECT_EQ(shownFile(window), QStringLiteral("journal.html"));
            answered = true;
            qobject_cast<QDialog*>(&dialog)->reject();
        });
        threshold.exec();
        EXPECT_TRUE(answered);
        // The help outlives the dialog and goes on taking clicks.
        ASSERT_EQ(helpWindows().size(), 1u);
        HelpWindow& window = *helpWindows().front();
        EXPECT_TRUE(window.isVisible());
        clickContents(window, QStringLiteral("Таблица результатов"));
        EXPECT_EQ(shownFile(window), QStringLiteral("table.html"));
        delete &window;
    }
}

TEST_F(HelpWindowTest, WithoutTheBookTheWindowSaysSoAndWhereItLooked)
{
    test::TemporaryDirectory empty;
    const QString folder = QString::fromStdString(empty.path().string());
    qputenv("NIVRA_HELP_DIR", folder.toUtf8());
    HelpViewer::showTopic(QStringLiteral("WORK_PRINTING_PREVIEW"));
    HelpWindow& window = shown();
    const QString text = page(window).toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Справка не найдена"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::cleanPath(folder))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("NIVRA_HELP_DIR")));
    EXPECT_EQ(window.findChild<QTreeWidget*>(QStringLiteral("contents"))->topLevelItemCount(), 0);
    EXPECT_FALSE(window.findChild<QLineEdit*>(QStringLiteral("query"))->isEnabled());
    savePicture(window, "help-missing");

    // Without the variable the book of the source tree is found, in the same window.
    qunsetenv("NIVRA_HELP_DIR");
    HelpViewer::showTopic(QStringLiteral("WORK_PRINTING_PREVIEW"));
    EXPECT_EQ(helpWindow(), &window);
    EXPECT_EQ(shownFile(window), QStringLiteral("printing.html"));
    EXPECT_TRUE(window.findChild<QLineEdit*>(QStringLiteral("query"))->isEnabled());
}

// On a small screen the pictures narrow down with the window instead of being cut.
TEST_F(HelpWindowTest, PicturesFitANarrowWindowAndGrowBackWithIt)
{
    HelpViewer::showTopic(QStringLiteral("MAIN_WINDOW"));
    HelpWindow& window = shown();
    QTextBrowser& browser = page(window);
    window.resize(700, 600);
    EXPECT_TRUE(waitFor([&] { return browser.horizontalScrollBar()->maximum() == 0; }));
    EXPECT_EQ(topLine(window), QStringLiteral("Главное окно"));
    const int narrow = browser.document()->size().toSize().height();

    window.resize(1300, 800);
    EXPECT_TRUE(waitFor([&] { return browser.document()->size().toSize().height() < narrow; }));
    EXPECT_EQ(browser.horizontalScrollBar()->maximum(), 0);
    // Another page is fitted as it opens.
    window.resize(700, 600);
    HelpViewer::showTopic(QStringLiteral("SETTINGS_WORK_MISC"));
    EXPECT_TRUE(waitFor([&] { return browser.horizontalScrollBar()->maximum() == 0; }));
    EXPECT_TRUE(waitFor([&] { return headingInView(window, QStringLiteral("Страница «Разное»")); }));
}

// Pictures for people to look at: the contents and the printing topic, at the window's size on
// an ordinary screen.
TEST_F(HelpWindowTest, Pictures)
{
    HelpViewer::showContents();
    HelpWindow& window = shown();
    window.resize(1100, 780);
    QTest::qWait(50);
    savePicture(window, "help-contents");
    HelpViewer::showTopic(QStringLiteral("WORK_PRINTING_PREVIEW"));
    savePicture(window, "help-printing");
    HelpViewer::showTopic(QStringLiteral("WORK_CYCLE"));
    savePicture(window, "help-cycle");
    HelpViewer::showTopic(QStringLiteral("MESSAGES_BOXES"));
    savePicture(window, "help-messages");
    window.search(QStringLiteral("дегазации"));
    savePicture(window, "help-search");
}

} // namespace

// The help book as shipped: every page, link, anchor and picture, read the way the help
// window reads them.
#include "station/Nivrasystem.h"
#include "station/Setupwizard.h"
#include "views/Stationprinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Wider pictures would need scrolling sideways in the help window at its first size.
constexpr int widestPicture = 780;

const QRegularExpression topicName(QStringLiteral("^[A-Z][A-Z0-9_]*$"));

struct Link {
    QString from;
    QString href;
};

struct Page {
    QString file;
    QString html;
    QString title;
    QStringList anchors;  // in page order
    std::vector<Link> links;
    std::vector<Link> pictures;
};

QString bookFolder()
{
    return QStringLiteral(NIVRA_HELP_BOOK);
}

Page readPage(const QString& file)
{
    Page page;
    page.file = file;
    QFile source(QDir(bookFolder()).filePath(file));
    EXPECT_TRUE(source.open(QIODevice::ReadOnly)) << file.toStdString();
    page.html = QString::fromUtf8(source.readAll());
    QTextDocument document;
    document.setHtml(page.html);
    page.title = document.metaInformation(QTextDocument::DocumentTitle);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) {
                page.anchors += format.anchorNames();
                if (!format.anchorHref().isEmpty())
                    page.links.push_back({file, format.anchorHref()});
            }
            if (format.isImageFormat())
                page.pictures.push_back({file, format.toImageFormat().name()});
        }
    return page;
}

class HelpBook : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const QString& file : QDir(bookFolder()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name))
            pages().emplace(file, readPage(file));
    }
    static std::map<QString, Page>& pages()
    {
        static std::map<QString, Page> all;
        return all;
    }
    // The target of a link inside the book: its file, relative to the book, and its anchor.
    static std::pair<QString, QString> target(const Link& link)
    {
        const QUrl base = QUrl::fromLocalFile(QDir(bookFolder()).filePath(link.from));
        const QUrl url = base.resolved(QUrl(link.href));
        return {QDir(bookFolder()).relativeFilePath(url.toLocalFile()), url.fragment()};
    }
};

TEST_F(HelpBook, EveryPageHasATitleAndOpensAtItsOwnTopicName)
{
    ASSERT_GE(pages().size(), 10u);
    ASSERT_TRUE(pages().count(QStringLiteral("index.html")));
    for (const auto& [file, page] : pages()) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_FALSE(page.title.isEmpty());
        ASSERT_FALSE(page.anchors.isEmpty());
        // The topic name comes first, so that the page opens at its top.
        EXPECT_TRUE(topicName.match(page.anchors.first()).hasMatch()) << page.anchors.first().toStdString();
        EXPECT_TRUE(page.html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        EXPECT_TRUE(page.html.contains(QStringLiteral("href=\"help.css\"")));
    }
    EXPECT_TRUE(QFileInfo(QDir(bookFolder()).filePath(QStringLiteral("help.css"))).isFile());
}

// Two pages with one name would make a topic open at a page chosen by chance.
TEST_F(HelpBook, TopicNamesAreUpperCaseAndUniqueAcrossTheBook)
{
    std::map<QString, QString> owner;
    for (const auto& [file, page] : pages())
        for (const QString& anchor : page.anchors) {
            EXPECT_TRUE(topicName.match(anchor).hasMatch()) << file.toStdString() << ": " << anchor.toStdString();
            const auto [at, fresh] = owner.emplace(anchor, file);
            EXPECT_TRUE(fresh) << anchor.toStdString() << " in " << file.toStdString() << " and "
                               << at->second.toStdString();
        }
    // The names the station's windows open.
    for (const char* wanted : {"CONTENTS", "WORK_PRINTING_PREVIEW", "SETTINGS_THRESHOLD", "SETTINGS_WORK",
                               "SETTINGS_WORK_MODE", "SETTINGS_WORK_GAS", "SETTINGS_WORK_SCREEN",
                               "SETTINGS_WORK_SUMMATOR", "SETTINGS_WORK_MISC", "SETTINGS_WORK_MANUFACTURER",
                               "SETTINGS_WIZARD", "CALIBRATION", "MESSAGES"})
        EXPECT_TRUE(owner.count(QString::fromLatin1(wanted))) << wanted;
}

TEST_F(HelpBook, EveryLinkLeadsToAPageAndAnAnchorThatExist)
{
    int checked = 0;
    for (const auto& [file, page] : pages())
        for (const Link& link : page.links) {
            SCOPED_TRACE(file.toStdString() + " -> " + link.href.toStdString());
            const QUrl url(link.href);
            EXPECT_TRUE(url.isRelative()) << "the book links only to itself";
            const auto [targetFile, anchor] = target(link);
            const auto found = pages().find(targetFile);
            ASSERT_NE(found, pages().end()) << "no page " << targetFile.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(found->second.anchors.contains(anchor)) << "no anchor " << anchor.toStdString();
            }
            ++checked;
        }
    EXPECT_GT(checked, 100);
}

TEST_F(HelpBook, EveryPictureLoadsFitsTheWindowAndIsUsed)
{
    QSet<QString> used;
    for (const auto& [file, page] : pages())
        for (const Link& picture : page.pictures) {
            SCOPED_TRACE(file.toStdString() + ": " + picture.href.toStdString());
            const auto [path, anchor] = target(picture);
            EXPECT_TRUE(path.startsWith(QStringLiteral("images/"))) << "pictures live in the book's own folder";
            const QImage image(QDir(bookFolder()).filePath(path));
            ASSERT_FALSE(image.isNull());
            EXPECT_LE(image.width(), widestPicture);
            used.insert(path);
        }
    EXPECT_GE(used.size(), 15);
    const QDir images(QDir(bookFolder()).filePath(QStringLiteral("images")));
    for (const QString& file : images.entryList(QDir::Files))
        EXPECT_TRUE(used.contains(QStringLiteral("images/") + file)) << "unused picture " << file.toStdString();
}

// A page nobody links to is a page nobody finds.
TEST_F(HelpBook, EveryPageIsReachedFromTheContents)
{
    QSet<QString> reached{QStringLiteral("index.html")};
    std::vector<QString> open{QStringLiteral("index.html")};
    while (!open.empty()) {
        const QString file = open.back();
        open.pop_back();
        const auto page = pages().find(file);
        if (page == pages().end())
            continue;
        for (const Link& link : page->second.links) {
            const QString next = target(link).first;
            if (!reached.contains(next)) {
                reached.insert(next);
                open.push_back(next);
            }
        }
    }
    for (const auto& [file, page] : pages())
        EXPECT_TRUE(reached.contains(file)) << file.toStdString();
    // The contents page itself names every page.
    QSet<QString> listed;
    for (const Link& link : pages()[QStringLiteral("index.html")].links)
        listed.insert(target(link).first);
    for (const auto& [file, page] : pages())
        if (file != QLatin1String("index.html")) {
            EXPECT_TRUE(listed.contains(file)) << file.toStdString();
        }
}

// The operator looks a message up by its text: the book must carry the station's own words.
TEST_F(HelpBook, TheMessagesPageQuotesTheStationsMessages)
{
    const QString& messages = pages()[QStringLiteral("messages.html")].html;
    // The station's own constants where it has them, so that a changed text shows here.
    for (const char* text :
         {NivraSystem::noAnswerText, NivraSystem::lostText, NivraSystem::warmUpRefusedText,
          StationPrinter::noPrinterText, SetupWizard::emptyRowMessage, SetupWizard::duplicatesMessage,
          "ОШИБКА: Невозможно открыть порт", "Возможно он отсутствует на компьютере, или занят другим устройством.",
          "Газосумматор не найден! Использование внутреннего газосумматора не возможно!",
          "Общую настройку нельзя производить при запущенном рабочем цикле. Дождитесь окончания цикла работы.",
          "Для закрытия программы дождитесь завершения работы хроматографа",
          "Вы действительно хотите выйти из программы ?",
          "Невозможно выполнить печать. Дождитесь окончания цикла хроматографа", "Распечатать хроматограмму ?",
          "Сохранить результат калибровки?", "Стереть все записи в журнале?",
          "Значение параметра должно быть в интервале 1..63. Значение будет автоматически исправлено.",
          "Длительность цикла должна быть больше времени окончания нагрева! Значение будет автоматически исправлено.",
          "Время окончания нагрева должно быть меньше длительности цикла! Значение будет автоматически исправлено.",
          "Время окончания нагрева должно быть больше времени начала нагрева! Значение будет автоматически исправлено.",
          "Время начала нагрева должно быть меньше времени окончания нагрева! Значение будет автоматически исправлено.",
          "Таблицу очистить не удалось: записи сохранены.", "Строки удалить не удалось: записи сохранены.",
          "Внутренняя ошибка программы"})
        EXPECT_TRUE(messages.contains(QString::fromUtf8(text))) << text;
}

} // namespace

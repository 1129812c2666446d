#include "views/Journalpage.h"

#include "results/Log.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "views/Journalentrydialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gmock/gmock.h>

#include <functional>
#include <string>

namespace {

using modal::Answer;
using modal::answerModal;
using modal::answerWhenUp;

QAbstractButton* buttonTitled(QWidget& window, const QString& text)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// Types the text and presses the button, remembering what the window looked like.
struct EntryAnswer {
    QString text;
    QString button;
    QString caption{};
    QString label{};
    QPoint topLeft{};

    Answer operator()()
    {
        return [this](QWidget& window) {
            caption = window.windowTitle();
            topLeft = window.pos();
            if (auto* shown = window.findChild<QLabel*>())
                label = shown->text();
            window.findChild<QLineEdit*>()->setText(text);
            if (QAbstractButton* pressed = buttonTitled(window, button))
                pressed->click();
        };
    }
};

Answer pressStandard(QMessageBox::StandardButton which, QString* question = nullptr, QString* caption = nullptr)
{
    return [which, question, caption](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        if (question)
            *question = box->text();
        if (caption)
            *caption = box->windowTitle();
        box->button(which)->click();
    };
}

class JournalPageTest : public ::testing::Test {
protected:
    static lib::LocalSeconds fixedClock() { return lib::toLocalSeconds(2007, 3, 3, 9, 5, 7); }

    int rows() const { return page.list()->model()->rowCount(); }
    QString row(int index) const
    {
        const QAbstractItemModel& model = *page.list()->model();
        return model.data(model.index(index, 0)).toString();
    }

    Log journal{fixedClock};
    JournalPage page{journal};
};

TEST_F(JournalPageTest, AnEntryTypedAndConfirmedIsAddedWithItsStamp)
{
    EntryAnswer answer{QStringLiteral("Замена колонки"), QStringLiteral("OK")};
    answerModal(answer());
    page.addEntry(QPoint(120, 80));

    ASSERT_EQ(journal.lines().size(), 1u);
    EXPECT_EQ(journal.lines()[0], "[9:05:07 3.03.2007]     Замена колонки");
    EXPECT_EQ(answer.caption, QStringLiteral("  Журнал"));
    EXPECT_EQ(answer.label, QStringLiteral("Введите строчку для журнала"));
    EXPECT_EQ(answer.topLeft, QPoint(120, 80)) << "top-left corner at the given point";
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(0), QString::fromStdString(journal.lines()[0]));
}

TEST_F(JournalPageTest, CancelOrAnEmptyLineAddsNothing)
{
    journal.add("Запуск программы");
    const auto before = journal.lines();
    const struct {
        const char* text;
        const char* button;
    } cases[] = {
        {"Текст, от которого отказались", "Отмена"},
        {"", "OK"},
    };
    for (const auto& c : cases) {
        EntryAnswer answer{QString::fromUtf8(c.text), QString::fromUtf8(c.button)};
        answerModal(answer());
        page.addEntry(QPoint(10, 10));
        EXPECT_EQ(journal.lines(), before) << c.button;
    }
}

TEST_F(JournalPageTest, ClearingAskedAndConfirmedLeavesOnlyItsOwnLine)
{
    journal.add("Запуск программы");
    journal.add("Произведена калибровка хроматографа");

    QString question;
    QString caption;
    answerModal(pressStandard(QMessageBox::No, &question, &caption));
    page.askClear();
    EXPECT_EQ(question, QStringLiteral("Стереть все записи в журнале?"));
    EXPECT_EQ(caption, QStringLiteral("  Очистка журнала"));
    EXPECT_EQ(journal.lines().size(), 2u) << "No leaves the journal as it was";

    answerModal(pressStandard(QMessageBox::Yes));
    page.askClear();
    ASSERT_EQ(journal.lines().size(), 1u);
    EXPECT_THAT(journal.lines()[0], ::testing::EndsWith("Очищен журнал"));
    EXPECT_EQ(rows(), 1);
}

TEST_F(JournalPageTest, TheToolButtonsOpenTheirWindows)
{
    const struct {
        const char* button;
        const char* hint;
        const char* caption;
    } cases[] = {
        {"addEntry", " Добавить запись в журнал ", "  Журнал"},
        {"clearJournal", " Очистить журнал ", "  Очистка журнала"},
    };
    for (const auto& c : cases) {
        auto* button = page.findChild<QAbstractButton*>(QLatin1String(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(c.hint));
        EXPECT_EQ(button->statusTip(), " " + QString::fromUtf8(c.hint));
        QString caption;
        answerModal([&caption](QWidget& window) {
            caption = window.windowTitle();
            qobject_cast<QDialog*>(&window)->reject();
        });
        button->click();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption)) << c.button;
    }
    EXPECT_TRUE(journal.lines().empty());
}

TEST_F(JournalPageTest, TheContextMenuOffersAddingAndClearing)
{
    QStringList offered;
    answerWhenUp([] { return QApplication::activePopupWidget(); }, [&offered](QWidget& window) {
        auto* menu = qobject_cast<QMenu*>(&window);
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            offered << action->text();
        menu->setActiveAction(menu->actions().value(0));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
    });
    EntryAnswer answer{QStringLiteral("Из меню"), QStringLiteral("OK")};
    answerModal(answer());

    QWidget* viewport = page.list()->viewport();
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &request);

    EXPECT_THAT(offered, ::testing::ElementsAre(QStringLiteral("Добавить запись..."), QStringLiteral("Очистить...")));
    ASSERT_EQ(journal.lines().size(), 1u);
    EXPECT_THAT(journal.lines()[0], ::testing::EndsWith("Из меню"));
    EXPECT_EQ(answer.topLeft, viewport->mapToGlobal(QPoint(5, 5))) << "opened where the menu was";
}

TEST_F(JournalPageTest, TheListFollowsTheJournalOneRowPerAddition)
{
    int inserted = 0;
    int resets = 0;
    QObject::connect(page.list()->model(), &QAbstractItemModel::rowsInserted, [&inserted] { ++inserted; });
    QObject::connect(page.list()->model(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });

    test::TemporaryDirectory folder;
    std::string file;
    for (int i = 0; i < 300; ++i)
        file += "line " + std::to_string(i) + "\r\n";
    test::writeFile(folder.path() / "события.txt", file);
    journal.open(folder.path() / "события.txt");
    EXPECT_EQ(rows(), 300);

    journal.add("Запуск программы");  // trimmed to 256, then one more
    EXPECT_EQ(rows(), 257);
    EXPECT_EQ(row(0), QStringLiteral("line 44"));
    EXPECT_THAT(row(256).toStdString(), ::testing::EndsWith("Запуск программы"));

    journal.clear();
    EXPECT_EQ(rows(), 0);
    inserted = resets = 0;
    journal.add("Произведена калибровка хроматографа");
    journal.add("");
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(row(1), QString());
    EXPECT_EQ(inserted, 2) << "one inserted row per addition";
    EXPECT_EQ(resets, 0);
}

TEST_F(JournalPageTest, TheNewestLineIsInView)
{
    page.resize(400, 200);
    page.show();
    for (int i = 0; i < 100; ++i)
        journal.add("Запись " + std::to_string(i));
    QApplication::processEvents();
    QListView& list = *page.list();
    const QModelIndex newest = list.model()->index(rows() - 1, 0);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(newest).center()));
    EXPECT_FALSE(list.viewport()->rect().contains(list.visualRect(list.model()->index(0, 0)).center()));
}

TEST(JournalPage, APageGoneNoLongerListensToTheJournal)
{
    Log journal;
    {
        JournalPage page(journal);
        journal.add("Запуск программы");
    }
    journal.add("Закрытие программы");  // no page left to tell
    EXPECT_EQ(journal.changed.num_slots(), 0u);
}

} // namespace

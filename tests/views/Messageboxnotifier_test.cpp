#include "views/Messageboxnotifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

using platform::OperatorMessage;

QMessageBox* openBox(const QString& text)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible() && box->text() == text)
            return box;
    return nullptr;
}

// A fault repeated every tick must not pile up boxes, and a box must not hold up the caller.
TEST(MessageBoxNotifier, ABoxStillOpenIsNotStackedAndTheCallerGoesOn)
{
    MessageBoxNotifier notifier;
    const OperatorMessage lost{"  ОШИБКА", "Связь потеряна", OperatorMessage::Icon::error};
    notifier.notify(lost);
    notifier.notify(lost);
    EXPECT_EQ(notifier.openCount(), 1);
    QMessageBox* box = openBox(QStringLiteral("Связь потеряна"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("  ОШИБКА"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);

    notifier.notify({"Сообщение", "Другое", OperatorMessage::Icon::information});
    EXPECT_EQ(notifier.openCount(), 2);

    box->close();
    QApplication::processEvents();
    notifier.notify(lost);
    EXPECT_EQ(notifier.openCount(), 2) << "said again once its box was closed";
    for (QWidget* widget : QApplication::topLevelWidgets())
        widget->close();
}

TEST(MessageBoxNotifier, AMessageFromAnotherThreadIsShownOnTheWindowThread)
{
    MessageBoxNotifier notifier;
    std::thread worker([&] { notifier.notify({"  ОШИБКА", "С потока", OperatorMessage::Icon::warning}); });
    worker.join();
    EXPECT_EQ(notifier.openCount(), 0) << "not shown off the window thread";
    QApplication::processEvents();
    EXPECT_EQ(notifier.openCount(), 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        widget->close();
}

} // namespace

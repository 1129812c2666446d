#pragma once

// Answering a modal window from inside its own event loop: a window test opens a dialog, and
// the answer runs once the dialog is up.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace modal {

using Answer = std::function<void(QWidget&)>;
using Find = std::function<QWidget*()>;

// Polls until `find` gives a window, then answers it. A window that never comes is a failure;
// every dialog is then closed so that the test goes on.
inline void answerWhenUp(Find find, Answer answer, QDeadlineTimer deadline = QDeadlineTimer(20'000))
{
    QTimer::singleShot(0, [find, answer, deadline] {
        if (QWidget* window = find()) {
            answer(*window);
            return;
        }
        if (!deadline.hasExpired()) {
            QTimer::singleShot(10, [find, answer, deadline] { answerWhenUp(find, answer, deadline); });
            return;
        }
        ADD_FAILURE() << "no window to answer";
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(top))
                dialog->reject();
    });
}

// The modal window on top once it is shown; `under` is the dialog that opens the one to answer.
inline void answerModal(Answer answer, QWidget* under = nullptr)
{
    answerWhenUp(
        [under]() -> QWidget* {
            QWidget* window = QApplication::activeModalWidget();
            return window && window->isVisible() && window != under ? window : nullptr;
        },
        std::move(answer));
}

} // namespace modal

#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

namespace test {

// Runs the event loop until the condition holds or the deadline passes; true when it held.
// The deadline is generous: the machine that runs the tests is busy.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(20))
{
    if (condition())
        return true;
    const QDeadlineTimer expiry(deadline);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || expiry.hasExpired())
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    return condition();
}

} // namespace test

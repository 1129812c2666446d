// A start of the station reduced to its guard. Prints "ready" and waits for a line on standard
// input, so that a test can let several start at the same moment; then prints "primary" or
// "secondary" for the folder given, and as primary one "raised" per raise message, until its
// standard input closes. With --crash-holding-lock it takes the folder's lock and dies holding it.
#include "app/Singleinstance.h"
#include "platform/Instancename.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const std::filesystem::path folder = argv[1];
    if (argc > 2 && std::string(argv[2]) == "--crash-holding-lock") {
        QLockFile lock(QString::fromStdString(platform::instanceLockPath(folder).string()));
        if (!lock.tryLock(0))
            return 3;
        say("locked");
        ::_exit(1);
    }

    say("ready");
    char go[16];
    if (::read(STDIN_FILENO, go, sizeof go) <= 0)
        return 4;
    SingleInstance instance(folder);
    if (!instance.acquire()) {
        say("secondary");
        return 0;
    }
    QObject::connect(&instance, &SingleInstance::raiseRequested, [] { say("raised"); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    say("primary");
    return QCoreApplication::exec();
}

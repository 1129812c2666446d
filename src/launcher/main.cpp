#include "launcher/Launcher.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    Launcher(arguments).run(std::cerr);
    // Whatever happened, the shell is told that the launcher did its part.
    return 0;
}

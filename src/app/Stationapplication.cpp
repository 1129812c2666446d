#include "app/Stationapplication.h"

#include <QMessageBox>

#include <exception>

StationApplication::StationApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool StationApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        QMessageBox::critical(activeWindow(), QStringLiteral("Хроматограф"), QString::fromUtf8(error.what()));
    } catch (...) {
        QMessageBox::critical(activeWindow(), QStringLiteral("Хроматограф"), QStringLiteral("Внутренняя ошибка программы"));
    }
    return false;
}

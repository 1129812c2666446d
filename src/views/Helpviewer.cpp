#include "views/Helpviewer.h"

#include "views/Helpwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

constexpr const char* folderVariable = "NIVRA_HELP_DIR";

struct HelpPlace {
    QString folder;  // empty: not found
    QStringList lookedIn;
};

bool holdsBook(const QString& folder)
{
    return QFileInfo(QDir(folder).filePath(QStringLiteral("index.html"))).isFile();
}

// The variable names the one place to look (a station set up by hand, the tests); otherwise
// the installed layout beside the program comes before the source tree it was built from.
HelpPlace findHelp()
{
    HelpPlace place;
    const QString named = qEnvironmentVariable(folderVariable);
    QStringList candidates;
    if (!named.isEmpty())
        candidates << named;
    else
        candidates << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/nivra/help"))
                   << QStringLiteral(NIVRA_HELP_SOURCE_DIR);
    for (const QString& candidate : candidates) {
        const QString folder = QDir::cleanPath(QDir(candidate).absolutePath());
        place.lookedIn << folder;
        if (holdsBook(folder)) {
            place.folder = folder;
            break;
        }
    }
    return place;
}

HelpWindow* existingWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(window))
            return help;
    return nullptr;
}

HelpWindow& windowNear(QWidget* near)
{
    HelpWindow* window = existingWindow();
    if (!window) {
        window = new HelpWindow;
        // Nothing owns a parentless window: it goes with the application.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
        if (near) {
            const QRect over = near->window()->frameGeometry();
            window->move(over.center() - window->rect().center());
        }
    }
    const HelpPlace place = findHelp();
    if (window->folder() != place.folder || !window->hasBook())
        window->setFolder(place.folder, place.lookedIn);
    return *window;
}

void bringForward(HelpWindow& window)
{
    window.keepUsableBeside(QApplication::activeModalWidget());
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

void HelpViewer::showContents(QWidget* near)
{
    HelpWindow& window = windowNear(near);
    window.showContents();
    bringForward(window);
}

void HelpViewer::showTopic(const QString& anchor, QWidget* near)
{
    HelpWindow& window = windowNear(near);
    window.showTopic(anchor);
    bringForward(window);
}

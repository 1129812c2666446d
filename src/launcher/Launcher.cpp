#include "launcher/Launcher.h"

#include "platform/Instancename.h"
#include "platform/Programdirectory.h"

#include <QLocalSocket>
#include <QProcess>

#include <system_error>

namespace {

// What the running station takes for "come to the front" (the window message of old).
constexpr char raiseMessage[] = "3024";
constexpr int socketWaitMs = 1000;
constexpr char stationProgram[] = "NivraExe";

const QLatin1String directoryOption("--dir");

QStringList withAbsoluteDirectory(QStringList arguments)
{
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != directoryOption || arguments[i + 1].isEmpty())
            continue;
        std::error_code error;
        const auto absolute = std::filesystem::absolute(arguments[++i].toStdString(), error);
        if (!error)
            arguments[i] = QString::fromStdString(absolute.string());
    }
    return arguments;
}

} // namespace

Launcher::Launcher(const QStringList& arguments) : arguments_(withAbsoluteDirectory(arguments)) {}

void Launcher::run(std::ostream& errors) const
{
    const auto ownDirectory = platform::executableDirectory();
    // The folder NivraExe would work in, found the way it finds it; when there is none, the
    // station started below says why.
    if (const auto programDirectory = platform::resolveProgramDirectory(requestedDirectory());
        programDirectory && raiseRunningStation(*programDirectory))
        return;
    startStation(ownDirectory, errors);
}

std::optional<std::filesystem::path> Launcher::requestedDirectory() const
{
    std::optional<std::filesystem::path> directory;
    for (qsizetype i = 0; i + 1 < arguments_.size(); ++i)
        if (arguments_[i] == directoryOption && !arguments_[i + 1].isEmpty())
            directory = arguments_[++i].toStdString();
    return directory;
}

bool Launcher::raiseRunningStation(const std::filesystem::path& programDirectory) const
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(platform::instanceName(programDirectory)));
    if (!socket.waitForConnected(socketWaitMs))
        return false;
    socket.write(raiseMessage, sizeof raiseMessage - 1);
    socket.waitForBytesWritten(socketWaitMs);
    socket.disconnectFromServer();
    return true;
}

void Launcher::startStation(const std::filesystem::path& ownDirectory, std::ostream& errors) const
{
    const QString directory = QString::fromStdString(ownDirectory.string());
    QProcess station;
    station.setProgram(QString::fromStdString((ownDirectory / stationProgram).string()));
    station.setArguments(arguments_);
    station.setWorkingDirectory(directory);
    if (!station.startDetached())
        errors << "nivra: cannot start " << station.program().toStdString() << ": "
               << station.errorString().toStdString() << '\n';
}

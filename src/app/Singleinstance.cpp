#include "app/Singleinstance.h"

#include "platform/Instancename.h"

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtDebug>

#include <cstring>

namespace {

// Long enough for a loaded machine; a start that takes longer than this gives up waiting.
constexpr int lockWaitMs = 5000;
constexpr int socketWaitMs = 1000;
const qsizetype messageSize = static_cast<qsizetype>(std::strlen(SingleInstance::raiseMessage));

} // namespace

SingleInstance::SingleInstance(const std::filesystem::path& programDirectory, QObject* parent)
    : QObject(parent),
      name_(QString::fromStdString(platform::instanceName(programDirectory))),
      lockPath_(QString::fromStdString(platform::instanceLockPath(programDirectory).string()))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    if (server_ && server_->isListening())
        return true;
    // The lock makes the look for a running station and the listening one step, so two starts at
    // the same moment cannot both listen. A lock left by a crashed start is taken over at once:
    // QLockFile finds its process gone.
    QLockFile lock(lockPath_);
    if (!lock.tryLock(lockWaitMs))
        qWarning("NivraExe: could not take %s; checking for a running station without it",
                 qPrintable(lockPath_));
    if (raiseRunningStation())
        return false;
    listen();
    return true;
}

bool SingleInstance::raiseRunningStation() const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(socketWaitMs)) {
        // No socket, or one nobody listens on (left by a crashed run): the folder is free. Any
        // other failure means a station is there but cannot be reached right now.
        const auto error = socket.error();
        return error != QLocalSocket::ServerNotFoundError && error != QLocalSocket::ConnectionRefusedError;
    }
    socket.write(raiseMessage, messageSize);
    socket.waitForBytesWritten(socketWaitMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::listen()
{
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    // A station that cannot listen still runs; only its later starts will not find it.
    if (!server_->listen(name_))
        qWarning("NivraExe: cannot listen on %s: %s", qPrintable(name_), qPrintable(server_->errorString()));
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessages(*socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Bytes that came with the connection have no readyRead of their own to come.
        readMessages(*socket);
    }
}

void SingleInstance::readMessages(QLocalSocket& socket)
{
    while (socket.bytesAvailable() >= messageSize) {
        if (socket.read(messageSize) != QByteArray(raiseMessage, messageSize)) {
            // Not one of ours: nothing after it can be trusted to line up.
            socket.abort();
            return;
        }
        emit raiseRequested();
    }
}

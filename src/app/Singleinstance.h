#pragma once

#include <QObject>
#include <QString>

#include <filesystem>

class QLocalServer;
class QLocalSocket;

// One station per program folder. The first start takes the folder's name (a local socket) and
// listens on it; a later start, of NivraExe or of the launcher, finds it there and sends the raise
// message instead of running a second station on the same files.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* raiseMessage = "3024";

    explicit SingleInstance(const std::filesystem::path& programDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True: this process is now the station of the folder and listens for the raise message.
    // False: another station runs on it and has been sent the raise message (the caller exits).
    bool acquire();

signals:
    void raiseRequested();  // on the window thread, once per message received

private:
    bool raiseRunningStation() const;
    void listen();
    void accept();
    void readMessages(QLocalSocket& socket);

    QString name_;
    QString lockPath_;
    QLocalServer* server_ = nullptr;
};

#pragma once

#include "platform/Operatornotifier.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <string>

class QMessageBox;
class QWidget;

// Operator messages of the core as message boxes over the main window. A box never holds up
// the caller: the main timer goes on behind it. While a box with the same text is open a second
// one is not stacked on it, so a fault repeated every tick says itself once. Messages raised off
// the window thread are handed to it.
class MessageBoxNotifier : public QObject, public platform::OperatorNotifier {
    Q_OBJECT
public:
    explicit MessageBoxNotifier(QWidget* parent = nullptr);
    ~MessageBoxNotifier() override;

    void notify(const platform::OperatorMessage& message) override;
    // The window the boxes stand over; messages of the start-up come before it exists.
    void setWindow(QWidget* window) { parentWindow_ = window; }
    // The boxes open now; tests answer them.
    int openCount() const;

private:
    void show(const platform::OperatorMessage& message);

    QWidget* parentWindow_;
    std::map<std::string, QPointer<QMessageBox>> open_;
};

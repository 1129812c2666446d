#pragma once

#include <QApplication>

// The station's application object: an exception that escapes a window's handler is shown to
// the operator in a box and the program goes on, instead of ending the station mid-well.
class StationApplication : public QApplication {
    Q_OBJECT
public:
    StationApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

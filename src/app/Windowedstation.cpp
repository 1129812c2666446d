#include "app/Windowedstation.h"

#include "app/Nivramainform.h"
#include "app/Qttranslations.h"
#include "app/Singleinstance.h"
#include "app/Stationapplication.h"
#include "app/Stopsignals.h"
#include "platform/Alsabeeper.h"
#include "platform/Beep.h"
#include "settings/Configuration.h"
#include "station/Station.h"
#include "views/Messageboxnotifier.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <clocale>
#include <iostream>
#include <memory>

namespace {

// The tones go to the sound thread while the windows run, and nowhere after.
class BeepSinkScope {
public:
    explicit BeepSinkScope(platform::AlsaBeeper& beeper)
        : previous_(platform::setBeepSink([&beeper](int frequency, int milliseconds) { beeper.play(frequency, milliseconds); }))
    {
    }
    ~BeepSinkScope() { platform::setBeepSink(std::move(previous_)); }
    BeepSinkScope(const BeepSinkScope&) = delete;
    BeepSinkScope& operator=(const BeepSinkScope&) = delete;

private:
    platform::BeepSink previous_;
};

} // namespace

WindowedStation::WindowedStation(Configuration& configuration, Options options)
    : configuration_(configuration), options_(std::move(options))
{
}

int WindowedStation::run(int& argc, char** argv)
{
    // Before any thread: the threads inherit the blocked signals and only the window thread
    // sees them.
    StopSignals stopSignals;
    StationApplication application(argc, argv);
    // Qt took the system's locale; the core writes and reads numbers by the C rule.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("NivraExe"));
    QApplication::setDesktopFileName(QStringLiteral("nivra"));
    QtTranslations::install(application);

    SingleInstance instance(options_.directory);
    if (!instance.acquire()) {
        std::cerr << "NivraExe: a station already runs on " << options_.directory.string()
                  << "; it has been brought to the front\n";
        return 0;
    }

    platform::AlsaBeeper beeper;
    const BeepSinkScope beeps(beeper);
    MessageBoxNotifier notifier;
    Station station(configuration_, notifier, options_.directory);
    station.startUp();
    const bool storedDemo = configuration_.demo;
    if (options_.demo)
        configuration_.demo = true;

    TNivraMainForm window(station, configuration_);
    notifier.setWindow(&window);
    QObject::connect(&window, &TNivraMainForm::closingDown, [this, storedDemo] { configuration_.demo = storedDemo; });
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &TNivraMainForm::bringToFront);

    int signalsSeen = 0;
    QSocketNotifier stopWatch(stopSignals.descriptor(), QSocketNotifier::Read);
    QObject::connect(&stopWatch, &QSocketNotifier::activated, [&] {
        while (stopSignals.wait(std::chrono::milliseconds(0)))
            ++signalsSeen;
        // The first ends after the running cycle, a second at once; the stores are saved either way.
        window.closeUnattended(signalsSeen > 1);
    });
    // Logging out ends the program soon whatever it does: the stores are saved first.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.closeUnattended(true); });

    if (options_.warmUp)
        station.system().requestWarmUp();
    window.show();
    application.exec();
    if (!window.closedDown())
        window.closeUnattended(true);
    return 0;
}

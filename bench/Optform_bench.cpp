// The working settings dialog on the window thread: what a press of F11 and of "OK" cost while
// the station runs (Qt's offscreen platform).
#include "Qtbenchmain.h"

#include "dialogs/Optform.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "testsupport/Recordingnotifier.h"
#include "testsupport/Scratchfolder.h"
#include "widgets/Mybutton.h"

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <memory>

namespace {

struct RunningStation {
    RunningStation()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (folder / "slots").c_str(), 1);
        configuration.loadProgramSettings(folder.path());
        configuration.settingsMode = true;
        system = std::make_unique<NivraSystem>(configuration, notifier, folder.path());
        configuration.saveProgramSettings();
    }

    platform::ScratchFolder folder{"nivra-optform-bench"};
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::unique_ptr<NivraSystem> system;
};

// Built, filled, shown and painted once: the dialog as the operator first sees it.
void openDialog(benchmark::State& state)
{
    RunningStation station;
    QImage picture(1024, 768, QImage::Format_RGB32);
    for (auto _ : state) {
        TOptForm form(*station.system, station.configuration);
        form.show();
        form.render(&picture);
        QApplication::processEvents();
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(openDialog)->Unit(benchmark::kMillisecond);

// "OK": every value stored under the link's lock, the limits, the settings file written with
// its fsync, the gas table replaced and announced.
void storeOnOk(benchmark::State& state)
{
    RunningStation station;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TOptForm>(*station.system, station.configuration);
        form->show();
        QApplication::processEvents();
        state.ResumeTiming();
        form->okButton()->click();
        benchmark::DoNotOptimize(form->result());
    }
}
BENCHMARK(storeOnOk)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    return bench::runQtBenchmarks(argc, argv);
}

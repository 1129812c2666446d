#pragma once

#include "app/Nivramainform.h"
#include "library/Decimalseparator.h"
#include "platform/Beep.h"
#include "settings/Configuration.h"
#include "settings/Inifile.h"
#include "station/Station.h"
#include "testsupport/Recordingnotifier.h"
#include "testsupport/Scratchfolder.h"
#include "views/Windowstyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mainwindow {

// The main window over a station of its own in a scratch folder, offscreen, its tones recorded.
class MainWindowFixture : public ::testing::Test {
protected:
    using Tone = std::pair<int, int>;

    MainWindowFixture()
    {
        ::setenv("NIVRA_MAILSLOT_DIR", (folder / "slots").c_str(), 1);
        lib::setDecimalSeparator(',');  // as on the operator's Russian desktop
        previousSink_ = platform::setBeepSink([this](int frequency, int milliseconds) {
            std::lock_guard lock(tonesMutex_);
            tones_.emplace_back(frequency, milliseconds);
        });
    }

    ~MainWindowFixture() override
    {
        if (window && !window->closedDown())
            window->closeUnattended(true);
        window.reset();
        station.reset();
        platform::setBeepSink(std::move(previousSink_));
        ::unsetenv("NIVRA_MAILSLOT_DIR");
        lib::setDecimalSeparator('.');
    }

    // Starts the station up, lets the test change its settings, then opens the window.
    TNivraMainForm& open(const std::function<void(Configuration&)>& adjust = {})
    {
        station.emplace(configuration, notifier, folder.path());
        station->startUp();
        configuration.remoteControl = false;
        configuration.firstStart = false;  // a test of the first start says so
        if (adjust)
            adjust(configuration);
        window = std::make_unique<TNivraMainForm>(*station, configuration);
        window->show();
        return *window;
    }

    std::vector<Tone> tones() const
    {
        std::lock_guard lock(tonesMutex_);
        return tones_;
    }

    // Answers the next modal message box with the given button; its text comes back through
    // the returned holder once it was answered.
    std::shared_ptr<std::optional<QString>> answerNextBox(QMessageBox::StandardButton button)
    {
        auto text = std::make_shared<std::optional<QString>>();
        auto poll = std::make_shared<std::function<void()>>();
        *poll = [text, poll, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *text = box->text();
                box->button(button)->click();
                *poll = nullptr;  // ends the cycle of the lambda holding itself
                return;
            }
            QTimer::singleShot(10, *poll);
        };
        QTimer::singleShot(0, *poll);
        return text;
    }

    std::string setting(std::string_view section, std::string_view key) const
    {
        lib::IniFile ini(folder / Configuration::iniFileName);
        return ini.readString(section, key, "<none>");
    }

    platform::ScratchFolder folder{"nivra-window"};
    Configuration configuration;
    platform::RecordingNotifier notifier;
    std::optional<Station> station;
    std::unique_ptr<TNivraMainForm> window;

private:
    platform::BeepSink previousSink_;
    mutable std::mutex tonesMutex_;
    std::vector<Tone> tones_;
};

} // namespace mainwindow

#pragma once

#include "app/Consolenotifier.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

class Configuration;
class Station;
class StopSignals;

// The station without windows: drives the same start-up, 400 ms tick and closing as the main
// window. Result lists go to out as key=value lines and an empty line, operator messages to err.
class HeadlessStation {
public:
    struct Options {
        std::filesystem::path directory;
        std::optional<int> cycles;  // press "Запуск" this many times in manual mode, then close
        bool demo = false;          // for this run only
        bool warmUp = false;        // the column warm-up before anything else
    };

    HeadlessStation(Configuration& configuration, Options options, std::ostream& out, std::ostream& err);
    ~HeadlessStation();

    // Runs until the cycles are done or a stop signal; 0, or 1 when a cycle failed.
    int run();

private:
    void startUp();
    void connectOutputs();
    void describeConfiguration();
    void closeDown();
    void loop();
    void tick();
    void startRequestedCycle();
    void report(const std::string& message);
    void printResults();

    Configuration& configuration_;
    const Options options_;
    std::ostream& out_;
    std::ostream& err_;
    ConsoleNotifier notifier_;
    std::unique_ptr<StopSignals> signals_;
    std::unique_ptr<Station> station_;

    bool storedDemo_ = false;
    std::int32_t storedWorkMode_ = 0;
    int stopSignals_ = 0;
    int cyclesEnded_ = 0;
    int failures_ = 0;
    std::string lastReport_;
};

#pragma once

#include <filesystem>

class Configuration;

// NivraExe with its windows: Qt's application with its Russian texts, one station per program
// folder, the operator's tones, message boxes, the main window over the station, and the stop
// signals and desktop log-out closing it through its closing sequence.
class WindowedStation {
public:
    struct Options {
        std::filesystem::path directory;
        bool demo = false;
        bool warmUp = false;
    };

    WindowedStation(Configuration& configuration, Options options);

    // Runs until the main window has closed; the exit status.
    int run(int& argc, char** argv);

private:
    Configuration& configuration_;
    const Options options_;
};

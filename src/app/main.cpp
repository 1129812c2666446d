#include "app/Commandline.h"

#include "library/Decimalseparator.h"
#include "platform/Programdirectory.h"
#include "settings/Configuration.h"

#include <filesystem>
#include <iostream>

namespace {

void printSettings(const Configuration& configuration)
{
    std::cout << configuration.windowCaption() << '\n'
              << "settings: " << configuration.iniPath << '\n'
              << "well: " << configuration.area << " / " << configuration.well << '\n'
              << "port: " << configuration.portName << ' ' << configuration.baudRate << '\n'
              << "cycle times:";
    for (const auto seconds : configuration.programmeTimes)
        std::cout << ' ' << seconds;
    std::cout << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    const auto parsed = CommandLine::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "NivraExe: " << *error << "\n\n" << CommandLine::usage();
        return 2;
    }
    const auto& line = std::get<CommandLine>(parsed);
    if (line.help) {
        std::cout << CommandLine::usage();
        return 0;
    }
    if (line.cycles.value_or(0) > 0) {
        // Saying so beats exiting 0 as if the analyses had run.
        std::cerr << "NivraExe: analysis cycles are not available in this build\n";
        return 1;
    }

    const auto directory = platform::resolveProgramDirectory(line.directory);
    if (!directory) {
        std::cerr << "NivraExe: no usable program folder"
                  << (line.directory ? ": " + line.directory->string() : std::string()) << '\n';
        return 1;
    }
    std::error_code error;
    std::filesystem::current_path(*directory, error);

    lib::setDecimalSeparator(lib::systemDecimalSeparator());
    auto& configuration = Configuration::instance();
    configuration.loadAtStartUp(*directory);
    configuration.saveProgramSettings();
    printSettings(configuration);

    // The work cycle and the windows are not part of this build yet: the station starts up,
    // checks and writes its settings, and closes.
    return 0;
}

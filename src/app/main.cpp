#include "app/Commandline.h"
#include "app/Headlessstation.h"

#include "library/Decimalseparator.h"
#include "platform/Programdirectory.h"
#include "settings/Configuration.h"
#ifdef NIVRA_WINDOWS
#include "app/Windowedstation.h"
#endif

#include <cstdlib>

#include <filesystem>
#include <iostream>

namespace {

[[maybe_unused]] bool hasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
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

    const auto directory = platform::resolveProgramDirectory(line.directory);
    if (!directory) {
        std::cerr << "NivraExe: no usable program folder"
                  << (line.directory ? ": " + line.directory->string() : std::string()) << '\n';
        return 1;
    }
    std::error_code error;
    std::filesystem::current_path(*directory, error);
    lib::setDecimalSeparator(lib::systemDecimalSeparator());

    if (!line.headless && !line.cycles) {
#ifdef NIVRA_WINDOWS
        if (hasDisplay()) {
            WindowedStation windows(Configuration::instance(), {*directory, line.demo, line.warmUp});
            return windows.run(argc, argv);
        }
        std::cerr << "NivraExe: no display; running without windows\n";
#else
        std::cerr << "NivraExe: the windows are not part of this build; running without them\n";
#endif
    }
    HeadlessStation station(Configuration::instance(), {*directory, line.cycles, line.demo, line.warmUp}, std::cout, std::cerr);
    return station.run();
}

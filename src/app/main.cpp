#include "app/Commandline.h"
#include "app/Headlessstation.h"

#include "library/Decimalseparator.h"
#include "platform/Programdirectory.h"
#include "settings/Configuration.h"

#include <filesystem>
#include <iostream>

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

    if (!line.headless)
        std::cerr << "NivraExe: the windows are not part of this build; running without them\n";
    HeadlessStation station(Configuration::instance(), {*directory, line.cycles, line.demo, line.warmUp}, std::cout, std::cerr);
    return station.run();
}

#include "app/Commandline.h"

#include "library/Numstr.h"

std::variant<CommandLine, std::string> CommandLine::parse(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--headless") {
            line.headless = true;
        } else if (argument == "--demo") {
            line.demo = true;
        } else if (argument == "--warm-up") {
            line.warmUp = true;
        } else if (argument == "--dir") {
            if (!hasValue || arguments[i + 1].empty())
                return std::string("--dir needs a folder");
            line.directory = arguments[++i];
        } else if (argument == "--cycles") {
            const auto count = hasValue ? lib::parseInteger(arguments[i + 1]) : std::nullopt;
            if (!count || *count < 0)
                return std::string("--cycles needs a whole number, 0 or more");
            line.cycles = *count;
            ++i;
        } else {
            return "unknown argument: " + argument;
        }
    }
    return line;
}

std::string CommandLine::usage()
{
    return "Usage: NivraExe [--headless] [--dir DIR] [--cycles N] [--demo] [--warm-up]\n"
           "\n"
           "Operator station of the mud-logging gas chromatograph.\n"
           "\n"
           "  --headless   run without windows (also when there is no display)\n"
           "  --dir DIR    program folder holding the settings and data\n"
           "               (default: the program's own folder, else ~/.local/share/nivra)\n"
           "  --cycles N   run N analyses by hand, then close (0: start up and close);\n"
           "               such a counted run is always headless\n"
           "  --demo       demonstration mode for this run: no instrument, synthetic signal\n"
           "  --warm-up    warm the columns up first (three cycles), as the menu command does\n"
           "  --help       this text\n"
           "\n"
           "With windows, one station runs per program folder: a second start brings the\n"
           "running window to the front. Headless without --cycles, the station runs by its\n"
           "stored work mode until SIGINT or SIGTERM, which end it after the running cycle; a\n"
           "second signal ends it at once (the windows close the same way). Headless, result\n"
           "lists go to stdout as key=value lines and an empty line, messages to stderr.\n";
}

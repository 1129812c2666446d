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
    return "Usage: NivraExe [--headless] [--dir DIR] [--cycles N] [--demo]\n"
           "\n"
           "Operator station of the mud-logging gas chromatograph.\n"
           "\n"
           "  --headless   run without windows\n"
           "  --dir DIR    program folder holding the settings and data\n"
           "               (default: the program's own folder, else ~/.local/share/nivra)\n"
           "  --cycles N   run N analyses by hand, then close (0: start up and close)\n"
           "  --demo       demonstration mode for this run: no instrument, synthetic signal\n"
           "  --help       this text\n";
}

// The station's files as the soak script needs them, through the station's own code so that
// the script neither hard-codes a record size nor edits a CP1251 settings file by hand.
//
//   nivra-soakprobe set-port DIR NAME   sets the instrument's port in DIR's settings
//   nivra-soakprobe records FILE        complete records in a results file, without opening it
//   nivra-soakprobe verify FILE         opens the results file and reads every record: prints
//                                       "records N" and "unordered M", the records whose time
//                                       is earlier than the one before or zero
#include "results/Regfile.h"
#include "results/Resultsfile.h"
#include "settings/Inifile.h"

#include <array>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

int setPort(const Arguments& arguments)
{
    const std::filesystem::path ini = std::filesystem::path(arguments[0]) / "хроматограф.ini";
    if (!std::filesystem::exists(ini)) {
        std::cerr << "nivra-soakprobe: no settings in " << arguments[0] << '\n';
        return 1;
    }
    lib::IniFile(ini).writeString("порт", "имя", arguments[1]);
    return 0;
}

// The count results::ResultsFile arrives at, read from the size alone: the station keeps
// writing while this runs.
int records(const Arguments& arguments)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(arguments[0], error);
    std::cout << (error ? 0 : size / reg_file::File::recordSize) << '\n';
    return 0;
}

int verify(const Arguments& arguments)
{
    if (!std::filesystem::exists(arguments[0])) {
        std::cerr << "nivra-soakprobe: no results file " << arguments[0] << '\n';
        return 1;
    }
    results::ResultsFile file;
    if (!file.open(arguments[0])) {
        std::cerr << "nivra-soakprobe: cannot open " << arguments[0] << '\n';
        return 1;
    }
    std::size_t unordered = 0;
    lib::LocalSeconds previous = 0;
    for (std::size_t i = 0; i < file.recordCount(); ++i) {
        const auto time = file.record(i).time;
        if (time == 0 || time < previous)
            ++unordered;
        previous = time;
    }
    std::cout << "records " << file.recordCount() << "\nunordered " << unordered << '\n';
    return 0;
}

struct Command {
    std::string_view name;
    std::size_t argumentCount;
    int (*run)(const Arguments& arguments);
};

constexpr std::array<Command, 3> commands{{
    {"set-port", 2, setPort},
    {"records", 1, records},
    {"verify", 1, verify},
}};

} // namespace

int main(int argc, char* argv[])
{
    const Arguments arguments(argv + 1, argv + argc);
    for (const auto& command : commands)
        if (!arguments.empty() && arguments[0] == command.name && arguments.size() == command.argumentCount + 1)
            return command.run(Arguments(arguments.begin() + 1, arguments.end()));
    std::cerr << "Usage: nivra-soakprobe set-port DIR NAME | records FILE | verify FILE\n";
    return 2;
}

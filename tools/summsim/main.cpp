#include "common/Signalstop.h"
#include "testsupport/Pseudoterminal.h"
#include "summsim/Simoptions.h"
#include "summsim/Summsimulator.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char* argv[])
{
    const auto parsed = summsim::SimOptions::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "nivra-summsim: " << *error << "\n\n" << summsim::SimOptions::usage();
        return 2;
    }
    const auto& options = std::get<summsim::SimOptions>(parsed);
    if (options.help) {
        std::cout << summsim::SimOptions::usage();
        return 0;
    }
    try {
        // Stop signals are caught from here on, so one sent as soon as the path shows is not lost.
        const tools::SignalStop stop;
        platform::PseudoTerminal terminal;
        summsim::SummSimulator simulator(terminal, options, std::cerr);
        std::cout << terminal.slavePath() << std::endl;
        return simulator.run(stop.fd()) ? 0 : 1;
    } catch (const std::runtime_error& error) {
        std::cerr << "nivra-summsim: " << error.what() << '\n';
        return 1;
    }
}

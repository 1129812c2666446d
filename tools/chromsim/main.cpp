#include "chromsim/Chromsimulator.h"
#include "chromsim/Simoptions.h"
#include "common/Signalstop.h"
#include "testsupport/Pseudoterminal.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char* argv[])
{
    const auto parsed = chromsim::SimOptions::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "nivra-chromsim: " << *error << "\n\n" << chromsim::SimOptions::usage();
        return 2;
    }
    const auto& options = std::get<chromsim::SimOptions>(parsed);
    if (options.help) {
        std::cout << chromsim::SimOptions::usage();
        return 0;
    }
    try {
        // Stop signals are caught from here on, so one sent as soon as the path shows is not lost.
        const tools::SignalStop stop;
        platform::PseudoTerminal terminal;
        chromsim::ChromSimulator simulator(terminal, options, std::cerr);
        std::cout << terminal.slavePath() << std::endl;
        return simulator.run(stop.fd()) ? 0 : 1;
    } catch (const std::runtime_error& error) {
        std::cerr << "nivra-chromsim: " << error.what() << '\n';
        return 1;
    }
}

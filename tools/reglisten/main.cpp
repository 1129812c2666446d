#include "common/Signalstop.h"
#include "reglisten/Registrationlistener.h"
#include "reglisten/Reglistenoptions.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char* argv[])
{
    const auto parsed = reglisten::ReglistenOptions::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "nivra-reglisten: " << *error << "\n\n" << reglisten::ReglistenOptions::usage();
        return 2;
    }
    const auto& options = std::get<reglisten::ReglistenOptions>(parsed);
    if (options.help) {
        std::cout << reglisten::ReglistenOptions::usage();
        return 0;
    }
    try {
        // Caught before anything is bound, so a stop sent as soon as the first line shows is not lost.
        const tools::SignalStop stop;
        reglisten::RegistrationListener listener(options, std::cout);
        if (!listener.valid()) {
            std::cerr << "nivra-reglisten: " << listener.errorText() << '\n';
            return 1;
        }
        if (!listener.run(stop.fd())) {
            std::cerr << "nivra-reglisten: waiting for messages failed\n";
            return 1;
        }
        return 0;
    } catch (const std::runtime_error& error) {
        std::cerr << "nivra-reglisten: " << error.what() << '\n';
        return 1;
    }
}

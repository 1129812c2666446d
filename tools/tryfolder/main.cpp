#include "tryfolder/Tryoptions.h"

#include <iostream>

int main(int argc, char* argv[])
{
    const auto parsed = tryfolder::TryOptions::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "nivra-tryfolder: " << *error << "\n\n" << tryfolder::TryOptions::usage();
        return 2;
    }
    const auto& options = std::get<tryfolder::TryOptions>(parsed);
    if (options.help) {
        std::cout << tryfolder::TryOptions::usage();
        return 0;
    }
    if (const auto error = tryfolder::TryFolder::prepare(options.plan, std::cout)) {
        std::cerr << "nivra-tryfolder: " << *error << '\n';
        return 1;
    }
    return 0;
}

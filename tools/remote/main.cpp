#include "platform/Mailslotclient.h"
#include "remote/Remotemessage.h"

#include <iostream>

namespace {

constexpr const char* stationMailslot = "chromatograph";

} // namespace

int main(int argc, char* argv[])
{
    const auto parsed = remote::RemoteMessage::parse({argv + 1, argv + argc});
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "nivra-remote: " << *error << "\n\n" << remote::RemoteMessage::usage();
        return 2;
    }
    const auto& message = std::get<remote::RemoteMessage>(parsed);
    if (message.helpWanted()) {
        std::cout << remote::RemoteMessage::usage();
        return 0;
    }
    const std::string bytes = message.bytes();
    if (bytes.size() > remote::RemoteMessage::stationMaximumSize)
        std::cerr << "nivra-remote: warning: the message has " << bytes.size() << " bytes; the station refuses more than "
                  << remote::RemoteMessage::stationMaximumSize << '\n';
    // Only the station of this computer is steered; nothing goes out on the network.
    platform::MailslotClient client(stationMailslot);
    client.setFallbackHost("");
    if (client.send(bytes) == platform::MailslotClient::Delivery::none) {
        std::cerr << "nivra-remote: no station listens on mailslot \"" << stationMailslot << "\" ("
                  << client.path().string() << "); is NivraExe running with remote control on?\n";
        return 1;
    }
    for (const auto& line : message.readableLines())
        std::cout << line << '\n';
    return 0;
}

#pragma once

#include "analysis/Calculatedgaz.h"
#include "library/Lockobject.h"
#include "platform/Mailslotclient.h"

#include <cstdint>
#include <string>
#include <string_view>

// Pushes analysis results and summator readings to the registration program as key=value
// texts through its mailslot. Sends come from the window, acquisition and summator threads;
// the sender's own lock keeps their messages whole.
class DataSender : public lib::lock_object {
public:
    static constexpr const char* summatorKey = "сумм_газ2";
    static constexpr const char* mailslotName = "Registration\\FixedData";

    // registrationComputer receives the datagram when no registration program runs here.
    explicit DataSender(std::string registrationComputer,
                        std::uint16_t fallbackPort = platform::MailslotClient::defaultFallbackPort);

    void setRegistrationComputer(std::string name);

    // text is UTF-8; the message is its CP1251 form and one zero byte. Failures are silent:
    // without a registration program the message is simply dropped.
    platform::MailslotClient::Delivery send(std::string_view text);

    void sendResults(const CalculatedGazes& results);
    void sendSummator(double value);
    void sendClosing();

    static std::string resultsText(const CalculatedGazes& results);
    static std::string summatorText(double value);
    static const char* closingText();

private:
    platform::MailslotClient client_;
};

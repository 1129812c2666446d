#include "links/Datasender.h"

#include "library/Codepage.h"
#include "library/Locker.h"
#include "library/Numstr.h"

namespace {

// What the registration program is told when the station closes: every value back to zero.
constexpr const char* closingBlock =
    "метан_абс=0\r\nэтан_абс=0\r\nпропан_абс=0\r\nбутан_абс=0\r\nпентан_абс=0\r\nгексан_абс=0\r\n"
    "сумм_газ=0\r\n"
    "метан_отн=0\r\nэтан_отн=0\r\nпропан_отн=0\r\nбутан_отн=0\r\nпентан_отн=0\r\nгексан_отн=0\r\n";

} // namespace

DataSender::DataSender(std::string registrationComputer, std::uint16_t fallbackPort)
    : client_(mailslotName, fallbackPort)
{
    client_.setFallbackHost(std::move(registrationComputer));
}

void DataSender::setRegistrationComputer(std::string name)
{
    lib::Locker hold(*this);
    client_.setFallbackHost(std::move(name));
}

platform::MailslotClient::Delivery DataSender::send(std::string_view text)
{
    std::string message = lib::toCp1251(text);
    message.push_back('\0');
    lib::Locker hold(*this);
    return client_.send(message);
}

std::string DataSender::resultsText(const CalculatedGazes& results)
{
    std::string text;
    for (const CalculatedGaz& result : results)
        text += result.key + "=" + lib::formatGeneral(result.concentration) + "\r\n";
    return text;
}

std::string DataSender::summatorText(double value)
{
    return std::string(summatorKey) + "=" + lib::formatGeneral(value);
}

const char* DataSender::closingText()
{
    return closingBlock;
}

void DataSender::sendResults(const CalculatedGazes& results)
{
    send(resultsText(results));
}

void DataSender::sendSummator(double value)
{
    send(summatorText(value));
}

void DataSender::sendClosing()
{
    send(closingText());
}

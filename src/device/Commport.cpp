#include "device/Commport.h"

#include "platform/Beep.h"

#include <chrono>
#include <thread>

bool CommPort::open(std::string_view name)
{
    if (isOpen() || !port_.open(name))
        return false;
    name_ = name;
    return true;
}

bool CommPort::configure(std::int32_t speed, std::int32_t parityKey, std::int32_t timeoutMs, std::int32_t)
{
    if (!isOpen())
        return false;
    speed_ = speed;
    parityKey_ = parityKey;
    timeoutMs_ = timeoutMs;
    if (!port_.configure(platform::SerialPort::modeString(speed, parityKey)))
        return false;
    port_.setTimeouts(std::chrono::milliseconds(timeoutMs), std::chrono::milliseconds(timeoutMs));
    return true;
}

bool CommPort::close()
{
    if (!isOpen())
        return false;
    port_.close();
    return true;
}

bool CommPort::reopen()
{
    if (!isOpen())
        return false;
    close();
    return open(name_) && configure(speed_, parityKey_, timeoutMs_);
}

void CommPort::recoverFromFailedRead(int beepMs, bool pause)
{
    reopen();
    platform::beep(1000, beepMs);
    if (pause)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool CommPort::expectText(std::string_view text)
{
    if (!isOpen())
        return false;
    for (const char expected : text) {
        std::uint8_t byte = 0;
        const auto result = port_.read({&byte, 1});
        if (!result.ok) {
            recoverFromFailedRead(5, true);
            return false;
        }
        if (result.count == 0) {
            errorFlag = true;
            return false;
        }
        if (byte != static_cast<std::uint8_t>(expected))
            return false;
    }
    return true;
}

bool CommPort::readExact(std::span<std::uint8_t> buffer, std::size_t* count)
{
    if (!isOpen())
        return false;
    const auto result = port_.read(buffer);
    if (!result.ok) {
        recoverFromFailedRead(20, false);
        return false;
    }
    if (result.count < buffer.size())
        errorFlag = true;
    if (count)
        *count = result.count;
    return true;
}

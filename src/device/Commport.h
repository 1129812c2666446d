#pragma once

#include "platform/Serialport.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A general serial port, as the external gas summator uses it: a failed read reopens the port
// on the spot; a short read raises the error flag.
class CommPort {
public:
    bool isOpen() const { return port_.isOpen(); }
    bool open(std::string_view name);
    // Parity keys 0 n, 1 o, 2 e, 3 m, 4 s; eight data bits and one stop bit always.
    // inputQueue -1 leaves the driver's queue as it is (the kernel's buffer is used anyway).
    bool configure(std::int32_t speed, std::int32_t parityKey, std::int32_t timeoutMs, std::int32_t inputQueue = -1);
    bool close();
    bool reopen();
    // Drops what has arrived and not been read.
    void discardInput() { port_.discardInput(); }

    // Byte by byte; the first wrong byte fails at once.
    bool expectText(std::string_view text);
    // One read of buffer.size() bytes; count receives what arrived.
    bool readExact(std::span<std::uint8_t> buffer, std::size_t* count = nullptr);

    bool errorFlag = false;
    const std::string& name() const { return name_; }
    std::int32_t timeoutMs() const { return timeoutMs_; }

private:
    void recoverFromFailedRead(int beepMs, bool pause);

    platform::SerialPort port_;
    std::int32_t speed_ = 0;
    std::int32_t parityKey_ = 0;
    std::string name_;
    std::int32_t timeoutMs_ = 500;
};

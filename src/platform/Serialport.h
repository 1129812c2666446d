#pragma once

#include "platform/Bytechannel.h"
#include "platform/Filedescriptor.h"

#include <array>
#include <chrono>
#include <string>
#include <string_view>

namespace platform {

// A serial port through termios: raw mode, the line set by a mode text such as "19200,n,8,1",
// reads bounded by an interval and a total time-out as on the instrument's original platform.
// A failed read (device gone, line error) reports ok = false and never waits.
class SerialPort : public ByteChannel {
public:
    // "COM3" is /dev/ttyS2; a name that starts with "/" is a path as it stands.
    static std::string devicePath(std::string_view name);

    SerialPort() = default;
    ~SerialPort() override { close(); }
    SerialPort(SerialPort&&) noexcept = default;
    SerialPort& operator=(SerialPort&&) noexcept = default;

    // Opens an existing terminal device for this process alone; false for anything else.
    bool open(std::string_view name);
    bool isOpen() const { return fd_.valid(); }
    // Lifts the exclusive use first: on a terminal that someone else also holds open (a
    // pseudo-terminal's peer) the flag would outlive this close and refuse the next open.
    void close();

    // Speed, parity letter (n o e m s), data bits, stop bits ("1", "1.5" taken as 2, "2").
    bool configure(std::string_view mode);
    // The mode text from the settings' indices: parity 0 n, 1 o, 2 e, 3 m, 4 s; stop bits
    // 0 "1", 1 "1.5", 2 "2"; eight data bits. An unknown index adds nothing.
    static std::string modeString(std::int32_t speed, std::int32_t parityIndex, std::int32_t stopBitsIndex = 0);
    void setTimeouts(std::chrono::milliseconds interval, std::chrono::milliseconds total);
    // Raises RTS; a device without modem lines (a pseudo-terminal) refuses, which is fine.
    void raiseRts();
    // Drops what arrived before: a command's answer must not be looked for in old frames.
    void discardInput();

    ReadResult read(std::span<std::uint8_t> buffer) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void clearError() override;

private:
    std::size_t takePending(std::span<std::uint8_t> buffer);

    FileDescriptor fd_;
    // Bytes read ahead: the frame reader asks for one byte, then three; reading what has
    // arrived in one call keeps the system calls per frame well below one.
    std::array<std::uint8_t, 256> pending_{};
    std::size_t pendingBegin_ = 0;
    std::size_t pendingEnd_ = 0;
    std::chrono::milliseconds interval_{1000};
    std::chrono::milliseconds total_{1000};
};

} // namespace platform

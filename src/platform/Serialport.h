#pragma once

#include "platform/Bytechannel.h"
#include "platform/Filedescriptor.h"

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
    ~SerialPort() override = default;
    SerialPort(SerialPort&&) noexcept = default;
    SerialPort& operator=(SerialPort&&) noexcept = default;

    // Opens an existing terminal device for this process alone; false for anything else.
    bool open(std::string_view name);
    bool isOpen() const { return fd_.valid(); }
    void close() { fd_.close(); }

    // Speed, parity letter (n o e m s), data bits, stop bits ("1", "1.5" taken as 2, "2").
    bool configure(std::string_view mode);
    void setTimeouts(std::chrono::milliseconds interval, std::chrono::milliseconds total);
    // Raises RTS; a device without modem lines (a pseudo-terminal) refuses, which is fine.
    void raiseRts();

    ReadResult read(std::span<std::uint8_t> buffer) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void clearError() override;

private:
    FileDescriptor fd_;
    std::chrono::milliseconds interval_{1000};
    std::chrono::milliseconds total_{1000};
};

} // namespace platform

#pragma once

#include "platform/Filedescriptor.h"
#include "platform/Filemapping.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A binary stream of texts (bytes + one 0 byte), 32-bit integers and reals (low byte first)
// and single bytes, used for the channel list beside the results file.
//
// Writing collects bytes in a fixed buffer that goes out whenever it fills, into a new file
// beside the target; close() puts that file in place of the old one in one step, so a crash
// leaves the old list or the new one. A stream destroyed without close() leaves the target
// untouched.
//
// Reading maps the whole file; a read past the end of the data yields an empty text or 0 and
// marks the stream exhausted.
class STRUCT_FILE {
public:
    static constexpr std::size_t bufferSize = 65536;

    STRUCT_FILE() = default;
    ~STRUCT_FILE();
    STRUCT_FILE(const STRUCT_FILE&) = delete;
    STRUCT_FILE& operator=(const STRUCT_FILE&) = delete;

    bool openWrite(const std::filesystem::path& path);
    bool openRead(const std::filesystem::path& path);
    // For writing: false when any byte failed to reach the file (the old file then stays).
    bool close();

    bool writing() const { return output_.valid(); }
    bool reading() const { return readingOpen_; }

    // A text stops at its first 0 byte, which would otherwise end it early on reading.
    void writeText(std::string_view bytes);
    void writeInt32(std::int32_t value);
    void writeReal32(float value);
    void writeByte(std::uint8_t value);

    std::string readText();
    std::int32_t readInt32();
    float readReal32();
    std::uint8_t readByte();

    // True once a read found less data than it needed.
    bool exhausted() const { return exhausted_; }
    bool atEnd() const { return position_ >= input_.size(); }

private:
    void put(const char* bytes, std::size_t count);
    bool flushBuffer();
    void abandonWrite();
    bool take(char* bytes, std::size_t count);
    std::uint32_t readUnsigned();
    void writeUnsigned(std::uint32_t value);

    // writing
    std::filesystem::path target_;
    std::string temporaryName_;
    platform::FileDescriptor output_;
    std::vector<char> buffer_;
    bool writeFailed_ = false;
    // reading
    results::FileMapping input_;
    bool readingOpen_ = false;
    std::size_t position_ = 0;
    bool exhausted_ = false;
};

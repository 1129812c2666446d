#include "results/Structfile.h"

#include "platform/Filesteps.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::directoryOf;

STRUCT_FILE::~STRUCT_FILE()
{
    abandonWrite();
}

bool STRUCT_FILE::openWrite(const std::filesystem::path& path)
{
    close();
    target_ = path;
    output_ = platform::createTemporaryFor(path, temporaryName_);
    if (!output_.valid())
        return false;
    ::fchmod(output_.get(), platform::modeFor(path));
    buffer_.clear();
    buffer_.reserve(bufferSize);
    writeFailed_ = false;
    return true;
}

bool STRUCT_FILE::openRead(const std::filesystem::path& path)
{
    close();
    const platform::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    input_ = results::FileMapping(fd.get(), static_cast<std::size_t>(info.st_size), false);
    if (input_.empty() && info.st_size != 0)
        return false;
    readingOpen_ = true;
    position_ = 0;
    exhausted_ = false;
    return true;
}

bool STRUCT_FILE::close()
{
    readingOpen_ = false;
    input_ = results::FileMapping();
    position_ = 0;
    if (!writing())
        return true;
    const bool written = flushBuffer() && ::fsync(output_.get()) == 0;
    // Renamed while still open: the lock keeps other writers' clean-up away from the copy.
    if (!written || ::rename(temporaryName_.c_str(), target_.c_str()) != 0) {
        abandonWrite();
        return false;
    }
    output_.close();
    platform::syncDirectory(directoryOf(target_));
    return true;
}

void STRUCT_FILE::abandonWrite()
{
    if (!writing())
        return;
    ::unlink(temporaryName_.c_str());
    output_.close();
}

void STRUCT_FILE::put(const char* bytes, std::size_t count)
{
    if (!writing())
        return;
    while (count > 0) {
        const std::size_t room = bufferSize - buffer_.size();
        const std::size_t part = count < room ? count : room;
        buffer_.insert(buffer_.end(), bytes, bytes + part);
        bytes += part;
        count -= part;
        if (buffer_.size() == bufferSize)
            flushBuffer();
    }
}

bool STRUCT_FILE::flushBuffer()
{
    if (!writeFailed_ && !platform::writeAll(output_.get(), buffer_.data(), buffer_.size()))
        writeFailed_ = true;
    buffer_.clear();
    return !writeFailed_;
}

void STRUCT_FILE::writeText(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));
    put(bytes.data(), bytes.size());
    const char terminator = 0;
    put(&terminator, 1);
}

void STRUCT_FILE::writeUnsigned(std::uint32_t value)
{
    char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    put(bytes, sizeof bytes);
}

void STRUCT_FILE::writeInt32(std::int32_t value)
{
    writeUnsigned(static_cast<std::uint32_t>(value));
}

void STRUCT_FILE::writeReal32(float value)
{
    writeUnsigned(std::bit_cast<std::uint32_t>(value));
}

void STRUCT_FILE::writeByte(std::uint8_t value)
{
    const char byte = static_cast<char>(value);
    put(&byte, 1);
}

bool STRUCT_FILE::take(char* bytes, std::size_t count)
{
    if (count > input_.size() - position_) {
        position_ = input_.size();
        exhausted_ = true;
        return false;
    }
    std::memcpy(bytes, input_.data() + position_, count);
    position_ += count;
    return true;
}

std::string STRUCT_FILE::readText()
{
    if (atEnd()) {
        exhausted_ = true;
        return {};
    }
    const char* start = input_.data() + position_;
    const std::size_t left = input_.size() - position_;
    const void* terminator = std::memchr(start, 0, left);
    if (terminator == nullptr) {
        // The data ends inside the text: the text is what there is.
        position_ = input_.size();
        exhausted_ = true;
        return std::string(start, left);
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(terminator) - start);
    position_ += length + 1;
    return std::string(start, length);
}

std::uint32_t STRUCT_FILE::readUnsigned()
{
    char bytes[4];
    if (!take(bytes, sizeof bytes))
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return value;
}

std::int32_t STRUCT_FILE::readInt32()
{
    return static_cast<std::int32_t>(readUnsigned());
}

float STRUCT_FILE::readReal32()
{
    return std::bit_cast<float>(readUnsigned());
}

std::uint8_t STRUCT_FILE::readByte()
{
    char byte = 0;
    if (!take(&byte, 1))
        return 0;
    return static_cast<std::uint8_t>(byte);
}

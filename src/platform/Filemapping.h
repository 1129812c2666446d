#pragma once

#include <cstddef>

namespace results {

// A shared mapping of the first size bytes of an open file; unmapped on destruction. An empty
// file cannot be mapped, so a mapping of size 0 is simply empty.
class FileMapping {
public:
    FileMapping() = default;
    // Nothing mapped (empty()) when size is 0 or the system refuses.
    FileMapping(int fd, std::size_t size, bool writable);
    ~FileMapping();
    FileMapping(FileMapping&& other) noexcept;
    FileMapping& operator=(FileMapping&& other) noexcept;
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    bool empty() const { return data_ == nullptr; }
    std::size_t size() const { return size_; }
    const char* data() const { return data_; }
    char* data() { return data_; }

    // Sends a changed range to the file now, so that it survives a crash of this process.
    bool flush(std::size_t offset, std::size_t length);

private:
    void unmap();

    char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace results

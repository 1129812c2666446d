#include "platform/Filemapping.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace results {

FileMapping::FileMapping(int fd, std::size_t size, bool writable)
{
    if (fd < 0 || size == 0)
        return;
    const int protection = writable ? PROT_READ | PROT_WRITE : PROT_READ;
    void* address = ::mmap(nullptr, size, protection, MAP_SHARED, fd, 0);
    if (address == MAP_FAILED)
        return;
    data_ = static_cast<char*>(address);
    size_ = size;
}

FileMapping::~FileMapping()
{
    unmap();
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept
{
    if (this != &other) {
        unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool FileMapping::flush(std::size_t offset, std::size_t length)
{
    if (empty() || offset >= size_)
        return false;
    if (length > size_ - offset)
        length = size_ - offset;
    // msync wants a page-aligned start.
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t start = offset - offset % page;
    return ::msync(data_ + start, length + (offset - start), MS_SYNC) == 0;
}

void FileMapping::unmap()
{
    if (data_ != nullptr)
        ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace results

#include "results/Resultsfile.h"

#include "platform/Atomicfile.h"
#include "platform/Filesteps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace results {
namespace {

constexpr std::size_t recordSize = reg_file::File::recordSize;

} // namespace

bool ResultsFile::open(const std::filesystem::path& path)
{
    close();
    path_ = path;
    platform::FileDescriptor fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const auto size = static_cast<std::size_t>(info.st_size);
    FileMapping mapping(fd.get(), size, true);
    if (mapping.empty() && size != 0)
        return false;
    fd_ = std::move(fd);
    mapping_ = std::move(mapping);
    count_ = size / recordSize;
    return true;
}

void ResultsFile::close()
{
    mapping_ = FileMapping();
    fd_.close();
    count_ = 0;
}

bool ResultsFile::reopen()
{
    const std::filesystem::path path = path_;
    return open(path);
}

reg_file::File ResultsFile::record(std::size_t index) const
{
    return reg_file::File::fromBytes(mapping_.data() + index * recordSize);
}

bool ResultsFile::append(const reg_file::File& record)
{
    if (!isOpen())
        return false;
    // Created again when another program removed it meanwhile: the analysis is not lost.
    platform::FileDescriptor out(::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    struct stat info {};
    if (!out.valid() || ::fstat(out.get(), &info) != 0)
        return false;
    // After the last complete record: a torn one left by a crash is overwritten.
    const off_t end = info.st_size - info.st_size % static_cast<off_t>(recordSize);
    const reg_file::File::Bytes bytes = record.bytes();
    const bool stored = platform::writeAllAt(out.get(), bytes.data(), bytes.size(), end) && ::fdatasync(out.get()) == 0;
    if (!stored) {
        // Never leave part of a record behind, nor one that is not known to be on the disk.
        if (::ftruncate(out.get(), end) == 0)
            ::fdatasync(out.get());
        return false;
    }
    if (!out.close())
        return false;
    // The first record may sit in a file just made: without its name on the disk a power cut
    // would lose the file with the record.
    if (end == 0)
        platform::syncDirectory(platform::directoryOf(path_));
    return reopen();
}

char* ResultsFile::recordAt(std::size_t index)
{
    return mapping_.data() + index * recordSize;
}

void ResultsFile::flushRecord(std::size_t index)
{
    mapping_.flush(index * recordSize, recordSize);
}

void ResultsFile::setDepth(std::size_t index, float depth)
{
    if (index >= count_)
        return;
    reg_file::File::storeReal(recordAt(index), reg_file::File::depthOffset, depth);
    flushRecord(index);
}

void ResultsFile::setValue(std::size_t index, std::size_t slot, float value)
{
    if (index >= count_ || slot >= reg_file::File::slotCount)
        return;
    reg_file::File::storeReal(recordAt(index), reg_file::File::valueOffset(slot), value);
    flushRecord(index);
}

void ResultsFile::zeroValues(std::size_t index)
{
    if (index >= count_)
        return;
    for (std::size_t slot = 0; slot < reg_file::File::slotCount; ++slot)
        reg_file::File::storeReal(recordAt(index), reg_file::File::valueOffset(slot), 0.0F);
    flushRecord(index);
}

bool ResultsFile::eraseRecords(std::size_t first, std::size_t last)
{
    if (!isOpen() || first > last || first >= count_)
        return false;
    last = std::min(last, count_ - 1);
    const char* records = mapping_.data();
    std::string kept;
    kept.reserve((count_ - (last - first + 1)) * recordSize);
    kept.append(records, first * recordSize);
    kept.append(records + (last + 1) * recordSize, (count_ - last - 1) * recordSize);
    if (!platform::writeFileAtomically(path_, kept))
        return false;
    return reopen();
}

bool ResultsFile::clear()
{
    if (path_.empty())
        return false;
    // An empty file is not worth a copy: clearing twice must not overwrite the copy of the records.
    struct stat info {};
    const bool empty = isOpen() && ::fstat(fd_.get(), &info) == 0 && info.st_size == 0;
    close();
    if (empty)
        return reopen();
    std::filesystem::path backup = path_;
    backup += backupSuffix;
    if (::rename(path_.c_str(), backup.c_str()) != 0 && errno != ENOENT) {
        // Without a copy to fall back on the records stay.
        reopen();
        return false;
    }
    platform::syncDirectory(platform::directoryOf(path_));
    return reopen();
}

} // namespace results

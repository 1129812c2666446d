#pragma once

#include "platform/Filedescriptor.h"
#include "platform/Filemapping.h"
#include "results/Regfile.h"

#include <cstddef>
#include <filesystem>

namespace results {

// The well's results file "data.tim", open for reading and writing and mapped whole for the
// run. Other programs may read and write it at the same time, so nothing is locked.
//
// The record count is the mapped size divided by the record size: a partial record left at
// the end by a crash is never counted, and the next append writes over it.
class ResultsFile {
public:
    static constexpr const char* backupSuffix = ".bak";

    ResultsFile() = default;
    ResultsFile(const ResultsFile&) = delete;
    ResultsFile& operator=(const ResultsFile&) = delete;

    // Opens or creates the file; false (and closed) when it cannot be opened or mapped.
    bool open(const std::filesystem::path& path);
    void close();
    bool isOpen() const { return fd_.valid(); }
    const std::filesystem::path& path() const { return path_; }

    std::size_t recordCount() const { return count_; }
    // index < recordCount()
    reg_file::File record(std::size_t index) const;

    // Writes the whole record after the last complete one and waits until it is on the disk
    // before the count includes it; a record that could not be written whole is cut off again.
    // Then the file is opened again and remapped.
    bool append(const reg_file::File& record);

    // Changes of stored records, written straight into the mapping and flushed.
    void setDepth(std::size_t index, float depth);
    void setValue(std::size_t index, std::size_t slot, float value);
    void zeroValues(std::size_t index);

    // Keeps every record outside first … last, in order. The kept records go to a new file that
    // replaces this one in one step: a crash leaves the old file or the new one.
    bool eraseRecords(std::size_t first, std::size_t last);

    // Moves the file aside as path + backupSuffix (replacing an older one) and starts an empty
    // one, so that a mistaken clear can be undone by hand. An empty file is only kept open, so
    // a second clear does not overwrite the copy.
    bool clear();

private:
    bool reopen();
    char* recordAt(std::size_t index);
    void flushRecord(std::size_t index);

    std::filesystem::path path_;
    platform::FileDescriptor fd_;
    FileMapping mapping_;
    std::size_t count_ = 0;
};

} // namespace results

#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// A fresh folder of its own ("<prefix>-XXXXXX" under parent), removed with everything in it when
// the object goes. For tests, benchmarks and fuzz targets, which must not share or leave files.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view prefix = "nivra",
                           const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Memory-backed where the machine has one (/dev/shm), so that syncing files costs nothing.
    static std::filesystem::path inMemoryParent();

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace platform

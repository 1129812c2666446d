#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

class IniFileContents;

// An open settings file. Names and values are UTF-8 here and CP1251 in the file.
//
// Every write is seen by any later open of the same file in this process: all opens of one
// path share one text. The writes reach the disk together when the last open of the file
// closes, through an atomic replace, so a crash never leaves a half-written file. A file that
// cannot be read counts as empty; a file that cannot be written keeps its old contents,
// silently.
class IniFile {
public:
    explicit IniFile(const std::filesystem::path& path);
    // A file that lives only in memory: for parsing outside bytes and for tests.
    static IniFile inMemory(std::string_view cp1251Bytes = {});
    ~IniFile();
    IniFile(IniFile&&) noexcept;
    IniFile& operator=(IniFile&&) = delete;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::optional<std::string> read(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);
    void eraseSection(std::string_view section);
    bool sectionExists(std::string_view section) const;
    std::vector<std::string> keys(std::string_view section) const;

    // The file's text as it would be written now (CP1251, CR LF).
    std::string text() const;

private:
    IniFile(std::filesystem::path path, std::shared_ptr<IniFileContents> contents);
    void close();

    std::filesystem::path path_;
    std::shared_ptr<IniFileContents> contents_;
};

} // namespace lib

#include "settings/Inifile.h"

#include "library/Codepage.h"
#include "library/Numstr.h"
#include "platform/Atomicfile.h"
#include "settings/Inidocument.h"

#include <map>
#include <mutex>

namespace lib {

// The text of one file shared by all its opens, with the lock that the opens of several
// threads take for each read or write.
class IniFileContents {
public:
    explicit IniFileContents(IniDocument document) : document_(std::move(document)) {}

    template <typename Action>
    auto withDocument(Action&& action)
    {
        std::lock_guard lock(mutex_);
        return action(document_);
    }
    void markChanged(bool changed)
    {
        if (changed)
            changed_ = true;
    }
    bool changed() const { return changed_; }
    // Only for the last open, which no other thread can reach any more: no lock needed.
    std::string serializeAsSoleOwner() const { return document_.serialize(); }

private:
    std::mutex mutex_;
    IniDocument document_;
    bool changed_ = false;
};

namespace {

// The files open in this process, so that a later open sees the writes of an earlier one that
// is still open. Its lock is also held while the last open of a file writes it out, so that a
// new open never reads a file that is about to be replaced.
class OpenFiles {
public:
    static OpenFiles& instance()
    {
        static OpenFiles files;
        return files;
    }

    std::shared_ptr<IniFileContents> open(const std::filesystem::path& key)
    {
        std::lock_guard lock(mutex_);
        if (auto existing = files_[key].lock())
            return existing;
        auto bytes = platform::readWholeFile(key);
        auto contents = std::make_shared<IniFileContents>(IniDocument::parse(bytes.value_or(std::string())));
        files_[key] = contents;
        return contents;
    }

    void close(const std::filesystem::path& key, std::shared_ptr<IniFileContents> contents)
    {
        std::lock_guard lock(mutex_);
        if (contents.use_count() > 1) {
            // Another open still holds it and writes when it closes. Letting go under the lock
            // orders this open's writes before that last close.
            contents.reset();
            return;
        }
        files_.erase(key);
        if (contents->changed())
            platform::writeFileAtomically(key, contents->serializeAsSoleOwner());
    }

private:
    std::mutex mutex_;
    std::map<std::filesystem::path, std::weak_ptr<IniFileContents>> files_;
};

std::filesystem::path registryKey(const std::filesystem::path& path)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

} // namespace

IniFile::IniFile(const std::filesystem::path& path)
    : path_(registryKey(path)), contents_(OpenFiles::instance().open(path_))
{
}

IniFile::IniFile(std::filesystem::path path, std::shared_ptr<IniFileContents> contents)
    : path_(std::move(path)), contents_(std::move(contents))
{
}

IniFile IniFile::inMemory(std::string_view cp1251Bytes)
{
    return IniFile({}, std::make_shared<IniFileContents>(IniDocument::parse(cp1251Bytes)));
}

IniFile::IniFile(IniFile&& other) noexcept
    : path_(std::move(other.path_)), contents_(std::move(other.contents_))
{
}

IniFile::~IniFile()
{
    close();
}

void IniFile::close()
{
    if (!contents_)
        return;
    if (path_.empty()) {
        contents_.reset();
        return;
    }
    try {
        OpenFiles::instance().close(path_, std::move(contents_));
    } catch (...) {
        // A settings file that cannot be written keeps its old contents; nothing to report.
    }
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const
{
    const auto value = contents_->withDocument(
        [&](IniDocument& d) { return d.read(toCp1251(section), toCp1251(key)); });
    if (!value)
        return std::nullopt;
    return fromCp1251(*value);
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = read(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    const auto value = read(section, key);
    return value ? parseInteger(*value).value_or(fallback) : fallback;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string s = toCp1251(section), k = toCp1251(key), v = toCp1251(value);
    contents_->withDocument([&](IniDocument& d) { contents_->markChanged(d.write(s, k, v)); });
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::eraseSection(std::string_view section)
{
    const std::string s = toCp1251(section);
    contents_->withDocument([&](IniDocument& d) { contents_->markChanged(d.eraseSection(s)); });
}

bool IniFile::sectionExists(std::string_view section) const
{
    const std::string s = toCp1251(section);
    return contents_->withDocument([&](IniDocument& d) { return d.hasSection(s); });
}

std::vector<std::string> IniFile::keys(std::string_view section) const
{
    const std::string s = toCp1251(section);
    auto names = contents_->withDocument([&](IniDocument& d) { return d.keys(s); });
    for (auto& name : names)
        name = fromCp1251(name);
    return names;
}

std::string IniFile::text() const
{
    return contents_->withDocument([](IniDocument& d) { return d.serialize(); });
}

} // namespace lib

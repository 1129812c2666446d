#pragma once

#include "settings/Iniserialitem.h"

#include <filesystem>
#include <string>

namespace lib {

class IniFile;

// A list stored in one section as "size" and "item1", "item2", … A section without a usable
// "size" leaves the list as it is.
class IniSerialData {
public:
    // Sizes above this are damage, not lists; such a section is left alone like a missing one.
    static constexpr int maximumSize = 100000;

    explicit IniSerialData(std::string section) : section(std::move(section)) {}
    virtual ~IniSerialData() = default;

    void saveList(const std::filesystem::path& path);
    void loadList(const std::filesystem::path& path);
    void saveList(IniFile& ini);
    void loadList(IniFile& ini);

    const std::string section;

protected:
    virtual int count() const = 0;
    virtual IniSerialItem& item(int index) = 0;
    virtual void resize(int size) = 0;
    virtual void afterSave(IniFile& ini);
    virtual void afterLoad(IniFile& ini);
};

} // namespace lib

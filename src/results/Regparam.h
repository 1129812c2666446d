#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class STRUCT_FILE;

namespace reg_file {

// The descriptor of one value slot of the results records, as the channel list "inpgti.nbl"
// holds it for the other programs of the station. Texts are UTF-8 here and CP1251 in the file.
struct Param {
    std::string name;
    std::string secondName;
    std::string unit;
    std::string key;
    std::int32_t number1 = -1;
    float range1 = 100.0F;
    float range2 = 100.0F;
    float real3 = 0;
    float real4 = 0;
    std::int32_t number2 = 1;
    std::uint8_t flag = 0;

    // The descriptor of a concentration in percent.
    static Param percent(const std::string& name, const std::string& key);

    void write(STRUCT_FILE& file) const;
    // Nothing when the data ends before the descriptor is complete.
    static std::optional<Param> read(STRUCT_FILE& file);

    bool operator==(const Param&) const = default;
};

using Params = std::vector<Param>;

constexpr std::size_t maxParams = 32;

// The channel list: at most maxParams descriptors, or fewer when the data ends; a missing or
// unreadable file gives none.
Params readChannelList(const std::filesystem::path& path);
// How many bytes the channel list of these descriptors takes.
std::size_t channelListSize(const Params& params);
// Replaces the file with the descriptors one after the other, no header and no count.
bool writeChannelList(const std::filesystem::path& path, const Params& params);

} // namespace reg_file

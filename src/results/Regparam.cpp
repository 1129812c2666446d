#include "results/Regparam.h"

#include "library/Codepage.h"
#include "results/Structfile.h"

namespace reg_file {

Param Param::percent(const std::string& name, const std::string& key)
{
    Param param;
    param.name = name;
    param.secondName = name;
    param.unit = "%";
    param.key = key;
    return param;
}

void Param::write(STRUCT_FILE& file) const
{
    file.writeText(lib::toCp1251(name));
    file.writeText(lib::toCp1251(secondName));
    file.writeText(lib::toCp1251(unit));
    file.writeText(lib::toCp1251(key));
    file.writeInt32(number1);
    file.writeReal32(range1);
    file.writeReal32(range2);
    file.writeReal32(real3);
    file.writeReal32(real4);
    file.writeInt32(number2);
    file.writeByte(flag);
}

std::optional<Param> Param::read(STRUCT_FILE& file)
{
    Param param;
    param.name = lib::fromCp1251(file.readText());
    param.secondName = lib::fromCp1251(file.readText());
    param.unit = lib::fromCp1251(file.readText());
    param.key = lib::fromCp1251(file.readText());
    param.number1 = file.readInt32();
    param.range1 = file.readReal32();
    param.range2 = file.readReal32();
    param.real3 = file.readReal32();
    param.real4 = file.readReal32();
    param.number2 = file.readInt32();
    param.flag = file.readByte();
    if (file.exhausted())
        return std::nullopt;
    return param;
}

Params readChannelList(const std::filesystem::path& path)
{
    Params params;
    STRUCT_FILE file;
    if (!file.openRead(path))
        return params;
    while (params.size() < maxParams && !file.atEnd()) {
        auto param = Param::read(file);
        if (!param)
            break;
        params.push_back(std::move(*param));
    }
    return params;
}

std::size_t channelListSize(const Params& params)
{
    constexpr std::size_t numbersAndFlag = 6 * 4 + 1;
    const auto textSize = [](const std::string& text) {
        const std::string bytes = lib::toCp1251(text);
        return bytes.substr(0, bytes.find('\0')).size() + 1;
    };
    std::size_t size = 0;
    for (const Param& param : params)
        size += textSize(param.name) + textSize(param.secondName) + textSize(param.unit) + textSize(param.key)
                + numbersAndFlag;
    return size;
}

bool writeChannelList(const std::filesystem::path& path, const Params& params)
{
    STRUCT_FILE file;
    if (!file.openWrite(path))
        return false;
    for (const Param& param : params)
        param.write(file);
    return file.close();
}

} // namespace reg_file

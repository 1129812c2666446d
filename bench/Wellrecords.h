#pragma once

// A well of many analyses for the benchmarks of the results table: six gases, the total and six
// shares, values varying from one analysis to the next.
#include "analysis/Calculatedgaz.h"
#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Textgrid.h"
#include "testsupport/Scratchfolder.h"

#include <fstream>
#include <string>

namespace bench {

inline void fillWell(const platform::ScratchFolder& folder, int records)
{
    const char* gases[] = {"метан", "этан", "пропан", "ибутан", "нбутан", "пентан"};
    reg_file::Params params;
    for (const char* gas : gases)
        params.push_back(reg_file::Param::percent(gas, std::string(gas) + "_абс"));
    params.push_back(reg_file::Param::percent(CalculatedGaz::totalName, CalculatedGaz::totalName));
    for (const char* gas : gases)
        params.push_back(reg_file::Param::percent(std::string(gas) + "_отн", std::string(gas) + "_отн"));
    reg_file::writeChannelList(folder.path() / TextGrid::channelListName, params);

    std::ofstream file(folder / "data.tim", std::ios::binary);
    reg_file::File record;
    for (int i = 0; i < records; ++i) {
        record.time = static_cast<lib::LocalSeconds>(1191428700 + 600 * i);
        record.depth = 1000.0F + 0.1F * static_cast<float>(i);
        for (std::size_t k = 0; k < params.size(); ++k)
            record.values[k] = 0.001F * static_cast<float>((i * 7 + static_cast<int>(k) * 13) % 1000);
        const auto bytes = record.bytes();
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace bench

// The well's results file and its channel list as a damaged disk or another program of the
// station may leave them: the table opens both, shows every cell, appends an analysis, edits,
// zeroes and deletes rows, and the channel list is read once more as a raw stream.
//
// Input: two bytes (low first) giving the length of the channel list, the channel list, then
// the results file.
#include "testsupport/Scratchfolder.h"
#include "results/Regparam.h"
#include "results/Structfile.h"
#include "results/Textgrid.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// In memory, so that syncing costs nothing; removed when the fuzzer exits.
const std::filesystem::path& scratchFolder()
{
    static const platform::ScratchFolder folder("nivra-resultsfile-fuzz", platform::ScratchFolder::inMemoryParent());
    return folder.path();
}

void writeBytes(const std::filesystem::path& path, std::string_view bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    check(std::fclose(file) == 0);
}

// Every read ends after at most one read per byte plus one.
void readRawStream(const std::filesystem::path& path, std::size_t size)
{
    STRUCT_FILE stream;
    check(stream.openRead(path));
    for (std::size_t reads = 0; !stream.exhausted(); ++reads) {
        check(reads <= size + 1);
        switch (reads % 4) {
        case 0: stream.readText(); break;
        case 1: stream.readInt32(); break;
        case 2: stream.readReal32(); break;
        default: stream.readByte(); break;
        }
    }
    check(stream.readText().empty() && stream.readInt32() == 0 && stream.readByte() == 0);
}

void checkShape(const TextGrid& grid, std::size_t records)
{
    check(grid.recordCount() == records);
    check(grid.rowCount() == static_cast<int>(records));
    check(grid.descriptors().size() <= reg_file::maxParams);
    check(grid.columnCount() == static_cast<int>(grid.descriptors().size()) + 2);
}

void showCells(const TextGrid& grid)
{
    const int rows = grid.rowCount();
    for (int column = -1; column <= grid.columnCount(); ++column) {
        grid.headerText(column);
        for (const int row : {-1, 0, 1, 2, rows / 2, rows - 1, rows})
            grid.cellText(column, row);
    }
}

CalculatedGazes resultsNamedLike(const reg_file::Params& params)
{
    CalculatedGazes results;
    for (const auto& param : params) {
        CalculatedGaz gaz;
        gaz.name = param.name;
        gaz.key = param.key;
        gaz.concentration = param.range1;
        results.push_back(gaz);
    }
    return results;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t listLength = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
    const std::string_view list = input.substr(2, listLength);
    const std::string_view records = input.substr(2 + listLength);

    const std::filesystem::path folder = scratchFolder();
    const std::filesystem::path resultsPath = folder / "data.tim";
    writeBytes(folder / TextGrid::channelListName, list);
    writeBytes(resultsPath, records);
    std::filesystem::remove(folder / "data.tim.bak");

    readRawStream(folder / TextGrid::channelListName, list.size());

    const std::size_t count = records.size() / reg_file::File::recordSize;
    TextGrid grid([] { return lib::LocalSeconds{0xFFFFFFFF}; });
    check(grid.open(resultsPath));
    checkShape(grid, count);
    showCells(grid);
    grid.setReverseMode(true);
    showCells(grid);

    grid.setEditMode(true);
    grid.editCell(0, 0, list.substr(0, 16));
    grid.editCell(grid.columnCount() - 1, grid.rowCount() - 1, "1e39");
    grid.zeroRows(grid.rowCount() - 1, grid.rowCount() - 1);

    const CalculatedGazes again = resultsNamedLike(grid.descriptors());
    check(grid.appendResults(again, -1.0));
    checkShape(grid, count + 1);
    check(grid.descriptors().size() == again.size());
    check(reg_file::readChannelList(folder / TextGrid::channelListName).size() == again.size());
    showCells(grid);

    check(grid.deleteRows(0, 0));
    checkShape(grid, count);
    showCells(grid);
    check(grid.clearAll());
    checkShape(grid, 0);
    return 0;
}

// The gas table and the calibration as a damaged disk or a hand-edited file may hold them: the
// station loads both at start-up, converts responses through the calibration for every gas,
// and writes both back.
#include "analysis/Etalonstorage.h"
#include "analysis/Gazopts.h"
#include "library/Decimalseparator.h"
#include "library/Lockobject.h"
#include "settings/Inifile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Values read from a file are always finite, so a NaN here can only come from the arithmetic.
// The first gas, the last and one beyond the table: a conversion with many entries is slow.
void checkConcentrations(const GazOptions& table, const EtalonStorage& storage, double fromInput)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::size_t count = static_cast<std::size_t>(table.count());
    for (const std::size_t gas : {std::size_t{0}, count - 1, count})
        for (const double response : {0.0, 25.0, 1e6, -inf, inf, fromInput})
            check(std::isnan(response) || !std::isnan(storage.concentration(gas, response)));
}

struct Written {
    std::string text;
    std::size_t points = 0;
};

// Loads both the way the station wires them at start-up, and writes both back.
Written loadAndSave(std::string_view bytes, double response)
{
    auto ini = lib::IniFile::inMemory(bytes);
    lib::lock_object bufferLock;
    GazOptions table(bufferLock);
    EtalonStorage storage;
    storage.gasCount = [&table] { return table.count(); };
    table.gazListChanged.connect([&storage] { storage.fitToGasTable(); });

    table.loadList(ini);
    storage.load(ini);
    check(table.count() > 0);
    for (const GazEtalLine& entry : storage.entries)
        check(entry.points.size() >= static_cast<std::size_t>(table.count()));
    checkConcentrations(table, storage, response);

    auto written = lib::IniFile::inMemory();
    table.saveList(written);
    storage.save(written);
    return {written.text(), storage.entries.size() * static_cast<std::size_t>(table.count())};
}

// Both lists near their limits make a million points, seconds per pass under the sanitizers;
// one pass proves they load and save.
constexpr std::size_t roundTripPoints = 200000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lib::setDecimalSeparator(size % 2 ? ',' : '.');
    double response = 0;
    if (size >= sizeof response)
        std::memcpy(&response, data, sizeof response);
    const Written first = loadAndSave(std::string_view(reinterpret_cast<const char*>(data), size), response);
    if (first.points > roundTripPoints)
        return 0;
    // What the station wrote must come back unchanged once it has been through one load.
    const std::string second = loadAndSave(first.text, response).text;
    if (loadAndSave(second, response).text != second)
        std::abort();
    return 0;
}

// Whatever a damaged disk or another program leaves as "gsumm.dat": through the trend's loader,
// its look-ups and a save and reload of what was loaded.
#include "chromatogram/Summcurve.h"
#include "testsupport/Scratchfolder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// In memory: saving syncs the file to disk, which would dominate. Removed when the fuzzer exits.
const std::filesystem::path& scratchFolder()
{
    static const platform::ScratchFolder folder("nivra-summcurve-fuzz", platform::ScratchFolder::inMemoryParent());
    return folder.path();
}

class CountingSeries : public SummCurveSeries {
public:
    void clear() override { count = 0; }
    void add(double, double, std::string_view label) override
    {
        ++count;
        labelBytes += label.size();
    }
    std::size_t count = 0;
    std::size_t labelBytes = 0;
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// What a sound loader must have made of these bytes.
struct Expected {
    bool deleted = false;
    bool loads = false;
    std::size_t count = 0;
};

Expected expectedFor(std::string_view bytes)
{
    Expected expected;
    if (bytes.size() < TSummCurve::magic.size())
        return expected;
    if (bytes.substr(0, TSummCurve::magic.size()) != TSummCurve::magic) {
        expected.deleted = true;
        return expected;
    }
    if (bytes.size() < TSummCurve::headerSize || static_cast<std::uint8_t>(bytes[TSummCurve::magic.size()]) != 1)
        return expected;
    std::int32_t count = 0;
    std::memcpy(&count, bytes.data() + TSummCurve::magic.size() + 1, sizeof count);
    if (count < 0 || static_cast<std::size_t>(count) > TSummCurve::maxFilePoints
        || bytes.size() - TSummCurve::headerSize < static_cast<std::size_t>(count) * sizeof(SummCurvePoint))
        return expected;
    expected.loads = true;
    expected.count = static_cast<std::size_t>(count);
    return expected;
}

void lookUps(TSummCurve& curve)
{
    // Only a depth above 0 is ever an answer.
    const std::size_t probes = std::min<std::size_t>(curve.size(), 64);
    for (std::size_t i = 0; i < probes; ++i) {
        const float depth = curve.depthAt(curve.points()[i].time - 1.0 / 86400);
        check(depth == 0 || depth > 0);
    }
    check(curve.depthAt(0) >= 0);
    check(curve.depthAt(NAN) == 0);
    curve.setMarkShown(curve.size(), true);
    check(!curve.markShown(curve.size()));

    CountingSeries series;
    curve.fillSeries(series);
    check(series.count == curve.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto file = scratchFolder() / "gsumm.dat";
    const auto copy = scratchFolder() / "copy.dat";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        check(out.good());
    }

    TSummCurve curve;
    curve.append(1, 2, 3);
    const SummCurvePoints before = curve.points();
    curve.load(file);

    const Expected expected = expectedFor(bytes);
    check(std::filesystem::exists(file) == !expected.deleted);
    if (expected.loads) {
        check(curve.size() == expected.count);
        for (const auto& point : curve.points())
            check(point.markShown <= 1 && point.reserved == decltype(point.reserved){});
    } else {
        check(curve.points() == before);
    }

    lookUps(curve);

    std::filesystem::remove(copy);
    if (curve.save(copy)) {
        TSummCurve reloaded;
        reloaded.load(copy);
        check(std::memcmp(reloaded.points().data(), curve.points().data(), curve.size() * sizeof(SummCurvePoint)) == 0);
        check(reloaded.size() == curve.size());
    }
    return 0;
}

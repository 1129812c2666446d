#include "analysis/Gazopts.h"
#include "analysis/Calculatedgaz.h"
#include "library/Lockobject.h"
#include "results/History.h"
#include "settings/Configuration.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any bytes as a history file; a loaded history must save and load back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Configuration configuration;
    static lib::lock_object bufferLock;
    static const GazOptions gases(bufferLock);
    static const CalculatedGazes results;

    History history(configuration, gases, results);
    history.loadFrom(std::string_view(reinterpret_cast<const char*>(data), size));
    if (history.entryCount() > History::maxEntries)
        std::abort();
    const std::string saved = history.fileContents();
    History again(configuration, gases, results);
    again.loadFrom(saved);
    if (again.fileContents() != saved)
        std::abort();
    return 0;
}

#include "tryfolder/Tryfolder.h"

#include "analysis/Etalonstorage.h"
#include "analysis/Gazopts.h"
#include "library/Lockobject.h"
#include "library/Mytime.h"
#include "settings/Chromatographmodel.h"
#include "settings/Configuration.h"
#include "settings/Inioptions.h"
#include "station/Nivrasystem.h"
#include "tryfolder/Simmixture.h"

#include <iomanip>
#include <sstream>
#include <variant>

namespace tryfolder {
namespace {

// Of the controller's options only the work mode, written as the controller writes it.
class WorkMode : public lib::ini_options {
public:
    explicit WorkMode(std::int32_t mode) : mode_(mode) {}

protected:
    void declare(lib::ini_options_elements& list) override
    {
        list.addRaw(mode_, NivraSystem::sectionName, "work_mode");
    }

private:
    std::int32_t mode_;
};

// The calculation integrates a gas once five seconds of signal follow its window.
constexpr double secondsAfterWindow = 5;

std::variant<GazEtalLine, std::string> referenceEntry(const GazOptions& gases, const SimMixture& sample,
                                                      std::int32_t cycleSeconds)
{
    GazEtalLine entry;
    entry.repeats = 1;  // one analysis of the mixture, undiluted
    for (int i = 0; i < gases.count(); ++i) {
        const Gaz& gas = gases.gas(static_cast<std::size_t>(i));
        const auto component = sample.inWindow(gas.nominalStart, gas.nominalEnd);
        if (!component)
            return "nivra-chromsim has no peak in the window of " + gas.name;
        if (gas.nominalEnd + secondsAfterWindow > cycleSeconds)
            return "a cycle of " + std::to_string(cycleSeconds) + " s ends before " + gas.name + " is measured";
        entry.points.push_back({component->concentration, component->area});
    }
    return entry;
}

void describe(const GazOptions& gases, const GazEtalLine& entry, std::ostream& log)
{
    std::ostringstream line;
    line << std::setprecision(3) << "calibration from nivra-chromsim's sample:";
    for (std::size_t i = 0; i < entry.points.size(); ++i)
        line << (i == 0 ? " " : ", ") << gases.gas(i).label << ' ' << entry.points[i].concentration << " % at "
             << entry.points[i].area << " mV·s";
    log << line.str() << '\n';
}

void pointSettings(const TryFolder::Plan& plan, Configuration& configuration)
{
    configuration.portName = plan.port;
    configuration.deviceType = modelLT4KS;  // the simulator's model unless told otherwise
    configuration.setCycleDuration(plan.cycleSeconds);
    configuration.screenSeconds = plan.cycleSeconds;
    // The windows open on the station itself, not on the setup wizard.
    configuration.firstStart = false;
    // A try run sends nothing to a registration computer, so no real well's records get its results.
    configuration.regComputerName.clear();
    configuration.saveProgramSettings();
    WorkMode(NivraSystem::continuousMode).save(configuration.iniPath);
}

} // namespace

std::optional<std::string> TryFolder::prepare(const Plan& plan, std::ostream& log)
{
    const auto iniPath = plan.directory / Configuration::iniFileName;
    if (!std::filesystem::exists(iniPath))
        return "no settings in " + plan.directory.string() + ": start the station there once with --cycles 0";

    Configuration configuration;
    configuration.loadAtStartUp(plan.directory);
    lib::lock_object bufferLock;
    GazOptions gases(bufferLock);
    gases.loadList(iniPath);

    auto entry = referenceEntry(gases, SimMixture::ofCycle(plan.seed, 1), plan.cycleSeconds);
    if (const auto* error = std::get_if<std::string>(&entry))
        return *error;

    pointSettings(plan, configuration);
    const auto calibrationPath = plan.directory / EtalonStorage::defaultFileName;
    EtalonStorage calibration;
    calibration.gasCount = [&gases] { return gases.count(); };
    calibration.load(calibrationPath);
    calibration.entries.clear();
    calibration.entries.emplace_back(std::move(std::get<GazEtalLine>(entry)));
    calibration.interType = EtalonStorage::linearRule;
    calibration.degKoeff = 1.0;
    calibration.date = lib::toDateTime(lib::localSecondsNow());
    calibration.save(calibrationPath);

    log << "settings: " << iniPath.string() << ": port " << plan.port << ", cycle " << plan.cycleSeconds
        << " s, continuous mode\n";
    describe(gases, calibration.entries[0], log);
    return std::nullopt;
}

} // namespace tryfolder

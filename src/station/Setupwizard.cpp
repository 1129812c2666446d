#include "station/Setupwizard.h"

#include "analysis/Gaz.h"
#include "library/Locker.h"
#include "library/Numstr.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"
#include "station/Workoptions.h"

#include <algorithm>

namespace {

constexpr std::array<SetupWizard::CatalogueGas, 15> gases{{
    {"C1", "метан"},
    {"C2", "этан"},
    {"C3", "пропан"},
    {"C4", "бутан"},
    {"C5", "пентан"},
    {"C6", "гексан"},
    {"C7", "гептан"},
    {"C8", "октан"},
    {"C9", "нонан"},
    {"C10", "декан"},
    {"C2i", "изоэтан"},
    {"C3i", "изопропан"},
    {"C4i", "изобутан"},
    {"C5i", "изопентан"},
    {"C6i", "изогексан"},
}};

// Not the shown names: the hidden list only carries the type.
constexpr std::array<const char*, 2> hiddenModels{"ЛТ-4К", "Тавир"};

const SetupWizard::CatalogueGas* catalogueGas(const std::string& name)
{
    const auto found = std::find_if(gases.begin(), gases.end(), [&](const auto& gas) { return name == gas.name; });
    return found != gases.end() ? &*found : nullptr;
}

// A gas the table did not have: nothing known about it yet.
Gaz newGas()
{
    Gaz gaz;
    gaz.rangeLow = 0;
    gaz.rangeHigh = 0;
    return gaz;
}

std::string duplicateLines(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    std::string lines;
    int k = 0;
    for (std::size_t i = 1; i < names.size(); ++i)
        if (names[i] == names[i - 1])
            lines += std::to_string(++k) + ". " + names[i] + "\n";
    return lines;
}

} // namespace

SetupWizard::SetupWizard(NivraSystem& system, Configuration& configuration)
    : system_(system), configuration_(configuration)
{
}

const std::array<SetupWizard::CatalogueGas, 15>& SetupWizard::catalogue()
{
    return gases;
}

std::vector<std::string> SetupWizard::popupStrings()
{
    std::vector<std::string> lines;
    for (const CatalogueGas& gas : gases)
        lines.push_back(std::string(gas.name) + " (" + gas.label + ")");
    return lines;
}

std::string SetupWizard::firstWord(std::string_view cell)
{
    const std::size_t start = cell.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return {};
    cell.remove_prefix(start);
    return std::string(cell.substr(0, cell.find(' ')));
}

std::vector<std::string> SetupWizard::closingLines()
{
    return {"Настройка программы завершена.",
            "",
            "Вы можете нажать кнопку \"Назад\", чтобы исправить сделанные настройки. ",
            "",
            "Чтобы выйти из настройки, без сохранения сделанных изменений, нажмите копку \"Отмена\"",
            "",
            "Чтобы сохранить сделанные настройки, нажмите кнопку \"ОК\""};
}

std::string SetupWizard::stepLabel(int page)
{
    return "Шаг " + std::to_string(page + 1) + " из " + std::to_string(pageCount);
}

SetupWizard::Buttons SetupWizard::buttons(int page)
{
    return {page > 0, page < pageCount - 1, page == pageCount - 1};
}

std::string SetupWizard::modelName(std::int32_t deviceType)
{
    return WorkOptions::modelName(deviceType);
}

std::vector<std::string> SetupWizard::modelList()
{
    return {hiddenModels.begin(), hiddenModels.end()};
}

int SetupWizard::modelIndex(std::int32_t deviceType)
{
    return deviceType >= 0 && static_cast<std::size_t>(deviceType) < hiddenModels.size() ? deviceType : -1;
}

// The up-down's limits hold for a typed count too: no table may end up empty, and no list longer
// than the catalogue can pass the checks.
int SetupWizard::gasRows(std::string_view count, int shownRows)
{
    return std::clamp(lib::parseInteger(count).value_or(shownRows), minimumCount, maximumCount);
}

std::vector<std::string> SetupWizard::resizedNames(std::vector<std::string> names, int rows)
{
    names.resize(static_cast<std::size_t>(std::max(rows, 0)));
    return names;
}

int SetupWizard::storedCount(std::string_view count)
{
    return gasRows(count, unreadableCount);
}

std::optional<SetupWizard::Refusal> SetupWizard::check(const Values& values)
{
    const std::vector<std::string> names = resizedNames(values.names, storedCount(values.count));
    const auto empty = std::find_if(names.begin(), names.end(),
                                    [](const std::string& name) { return firstWord(name).empty(); });
    if (empty != names.end())
        return Refusal{emptyRowMessage, static_cast<std::size_t>(empty - names.begin())};
    const std::string duplicates = duplicateLines(names);
    if (!duplicates.empty())
        return Refusal{std::string(duplicatesMessage) + "\n" + duplicates, std::nullopt};
    return std::nullopt;
}

SetupWizard::Values SetupWizard::read() const
{
    Values v;
    v.model = modelName(configuration_.deviceType);
    const GazOptions& table = system_.gazOptions;
    v.count = std::to_string(table.count());
    for (int i = 0; i < table.count(); ++i)
        v.names.push_back(table.gas(static_cast<std::size_t>(i)).name);
    v.modelIndex = modelIndex(configuration_.deviceType);
    v.summatorUse = configuration_.summatorUse;
    v.summatorShow = configuration_.summatorShow;
    return v;
}

void SetupWizard::store(const Values& values)
{
    const GazOptions& table = system_.gazOptions;
    const auto count = static_cast<std::size_t>(storedCount(values.count));
    std::vector<Gaz> gazes;
    for (std::size_t i = 0; i < count; ++i)
        gazes.push_back(i < static_cast<std::size_t>(table.count()) ? table.gas(i) : newGas());
    for (std::size_t i = 0; i < count && i < values.names.size(); ++i)
        if (const CatalogueGas* gas = catalogueGas(firstWord(values.names[i]))) {
            gazes[i].name = gas->name;
            gazes[i].label = gas->label;
        }
    {
        const lib::Locker hold(system_.nivra);
        // A type the hidden list does not hold stays as it is: the list cannot show it.
        if (values.modelIndex >= 0)
            configuration_.deviceType = values.modelIndex;
        configuration_.summatorUse = values.summatorUse;
        configuration_.summatorShow = values.summatorShow;
    }
    system_.gazOptions.replaceTable(gazes);  // under the buffer's lock, announced after it
}

#include "analysis/Etalrecordedit.h"

#include "library/Numstr.h"
#include "library/Strworks.h"
#include "settings/Inifile.h"

#include <algorithm>

namespace {

constexpr int decimals = 6;

std::int32_t integerOrZero(std::string_view text)
{
    return lib::parseInteger(text).value_or(0);
}

// The list's own text for a value, so the list shows it selected; the bare number when the
// list has no such item (an entry from an older or hand-edited file).
std::string choiceText(const std::vector<std::string>& choices, std::int32_t value)
{
    const std::string number = std::to_string(value);
    const auto found = std::find_if(choices.begin(), choices.end(),
                                    [&](const std::string& choice) { return lib::trim(choice) == number; });
    return found == choices.end() ? number : *found;
}

std::string withoutQuotes(std::string text)
{
    std::erase(text, '"');
    return text;
}

} // namespace

const std::vector<std::string>& EtalRecordEdit::partsChoices()
{
    static const std::vector<std::string> choices{"1",  "2",   "4",   "5",   "10",  "20",  "40",
                                                  "50", "100", "200", "400", "500", "1000"};
    return choices;
}

const std::vector<std::string>& EtalRecordEdit::totalChoices()
{
    static const std::vector<std::string> choices{"  10", "  20", "  50", " 100", " 200", " 300", " 400", " 500",
                                                  " 600", " 700", " 800", " 900", "1000", "1100", "1200", "1300",
                                                  "1400", "1500", "1600", "1700", "1800", "1900", "2000"};
    return choices;
}

const std::vector<std::string>& EtalRecordEdit::repeatChoices()
{
    static const std::vector<std::string> choices{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    return choices;
}

std::string EtalRecordEdit::defaultRepeatChoice()
{
    return std::to_string(defaultRepeats);
}

double EtalRecordEdit::Dilution::absoluteFactor() const
{
    return diluted() ? static_cast<double>(total) / parts : 1.0;
}

double EtalRecordEdit::Dilution::storedFactor() const
{
    return diluted() ? static_cast<double>(parts) / total : 1.0;
}

EtalRecordEdit::Dilution EtalRecordEdit::parseDilution(std::string_view text)
{
    return parseChoices(lib::getField(text, 0, ' '), lib::getField(text, 2, ' '));
}

EtalRecordEdit::Dilution EtalRecordEdit::parseChoices(std::string_view parts, std::string_view total)
{
    return {integerOrZero(parts), integerOrZero(total)};
}

EtalRecordEdit::Fields EtalRecordEdit::forEdit(const GazEtalLine& entry, std::size_t gasCount)
{
    const Dilution dilution = parseDilution(entry.dilution);
    Fields fields;
    fields.dilutionEnabled = dilution.diluted();
    fields.diluted = dilution.diluted();
    fields.parts = dilution.diluted() ? choiceText(partsChoices(), dilution.parts) : partsChoices().front();
    fields.total = dilution.diluted() ? choiceText(totalChoices(), dilution.total) : totalChoices().front();
    const double factor = dilution.absoluteFactor();
    for (std::size_t i = 0; i < gasCount; ++i) {
        const double stored = i < entry.points.size() ? entry.points[i].concentration : 0.0;
        fields.absolutes.push_back(lib::formatReal(stored * factor, decimals));
    }
    fields.repeats = choiceText(repeatChoices(), entry.repeats);
    return fields;
}

EtalRecordEdit::Fields EtalRecordEdit::forAdd(std::size_t gasCount, const std::vector<std::string>& presets)
{
    Fields fields;
    fields.parts = partsChoices().front();
    fields.total = totalChoices().front();
    fields.absolutes.resize(gasCount);
    std::copy_n(presets.begin(), std::min(gasCount, presets.size()), fields.absolutes.begin());
    fields.repeats = defaultRepeatChoice();
    return fields;
}

void EtalRecordEdit::store(const Fields& typed, GazEtalLine& entry)
{
    entry.dilution = typed.diluted ? std::string(lib::trim(typed.parts)) + " / " + std::string(lib::trim(typed.total))
                                   : std::string();
    entry.repeats = lib::parseInteger(typed.repeats).value_or(defaultRepeats);
    const double factor = typed.diluted ? parseChoices(typed.parts, typed.total).storedFactor() : 1.0;
    if (entry.points.size() < typed.absolutes.size())
        entry.points.resize(typed.absolutes.size());
    for (std::size_t i = 0; i < typed.absolutes.size(); ++i)
        entry.points[i].concentration = lib::parseReal(typed.absolutes[i]) * factor;
}

std::vector<std::string> EtalRecordEdit::readPresets(const std::filesystem::path& settings)
{
    const lib::IniFile ini(settings);
    return presetsFromValue(ini.readString(presetsSection, presetsKey, {}));
}

void EtalRecordEdit::writePresets(const std::filesystem::path& settings, const std::vector<std::string>& texts)
{
    lib::IniFile ini(settings);
    ini.writeString(presetsSection, presetsKey, presetsValue(texts));
}

std::string EtalRecordEdit::presetsValue(const std::vector<std::string>& texts)
{
    std::string list;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            list += ',';
        const std::string text = withoutQuotes(texts[i]);
        list += text.find(',') == std::string::npos ? text : '"' + text + '"';
    }
    return '"' + list + '"';
}

std::vector<std::string> EtalRecordEdit::presetsFromValue(std::string_view value)
{
    return lib::splitFields(value, ',');
}

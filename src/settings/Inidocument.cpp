#include "settings/Inidocument.h"

#include "library/Codepage.h"
#include "library/Strworks.h"

#include <algorithm>
#include <utility>

namespace lib {
namespace {

std::string_view sectionName(std::string_view trimmedLine)
{
    std::string_view name = trimmedLine.substr(1);
    if (const std::size_t close = name.find(']'); close != std::string_view::npos)
        name = name.substr(0, close);
    return trim(name);
}

bool isSectionHeader(std::string_view trimmedLine)
{
    return !trimmedLine.empty() && trimmedLine.front() == '[';
}

// A value may not break the line structure of the file.
std::string singleLine(std::string_view value)
{
    std::string text(value);
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

bool isBlank(std::string_view text)
{
    return trim(text).empty();
}

} // namespace

void IniDocument::Section::indexKey(std::size_t position)
{
    if (lines[position].valueStart != 0)
        keyLines.try_emplace(lines[position].foldedKey, position);
}

const IniDocument::Line* IniDocument::Section::findKey(const std::string& foldedKey) const
{
    const auto found = keyLines.find(foldedKey);
    return found == keyLines.end() ? nullptr : &lines[found->second];
}

IniDocument::Line IniDocument::parseKeyLine(std::string text)
{
    Line line{std::move(text), {}, 0};
    const std::string_view view = line.text;
    const std::string_view trimmed = trim(view);
    if (trimmed.empty() || trimmed.front() == ';')
        return line;
    const std::size_t equals = view.find('=');
    if (equals == std::string_view::npos)
        return line;
    line.foldedKey = foldCaseCp1251(trim(view.substr(0, equals)));
    line.valueStart = equals + 1;
    return line;
}

IniDocument::Line IniDocument::makeKeyLine(std::string_view key, std::string_view value)
{
    return parseKeyLine(singleLine(key) + "=" + singleLine(value));
}

IniDocument IniDocument::parse(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    IniDocument document;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view text = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        const std::string_view trimmed = trim(text);
        if (isSectionHeader(trimmed)) {
            document.sections_.push_back({foldCaseCp1251(sectionName(trimmed)), {{std::string(text), {}, 0}}, {}});
        } else if (document.sections_.empty()) {
            document.preamble_.push_back(parseKeyLine(std::string(text)));
        } else {
            auto& section = document.sections_.back();
            section.lines.push_back(parseKeyLine(std::string(text)));
            section.indexKey(section.lines.size() - 1);
        }
    }
    document.rebuildIndex();
    return document;
}

std::string IniDocument::serialize() const
{
    std::string text;
    const auto append = [&text](const std::vector<Line>& lines) {
        for (const auto& line : lines) {
            text += line.text;
            text += "\r\n";
        }
    };
    append(preamble_);
    for (const auto& section : sections_)
        append(section.lines);
    return text;
}

void IniDocument::rebuildIndex()
{
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i)
        sectionIndex_.try_emplace(sections_[i].foldedName, i);
}

const IniDocument::Section* IniDocument::findSection(std::string_view section) const
{
    const auto found = sectionIndex_.find(foldCaseCp1251(trim(section)));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniDocument::Section* IniDocument::findSection(std::string_view section)
{
    return const_cast<Section*>(std::as_const(*this).findSection(section));
}

std::optional<std::string> IniDocument::read(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    if (!found)
        return std::nullopt;
    const Line* line = found->findKey(foldCaseCp1251(trim(key)));
    if (!line)
        return std::nullopt;
    std::string_view value = trim(std::string_view(line->text).substr(line->valueStart));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool IniDocument::write(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string cleanKey(trim(key));
    Section* found = findSection(section);
    if (!found) {
        if (!sections_.empty() || !preamble_.empty()) {
            auto& last = sections_.empty() ? preamble_ : sections_.back().lines;
            if (!isBlank(last.back().text))
                last.push_back({});
        }
        const std::string name = singleLine(trim(section));
        sections_.push_back({foldCaseCp1251(name), {{"[" + name + "]", {}, 0}}, {}});
        rebuildIndex();
        found = &sections_.back();
    }
    Line replacement = makeKeyLine(cleanKey, value);
    auto& lines = found->lines;
    if (const auto existing = found->keyLines.find(replacement.foldedKey); existing != found->keyLines.end()) {
        Line& line = lines[existing->second];
        if (line.text == replacement.text)
            return false;
        line = std::move(replacement);
        return true;
    }
    // After the last line of the section that is not blank, so the blank line before the next
    // section stays where it is; only blank lines move.
    auto position = lines.end();
    while (position - 1 != lines.begin() && isBlank((position - 1)->text))
        --position;
    const auto inserted = lines.insert(position, std::move(replacement));
    found->indexKey(static_cast<std::size_t>(inserted - lines.begin()));
    return true;
}

bool IniDocument::eraseSection(std::string_view section)
{
    const std::string folded = foldCaseCp1251(trim(section));
    const auto before = sections_.size();
    std::erase_if(sections_, [&](const Section& s) { return s.foldedName == folded; });
    if (sections_.size() == before)
        return false;
    rebuildIndex();
    return true;
}

bool IniDocument::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

std::vector<std::string> IniDocument::keys(std::string_view section) const
{
    std::vector<std::string> names;
    if (const Section* found = findSection(section))
        for (const auto& line : found->lines)
            if (line.valueStart != 0)
                names.emplace_back(trim(std::string_view(line.text).substr(0, line.valueStart - 1)));
    return names;
}

} // namespace lib

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lib {

// The text of one INI file in CP1251 bytes, line by line, with the lookups the settings need.
// Sections and keys are matched without case; lines it does not understand are kept as they
// are. Reading takes LF and CR LF; writing gives CR LF.
class IniDocument {
public:
    static IniDocument parse(std::string_view bytes);
    std::string serialize() const;

    // The value with surrounding blanks dropped and enclosing double quotes removed.
    std::optional<std::string> read(std::string_view section, std::string_view key) const;
    // Replaces the key's value in place or appends the key to its section (the section to the
    // file). Returns whether the text changed.
    bool write(std::string_view section, std::string_view key, std::string_view value);
    bool eraseSection(std::string_view section);
    bool hasSection(std::string_view section) const;
    std::vector<std::string> keys(std::string_view section) const;

private:
    struct Line {
        std::string text;
        std::string foldedKey;  // empty for lines that hold no key
        std::size_t valueStart = 0;
    };
    struct Section {
        std::string foldedName;
        std::vector<Line> lines;  // the header first
        // First line of each key. Keys are only ever added after the last key line, so the
        // positions of the keys already there never move.
        std::unordered_map<std::string, std::size_t> keyLines;

        void indexKey(std::size_t position);
        const Line* findKey(const std::string& foldedKey) const;
    };

    static Line parseKeyLine(std::string text);
    static Line makeKeyLine(std::string_view key, std::string_view value);
    const Section* findSection(std::string_view section) const;
    Section* findSection(std::string_view section);
    void rebuildIndex();

    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // first section of each name
};

} // namespace lib

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Configuration;
class NivraSystem;

// The rules of the setup wizard: the gases it offers, the step captions and buttons, the list
// of recorded gases (cells cut to the name, rows numbered), the checks of that list on "OK", and
// what "OK" writes: the chromatograph type, the gas table and the summator switches. Nothing is
// written before store(); the settings file is the main window's to save.
//
// Main thread only. The settings the acquisition thread reads are written under the link's lock,
// the gas table under the buffer's; the notifications follow once both are released.
class SetupWizard {
public:
    struct CatalogueGas {
        const char* label;
        const char* name;
    };

    static constexpr int pageCount = 4;
    static constexpr int gasesPage = 1;  // from 0
    static constexpr int minimumCount = 1;
    static constexpr int maximumCount = 15;
    // The count "OK" writes when the step 1 text is no number.
    static constexpr int unreadableCount = 6;

    static constexpr const char* caption = " Настройка программы";
    static constexpr const char* header = "Настройка программы для хроматографа";
    static constexpr const char* errorCaption = " Ошибка!";
    static constexpr const char* emptyRowMessage = "Обнаружена пустая строка в перечне регистрируемых газов";
    static constexpr const char* duplicatesMessage = "Программа обнаружила повторяющиеся значения газов:";

    struct Buttons {
        bool previous;
        bool next;
        bool ok;
    };

    // What the controls show: the model, the count's text, the names of the list in row order,
    // the position of the hidden model list (-1 for a type it does not hold), the two check boxes.
    struct Values {
        std::string model;
        std::string count;
        std::vector<std::string> names;
        int modelIndex = -1;
        bool summatorUse = false;
        bool summatorShow = false;
    };

    struct Refusal {
        std::string message;
        std::optional<std::size_t> emptyRow;  // into names; none for duplicates
    };

    SetupWizard(NivraSystem& system, Configuration& configuration);

    static const std::array<CatalogueGas, 15>& catalogue();
    // One line per catalogue gas, in order: name + " (" + label + ")".
    static std::vector<std::string> popupStrings();
    // The first blank-separated word: what remains of a list line in its cell.
    static std::string firstWord(std::string_view cell);
    // The seven lines of the last page.
    static std::vector<std::string> closingLines();
    // "Шаг N из 4", page from 0.
    static std::string stepLabel(int page);
    static Buttons buttons(int page);
    // The shown model ("ЛТ-4КС", "Тавир", otherwise "Неизвестный прототип").
    static std::string modelName(std::int32_t deviceType);
    // The hidden model list ("ЛТ-4К", "Тавир") and its position for a type.
    static std::vector<std::string> modelList();
    static int modelIndex(std::int32_t deviceType);

    // The rows step 2 shows for the count's text: shownRows when it is no number; within
    // minimumCount … maximumCount.
    static int gasRows(std::string_view count, int shownRows);
    // The names kept when the list gets rows rows: the first ones stay, new rows are empty.
    static std::vector<std::string> resizedNames(std::vector<std::string> names, int rows);
    // The gases "OK" writes for the count's text.
    static int storedCount(std::string_view count);

    // The checks of "OK" on the rows it writes: the first empty row, then the duplicates.
    static std::optional<Refusal> check(const Values& values);

    Values read() const;
    // "OK" once check() passed: the type, the gas table resized with each position keeping its
    // window and colour, the catalogue's names and labels, and the summator switches.
    void store(const Values& values);

private:
    NivraSystem& system_;
    Configuration& configuration_;
};

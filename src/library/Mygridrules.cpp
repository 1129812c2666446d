#include "library/Mygridrules.h"

#include <algorithm>
#include <array>

namespace lib {
namespace {

constexpr std::string_view listCaption = ">";
constexpr std::string_view listHint = " Выбор значений из списка ";
constexpr std::string_view valueCaption = "...";
constexpr std::string_view colourHint = " Выбор цвета ";
constexpr std::string_view valueHint = " Выбор значения ";

constexpr std::array<GridCellKind, 7> kinds{{
    {true, GridButtonAction::none, {}, {}},                      // 0 text
    {true, GridButtonAction::list, listCaption, listHint},       // 1 text with a list
    {false, GridButtonAction::colour, valueCaption, colourHint}, // 2 colour
    {false, GridButtonAction::list, listCaption, listHint},      // 3 list only
    {false, GridButtonAction::none, {}, {}},                     // 4 read-only
    {true, GridButtonAction::value, valueCaption, valueHint},    // 5 text with a button
    {false, GridButtonAction::value, valueCaption, valueHint},   // 6 button only
}};

constexpr std::array<FlashStep, 6> flash{{
    {false, 50}, {true, 50}, {false, 50}, {true, 50}, {false, 50}, {true, 50},
}};

} // namespace

const GridCellKind& gridCellKind(int kind)
{
    if (kind < 0 || kind >= static_cast<int>(kinds.size()))
        return kinds[gridReadOnlyKind];
    return kinds[static_cast<std::size_t>(kind)];
}

int gridKindOfValue(int asked, bool nameReadOnly)
{
    return nameReadOnly ? gridReadOnlyKind : asked;
}

std::span<const FlashStep> listChoiceFlash()
{
    return flash;
}

ScreenBox popupUnderCell(const ScreenBox& cell, int width, int height, const ScreenBox& screen)
{
    ScreenBox box;
    box.width = std::clamp(width, 0, screen.width);
    box.left = std::clamp(cell.left, screen.left, screen.right() - box.width);
    const int below = std::max(screen.bottom() - cell.bottom(), 0);
    const int above = std::max(cell.top - screen.top, 0);
    if (height <= below || (height > above && below >= above)) {
        box.height = std::min(height, below);
        box.top = cell.bottom();
    } else {
        box.height = std::min(height, above);
        box.top = cell.top - box.height;
    }
    return box;
}

ScreenBox placeInside(int left, int top, int width, int height, const ScreenBox& screen)
{
    // max after min: a window larger than the screen keeps its top left corner visible.
    return {std::max(std::min(left, screen.right() - width), screen.left),
            std::max(std::min(top, screen.bottom() - height), screen.top), width, height};
}

int unrolledHeight(int fullHeight, int step)
{
    return fullHeight * std::clamp(step, 0, unrollSteps) / unrollSteps;
}

} // namespace lib

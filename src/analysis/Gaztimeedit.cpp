#include "analysis/Gaztimeedit.h"

#include "analysis/Gaz.h"
#include "analysis/Gazopts.h"
#include "library/Numstr.h"

#include <algorithm>
#include <cmath>
#include <limits>

int GazTimeEdit::wholeSeconds(float seconds)
{
    if (std::isnan(seconds))
        return 0;
    const double rounded = std::floor(static_cast<double>(seconds) + 0.5);
    return static_cast<int>(std::clamp(rounded, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

int GazTimeEdit::onScale(int seconds)
{
    return std::clamp(seconds, scaleMin, scaleMax);
}

std::vector<std::string> GazTimeEdit::lines(const GazOptions& gases)
{
    std::vector<std::string> result;
    result.reserve(gases.Gazes.size());
    for (const Gaz& gaz : gases.Gazes)
        result.push_back(gaz.name + " (" + gaz.label + ")");
    return result;
}

GazTimeEdit::Window GazTimeEdit::window(const Gaz& gaz)
{
    return {wholeSeconds(gaz.integrationStart), wholeSeconds(gaz.integrationEnd)};
}

GazTimeEdit::Window GazTimeEdit::sliders(const Gaz& gaz)
{
    const Window whole = window(gaz);
    return {onScale(whole.start), onScale(whole.end)};
}

std::string GazTimeEdit::text(const Window& window)
{
    return lib::formatReal(window.start) + " - " + lib::formatReal(window.end);
}

std::optional<GazTimeEdit::Window> GazTimeEdit::shown(int line) const
{
    if (line < 0 || static_cast<std::size_t>(line) >= gases_.Gazes.size())
        return std::nullopt;
    return window(gases_.gas(static_cast<std::size_t>(line)));
}

std::optional<GazTimeEdit::Window> GazTimeEdit::store(int line, const Window& moved)
{
    if (line < 0 || static_cast<std::size_t>(line) >= gases_.Gazes.size())
        return std::nullopt;
    const Gaz& gaz = gases_.gas(static_cast<std::size_t>(line));
    const Window before = sliders(gaz);
    // A slider standing at the scale's end for a window beyond it was not moved by the operator.
    const auto keep = [](int movedTo, int shownAt, float stored) {
        const bool beyondScale = wholeSeconds(stored) != shownAt;
        return movedTo == shownAt && beyondScale ? stored : static_cast<float>(movedTo);
    };
    const float start = keep(moved.start, before.start, gaz.integrationStart);
    const float end = keep(moved.end, before.end, gaz.integrationEnd);
    gases_.setWindow(line, start, end);
    return window(gases_.gas(static_cast<std::size_t>(line)));
}

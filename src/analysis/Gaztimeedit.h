#pragma once

#include <optional>
#include <string>
#include <vector>

class Gaz;
class GazOptions;

// The rules of the small retention-time editor: one gas at a time, its window in whole seconds
// on a 0 … 100 s scale. Windows reaching past the scale are shown at its end, and an end the
// operator did not move keeps its stored value, so that touching one slider never cuts the other
// end of such a window.
class GazTimeEdit {
public:
    static constexpr int scaleMin = 0;
    static constexpr int scaleMax = 100;
    static constexpr int scaleMarks = 20;

    struct Window {
        int start = 0;
        int end = 0;
        bool operator==(const Window&) const = default;
    };

    // The nearest whole second, halves up; limited to the range of int, 0 for a value that is no
    // number.
    static int wholeSeconds(float seconds);
    // Limited to scaleMin … scaleMax.
    static int onScale(int seconds);
    // name + " (" + label + ")", one line per gas in table order.
    static std::vector<std::string> lines(const GazOptions& gases);
    // The working window in whole seconds, not limited to the scale.
    static Window window(const Gaz& gaz);
    // What the sliders show: the window limited to the scale.
    static Window sliders(const Gaz& gaz);
    // "start - end" with as many decimals as needed.
    static std::string text(const Window& window);

    explicit GazTimeEdit(GazOptions& gases) : gases_(gases) {}

    // The line's gas as the editor shows it; nothing when the table no longer has that line
    // (the list is filled once, the table may have shrunk since).
    std::optional<Window> shown(int line) const;
    // Stores the sliders' window as the line's gas window, nominal and working, and returns the
    // window now in force; nothing, and nothing stored, when the line has no gas.
    std::optional<Window> store(int line, const Window& sliders);

private:
    GazOptions& gases_;
};

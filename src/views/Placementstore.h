#pragma once

#include <QRect>
#include <QSize>

#include <filesystem>
#include <string_view>

class QWidget;

// Where the station's windows stand: kept in the settings file under a window's section, and
// put back in view whatever screen the station starts on.
class PlacementStore {
public:
    // The stored place, or `fallback` where none is stored, or the stored one is smaller than
    // `minimum` or off the screen (a larger screen or a removed monitor). A stored maximised
    // window is maximised again.
    static void restore(QWidget& window, const std::filesystem::path& settings, std::string_view section,
                        const QRect& fallback, QSize minimum);
    // The normal place and whether the window is maximised or minimised.
    static void store(const QWidget& window, const std::filesystem::path& settings, std::string_view section);
    // The window's frame, title bar included, on a rectangle of the screen.
    static void placeFrame(QWidget& window, const QRect& frame);
};

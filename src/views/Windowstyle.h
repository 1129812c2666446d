#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

// What every window of the station does first: the station's font ("tahoma" when installed,
// else a sans-serif with Cyrillic glyphs) and its labels coloured by their tag.
class WindowStyle {
public:
    // The property a label carries its tag in: 1, 2, 3 colour it, 4 makes it bold.
    static constexpr const char* tagProperty = "nivraTag";

    static void prepare(QWidget& window);
    static QString fontFamily();
    // 0xBBGGRR, red in the low byte, as the settings file stores colours.
    static QColor colour(unsigned bgr);
    static void setTag(QWidget& label, int tag);
    // Tool bars and fixed cells: 20 units darker in every component.
    static QColor darker(const QColor& colour);
};

#pragma once

#include <QColor>

#include <cstdint>

// Colours as the settings file and the controls' properties hold them: 0xBBGGRR, red in the
// low byte. System colours (top byte 0x80) come from the station's fixed table, the same as the
// colour arithmetic uses, not from the desktop's palette.
QColor qtColour(std::uint32_t bgr);
std::uint32_t bgrColour(const QColor& colour);

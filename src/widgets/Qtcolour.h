#pragma once

#include <QColor>

#include <cstdint>

// Colours as the settings file and the controls' properties hold them: 0xBBGGRR, red in the
// low byte.
QColor qtColour(std::uint32_t bgr);
std::uint32_t bgrColour(const QColor& colour);

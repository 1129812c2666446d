#include "widgets/Dlgradient.h"

#include "widgets/Qtcolour.h"

#include <QPainter>
#include <QPolygon>

void TDLGradient::paint(QPainter& painter, const QRect& rect, std::uint32_t controlColour, std::uint32_t hue) const
{
    const lib::GradientColours colours =
        autoColor_ ? lib::automaticGradient(controlColour, hue) : lib::GradientColours{color1_, color2_};
    fill(painter, rect, static_cast<lib::GradientType>(type_), colours.first, colours.second);
}

void TDLGradient::fill(QPainter& painter, const QRect& rect, lib::GradientType type, std::uint32_t c1,
                       std::uint32_t c2)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPolygon polygon;
    for (const lib::GradientBand& band : lib::gradientPlan({rect.left(), rect.top(), rect.width(), rect.height()}, type, c1, c2)) {
        const QColor colour = qtColour(band.colour);
        if (band.polygon.empty()) {
            painter.fillRect(QRect(band.rect.left, band.rect.top, band.rect.width, band.rect.height), colour);
            continue;
        }
        polygon.resize(static_cast<int>(band.polygon.size()));
        for (int i = 0; i < polygon.size(); ++i)
            polygon[i] = QPoint(band.polygon[static_cast<std::size_t>(i)].x, band.polygon[static_cast<std::size_t>(i)].y);
        painter.setBrush(colour);
        painter.drawPolygon(polygon);
    }
    painter.restore();
}

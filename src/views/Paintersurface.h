#pragma once

#include "chromatogram/Surface.h"

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QPen>

#include <cstdint>
#include <string>

class QPainter;

// The drawing surface over a QPainter: the same calls draw on the screen, into a QImage, onto a
// printer page and into an SVG file. Texts are drawn from their top-left corner, as the
// drawing routines place them.
class PainterSurface : public Surface {
public:
    explicit PainterSurface(QPainter& painter);

    static QColor colour(std::uint32_t value);

    void setPen(std::uint32_t colour, int width, PenStyle style) override;
    void setBrush(std::uint32_t colour, BrushStyle style) override;
    void setFont(std::string_view name, int size, std::uint32_t colour) override;
    int penWidth() const override { return penWidth_; }
    std::string fontName() const override { return fontName_; }
    int fontSize() const override { return fontSize_; }

    void fillRect(const Rect& rect) override;
    void frameRect(const Rect& rect) override;
    void line(Point from, Point to) override;
    void polyline(std::span<const Point> points) override;
    void hatchedPolygon(std::span<const Point> points, std::uint32_t background) override;
    void text(Point at, std::string_view text) override;
    int textWidth(std::string_view text) const override;
    int textHeight(std::string_view text) const override;

private:
    QPainter& painter_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    // Of the painter's device, so that a printer page measures texts at its own resolution;
    // kept, since a drawing measures many texts in one font.
    QFontMetrics metrics_;
    QColor fontColour_;
    int penWidth_ = 1;
    std::string fontName_;
    int fontSize_ = 8;
};

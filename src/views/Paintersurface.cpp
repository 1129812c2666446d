#include "views/Paintersurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <vector>

namespace {

QString qtext(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPolygon polygon(std::span<const Surface::Point> points)
{
    QPolygon shape;
    shape.reserve(static_cast<qsizetype>(points.size()));
    for (const Surface::Point& p : points)
        shape << QPoint(p.x, p.y);
    return shape;
}

// A rectangle covers right − left pixels across, its outline included, as the drawing expects;
// Qt strokes one pixel beyond a QRect's right and bottom, so the QRect is one pixel smaller.
QRect outline(const Surface::Rect& rect)
{
    return QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1);
}

} // namespace

PainterSurface::PainterSurface(QPainter& painter)
    : painter_(painter), font_(painter.font()), metrics_(font_, painter.device())
{
    fontName_ = font_.family().toStdString();
    fontSize_ = font_.pointSize() > 0 ? font_.pointSize() : fontSize_;
    setPen(0, 1, PenStyle::solid);
    setBrush(0xFFFFFF, BrushStyle::solid);
}

// Colours are stored with red in the low byte.
QColor PainterSurface::colour(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void PainterSurface::setPen(std::uint32_t value, int width, PenStyle style)
{
    penWidth_ = width;
    pen_ = QPen(colour(value), width, style == PenStyle::dotted ? Qt::DotLine : Qt::SolidLine);
    pen_.setCapStyle(Qt::FlatCap);
}

void PainterSurface::setBrush(std::uint32_t value, BrushStyle style)
{
    brush_ = QBrush(colour(value), style == BrushStyle::diagonalCross ? Qt::DiagCrossPattern : Qt::SolidPattern);
}

void PainterSurface::setFont(std::string_view name, int size, std::uint32_t value)
{
    fontName_ = name;
    fontSize_ = size;
    font_ = QFont(qtext(name), size > 0 ? size : 8);
    metrics_ = QFontMetrics(font_, painter_.device());
    fontColour_ = colour(value);
}

void PainterSurface::fillRect(const Rect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // A solid fill of a whole plot is a block copy on Qt's fast path; drawn as a stroked shape
    // it would go through span blending, handed to worker threads for large areas.
    if (brush_.style() == Qt::SolidPattern) {
        painter_.fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), brush_.color());
        frameRect(rect);
        return;
    }
    painter_.setPen(pen_);
    painter_.setBrush(brush_);
    painter_.drawRect(outline(rect));
}

void PainterSurface::frameRect(const Rect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(outline(rect));
}

void PainterSurface::line(Point from, Point to)
{
    painter_.setPen(pen_);
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

void PainterSurface::polyline(std::span<const Point> points)
{
    painter_.setPen(pen_);
    painter_.drawPolyline(polygon(points));
}

// The hatch lines in the brush's colour over the background, as a hatched brush paints.
void PainterSurface::hatchedPolygon(std::span<const Point> points, std::uint32_t background)
{
    const QPolygon shape = polygon(points);
    // Qt's raster engine hands a fill of more than about a hundred scan lines to its worker
    // threads, and waking them costs more than filling a peak; a tall peak is filled in bands.
    const QRect bounds = shape.boundingRect().adjusted(-penWidth_ - 1, -penWidth_ - 1, penWidth_ + 1, penWidth_ + 1);
    constexpr int band = 64;
    const bool banded = bounds.height() > band;
    if (banded)
        painter_.save();
    for (int top = bounds.top(); top <= bounds.bottom(); top += band) {
        if (banded)
            painter_.setClipRect(QRect(bounds.left(), top, bounds.width(), band));
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(colour(background));
        painter_.drawPolygon(shape);
        painter_.setPen(pen_);
        painter_.setBrush(brush_);
        painter_.drawPolygon(shape);
    }
    if (banded)
        painter_.restore();
}

void PainterSurface::text(Point at, std::string_view text)
{
    const QString shown = qtext(text);
    if (brush_.style() == Qt::SolidPattern)
        painter_.fillRect(QRect(at.x, at.y, metrics_.horizontalAdvance(shown), metrics_.height()), brush_.color());
    painter_.setFont(font_);
    painter_.setPen(fontColour_);
    painter_.drawText(QPoint(at.x, at.y + metrics_.ascent()), shown);
}

int PainterSurface::textWidth(std::string_view text) const
{
    return metrics_.horizontalAdvance(qtext(text));
}

int PainterSurface::textHeight(std::string_view) const
{
    return metrics_.height();
}

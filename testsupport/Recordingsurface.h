#pragma once

#include "chromatogram/Surface.h"

#include <string>
#include <string_view>
#include <vector>

// A surface that keeps every drawing call, with fixed text metrics (charWidth pixels a
// character, lineHeight pixels a line), so tests can check the geometry of a picture.
class RecordingSurface : public Surface {
public:
    enum class Kind { fillRect, frameRect, line, polyline, hatchedPolygon, text };
    struct Pen {
        std::uint32_t colour = 0;
        int width = 1;
        PenStyle style = PenStyle::solid;
    };
    struct Brush {
        std::uint32_t colour = 0xFFFFFF;
        BrushStyle style = BrushStyle::solid;
    };
    struct Call {
        Kind kind;
        std::vector<Point> points;  // two corners of a rectangle, the ends of a line
        std::string text;
        Pen pen;
        Brush brush;
        std::uint32_t fontColour = 0;
        int fontSize = 0;
    };

    static constexpr int charWidth = 6;
    static constexpr int lineHeight = 12;

    void setPen(std::uint32_t colour, int width, PenStyle style) override { pen_ = {colour, width, style}; }
    void setBrush(std::uint32_t colour, BrushStyle style) override { brush_ = {colour, style}; }
    void setFont(std::string_view name, int size, std::uint32_t colour) override
    {
        fontName_ = name;
        fontSize_ = size;
        fontColour_ = colour;
    }
    int penWidth() const override { return pen_.width; }
    std::string fontName() const override { return fontName_; }
    int fontSize() const override { return fontSize_; }

    void fillRect(const Rect& r) override { record(Kind::fillRect, {{r.left, r.top}, {r.right, r.bottom}}); }
    void frameRect(const Rect& r) override { record(Kind::frameRect, {{r.left, r.top}, {r.right, r.bottom}}); }
    void line(Point from, Point to) override { record(Kind::line, {from, to}); }
    void polyline(std::span<const Point> points) override { record(Kind::polyline, {points.begin(), points.end()}); }
    void hatchedPolygon(std::span<const Point> points, std::uint32_t) override
    {
        record(Kind::hatchedPolygon, {points.begin(), points.end()});
    }
    void text(Point at, std::string_view text) override { record(Kind::text, {at}, std::string(text)); }
    // Characters, not bytes: the texts are UTF-8.
    int textWidth(std::string_view text) const override
    {
        int characters = 0;
        for (const char c : text)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return characters * charWidth;
    }
    int textHeight(std::string_view) const override { return lineHeight; }

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsOf(Kind kind) const
    {
        std::vector<Call> found;
        for (const Call& call : calls_)
            if (call.kind == kind)
                found.push_back(call);
        return found;
    }

private:
    void record(Kind kind, std::vector<Point> points, std::string text = {})
    {
        calls_.push_back({kind, std::move(points), std::move(text), pen_, brush_, fontColour_, fontSize_});
    }

    Pen pen_;
    Brush brush_;
    std::string fontName_ = "DejaVu Sans";
    int fontSize_ = 10;
    std::uint32_t fontColour_ = 0;
    std::vector<Call> calls_;
};

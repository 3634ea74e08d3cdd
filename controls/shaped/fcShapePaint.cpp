#include "controls/shaped/fcShapePaint.h"

#include "platform/graphics/Region.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Puts the canvas brush back on every way out of a face painting.
class TBrushGuard {
public:
    explicit TBrushGuard(TCanvas& c) : canvas_(c), saved_(c.Brush()) {}
    ~TBrushGuard() { canvas_.Brush() = saved_; }
    TBrushGuard(const TBrushGuard&) = delete;
    TBrushGuard& operator=(const TBrushGuard&) = delete;

private:
    TCanvas& canvas_;
    TBrush saved_;
};

TColor Resolved(TColor c) { return MakeColor(ColorToRGB(c)); }

struct TEdge {
    bool upLeft = false;
    TPoint normal;
};

// Which side of the edge the figure lies on, and the one-pixel step into it.
TEdge ClassifyEdge(const std::vector<TPoint>& figure, TPoint a, TPoint b)
{
    const auto inside = [&figure](int x, int y) { return TRegion::PolygonContains(figure, fmWinding, x, y); };
    const int dx = std::abs(b.x - a.x);
    const int dy = std::abs(b.y - a.y);
    const TPoint m{a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2};
    TEdge e;
    if (dy < dx) {
        e.upLeft = inside(m.x, m.y + 1);
        e.normal = {0, e.upLeft ? 1 : -1};
    } else {
        e.upLeft = inside(m.x + 1, m.y);
        e.normal = {e.upLeft ? 1 : -1, 0};
    }
    // Axis-parallel edges also shift their inner lines along the edge.
    if (dx == 0)
        e.normal.y = inside(a.x, std::max(a.y, b.y) + 1) ? 1 : -1;
    else if (dy == 0)
        e.normal.x = inside(std::max(a.x, b.x), a.y) ? 1 : -1;
    return e;
}

TPoint Scaled(TPoint p, int k) { return {p.x * k, p.y * k}; }

void Line(TCanvas& c, TPoint from, TPoint to)
{
    c.MoveTo(from.x, from.y);
    c.LineTo(to.x, to.y);
}

struct TPixelBevelColors {
    std::uint32_t outerLight, innerLight, innerDark, outerDark, black;
};

TPixelBevelColors PixelColors(const TfcBevelParams& b)
{
    const auto px = [](TColor c) { return ColorToPixel(c); };
    const TfcBevelColors& c = b.Colors;
    if (b.Look == fcflUp)
        return {px(c.Highlight), px(c.Light), px(c.Shadow), px(c.Black), px(c.Black)};
    return {px(c.Black), px(c.Shadow), px(c.Light), px(c.Highlight), px(c.Black)};
}

void PaintCurved(TCanvas& c, const TfcFaceParams& p, TColor face)
{
    c.Pen().Color = face;
    const int r = p.Geometry.Width - 1;
    const int b = p.Geometry.Height - 1;
    if (p.Geometry.Shape == bsRoundRect)
        c.RoundRect(0, 0, r, b, p.RoundRectBias, p.RoundRectBias);
    else
        c.Ellipse(0, 0, r, b);
}

}  // namespace

void fcDrawPolygonBevel(TCanvas& canvas, const std::vector<TPoint>& points, const TfcBevelParams& bevel)
{
    if (points.size() < 2)
        return;
    std::vector<TEdge> edges;
    edges.reserve(points.size() - 1);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        edges.push_back(ClassifyEdge(points, points[i], points[i + 1]));

    const int f = bevel.Inset() ? 1 : 0;
    const bool down = bevel.Look == fcflDown;
    const TfcBevelColors& c = bevel.Colors;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        canvas.Pen().Color = Resolved(edges[i].upLeft == down ? c.Shadow : c.Light);
        const TPoint d = Scaled(edges[i].normal, f + 1);
        Line(canvas, points[i] + d, points[i + 1] + d);
    }
    for (std::size_t i = 0; i < edges.size(); ++i) {
        canvas.Pen().Color = Resolved(edges[i].upLeft == down ? c.Black : c.Highlight);
        const TPoint d = Scaled(edges[i].normal, f);
        Line(canvas, points[i] + d, points[i + 1] + d);
    }
    if (f == 1) {
        canvas.Pen().Color = Resolved(c.Focus);
        for (std::size_t i = 0; i < edges.size(); ++i)
            Line(canvas, points[i], points[i + 1]);
    }
}

void fcDrawPixelBevel(TBitmap& image, TColor key, const TfcBevelParams& bevel)
{
    const int w = image.Width();
    const int h = image.Height();
    if (w <= 0 || h <= 0)
        return;
    const QImage source = image.Image().copy();
    const std::uint32_t keyPx = ColorToPixel(key);
    const TPixelBevelColors col = PixelColors(bevel);
    const bool focusedFocusable = bevel.Focused && bevel.Focusable;

    const auto isFace = [&](int x, int y) {
        return (reinterpret_cast<const std::uint32_t*>(source.constScanLine(y))[x] | 0xFF000000u) != keyPx;
    };
    const auto put = [&](TPoint p, std::uint32_t px) {
        if (p.x >= 0 && p.y >= 0 && p.x < w && p.y < h)
            image.ScanLine(p.y)[p.x] = px;
    };
    const auto scanDiagonal = [&](int x, int y) {
        while (x < w && y < h) {
            if (!isFace(x, y)) {
                ++x, ++y;
                continue;
            }
            const TPoint a0{x, y};
            while (x + 1 < w && y + 1 < h && isFace(x + 1, y + 1))
                ++x, ++y;
            const TPoint b0{x, y};
            TPoint a = a0, b = b0;
            if (bevel.Inset()) {
                a = a + TPoint{1, 1};
                b = b - TPoint{1, 1};
            }
            if (focusedFocusable)
                a = a + TPoint{1, 1};
            put(b - TPoint{1, 1}, col.innerDark);
            put(a + TPoint{1, 1}, col.innerLight);
            put(b, col.outerDark);
            put(a, col.outerLight);
            if (focusedFocusable && bevel.Look == fcflDown)
                put(a - TPoint{1, 1}, ColorToPixel(clBlack));
            if (bevel.Inset()) {
                put(a0, col.black);
                put(b0, col.black);
            }
            ++x, ++y;
        }
    };
    for (int x = w - 1; x >= 0; --x)
        scanDiagonal(x, 0);
    for (int y = 1; y < h; ++y)
        scanDiagonal(0, y);
}

void fcPaintShapeFace(TBitmap& image, const TfcFaceParams& p, TfcFacePurpose purpose, TfcShadeStyle style,
                      TfcFaceLook look)
{
    const bool down = look == fcflDown;
    const bool drawEdges = style != fbsFlat || p.Designing || (p.Hot && p.Enabled) || down;
    const int width = p.Geometry.Width;
    const int height = p.Geometry.Height;
    if (width <= 0 || height <= 0)
        return;
    image.SetSize(width, height);
    TCanvas& c = image.Canvas();
    TBrushGuard brushGuard(c);

    const TColor key = fcKeyColour(p.Color);
    const TColor face = fcFaceColor(p.Color);
    c.Brush() = TBrush{};
    c.Brush().Color = key;
    c.FillRect({0, 0, width, height});
    c.Brush().Color = face;
    if (p.ComputeCanvasAttributes)
        p.ComputeCanvasAttributes(c);
    c.Pen().Color = drawEdges ? Resolved(p.DitherColor) : c.Brush().Color;
    if (down && p.DitherColor != clNone && p.GroupIndex != 0)
        c.Brush() = fcDitherBrush(p.DitherColor, p.Color);

    const TfcBevelParams bevel{p.Colors, look, p.Focused, p.Default, p.Focusable};
    const bool bevelWanted = drawEdges && purpose == fcfpDisplay;
    if (IsCurvedShape(p.Geometry.Shape)) {
        PaintCurved(c, p, face);
        if (bevelWanted)
            fcDrawPixelBevel(image, key, bevel);
        return;
    }
    const std::vector<TPoint> points = fcShapePoints(p.Geometry);
    if (points.empty())
        return;
    c.SetPolyFillMode(fmAlternate);
    c.Polygon(points);
    if (bevelWanted)
        fcDrawPolygonBevel(c, points, bevel);
}

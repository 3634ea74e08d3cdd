#include "controls/shaped/fcShapeGeometry.h"

#include "controls/shaped/fcEvaluator.h"
#include "platform/core/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

// Turned points of custom outlines far outside the box are kept within a
// range where differences and sums of coordinates cannot overflow.
constexpr std::int64_t kTurnedLimit = std::int64_t(1) << 25;

int ClampTurned(std::int64_t v) { return int(std::clamp(v, -kTurnedLimit, kTurnedLimit)); }

int QuarterTurns(TfcShapeOrientation o)
{
    switch (o) {
    case soUp: return 0;
    case soRight: return 1;
    case soDown: return 2;
    case soLeft: return 3;
    }
    return 0;
}

std::vector<TPoint> CornerPoints(const TfcShapeGeometry& geometry, int w, int h)
{
    switch (geometry.Shape) {
    case bsRoundRect:
    case bsEllipse:
        return {};
    case bsTriangle:
        return {{w / 2, 0}, {w, h}, {0, h}};
    case bsArrow:
        return {{0, h / 3}, {w / 2, 0}, {w, h / 3}, {w - w / 4, h / 3}, {w - w / 4, h}, {w / 4, h}, {w / 4, h / 3}};
    case bsDiamond:
        return {{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}};
    case bsRect:
        return {{0, 0}, {w, 0}, {w, h}, {0, h}};
    case bsStar:
        return fcStarPoints(w, h);
    case bsTrapezoid: {
        const int m = std::min(h / 2, (w / 2) / 2);
        return {{m, 0}, {w - m, 0}, {w, h}, {0, h}};
    }
    case bsCustom:
        return fcCustomPoints(geometry.PointList, w, h);
    }
    return {};
}

// The x and y expressions of one custom line, in upper case with WIDTH and
// HEIGHT replaced.
std::pair<QString, QString> SplitCustomLine(const QString& line, int w, int h)
{
    QString s = line.toUpper();
    if (!s.contains(QLatin1Char(',')))
        throw EInvalidOperation(QStringLiteral(
            "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space."));
    s.replace(QLatin1String(","), QLatin1String(", "));
    s.replace(QLatin1String(",  "), QLatin1String(", "));
    s.replace(QLatin1String("WIDTH"), QString::number(w));
    s.replace(QLatin1String("HEIGHT"), QString::number(h));
    const QLatin1String sep(", ");
    const auto first = s.indexOf(sep);
    const auto second = s.indexOf(sep, first + sep.size());
    const QString x = s.left(first);
    const QString y = second < 0 ? s.mid(first + sep.size()) : s.mid(first + sep.size(), second - first - sep.size());
    return {x, y};
}

constexpr int kCoordinateLimit = 32767;
constexpr int kMaxControlSize = 16777215;

int LimitCoordinate(int v) { return std::clamp(v, -kCoordinateLimit - 1, kCoordinateLimit); }

}  // namespace

std::vector<TPoint> fcStarPoints(int w, int h)
{
    constexpr double deg = std::numbers::pi / 180.0;
    const double c18 = std::cos(18 * deg);
    const double s18 = std::sin(18 * deg);
    const int a = int(std::trunc(h / c18));
    const int b = int(std::trunc(a / (2 * s18 + 2)));
    const int a2 = a - 2 * b;
    const int e = int(std::trunc(c18 * b));
    const int f = int(std::trunc(h * std::tan(18 * deg)));
    const TPoint p1{w / 2 + a2 / 2, e};
    const TPoint p3{p1.x + int(std::trunc(a2 * s18)), e + int(std::trunc(a2 * c18))};
    return {{w / 2, 0},
            p1,
            {w, e},
            p3,
            {w / 2 + f, h},
            {w / 2, h - int(std::trunc(b * std::sin(36 * deg)))},
            {w / 2 - f, h},
            {w - p3.x, p3.y},
            {0, e},
            {w - p1.x, e}};
}

std::vector<TPoint> fcCustomPoints(const QStringList& lines, int w, int h)
{
    if (lines.size() < 3)
        return {};
    std::vector<TPoint> points;
    points.reserve(std::size_t(lines.size()) + 1);
    for (const QString& line : lines) {
        const auto [x, y] = SplitCustomLine(line, w, h);
        points.push_back({LimitCoordinate(TfcEvaluator::Evaluate(x)), LimitCoordinate(TfcEvaluator::Evaluate(y))});
    }
    return points;
}

void fcRotatePoints(std::vector<TPoint>& points, int w, int h, TfcShapeOrientation orientation)
{
    if (w <= 0 || h <= 0)
        return;
    const int turns = QuarterTurns(orientation);
    for (int t = 0; t < turns; ++t)
        for (TPoint& p : points) {
            const std::int64_t x = std::int64_t(w) - std::int64_t(p.y) * w / h;
            const std::int64_t y = std::int64_t(p.x) * h / w;
            p = {ClampTurned(x), ClampTurned(y)};
        }
}

std::vector<TPoint> fcShapePoints(const TfcShapeGeometry& geometry)
{
    if (geometry.Width <= 0 || geometry.Height <= 0)
        return {};
    // No window is larger than this; keeping to it keeps every sum exact.
    const int w = std::min(geometry.Width, kMaxControlSize) - 1;
    const int h = std::min(geometry.Height, kMaxControlSize) - 1;
    std::vector<TPoint> points = CornerPoints(geometry, w, h);
    if (points.empty())
        return points;
    points.push_back(points.front());
    fcRotatePoints(points, w, h, geometry.Orientation);
    return points;
}

TColor fcKeyColour(TColor faceColor)
{
    return ColorToRGB(faceColor) == std::uint32_t(clRed) ? clBlue : clRed;
}

std::optional<TRegion> fcRegionFromBitmap(const TBitmap& bitmap, TColor key)
{
    if (bitmap.Empty() || bitmap.Width() <= 0 || bitmap.Height() <= 0)
        return std::nullopt;
    TRegion region = TRegion::FromImageExcept(bitmap.Image(), key);
    if (region.IsEmpty())
        return std::nullopt;
    return region;
}

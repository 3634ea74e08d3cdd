#include "tests/platform/graphics/CanvasProbe.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

std::vector<TRect> RandomRects(std::mt19937& rng, int n)
{
    std::uniform_int_distribution<int> coord(0, 24);
    std::vector<TRect> out;
    for (int i = 0; i < n; ++i) {
        const int l = coord(rng), t = coord(rng);
        out.push_back({l, t, l + coord(rng) / 2, t + coord(rng) / 2});
    }
    return out;
}

PixelSet PixelsOfRects(const std::vector<TRect>& rects)
{
    PixelSet out;
    for (const TRect& r : rects)
        for (const auto& p : RectPixels(r.Left, r.Top, r.Right, r.Bottom))
            out.insert(p);
    return out;
}

// The rectangle list is banded: sorted by top then left, rectangles of one
// band share top and bottom, never overlap or touch, and bands never overlap.
void ExpectCanonical(const TRegion& rgn)
{
    const auto& rs = rgn.Rects();
    for (std::size_t i = 0; i < rs.size(); ++i) {
        ASSERT_FALSE(rs[i].IsEmpty());
        if (i == 0)
            continue;
        const TRect& a = rs[i - 1];
        const TRect& b = rs[i];
        if (a.Top == b.Top) {
            ASSERT_EQ(a.Bottom, b.Bottom);
            ASSERT_LT(a.Right, b.Left);
        } else {
            ASSERT_LE(a.Bottom, b.Top);
        }
    }
}

TEST(Region, SetOperationsMatchPixelSetsAndStayCanonical)
{
    std::mt19937 rng(42);
    const TRect all{0, 0, 40, 40};
    for (int round = 0; round < 50; ++round) {
        const std::vector<TRect> ra = RandomRects(rng, 5);
        const std::vector<TRect> rb = RandomRects(rng, 5);
        const TRegion a = TRegion::FromRects(ra);
        const TRegion b = TRegion::FromRects(rb);
        const PixelSet pa = PixelsOfRects(ra);
        const PixelSet pb = PixelsOfRects(rb);
        ASSERT_EQ(RegionPixels(a, all), pa);
        PixelSet u = pa, i, s;
        for (const auto& p : pb)
            u.insert(p);
        for (const auto& p : pa)
            (pb.count(p) ? i : s).insert(p);
        ASSERT_EQ(RegionPixels(a.Union(b), all), u);
        ASSERT_EQ(RegionPixels(a.Intersect(b), all), i);
        ASSERT_EQ(RegionPixels(a.Subtract(b), all), s);
        ExpectCanonical(a.Union(b));
        ExpectCanonical(a.Intersect(b));
        ExpectCanonical(a.Subtract(b));
        // The same pixels built another way give the same rectangles.
        std::vector<TRect> reversed(ra.rbegin(), ra.rend());
        ASSERT_EQ(TRegion::FromRects(reversed), a);
        ASSERT_EQ(b.Union(a), a.Union(b));
    }
}

TEST(Region, PointTestBoundsAndOffset)
{
    const TRegion r = TRegion::FromRects({{0, 0, 4, 2}, {6, 0, 8, 2}, {2, 2, 5, 6}});
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(7, 1));
    EXPECT_FALSE(r.Contains(5, 1));
    EXPECT_FALSE(r.Contains(8, 1));
    EXPECT_TRUE(r.Contains(4, 5));
    EXPECT_FALSE(r.Contains(4, 6));
    EXPECT_EQ(r.BoundingBox(), (TRect{0, 0, 8, 6}));
    const TRegion moved = r.Offset(-3, 10);
    EXPECT_TRUE(moved.Contains(-3, 10));
    EXPECT_FALSE(moved.Contains(0, 0));
    EXPECT_EQ(moved.BoundingBox(), (TRect{-3, 10, 5, 16}));
    EXPECT_EQ(TRegion().BoundingBox(), TRect{});
    EXPECT_TRUE(TRegion({3, 3, 3, 9}).IsEmpty());
    // Saturates rather than wrapping at the edge of the coordinate range.
    const TRegion far = TRegion({0, 0, 10, 10}).Offset(INT_MAX - 5, 0);
    EXPECT_EQ(far.BoundingBox(), (TRect{INT_MAX - 5, 0, INT_MAX, 10}));
}

TEST(Region, DataRoundTripKeepsTheHeaderLayout)
{
    const TRegion r = TRegion::FromRects({{1, 2, 5, 4}, {-3, 4, 9, 7}});
    const std::vector<std::uint8_t> data = r.ToData();
    ASSERT_EQ(data.size(), 32u + 16u * r.Rects().size());
    auto le = [&data](std::size_t at) {
        return std::int32_t(std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
                            std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24);
    };
    EXPECT_EQ(le(0), 32);
    EXPECT_EQ(le(4), 1);
    EXPECT_EQ(le(8), int(r.Rects().size()));
    EXPECT_EQ(le(12), int(16 * r.Rects().size()));
    EXPECT_EQ((TRect{le(16), le(20), le(24), le(28)}), (TRect{-3, 2, 9, 7}));
    EXPECT_EQ((TRect{le(32), le(36), le(40), le(44)}), (TRect{1, 2, 5, 4}));

    TRegion back;
    ASSERT_TRUE(TRegion::FromData(data.data(), data.size(), back));
    EXPECT_EQ(back, r);
}

std::vector<std::uint8_t> Header(std::uint32_t dwSize, std::uint32_t count)
{
    std::vector<std::uint8_t> d(32, 0);
    for (int i = 0; i < 4; ++i) {
        d[std::size_t(i)] = std::uint8_t(dwSize >> (8 * i));
        d[std::size_t(8 + i)] = std::uint8_t(count >> (8 * i));
    }
    d[4] = 1;
    return d;
}

void AppendRect(std::vector<std::uint8_t>& d, TRect r)
{
    for (int v : {r.Left, r.Top, r.Right, r.Bottom})
        for (int i = 0; i < 4; ++i)
            d.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
}

struct DataCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool ok;
    TRegion expected;
};

class RegionDataTable : public ::testing::TestWithParam<DataCase> {};

TEST_P(RegionDataTable, ParsesOrRejectsSafely)
{
    const DataCase& c = GetParam();
    TRegion out({0, 0, 1, 1});
    EXPECT_EQ(TRegion::FromData(c.bytes.data(), c.bytes.size(), out), c.ok);
    EXPECT_EQ(out, c.expected);
}

std::vector<std::uint8_t> WithRects(std::vector<std::uint8_t> d, std::initializer_list<TRect> rects)
{
    for (const TRect& r : rects)
        AppendRect(d, r);
    return d;
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> d)
{
    d.pop_back();
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Region, RegionDataTable,
    ::testing::Values(
        DataCase{"Empty", {}, false, {}},
        DataCase{"ShortHeader", std::vector<std::uint8_t>(31, 0), false, {}},
        DataCase{"HeaderSizeTooSmall", WithRects(Header(31, 1), {{0, 0, 2, 2}}), false, {}},
        DataCase{"CountBeyondData", WithRects(Header(32, 2), {{0, 0, 2, 2}}), false, {}},
        DataCase{"CountHuge", WithRects(Header(32, 0xFFFFFFFFu), {{0, 0, 2, 2}}), false, {}},
        DataCase{"TruncatedRect", Truncated(WithRects(Header(32, 1), {{0, 0, 2, 2}})), false, {}},
        DataCase{"NoRects", Header(32, 0), true, {}},
        DataCase{"BiggerHeaderSizeStillReadsAt32", WithRects(Header(48, 1), {{0, 0, 2, 2}}), true,
                 TRegion({0, 0, 2, 2})},
        DataCase{"EmptyAndInvertedRectsSkipped", WithRects(Header(32, 3), {{0, 0, 2, 2}, {5, 5, 5, 9}, {9, 9, 4, 4}}),
                 true, TRegion({0, 0, 2, 2})},
        DataCase{"OverlapsAreUnited", WithRects(Header(32, 2), {{0, 0, 4, 4}, {2, 2, 6, 6}}), true,
                 TRegion({0, 0, 4, 4}).Union(TRegion({2, 2, 6, 6}))},
        DataCase{"ExtraBytesIgnored", WithRects(Header(32, 1), {{1, 1, 3, 3}, {7, 7, 9, 9}}), true,
                 TRegion({1, 1, 3, 3})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Region, NullDataIsRejected)
{
    TRegion out({0, 0, 1, 1});
    EXPECT_FALSE(TRegion::FromData(nullptr, 100, out));
    EXPECT_TRUE(out.IsEmpty());
}

TEST(Region, FromImageExceptTakesEveryNonKeyPixelAndMergesRows)
{
    TBitmap bmp;
    bmp.SetSize(12, 10);
    bmp.Canvas().Brush().Color = clFuchsia;
    bmp.Canvas().FillRect({0, 0, 12, 10});
    bmp.Canvas().Brush().Color = clBlue;
    bmp.Canvas().Pen().Color = clRed;
    bmp.Canvas().Polygon({{6, 0}, {11, 5}, {6, 9}, {0, 5}});
    const TRegion rgn = TRegion::FromImageExcept(bmp.Image(), clFuchsia);
    EXPECT_EQ(RegionPixels(rgn, {0, 0, 12, 10}), PixelsNot(bmp, clFuchsia));
    ExpectCanonical(rgn);

    // A solid block is one rectangle.
    bmp.Canvas().Brush().Color = clFuchsia;
    bmp.Canvas().FillRect({0, 0, 12, 10});
    bmp.Canvas().Brush().Color = clBlue;
    bmp.Canvas().FillRect({2, 3, 7, 9});
    EXPECT_EQ(TRegion::FromImageExcept(bmp.Image(), clFuchsia).Rects(), (std::vector<TRect>{{2, 3, 7, 9}}));
    EXPECT_TRUE(TRegion::FromImageExcept(QImage(), clFuchsia).IsEmpty());
    // A system colour key resolves to its RGB.
    bmp.Canvas().Brush().Color = clBtnFace;
    bmp.Canvas().FillRect({0, 0, 12, 10});
    EXPECT_TRUE(TRegion::FromImageExcept(bmp.Image(), clBtnFace).IsEmpty());
}

TEST(Region, QRegionHoldsTheSamePixels)
{
    const TRegion r = TRegion::FromPolygon({{2, 0}, {14, 6}, {3, 12}}, fmAlternate);
    const QRegion q = r.ToQRegion();
    for (int y = -1; y < 14; ++y)
        for (int x = -1; x < 16; ++x)
            ASSERT_EQ(q.contains(QPoint(x, y)), r.Contains(x, y)) << x << "," << y;
    EXPECT_EQ(q.rectCount(), int(r.Rects().size()));
}

// Region data may reach the ends of the int range, where a QRect's width and
// last pixel overflow: the Qt region is cut to the range Qt can hold.
TEST(Region, QRegionOfAHugeRegionIsCutToQtsRange)
{
    const int limit = TRegion::kQtCoordinateLimit;
    const TRegion r = TRegion({INT_MIN, -5, INT_MAX, 5}).Union(TRegion({0, INT_MAX - 3, 3, INT_MAX}));
    const QRegion q = r.ToQRegion();
    EXPECT_EQ(q.boundingRect(), QRect(QPoint(-limit, -5), QPoint(limit - 1, 4)));
    for (const QPoint p : {QPoint(-limit, 0), QPoint(0, -5), QPoint(limit - 1, 4)})
        EXPECT_TRUE(q.contains(p)) << p.x() << "," << p.y();
    EXPECT_TRUE(TRegion({INT_MIN, INT_MIN, -limit, -limit}).ToQRegion().isEmpty());
}

// The one-row point test agrees with the full region, in both fill modes,
// for a plain shape, a self-crossing star and a shape reaching far outside.
TEST(Region, PolygonPointTestAgreesWithThePolygonRegion)
{
    const std::vector<std::vector<TPoint>> figures = {
        {{2, 0}, {14, 6}, {3, 12}},
        {{10, 0}, {13, 20}, {0, 7}, {20, 7}, {7, 20}},
        {{-3000, 5}, {25, -4000}, {12, 25}},
    };
    for (const auto& pts : figures)
        for (const TFillMode mode : {fmAlternate, fmWinding}) {
            const TRegion r = TRegion::FromPolygon(pts, mode);
            for (int y = -2; y < 24; ++y)
                for (int x = -2; x < 24; ++x)
                    ASSERT_EQ(TRegion::PolygonContains(pts, mode, x, y), r.Contains(x, y)) << x << "," << y;
        }
    EXPECT_FALSE(TRegion::PolygonContains({}, fmWinding, 0, 0));
    EXPECT_FALSE(TRegion::PolygonContains({{0, 0}, {5, 5}}, fmWinding, 1, 1));
}

TEST(Region, HugeAxisAlignedPolygonStaysSmall)
{
    const int big = 1000000000;
    const TRegion r = TRegion::FromPolygon({{-big, -big}, {big, -big}, {big, big}, {-big, big}}, fmWinding);
    EXPECT_EQ(r.Rects(), (std::vector<TRect>{{-big, -big, big, big}}));
}

}  // namespace

namespace {

// A key's shape: the outlined diamond drawn on the key colour, read back.
TEST(Region, OutlinedDiamondReachesItsFourPointsButNotTheCorners)
{
    TBitmap key(75, 150);
    TCanvas& c = key.Canvas();
    c.Brush().Color = clFuchsia;
    c.FillRect({0, 0, 75, 150});
    c.Brush().Color = clBtnFace;
    c.Polygon({{37, 0}, {74, 74}, {37, 149}, {0, 74}, {37, 0}});
    const TRegion rgn = TRegion::FromImageExcept(key.Image(), clFuchsia);
    for (TPoint p : {TPoint{37, 0}, TPoint{74, 74}, TPoint{37, 149}, TPoint{0, 74}})
        EXPECT_TRUE(rgn.Contains(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_FALSE(rgn.Contains(0, 0));
    EXPECT_FALSE(rgn.Contains(74, 149));
    EXPECT_EQ(rgn.BoundingBox(), (TRect{0, 0, 75, 150}));
}

}  // namespace

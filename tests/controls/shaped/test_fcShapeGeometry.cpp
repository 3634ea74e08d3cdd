#include "controls/shaped/fcShapeGeometry.h"
#include "platform/core/Exceptions.h"

#include "tests/controls/shaped/ShapedTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Points = std::vector<TPoint>;

TfcShapeGeometry Geometry(TfcButtonShape shape, TfcShapeOrientation o, int width, int height, QStringList lines = {})
{
    return {shape, o, width, height, std::move(lines)};
}

std::string Dump(const Points& pts)
{
    QString s;
    for (TPoint p : pts)
        s += QStringLiteral("(%1,%2)").arg(p.x).arg(p.y);
    return s.toStdString();
}

struct PointsCase {
    const char* name;
    TfcShapeGeometry geometry;
    Points expected;
};

class ShapePointsTable : public ::testing::TestWithParam<PointsCase> {};

TEST_P(ShapePointsTable, GivesTheOutline)
{
    const Points got = fcShapePoints(GetParam().geometry);
    EXPECT_EQ(got, GetParam().expected) << GetParam().name << ": " << Dump(got);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShapePointsTable,
    ::testing::Values(
        PointsCase{"key", Geometry(bsDiamond, soUp, 75, 150), {{37, 0}, {74, 74}, {37, 149}, {0, 74}, {37, 0}}},
        PointsCase{"arrow up",
                   Geometry(bsArrow, soUp, 137, 33),
                   {{0, 10}, {68, 0}, {136, 10}, {102, 10}, {102, 32}, {34, 32}, {34, 10}, {0, 10}}},
        PointsCase{"arrow right",
                   Geometry(bsArrow, soRight, 137, 33),
                   {{94, 0}, {136, 16}, {94, 32}, {94, 24}, {0, 24}, {0, 8}, {94, 8}, {94, 0}}},
        PointsCase{"arrow left",
                   Geometry(bsArrow, soLeft, 137, 33),
                   {{43, 32}, {0, 16}, {43, 0}, {43, 8}, {136, 8}, {136, 24}, {43, 24}, {43, 32}}},
        PointsCase{"triangle", Geometry(bsTriangle, soUp, 11, 21), {{5, 0}, {10, 20}, {0, 20}, {5, 0}}},
        PointsCase{"rect", Geometry(bsRect, soUp, 11, 21), {{0, 0}, {10, 0}, {10, 20}, {0, 20}, {0, 0}}},
        PointsCase{"trapezoid wide", Geometry(bsTrapezoid, soUp, 41, 11), {{5, 0}, {35, 0}, {40, 10}, {0, 10}, {5, 0}}},
        PointsCase{"trapezoid tall", Geometry(bsTrapezoid, soUp, 41, 101), {{10, 0}, {30, 0}, {40, 100}, {0, 100}, {10, 0}}},
        PointsCase{"star",
                   Geometry(bsStar, soUp, 100, 100),
                   {{49, 0}, {62, 37}, {99, 37}, {70, 61}, {81, 99}, {49, 77}, {17, 99}, {29, 61}, {0, 37}, {37, 37},
                    {49, 0}}},
        PointsCase{"round rect", Geometry(bsRoundRect, soRight, 75, 150), {}},
        PointsCase{"ellipse", Geometry(bsEllipse, soUp, 75, 150), {}},
        PointsCase{"custom rect",
                   Geometry(bsCustom, soUp, 11, 21, {"0, 0", "WIDTH, 0", "width,height", "0,HEIGHT"}),
                   {{0, 0}, {10, 0}, {10, 20}, {0, 20}, {0, 0}}},
        PointsCase{"custom expressions",
                   Geometry(bsCustom, soUp, 11, 21, {"10, HEIGHT/2", "WIDTH-3 ,  1", "2*3+1,HEIGHT-WIDTH, 99"}),
                   {{10, 10}, {7, 1}, {7, 10}, {10, 10}}},
        PointsCase{"custom two lines", Geometry(bsCustom, soUp, 11, 21, {"0, 0", "1, 1"}), {}},
        PointsCase{"custom far away", Geometry(bsCustom, soUp, 11, 21, {"0, 0", "99999, 0", "0, 2147483647"}),
                   {{0, 0}, {32767, 0}, {0, 32767}, {0, 0}}},
        PointsCase{"zero width", Geometry(bsDiamond, soUp, 0, 150), {}},
        PointsCase{"negative height", Geometry(bsRect, soUp, 10, -5), {}},
        // One pixel wide or high: a quarter turn would divide by zero, so the
        // outline stays unturned (a line, which fills the whole rectangle).
        PointsCase{"one pixel wide turned", Geometry(bsDiamond, soRight, 1, 9), {{0, 0}, {0, 4}, {0, 8}, {0, 4}, {0, 0}}},
        PointsCase{"one pixel high turned", Geometry(bsArrow, soLeft, 9, 1),
                   {{0, 0}, {4, 0}, {8, 0}, {6, 0}, {6, 0}, {2, 0}, {2, 0}, {0, 0}}},
        PointsCase{"one pixel", Geometry(bsStar, soDown, 1, 1),
                   {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
        PointsCase{"very wide arrow",
                   Geometry(bsArrow, soRight, 10000, 33),
                   {{6875, 0}, {9999, 15}, {6875, 32}, {6875, 24}, {0, 24}, {0, 7}, {6875, 7}, {6875, 0}}}));

TEST(ShapeRotation, DownIsTwoQuarterTurnsNotAMirror)
{
    for (TfcButtonShape shape : {bsTriangle, bsArrow, bsStar, bsTrapezoid}) {
        Points twice = fcShapePoints(Geometry(shape, soRight, 61, 41));
        fcRotatePoints(twice, 60, 40, soRight);
        EXPECT_EQ(fcShapePoints(Geometry(shape, soDown, 61, 41)), twice) << int(shape);
        // A true half turn of the triangle puts its apex at the bottom.
    }
    const Points tri = fcShapePoints(Geometry(bsTriangle, soDown, 61, 41));
    EXPECT_EQ(tri.front(), (TPoint{30, 40}));
}

TEST(ShapeRotation, FourQuarterTurnsOfASquareBoxRestoreThePoints)
{
    const Points up = fcShapePoints(Geometry(bsArrow, soUp, 41, 41));
    Points turned = up;
    for (int i = 0; i < 4; ++i)
        fcRotatePoints(turned, 40, 40, soRight);
    EXPECT_EQ(turned, up);
}

TEST(CustomPoints, ErrorsCarryTheirMessagesAndKinds)
{
    const QString format = QStringLiteral(
        "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
    try {
        fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "5 5", "1, 1"}));
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), format);
    }
    EXPECT_THROW(fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "", "1, 1"})), EInvalidOperation);
    EXPECT_THROW(fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "X, 1", "1, 1"})), EInvalidOperation);
    EXPECT_THROW(fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "1/0, 1", "1, 1"})), EInvalidOperation);
    EXPECT_THROW(fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "1,,1", "1, 1"})), EConvertError);
    EXPECT_THROW(fcShapePoints(Geometry(bsCustom, soUp, 11, 21, {"0, 0", "-1, 1", "1, 1"})), EConvertError);
}

TEST(CustomPoints, AnyTextIsAValueOrAnError)
{
    const std::string alphabet = "0123456789+-*/, WIDTHEIGHwh\t";
    unsigned seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int n = 0; n < 500; ++n) {
        QStringList lines;
        for (int l = 0; l < 3 + int(next() >> 30); ++l) {
            std::string s;
            for (int i = int(next() >> 28); i > 0; --i)
                s += alphabet[(next() >> 16) % alphabet.size()];
            lines << QString::fromStdString(s);
        }
        for (TfcShapeOrientation o : {soLeft, soRight, soUp, soDown}) {
            try {
                for (TPoint p : fcShapePoints(Geometry(bsCustom, o, 1 + int(next() >> 24), 1 + int(next() >> 28), lines))) {
                    EXPECT_LE(std::abs(p.x), 1 << 25);
                    EXPECT_LE(std::abs(p.y), 1 << 25);
                }
            } catch (const EInvalidOperation&) {
            } catch (const EConvertError&) {
            }
        }
    }
}

TEST(KeyColour, IsRedUnlessTheFaceIsRed)
{
    EXPECT_EQ(fcKeyColour(clBtnFace), clRed);
    EXPECT_EQ(fcKeyColour(RGB(240, 202, 166)), clRed);
    EXPECT_EQ(fcKeyColour(RGB(254, 0, 0)), clRed);
    EXPECT_EQ(fcKeyColour(clRed), clBlue);
}

}  // namespace

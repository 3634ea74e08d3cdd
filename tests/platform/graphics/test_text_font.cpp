// Fonts: face resolution, heights and metrics, the font object's setters.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

TLogFont LogFont(const QString& face, int height, int weight = FW_NORMAL)
{
    TLogFont lf;
    lf.lfFaceName = face;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    return lf;
}

// Rows [top, bottom) of the image that hold any pixel other than white.
std::pair<int, int> InkRows(const QImage& img)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != 0xFFFFFFFFu) {
                if (top < 0)
                    top = y;
                bottom = y + 1;
                break;
            }
    return {top, bottom};
}

} // namespace

TEST(FontFaces, WindowsFacesLandOnTheirMetricTwins)
{
    const struct {
        const char* face;
        const char* family;
    } cases[] = {
        {"Times New Roman", "Liberation Serif"}, {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},      {"MS Sans Serif", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
    };
    for (const auto& c : cases) {
        const QFont f = MakeQtFont(c.face, -13, FW_NORMAL, false, false, false);
        EXPECT_EQ(QFontInfo(f).family(), QString(c.family)) << c.face;
    }
}

TEST(FontFaces, UnknownFaceFallsBackToASansFaceAndStillMeasures)
{
    TBitmap bmp(60, 30);
    auto font = CreateFontIndirect(LogFont("No Such Face Anywhere", -12));
    EXPECT_EQ(QFontInfo(font->QtFont()).family(), QString("Liberation Sans"));
    bmp.Canvas().SelectFont(font.get());
    EXPECT_GT(bmp.Canvas().TextWidth("Hello"), 10);
    EXPECT_EQ(bmp.Canvas().GetTextMetrics().tmHeight - bmp.Canvas().GetTextMetrics().tmInternalLeading, 12);
    bmp.Canvas().SelectFont(nullptr);
}

// A negative height is the em height: tmHeight - tmInternalLeading, and the
// glyphs drawn are really that size: a capital stands on the baseline (the
// cell top plus the ascent) and is about two thirds of an em tall.
TEST(FontMetrics, NegativeHeightIsTheCharacterHeight)
{
    for (const char* face : {"Times New Roman", "MS Sans Serif", "Arial"}) {
        for (int em : {8, 11, 12, 13, 16, 20, 27}) {
            for (int weight : {FW_NORMAL, FW_BOLD}) {
                auto font = CreateFontIndirect(LogFont(face, -em, weight));
                TBitmap bmp(4 * em, 3 * em);
                TCanvas& c = bmp.Canvas();
                c.SelectFont(font.get());
                const TTextMetric tm = c.GetTextMetrics();
                EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em) << face << " " << em;
                EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
                EXPECT_GE(tm.tmInternalLeading, 0);
                EXPECT_EQ(c.TextHeight("x"), tm.tmHeight);
                c.SetBkMode(bkTransparent);
                c.SetTextColor(clBlack);
                c.TextOut(2, em, "H");
                const auto [top, bottom] = InkRows(bmp.Image());
                EXPECT_EQ(bottom, em + tm.tmAscent) << face << " " << em;
                EXPECT_GE(bottom - top, em * 6 / 10) << face << " " << em;
                EXPECT_LE(bottom - top, em * 3 / 4 + 1) << face << " " << em;
                c.SelectFont(nullptr);
            }
        }
    }
}

TEST(FontMetrics, PositiveHeightIsTheCellHeight)
{
    for (int cell : {10, 13, 16, 19, 25}) {
        TBitmap bmp(10, 10);
        auto font = CreateFontIndirect(LogFont("Times New Roman", cell));
        bmp.Canvas().SelectFont(font.get());
        EXPECT_NEAR(bmp.Canvas().GetTextMetrics().tmHeight, cell, 1) << cell;
        bmp.Canvas().SelectFont(nullptr);
    }
}

TEST(FontMetrics, BoldIsWiderAndStylesReachQt)
{
    const QFont plain = MakeQtFont("Arial", -12, FW_NORMAL, false, false, false);
    const QFont bold = MakeQtFont("Arial", -12, FW_BOLD, true, true, true);
    EXPECT_TRUE(bold.bold());
    EXPECT_TRUE(bold.italic());
    EXPECT_TRUE(bold.underline());
    EXPECT_TRUE(bold.strikeOut());
    EXPECT_FALSE(plain.bold());
    EXPECT_GT(QFontMetrics(bold).horizontalAdvance("MMMMMMMM"), QFontMetrics(plain).horizontalAdvance("MMMMMMMM"));
}

TEST(FontHandles, LiveCountReturnsToItsStart)
{
    const int start = THFont::LiveCount();
    {
        auto a = CreateFontIndirect(LogFont("Arial", -11));
        auto b = CreateFontIndirect(LogFont("Times New Roman", -11));
        EXPECT_EQ(THFont::LiveCount(), start + 2);
    }
    EXPECT_EQ(THFont::LiveCount(), start);
}

TEST(FontHandles, FaceNameIsCutTo31Characters)
{
    const auto f = CreateFontIndirect(LogFont(QString(40, u'x'), -11));
    EXPECT_EQ(f->LogFont().lfFaceName.size(), 31);
}

TEST(FontObject, DefaultsAndSettersNotifyOnlyOnChange)
{
    TFont f;
    EXPECT_EQ(f.Name(), QString("MS Sans Serif"));
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Color(), clWindowText);
    int changes = 0;
    f.OnChange = [&changes] { ++changes; };
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
    f.SetColor(clWindowText);
    f.SetStyle(0);
    f.SetCharset(DEFAULT_CHARSET);
    f.SetSize(8);
    EXPECT_EQ(changes, 0);
    f.SetName("Times New Roman");
    f.SetHeight(-13);
    f.SetStyle(fsBold);
    f.SetColor(clRed);
    f.SetCharset(RUSSIAN_CHARSET);
    EXPECT_EQ(changes, 5);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(changes, 6);
}

TEST(FontObject, AssignCopiesEverythingWithOneNotification)
{
    TFont a;
    TFont b;
    b.SetName("Arial");
    b.SetHeight(-20);
    b.SetStyle(fsItalic | fsUnderline);
    b.SetColor(clBlue);
    int changes = 0;
    a.OnChange = [&changes] { ++changes; };
    a.Assign(b);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(a.SameAs(b));
    a.Assign(b);
    EXPECT_EQ(changes, 1);
    const TLogFont lf = a.ToLogFont();
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfFaceName, QString("Arial"));
}

// Options, notifications, normalisation and copying of the caption renderer.
#include "tests/controls/shaped/FcTextTestUtil.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

// Records the owner hooks and the virtual Changed in the order they run.
class NotifyingText : public TfcCaptionText {
public:
    explicit NotifyingText(std::vector<std::string>* log)
        : TfcCaptionText(nullptr, nullptr, [log] { log->push_back("OnChange"); },
                         [log] { log->push_back("OnSizeChange"); }),
          log_(log)
    {
    }
    void Changed() override
    {
        log_->push_back("Changed");
        TfcCaptionText::Changed();
    }

private:
    std::vector<std::string>* log_;
};

using Log = std::vector<std::string>;
const Log kChanged{"Changed", "OnChange"};
const Log kSizeAndChanged{"OnSizeChange", "Changed", "OnChange"};
const Log kDirectOnChange{"OnChange"};
const Log kNothing{};

struct SetterCase {
    const char* name;
    std::function<void(TfcText&)> set;
    Log expected;
};

const std::vector<SetterCase>& SetterCases()
{
    static const std::vector<SetterCase> cases{
        {"Alignment", [](TfcText& t) { t.SetAlignment(taCenter); }, kChanged},
        {"VAlignment", [](TfcText& t) { t.SetVAlignment(vaBottom); }, kChanged},
        {"HighlightColor", [](TfcText& t) { t.SetHighlightColor(clRed); }, kChanged},
        {"ShadeColor", [](TfcText& t) { t.SetShadeColor(clRed); }, kChanged},
        {"OutlineColor", [](TfcText& t) { t.SetOutlineColor(clRed); }, kChanged},
        {"LineSpacing", [](TfcText& t) { t.SetLineSpacing(-3); }, kSizeAndChanged},
        {"Style", [](TfcText& t) { t.SetStyle(fclsOutline); }, kSizeAndChanged},
        {"Options", [](TfcText& t) { t.SetOptions({toShowEllipsis}); }, kSizeAndChanged},
        {"WordWrap", [](TfcText& t) { t.SetWordWrap(true); }, kChanged},
        {"DoubleBuffered", [](TfcText& t) { t.SetDoubleBuffered(true); }, kNothing},
        {"Text", [](TfcText& t) { t.SetText(QStringLiteral("ДО")); }, kNothing},
        {"Shadow.Color", [](TfcText& t) { t.Shadow().SetColor(clRed); }, kChanged},
        {"Shadow.Enabled", [](TfcText& t) { t.Shadow().SetEnabled(true); }, kSizeAndChanged},
        {"Shadow.XOffset", [](TfcText& t) { t.Shadow().SetXOffset(1); }, kSizeAndChanged},
        {"Shadow.YOffset", [](TfcText& t) { t.Shadow().SetYOffset(1); }, kSizeAndChanged},
        {"Extrude.Depth", [](TfcText& t) { t.ExtrudeEffects().SetDepth(0); }, kSizeAndChanged},
        {"Extrude.Enabled", [](TfcText& t) { t.ExtrudeEffects().SetEnabled(true); }, kSizeAndChanged},
        {"Extrude.Orientation", [](TfcText& t) { t.ExtrudeEffects().SetOrientation(fcTop); }, kSizeAndChanged},
        {"Extrude.FarColor", [](TfcText& t) { t.ExtrudeEffects().SetFarColor(clRed); }, kChanged},
        {"Extrude.NearColor", [](TfcText& t) { t.ExtrudeEffects().SetNearColor(clRed); }, kChanged},
        {"Extrude.Striated", [](TfcText& t) { t.ExtrudeEffects().SetStriated(true); }, kChanged},
        {"Disabled.HighlightColor", [](TfcText& t) { t.DisabledColors().SetHighlightColor(clRed); },
         kDirectOnChange},
        {"Disabled.ShadeColor", [](TfcText& t) { t.DisabledColors().SetShadeColor(clRed); }, kDirectOnChange},
    };
    return cases;
}

}  // namespace

TEST(FcTextOptions, ConstructionDefaults)
{
    TfcCaptionText t(nullptr, nullptr);
    EXPECT_EQ(t.Alignment(), taLeftJustify);
    EXPECT_EQ(t.VAlignment(), vaTop);
    EXPECT_EQ(t.HighlightColor(), clBtnHighlight);
    EXPECT_EQ(t.ShadeColor(), clBtnShadow);
    EXPECT_EQ(t.OutlineColor(), clBlack);
    EXPECT_EQ(t.LineSpacing(), 5);
    EXPECT_EQ(t.Options(), TfcTextOptions{toShowAccel});
    EXPECT_EQ(t.DrawFlags(), unsigned(DT_NOCLIP));
    EXPECT_EQ(t.Rotation(), 0);
    EXPECT_EQ(t.Style(), fclsDefault);
    EXPECT_FALSE(t.WordWrap());
    EXPECT_FALSE(t.DoubleBuffered());
    EXPECT_FALSE(t.Buffering());
    EXPECT_EQ(t.BufferBitmap(), nullptr);

    EXPECT_EQ(t.Shadow().Color(), clBtnShadow);
    EXPECT_FALSE(t.Shadow().Enabled());
    EXPECT_EQ(t.Shadow().XOffset(), 10);
    EXPECT_EQ(t.Shadow().YOffset(), 10);
    EXPECT_EQ(t.ExtrudeEffects().Depth(), 10);
    EXPECT_FALSE(t.ExtrudeEffects().Enabled());
    EXPECT_EQ(t.ExtrudeEffects().FarColor(), clBlack);
    EXPECT_EQ(t.ExtrudeEffects().NearColor(), clBlack);
    EXPECT_EQ(t.ExtrudeEffects().Orientation(), fcBottomRight);
    EXPECT_FALSE(t.ExtrudeEffects().Striated());
    EXPECT_EQ(t.DisabledColors().HighlightColor(), clBtnHighlight);
    EXPECT_EQ(t.DisabledColors().ShadeColor(), clBtnShadow);
}

// Each setter notifies as listed, OnSizeChange before Changed; the disabled
// colours call OnChange without going through Changed; the same value again
// does nothing.
TEST(FcTextOptions, SettersNotifyAsListedAndOnlyOnChange)
{
    for (const SetterCase& c : SetterCases()) {
        SCOPED_TRACE(c.name);
        Log log;
        NotifyingText t(&log);
        c.set(t);
        EXPECT_EQ(log, c.expected);
        log.clear();
        c.set(t);
        EXPECT_EQ(log, kNothing) << "same value notified again";
    }
}

TEST(FcTextOptions, UnassignedHooksAreNotCalled)
{
    TfcCaptionText t(nullptr, nullptr);
    for (const SetterCase& c : SetterCases())
        EXPECT_NO_THROW(c.set(t)) << c.name;
    EXPECT_NO_THROW(t.SetRotation(7));
}

TEST(FcTextOptions, RotationIsNormalisedAndAlwaysNotifies)
{
    struct Case {
        int in;
        int stored;
    };
    const Case cases[] = {{0, 0},     {45, 45},    {359, 359},  {360, 0},    {400, 40},      {-1, 359},
                          {-90, 270}, {-360, 360}, {-720, 360}, {-361, 359}, {INT_MAX, 127},   {INT_MIN, 232}};
    for (const Case& c : cases) {
        Log log;
        NotifyingText t(&log);
        t.SetRotation(c.in);
        EXPECT_EQ(t.Rotation(), c.stored) << c.in;
        log.clear();
        t.SetRotation(c.in);
        EXPECT_EQ(log, kSizeAndChanged) << "rotation never compares";
    }
}

TEST(FcTextOptions, DrawFlagsFollowOptionsAndWordWrap)
{
    struct Case {
        TfcTextOptions options;
        bool wordWrap;
        unsigned flags;
    };
    const Case cases[] = {
        {{toShowAccel}, false, DT_NOCLIP},
        {{}, false, DT_NOCLIP | DT_NOPREFIX},
        {{toShowEllipsis}, true, DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS | DT_WORDBREAK},
        {{toShowAccel, toShowEllipsis, toFullJustify}, false, DT_NOCLIP | DT_END_ELLIPSIS},
        {{toFullJustify}, true, DT_NOCLIP | DT_NOPREFIX | DT_WORDBREAK},
    };
    for (const Case& c : cases) {
        TfcCaptionText t(nullptr, nullptr);
        t.SetOptions(c.options);
        t.SetWordWrap(c.wordWrap);
        EXPECT_EQ(t.DrawFlags(), c.flags) << int(c.options.Bits());
        // And back: the bits follow every change, not only the first.
        t.SetOptions({toShowAccel});
        t.SetWordWrap(false);
        EXPECT_EQ(t.DrawFlags(), unsigned(DT_NOCLIP));
    }
}

TEST(FcTextOptions, LogicalFontFollowsFontAndRotation)
{
    TFont f;
    f.SetName(QStringLiteral("A face name that is far longer than thirty-one characters"));
    f.SetHeight(-11);
    f.SetStyle(fsBold | fsItalic | fsStrikeOut);
    f.SetCharset(DEFAULT_CHARSET);
    TfcCaptionText t(&f, nullptr);

    TLogFont lf;
    t.GetLogFont(lf);
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_DEFAULT_PRECIS);
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH);
    EXPECT_EQ(lf.lfFaceName, f.Name().left(31));

    f.SetStyle(fsUnderline);
    f.SetCharset(RUSSIAN_CHARSET);
    t.SetRotation(-360);  // a full turn: drawn flat, but asks for outline fonts only
    t.GetLogFont(lf);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(lf.lfEscapement, 3600);
    EXPECT_EQ(lf.lfOrientation, 3600);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
}

TEST(FcTextOptions, SnapDownForgivesRoundingNoiseOnly)
{
    struct Case {
        double x;
        int expected;
    };
    const Case cases[] = {
        {3.0, 3},       {3.0 - 0.00005, 3}, {3.0 - 0.001, 2}, {3.7, 3},       {0.0, 0},
        {-0.00005, 0},  {-0.001, -1},       {-2.5, -3},       {2.5, 2},       {-7.0, -7},
        {1e300, INT_MAX}, {-1e300, INT_MIN}, {std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SnapDown(c.x), c.expected) << c.x;
}

// The shadow gives up each axis on which the extrusion does not step the
// same way; the extrusion counts its depth on both axes or along its steps.
TEST(FcTextOptions, EffectiveOffsets)
{
    TfcCaptionText t(nullptr, nullptr);
    TfcShadowEffects& sh = t.Shadow();
    TfcExtrudeEffects& ex = t.ExtrudeEffects();
    EXPECT_EQ(sh.EffectiveOffset(), TPoint(0, 0));
    sh.SetEnabled(true);
    sh.SetXOffset(4);
    sh.SetYOffset(-6);
    EXPECT_EQ(sh.EffectiveOffset(), TPoint(4, -6));

    EXPECT_EQ(ex.EffectiveOffset(TfcAxes::Both), TPoint(0, 0));
    ex.SetEnabled(true);
    ex.SetDepth(7);
    struct Case {
        TfcOrientation o;
        TPoint shadow;
        TPoint alongSteps;
    };
    const Case cases[] = {
        {fcTopLeft, {4, 0}, {7, 7}},     {fcTopRight, {0, 0}, {7, 7}}, {fcBottomLeft, {4, -6}, {7, 7}},
        {fcBottomRight, {0, -6}, {7, 7}}, {fcTop, {0, 0}, {0, 7}},      {fcRight, {0, 0}, {7, 0}},
        {fcLeft, {4, 0}, {7, 0}},        {fcBottom, {0, -6}, {0, 7}},
    };
    for (const Case& c : cases) {
        ex.SetOrientation(c.o);
        EXPECT_EQ(sh.EffectiveOffset(), c.shadow) << int(c.o);
        EXPECT_EQ(ex.EffectiveOffset(TfcAxes::AlongSteps), c.alongSteps) << int(c.o);
        EXPECT_EQ(ex.EffectiveOffset(TfcAxes::Both), TPoint(7, 7));
    }
    ex.SetOrientation(TfcOrientation(200));
    EXPECT_EQ(ex.Orientation(), fcBottom) << "a value outside the enumeration is ignored";
}

namespace {

void MakeEveryFieldDiffer(TfcText& s)
{
    s.SetAlignment(taRightJustify);
    s.DisabledColors().SetHighlightColor(clRed);
    s.DisabledColors().SetShadeColor(clGreen);
    s.SetDoubleBuffered(true);
    s.SetWordWrap(true);
    s.SetVAlignment(vaBottom);
    TfcExtrudeEffects& e = s.ExtrudeEffects();
    e.SetDepth(3);
    e.SetEnabled(true);
    e.SetFarColor(clRed);
    e.SetNearColor(clBlue);
    e.SetOrientation(fcTop);
    e.SetStriated(true);
    s.SetHighlightColor(clYellow);
    s.SetLineSpacing(9);
    s.SetOptions({toFullJustify});
    s.SetOutlineColor(clWhite);
    s.SetRotation(90);
    s.SetShadeColor(clNavy);
    s.Shadow().SetColor(clLime);
    s.Shadow().SetEnabled(true);
    s.Shadow().SetXOffset(2);
    s.Shadow().SetYOffset(3);
    s.SetStyle(fclsRaised);
    s.SetText(QStringLiteral("x"));
}

// The copied fields in their copy order, each with "equals the source".
std::vector<std::function<bool(const TfcText&, const TfcText&)>> CopyOrder()
{
    return {
        [](auto& d, auto& s) { return d.Alignment() == s.Alignment(); },
        [](auto& d, auto& s) {
            return d.DisabledColors().HighlightColor() == s.DisabledColors().HighlightColor() &&
                   d.DisabledColors().ShadeColor() == s.DisabledColors().ShadeColor();
        },
        [](auto& d, auto& s) { return d.DoubleBuffered() == s.DoubleBuffered(); },
        [](auto& d, auto& s) { return d.WordWrap() == s.WordWrap(); },
        [](auto& d, auto& s) { return d.VAlignment() == s.VAlignment(); },
        [](auto& d, auto& s) {
            const auto &a = d.ExtrudeEffects(), &b = s.ExtrudeEffects();
            return a.Depth() == b.Depth() && a.Enabled() == b.Enabled() && a.FarColor() == b.FarColor() &&
                   a.NearColor() == b.NearColor() && a.Orientation() == b.Orientation() &&
                   a.Striated() == b.Striated();
        },
        [](auto& d, auto& s) { return d.HighlightColor() == s.HighlightColor(); },
        [](auto& d, auto& s) { return d.LineSpacing() == s.LineSpacing(); },
        [](auto& d, auto& s) { return d.Options() == s.Options() && d.DrawFlags() == s.DrawFlags(); },
        [](auto& d, auto& s) { return d.OutlineColor() == s.OutlineColor(); },
        [](auto& d, auto& s) { return d.Rotation() == s.Rotation(); },
        [](auto& d, auto& s) { return d.ShadeColor() == s.ShadeColor(); },
        [](auto& d, auto& s) {
            const auto &a = d.Shadow(), &b = s.Shadow();
            return a.Color() == b.Color() && a.Enabled() == b.Enabled() && a.XOffset() == b.XOffset() &&
                   a.YOffset() == b.YOffset();
        },
        [](auto& d, auto& s) { return d.Style() == s.Style(); },
        [](auto& d, auto& s) { return d.Text() == s.Text(); },
    };
}

}  // namespace

// Every notification during Assign sees a prefix of the copy order already
// copied, so the fields are copied one after the other in that order, and
// through the setters (each one notifies).
TEST(FcTextAssign, CopiesInOrderThroughTheSetters)
{
    TfcCaptionText source(nullptr, nullptr);
    MakeEveryFieldDiffer(source);
    TfcCaptionText dest(nullptr, nullptr);
    const auto order = CopyOrder();
    std::vector<std::size_t> prefixes;
    dest.OnChange = [&] {
        std::size_t n = 0;
        while (n < order.size() && order[n](dest, source))
            ++n;
        for (std::size_t i = n; i < order.size(); ++i)
            ASSERT_FALSE(order[i](dest, source)) << "field " << i << " copied before field " << n;
        prefixes.push_back(n);
    };
    dest.Assign(&source);

    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_TRUE(order[i](dest, source)) << "field " << i << " not copied";
    EXPECT_TRUE(std::is_sorted(prefixes.begin(), prefixes.end()));
    // Every notifying field is seen arriving (DoubleBuffered and Text do not
    // notify, so they show up with the next field or at the end).
    for (std::size_t seen : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})
        EXPECT_NE(std::find(prefixes.begin(), prefixes.end(), seen), prefixes.end()) << seen;
}

TEST(FcTextAssign, FailingCopiesRaiseTheFrameworkErrors)
{
    TfcCaptionText text(nullptr, nullptr);
    TfcShadowEffects shadow;
    TfcExtrudeEffects extrude;

    try {
        text.Assign(&shadow);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TfcShadowEffects to a TfcCaptionText"));
    }
    EXPECT_THROW(shadow.Assign(&text), EInvalidCast);
    EXPECT_THROW(extrude.Assign(&text), EInvalidCast);
    try {
        shadow.Assign(&extrude);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TfcExtrudeEffects to a TfcShadowEffects"));
    }
    EXPECT_THROW(text.Assign(nullptr), EConvertError);
}

#pragma once

// The caption renderer of the shaped buttons: measures a caption and draws it
// flat, lowered, raised or outlined, with an optional drop shadow, extrusion,
// rotation, several lines, full justification and separate colours for a
// disabled owner. It draws on whatever canvas the owner hands it and owns
// neither the canvas nor the font.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/core/Colors.h"
#include "platform/ui/Controls.h"
#include "platform/graphics/Font.h"
#include "platform/core/Persistent.h"
#include "platform/core/Types.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/Alignment.h"  // TAlignment

enum TfcTextStyle : std::uint8_t { fclsDefault, fclsLowered, fclsRaised, fclsOutline };
enum TfcVAlignment : std::uint8_t { vaTop, vaVCenter, vaBottom };
enum TfcTextOption : std::uint8_t { toShowAccel, toShowEllipsis, toFullJustify };
enum TfcOrientation : std::uint8_t {
    fcTopLeft,
    fcTopRight,
    fcBottomLeft,
    fcBottomRight,
    fcTop,
    fcRight,
    fcLeft,
    fcBottom,
};

// A set of TfcTextOption, one bit per element.
class TfcTextOptions {
public:
    constexpr TfcTextOptions() = default;
    constexpr TfcTextOptions(std::initializer_list<TfcTextOption> items)
    {
        for (TfcTextOption o : items)
            bits_ = std::uint8_t(bits_ | Bit(o));
    }
    constexpr bool Contains(TfcTextOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr TfcTextOptions With(TfcTextOption o) const { return FromBits(std::uint8_t(bits_ | Bit(o))); }
    constexpr TfcTextOptions Without(TfcTextOption o) const { return FromBits(std::uint8_t(bits_ & ~Bit(o))); }
    constexpr std::uint8_t Bits() const { return bits_; }
    friend constexpr bool operator==(TfcTextOptions, TfcTextOptions) = default;

private:
    static constexpr std::uint8_t Bit(TfcTextOption o) { return std::uint8_t(1u << unsigned(o)); }
    static constexpr TfcTextOptions FromBits(std::uint8_t b)
    {
        TfcTextOptions s;
        s.bits_ = b;
        return s;
    }
    std::uint8_t bits_ = 0;
};

// One-pixel steps indexed by TfcOrientation: the direction of each extrusion
// step, and (in the same order) the offsets of the eight outline copies.
inline constexpr std::array<TPoint, 8> OrientationSteps{{
    {1, 1}, {-1, 1}, {1, -1}, {-1, -1}, {0, 1}, {-1, 0}, {1, 0}, {0, -1},
}};

// The integer nearest to x - 0.4999 (ties to even): the floor of x, except
// that values less than 0.0001 below an integer go up to it, so rounding
// noise of sin/cos does not lose a pixel. Saturates at the int range.
int SnapDown(double x);

// Width and height of a measured caption.
struct TfcSize {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const TfcSize&, const TfcSize&) = default;
};

// Whether a placement is for measuring only or for drawing (drawing limits
// the size to the bounds rectangle).
enum class TfcMeasure : std::uint8_t { ForDraw, MeasureOnly };
enum class TfcRelief : std::uint8_t { Lowered, Raised };
// Extrusion offset: the same depth on both axes, or only along the axes the
// orientation steps on.
enum class TfcAxes : std::uint8_t { Both, AlongSteps };

class TfcText;

class TfcShadowEffects : public TPersistent {
public:
    explicit TfcShadowEffects(TfcText* owner = nullptr) : owner_(owner) {}

    QString ClassName() const override { return QStringLiteral("TfcShadowEffects"); }
    void Assign(const TPersistent* source) override;

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int XOffset() const { return xOffset_; }
    void SetXOffset(int v);
    int YOffset() const { return yOffset_; }
    void SetYOffset(int v);

    // The offset the shadow adds to the caption's size and position: none
    // when disabled; an axis that points against the extrusion's steps (or
    // along which the extrusion does not step) counts as 0.
    TPoint EffectiveOffset() const;

private:
    TfcText* owner_;
    TColor color_ = clBtnShadow;
    bool enabled_ = false;
    int xOffset_ = 10;
    int yOffset_ = 10;
};

class TfcExtrudeEffects : public TPersistent {
public:
    explicit TfcExtrudeEffects(TfcText* owner = nullptr) : owner_(owner) {}

    QString ClassName() const override { return QStringLiteral("TfcExtrudeEffects"); }
    void Assign(const TPersistent* source) override;

    int Depth() const { return depth_; }
    void SetDepth(int v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    TColor FarColor() const { return farColor_; }
    void SetFarColor(TColor v);
    TColor NearColor() const { return nearColor_; }
    void SetNearColor(TColor v);
    TfcOrientation Orientation() const { return orientation_; }
    // Values outside the enumeration are ignored.
    void SetOrientation(TfcOrientation v);
    bool Striated() const { return striated_; }
    void SetStriated(bool v);

    TPoint Step() const { return OrientationSteps[orientation_]; }
    TPoint EffectiveOffset(TfcAxes axes) const;

private:
    TfcText* owner_;
    int depth_ = 10;
    bool enabled_ = false;
    TColor farColor_ = clBlack;
    TColor nearColor_ = clBlack;
    TfcOrientation orientation_ = fcBottomRight;
    bool striated_ = false;
};

class TfcDisabledColors : public TPersistent {
public:
    explicit TfcDisabledColors(TfcText* owner = nullptr) : owner_(owner) {}

    QString ClassName() const override { return QStringLiteral("TfcDisabledColors"); }
    void Assign(const TPersistent* source) override;

    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor v);
    TColor ShadeColor() const { return shadeColor_; }
    void SetShadeColor(TColor v);

private:
    TfcText* owner_;
    TColor highlightColor_ = clBtnHighlight;
    TColor shadeColor_ = clBtnShadow;
};

class TfcText : public TPersistent {
public:
    TfcText(TFont* font, TCanvas* canvas, std::function<void()> onChange = {},
            std::function<void()> onSizeChange = {}, std::function<bool()> onGetEnabled = {});
    ~TfcText() override;
    TfcText(const TfcText&) = delete;
    TfcText& operator=(const TfcText&) = delete;

    QString ClassName() const override { return QStringLiteral("TfcText"); }
    // Copies the published options of another text object through the
    // setters; anything else fails with the framework's cannot-assign error.
    void Assign(const TPersistent* source) override;

    // Owner hooks; unassigned ones are not called. Without OnGetEnabled the
    // owner counts as enabled.
    std::function<void()> OnChange;
    std::function<void()> OnSizeChange;
    std::function<bool()> OnGetEnabled;

    // Set by the owner before every measure and draw.
    TCanvas* Canvas() const { return canvas_; }
    void SetCanvas(TCanvas* c) { canvas_ = c; }
    TFont* Font() const { return font_; }
    void SetFont(TFont* f) { font_ = f; }
    const QString& Text() const { return text_; }
    void SetText(const QString& v);
    const TRect& BoundsRect() const { return boundsRect_; }
    void SetBoundsRect(const TRect& r) { boundsRect_ = r; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TfcVAlignment VAlignment() const { return vAlignment_; }
    void SetVAlignment(TfcVAlignment v);
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor v);
    TColor ShadeColor() const { return shadeColor_; }
    void SetShadeColor(TColor v);
    TColor OutlineColor() const { return outlineColor_; }
    void SetOutlineColor(TColor v);
    int LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(int v);
    TfcTextStyle Style() const { return style_; }
    void SetStyle(TfcTextStyle v);
    TfcTextOptions Options() const { return options_; }
    void SetOptions(TfcTextOptions v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // 0 to 360 after normalisation; every call notifies.
    int Rotation() const { return rotation_; }
    void SetRotation(int v);
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }

    TfcShadowEffects& Shadow() { return *shadow_; }
    const TfcShadowEffects& Shadow() const { return *shadow_; }
    TfcExtrudeEffects& ExtrudeEffects() { return *extrude_; }
    const TfcExtrudeEffects& ExtrudeEffects() const { return *extrude_; }
    TfcDisabledColors& DisabledColors() { return *disabledColors_; }
    const TfcDisabledColors& DisabledColors() const { return *disabledColors_; }

    unsigned DrawFlags() const { return drawFlags_; }
    const TRect& TextRect() const { return textRect_; }
    bool Buffering() const { return buffering_; }
    const TBitmap* BufferBitmap() const { return bufferBitmap_.get(); }

    // The canvas drawn on: the buffer's while a buffered draw runs.
    virtual TCanvas* GetCanvas() const;
    virtual void GetLogFont(TLogFont& lf) const;
    virtual TfcSize CalcTextSize();
    virtual TfcSize CalcDrawSize(TfcMeasure mode);
    virtual TRect CalcRect(TfcMeasure mode);
    virtual void DrawOutline();
    virtual void DrawShadow(const TRect& r);
    // Draws the caption's lines in the canvas's current text colour.
    virtual void DrawTextLines(const TRect& r);
    virtual TRect CalcRectWithFont(TfcMeasure mode);
    virtual void Changed();
    virtual void Draw();
    virtual void DrawDefault();
    virtual void DrawOutlined();
    virtual void DrawEmbossed(TfcRelief relief);
    // Creates and selects the effective font (kept until the calling style
    // routine ends) and computes TextRect.
    virtual void PrepareFont();

    // Calls OnSizeChange when one is assigned (the effect objects use it too).
    void NotifySizeChange();

protected:
    void AssignTo(TPersistent* dest) const override;

    bool IsEnabled() const;
    static TColor ColorFor(bool enabled, TColor normal, TColor disabled) { return enabled ? normal : disabled; }
    // Sets the canvas text colour, then draws the lines at r.
    void DrawCopy(const TRect& r, TColor color);
    void DrawEmbossLayers(TfcRelief relief);
    void DrawExtrusion();
    // Height of s laid out by the measuring call in a rectangle `width` wide.
    int LineHeightIn(const QString& s, int width);
    // The measured string: with toShowAccel, "&&" becomes "&" and every
    // other "&" goes.
    QString MeasuredText() const;
    void SetTextRect(const TRect& r) { textRect_ = r; }

private:
    // A created font selected into a canvas; the previous selection comes
    // back and the font is deleted when this ends.
    class FontSelection {
    public:
        FontSelection(TCanvas* canvas, std::unique_ptr<THFont> font);
        ~FontSelection();
        FontSelection(const FontSelection&) = delete;
        FontSelection& operator=(const FontSelection&) = delete;

    private:
        TCanvas* canvas_;
        std::unique_ptr<THFont> font_;
        const THFont* previous_;
    };
    // Ends the font PrepareFont made when a style routine leaves.
    class PreparedFontScope;
    class BufferScope;

    // The caption's lines laid out for a rectangle of one size, relative to
    // its top-left corner. The copies of a style routine differ only in
    // position, so they share one layout.
    struct LaidLine {
        long long dx = 0;  // start of the line relative to the rectangle
        long long dy = 0;
        QString text;
        int extra = 0;     // justification: pixels spread over the blanks
        int breaks = 0;
        // Where the line's ink can lie around its start: [p0, p1] along the
        // turned baseline, [q0, q1] across it, and the upright box of that.
        double p0 = 0, p1 = 0, q0 = 0, q1 = 0;
        long long minX = 0, maxX = 0, minY = 0, maxY = 0;
    };
    struct Layout {
        long long width = 0;
        long long height = 0;
        std::vector<LaidLine> lines;
    };
    using StepRange = std::pair<long long, long long>;

    const TFont& EffectiveFont() const;
    std::unique_ptr<THFont> CreateEffectiveFont() const;
    double Angle() const;
    TPoint RotatedAdvance(long long distance) const;
    void PlaceAndDraw();
    void DrawBuffered();
    void NarrowBounds();
    const Layout& LayoutFor(const TRect& r);
    Layout BuildPlainLayout(const TRect& r);
    Layout BuildJustifiedLayout(const TRect& r);
    void AddLine(Layout& layout, LaidLine line, long long inkWidth, long long inkHeight, long long margin) const;
    void DrawLayout(const Layout& layout, const TRect& r);
    bool CanReachClip(const LaidLine& line, TPoint start, const TRect& clip) const;
    std::vector<StepRange> VisibleExtrusionSteps(const TRect& start, TPoint step, int depth);
    TColor ExtrusionColor(int step) const;

    TRect textRect_;
    TAlignment alignment_ = taLeftJustify;
    TCanvas* canvas_;
    std::unique_ptr<TfcDisabledColors> disabledColors_;
    std::unique_ptr<TfcExtrudeEffects> extrude_;
    TColor highlightColor_ = clBtnHighlight;
    unsigned drawFlags_ = DT_NOCLIP;
    TFont* font_;
    int lineSpacing_ = 5;
    TfcTextOptions options_{toShowAccel};
    TColor outlineColor_ = clBlack;
    int rotation_ = 0;
    TColor shadeColor_ = clBtnShadow;
    std::unique_ptr<TfcShadowEffects> shadow_;
    TfcTextStyle style_ = fclsDefault;
    QString text_;
    TRect boundsRect_;
    TfcVAlignment vAlignment_ = vaTop;
    bool wordWrap_ = false;
    bool doubleBuffered_ = false;
    bool buffering_ = false;
    std::unique_ptr<TBitmap> bufferBitmap_;
    std::optional<FontSelection> preparedFont_;
    std::optional<Layout> layout_;
    bool keepLayout_ = false;  // true while a style routine runs
};

// The caption options a shaped button publishes as its TextOptions.
class TfcCaptionText : public TfcText {
public:
    using TfcText::TfcText;
    QString ClassName() const override { return QStringLiteral("TfcCaptionText"); }
};

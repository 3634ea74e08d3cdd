#pragma once

#include "platform/core/Colors.h"
#include "platform/core/Types.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TBitmap;
class TRegion;

// DrawText format flags.
enum : unsigned {
    DT_TOP = 0,
    DT_LEFT = 0,
    DT_CENTER = 1,
    DT_RIGHT = 2,
    DT_VCENTER = 4,
    DT_BOTTOM = 8,
    DT_WORDBREAK = 16,
    DT_SINGLELINE = 32,
    DT_EXPANDTABS = 64,
    DT_NOCLIP = 256,
    DT_EXTERNALLEADING = 512,
    DT_CALCRECT = 1024,
    DT_NOPREFIX = 2048,
    DT_END_ELLIPSIS = 32768,
};

// Raster operations of CopyRect/BitBlt.
enum : std::uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCAND = 0x008800C6,
    SRCPAINT = 0x00EE0086,
    SRCINVERT = 0x00660046,
    DSPDxax = 0x00E20746,
};

// Everything SaveDC/RestoreDC keep.
struct TCanvasState {
    TPen Pen;
    TBrush Brush;
    TColor FontColor = clWindowText;
    const THFont* SelectedFont = nullptr;
    TBkMode BkMode = bkOpaque;
    TColor BkColor = clWhite;
    TFillMode FillMode = fmAlternate;
    TPoint PenPos;
    TPoint ViewportOrg;
    bool HasClip = false;
    TRect ClipRect;                  // device coordinates, when HasClip
    std::vector<TRect> Excluded;     // device coordinates
    int TextJustifyExtra = 0;        // pixels spread over the break characters
    int TextJustifyBreaks = 0;
};

// A raster canvas with the GDI pixel conventions, drawing into a 32-bit image
// it does not own. Coordinates are logical: device = logical + viewport origin.
// Everything drawn is clipped to the image, the clip rectangle and the
// excluded rectangles.
class TCanvas {
public:
    explicit TCanvas(QImage* target = nullptr);

    QImage* Target() const { return target_; }
    void SetTarget(QImage* target) { target_ = target; }
    int ImageWidth() const;
    int ImageHeight() const;

    // Drawing objects. Setting them is cheap; they are read at each operation.
    TPen& Pen() { return state_.Pen; }
    const TPen& Pen() const { return state_.Pen; }
    TBrush& Brush() { return state_.Brush; }
    const TBrush& Brush() const { return state_.Brush; }
    // The canvas font object; text uses it unless a created font is selected.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // Selects a created logical font (nullptr: back to Font()); returns the
    // one selected before. The canvas does not own it.
    const THFont* SelectFont(const THFont* f);
    const THFont* SelectedFont() const { return state_.SelectedFont; }
    // Text colour; tracks Font().Color() until set explicitly after a change.
    TColor TextColor() const { return state_.FontColor; }
    void SetTextColor(TColor c) { state_.FontColor = c; }

    TBkMode BkMode() const { return state_.BkMode; }
    TBkMode SetBkMode(TBkMode m);
    TColor BkColor() const { return state_.BkColor; }
    TColor SetBkColor(TColor c);
    TFillMode PolyFillMode() const { return state_.FillMode; }
    void SetPolyFillMode(TFillMode m) { state_.FillMode = m; }

    // Lines: start pixel drawn, end pixel not.
    TPoint PenPos() const { return state_.PenPos; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const TPoint* pts, int count);
    void Polyline(const std::vector<TPoint>& pts) { Polyline(pts.data(), int(pts.size())); }

    // Filled shapes: brush first, pen outline on top.
    void Polygon(const TPoint* pts, int count);
    void Polygon(const std::vector<TPoint>& pts) { Polygon(pts.data(), int(pts.size())); }
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int l, int t, int r, int b);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int l, int t, int r, int b, int w, int h);

    // Brush operations, no pen.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void FillRegion(const TRegion& rgn);
    // A dotted focus rectangle (every other pixel of the frame inverted).
    void DrawFocusRect(const TRect& r);

    // Pixels, in logical coordinates. Reading outside the image gives clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // Copies a rectangle of another canvas or bitmap, stretched when the sizes
    // differ, with a raster operation.
    void CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect, std::uint32_t rop = SRCCOPY);
    void CopyRect(const TRect& dest, const TBitmap& src, const TRect& srcRect, std::uint32_t rop = SRCCOPY);
    void Draw(int x, int y, const TBitmap& bmp);
    // Draws the bitmap leaving out every pixel of colour key.
    void DrawTransparent(int x, int y, const TBitmap& bmp, TColor key);
    void StretchDraw(const TRect& dest, const TBitmap& bmp);

    // Clipping, in logical coordinates (stored as device coordinates).
    void SetClipRect(const TRect& r);
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    void ResetClip();
    bool HasClip() const { return state_.HasClip; }
    // The clip box in logical coordinates: the image bounds when no clip is set.
    TRect ClipRect() const;
    // The pixels drawing may touch, in device coordinates: the image, cut to
    // the clip rectangle, minus the excluded rectangles. Text drawing clips
    // itself to this.
    TRegion DeviceClipRegion() const;

    TPoint ViewportOrg() const { return state_.ViewportOrg; }
    TPoint SetViewportOrg(TPoint p);

    // Saved device state: SaveDC returns a level; RestoreDC(-1) pops one level.
    int SaveDC();
    bool RestoreDC(int level);

    // A lock count, as callers bracket multi-pass drawing with it.
    void Lock() { ++lockCount_; }
    void Unlock() { if (lockCount_ > 0) --lockCount_; }
    int LockCount() const { return lockCount_; }

    // Text. Strings are Unicode; the current font is the selected created font,
    // else Font(); the text colour is TextColor().
    void TextOut(int x, int y, const QString& s);
    int TextWidth(const QString& s) const;
    int TextHeight(const QString& s) const;
    TTextMetric GetTextMetrics() const;
    // Formatted text with the DT_ flags; returns the text height. With
    // DT_CALCRECT nothing is drawn and r is set to the text's extent.
    int DrawText(const QString& s, TRect& r, unsigned flags);
    // Extra pixels spread over the blanks of the next TextOut; (0, 0) resets.
    void SetTextJustification(int extra, int breakCount);

    // The font text is measured and drawn with.
    QFont CurrentQtFont() const;

private:
    // Per-operation access to the target's rows and the device clip
    // (CanvasPainter.h).
    friend class TCanvasPainter;
    // The device clip rectangles, cached between operations; rebuilt when the
    // clip changes or the target image is replaced or resized.
    const std::vector<TRect>& DeviceClipRects() const;
    void InvalidateClip() { clipCacheValid_ = false; }

    mutable std::vector<TRect> clipCache_;
    mutable TRect clipCacheImage_;
    mutable const QImage* clipCacheTarget_ = nullptr;
    mutable bool clipCacheValid_ = false;

    QImage* target_;
    TCanvasState state_;
    TFont font_;
    std::vector<TCanvasState> saved_;
    int lockCount_ = 0;

public:
    // The canvas's font notifies the canvas itself, so a copy would be wired
    // to the original: canvases are not copied.
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

private:
    // Text colour follows Font().Color(): every change of the font's colour
    // becomes the text colour at once, and SetTextColor holds until the next
    // one (changes of name, size or style leave it alone). Set up by the
    // member initializer, so every constructor gets it (CanvasText.cpp).
    struct FontColorLink {
        explicit FontColorLink(TCanvas& canvas);
        TColor seen;
    };
    FontColorLink fontColorLink_{*this};
};

// Saves a canvas's state when made and restores it on every path out, a paint
// that throws included. TCanvasSave::StateAndFont keeps the canvas font object
// too; it goes back before the state, so the text colour is the saved one.
enum class TCanvasSave : std::uint8_t { State, StateAndFont };

class TCanvasSaver {
public:
    explicit TCanvasSaver(TCanvas& canvas, TCanvasSave what = TCanvasSave::State);
    ~TCanvasSaver();
    TCanvasSaver(const TCanvasSaver&) = delete;
    TCanvasSaver& operator=(const TCanvasSaver&) = delete;

private:
    TCanvas& canvas_;
    std::optional<TFont> font_;
    int level_;
};

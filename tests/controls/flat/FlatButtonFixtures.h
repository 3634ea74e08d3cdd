#pragma once

// The main window's start button and a small disabled glyph button,
// configured the way the layouts configure them; shared by the tests, the
// gallery and the benchmark.

#include "controls/flat/TFlatSpeedButtonUnit.h"

#include "platform/graphics/Font.h"

#include <QString>

namespace flat_fixtures {

// A hover timer that keeps its settings and never ticks: for pictures and
// measurements, where nothing may change on its own.
class IdleFlatTimer : public TFlatTimer {
public:
    unsigned Interval() const override { return interval_; }
    void SetInterval(unsigned ms) override { interval_ = ms; }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool v) override { enabled_ = v; }

private:
    unsigned interval_ = 1000;
    bool enabled_ = false;
};

// The background of the glyph below, its transparent key.
inline constexpr TColor kGlyphKey = RGB(0, 128, 128);

inline void ConfigureStartButton(TFlatSpeedButton& b)
{
    b.SetBounds(216, 8, 129, 25);
    b.SetCaption(QStringLiteral("ЗАПУСТИТЬ"));
    TFont& f = b.Font();
    f.SetName(QStringLiteral("Times New Roman"));
    f.SetHeight(-11);
    f.SetStyle(fsBold);
    f.SetCharset(RUSSIAN_CHARSET);
    f.SetColor(clWindowText);
}

// A 16 x 16 black note head with a stem, on the key colour.
inline void PaintNoteGlyph(TBitmap& bmp)
{
    bmp.SetSize(16, 16);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = kGlyphKey;
    c.FillRect({0, 0, 16, 16});
    c.Brush().Color = clBlack;
    c.FillRect({9, 2, 11, 11});
    c.FillRect({4, 9, 10, 14});
    c.FillRect({11, 2, 14, 4});
}

}  // namespace flat_fixtures

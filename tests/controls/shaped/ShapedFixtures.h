#pragma once

// The main window's piano keys and octave arrows, configured the way its
// layout configures them; shared by the tests, the gallery and the benchmark.

#include "controls/shaped/fcShapeBtn.h"

#include <QString>

#include <array>
#include <vector>

namespace shaped_fixtures {

inline constexpr TColor kLightKey = RGB(240, 202, 166);
inline constexpr TColor kFormBlue = clBlue;
inline constexpr int kFormWidth = 657;
inline constexpr int kFormHeight = 523;

enum class KeyColour { White, Black };

inline void ConfigureKeyFont(TfcShapeBtn& b, TColor colour)
{
    TFont& f = b.Font();
    f.SetName(QStringLiteral("Times New Roman"));
    f.SetHeight(-11);
    f.SetStyle(fsBold);
    f.SetCharset(RUSSIAN_CHARSET);
    f.SetColor(colour);
}

inline void ConfigureKey(TfcShapeBtn& b, KeyColour colour, const QString& caption, int left, int top)
{
    b.SetBounds(left, top, 75, 150);
    b.SetCaption(caption);
    b.SetAllowAllUp(true);
    b.SetColor(colour == KeyColour::White ? kLightKey : cl3DDkShadow);
    b.SetDitherColor(clWhite);
    b.SetNumGlyphs(0);
    b.SetParentClipping(true);
    b.SetRoundRectBias(25);
    b.SetShadeStyle(fbsNormal);
    b.SetShape(bsDiamond);
    b.SetSmoothFont(true);
    TfcCaptionText& t = b.TextOptions();
    t.SetAlignment(taCenter);
    t.SetVAlignment(vaVCenter);
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(1);
    t.Shadow().SetYOffset(1);
    t.SetStyle(colour == KeyColour::White ? fclsRaised : fclsOutline);
    ConfigureKeyFont(b, colour == KeyColour::White ? cl3DDkShadow : kLightKey);
}

inline void ConfigureArrow(TfcShapeBtn& b, TfcShapeOrientation o, const QString& caption, int left, int top)
{
    b.SetBounds(left, top, 137, 33);
    b.SetCaption(caption);
    b.SetColor(clBtnFace);
    b.SetDitherColor(clWhite);
    b.SetOrientation(o);
    b.SetParentClipping(true);
    b.SetRoundRectBias(25);
    b.SetShadeStyle(fbsHighlight);
    b.SetShape(bsArrow);
    b.TextOptions().SetAlignment(taCenter);
    b.TextOptions().SetVAlignment(vaVCenter);
    ConfigureKeyFont(b, clWindowText);
}

struct KeySpec {
    const char* caption;
    KeyColour colour;
    int left, top;
};

// In creation (and stacking) order: the black keys lie above the white ones.
inline const std::array<KeySpec, 12> kKeys{{
    {"ДО", KeyColour::White, 24, 340},
    {"РЕ", KeyColour::White, 112, 340},
    {"МИ", KeyColour::White, 200, 340},
    {"ФА", KeyColour::White, 288, 340},
    {"СОЛЬ", KeyColour::White, 376, 340},
    {"ЛЯ", KeyColour::White, 464, 340},
    {"СИ", KeyColour::White, 552, 340},
    {"ДО #", KeyColour::Black, 67, 240},
    {"РЕ #", KeyColour::Black, 155, 240},
    {"ЛЯ #", KeyColour::Black, 506, 240},
    {"ФА #", KeyColour::Black, 332, 240},
    {"СОЛЬ #", KeyColour::Black, 420, 240},
}};

struct Keyboard {
    std::vector<TfcShapeBtn*> keys;  // in kKeys order
    TfcShapeBtn* octaveDown = nullptr;
    TfcShapeBtn* octaveUp = nullptr;
};

// Creates the keys and arrows on parent (owned by it).
inline Keyboard BuildKeyboard(TWinControl& parent)
{
    Keyboard kb;
    for (const KeySpec& k : kKeys) {
        auto* b = new TfcShapeBtn(&parent);  // owned by the parent
        b->SetParent(&parent);
        ConfigureKey(*b, k.colour, QString::fromUtf8(k.caption), k.left, k.top);
        kb.keys.push_back(b);
    }
    kb.octaveDown = new TfcShapeBtn(&parent);  // owned by the parent
    kb.octaveDown->SetParent(&parent);
    ConfigureArrow(*kb.octaveDown, soLeft, QStringLiteral("ОКТАВА ВНИЗ"), 8, 208);
    kb.octaveUp = new TfcShapeBtn(&parent);  // owned by the parent
    kb.octaveUp->SetParent(&parent);
    ConfigureArrow(*kb.octaveUp, soRight, QStringLiteral("ОКТАВА ВВЕРХ"), 496, 208);
    return kb;
}

}  // namespace shaped_fixtures

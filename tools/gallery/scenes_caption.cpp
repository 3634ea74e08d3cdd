// Captions of the shaped buttons in every style and effect.
#include "tools/gallery/Gallery.h"

#include "controls/shaped/fctext.h"
#include "platform/graphics/Bitmap.h"

#include <functional>

namespace {

constexpr TColor kLightKey = 10930928;  // RGB(240, 202, 166)

using Configure = std::function<void(TFont&, TfcText&)>;

QImage RenderCaption(int width, int height, TColor background, const QString& text, const Configure& configure)
{
    TBitmap bmp(width, height);
    bmp.Image().fill(ColorToPixel(background));
    TFont font;
    font.SetName(QStringLiteral("Times New Roman"));
    font.SetHeight(-22);
    font.SetStyle(fsBold);
    font.SetCharset(RUSSIAN_CHARSET);
    TfcCaptionText caption(&font, &bmp.Canvas());
    caption.SetAlignment(taCenter);
    caption.SetVAlignment(vaVCenter);
    caption.SetText(text);
    configure(font, caption);
    caption.SetBoundsRect({2, 2, width - 2, height - 2});
    bmp.Canvas().Brush().Style = bsClear;
    caption.Draw();
    return bmp.Image().copy();
}

void Shadow11(TfcText& t)
{
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(1);
    t.Shadow().SetYOffset(1);
}

struct StyleScene {
    const char* name;
    TfcTextStyle style;
};
constexpr StyleScene kStyles[] = {
    {"default", fclsDefault}, {"lowered", fclsLowered}, {"raised", fclsRaised}, {"outlined", fclsOutline}};

QImage StyleImage(TfcTextStyle style, bool shadow)
{
    return RenderCaption(150, 48, clBtnFace, QStringLiteral("Ладотон"), [=](TFont& f, TfcText& t) {
        t.SetStyle(style);
        if (style == fclsOutline)
            f.SetColor(clWhite);
        if (shadow)
            Shadow11(t);
    });
}

// The keys of the main window at their real size: the caption font is
// "Times New Roman" bold, 11 pixels.
void KeyFont(TFont& f)
{
    f.SetHeight(-11);
}

[[maybe_unused]] const bool stylesRegistered = [] {
    for (const StyleScene& s : kStyles) {
        const QString base = QStringLiteral("caption-%1").arg(QLatin1String(s.name));
        GalleryRegistrar(base, [style = s.style] { return StyleImage(style, false); });
        GalleryRegistrar(base + QStringLiteral("-shadow"), [style = s.style] { return StyleImage(style, true); });
    }
    return true;
}();

GalleryRegistrar whiteKey(QStringLiteral("caption-key-white"), [] {
    return RenderCaption(75, 150, kLightKey, QStringLiteral("ДО"), [](TFont& f, TfcText& t) {
        KeyFont(f);
        f.SetColor(cl3DDkShadow);
        t.SetStyle(fclsRaised);
        Shadow11(t);
    });
});

GalleryRegistrar blackKey(QStringLiteral("caption-key-black"), [] {
    return RenderCaption(75, 150, cl3DDkShadow, QStringLiteral("ДО #"), [](TFont& f, TfcText& t) {
        KeyFont(f);
        f.SetColor(kLightKey);
        t.SetStyle(fclsOutline);
        Shadow11(t);
    });
});

GalleryRegistrar rotated45(QStringLiteral("caption-rotated-45"), [] {
    return RenderCaption(140, 140, clBtnFace, QStringLiteral("ОКТАВА"), [](TFont&, TfcText& t) {
        t.SetStyle(fclsRaised);
        t.SetRotation(45);
    });
});

GalleryRegistrar rotated90(QStringLiteral("caption-rotated-90"), [] {
    return RenderCaption(60, 140, clBtnFace, QStringLiteral("ОКТАВА"), [](TFont&, TfcText& t) {
        t.SetStyle(fclsRaised);
        t.SetRotation(90);
    });
});

GalleryRegistrar twoLines(QStringLiteral("caption-two-lines"), [] {
    return RenderCaption(150, 80, clBtnFace, QStringLiteral("ОКТАВА\r\nВНИЗ"), [](TFont&, TfcText& t) {
        t.SetStyle(fclsRaised);
        Shadow11(t);
    });
});

GalleryRegistrar extruded(QStringLiteral("caption-extruded"), [] {
    return RenderCaption(150, 60, clBtnFace, QStringLiteral("ЛАД"), [](TFont& f, TfcText& t) {
        f.SetHeight(-32);
        f.SetColor(clYellow);
        t.ExtrudeEffects().SetEnabled(true);
        t.ExtrudeEffects().SetDepth(8);
        t.ExtrudeEffects().SetNearColor(clRed);
        t.ExtrudeEffects().SetFarColor(clBlack);
    });
});

GalleryRegistrar extrudedStriated(QStringLiteral("caption-extruded-striated"), [] {
    return RenderCaption(150, 60, clBtnFace, QStringLiteral("ЛАД"), [](TFont& f, TfcText& t) {
        f.SetHeight(-32);
        f.SetColor(clWhite);
        t.SetStyle(fclsOutline);
        t.ExtrudeEffects().SetEnabled(true);
        t.ExtrudeEffects().SetDepth(8);
        t.ExtrudeEffects().SetOrientation(fcTopLeft);
        t.ExtrudeEffects().SetNearColor(clAqua);
        t.ExtrudeEffects().SetFarColor(clBlue);
        t.ExtrudeEffects().SetStriated(true);
    });
});

GalleryRegistrar justified(QStringLiteral("caption-justified"), [] {
    const QString text = QStringLiteral(
        "Программа играет последовательность нот, а вы повторяете её на клавишах мышью или с клавиатуры. "
        "Каждый ответ отмечается зелёным или красным кружком.\n\n"
        "В конце упражнения вы увидите счёт.");
    return RenderCaption(220, 200, clWindow, text, [](TFont& f, TfcText& t) {
        f.SetHeight(-13);
        f.SetStyle(0);
        f.SetColor(clWindowText);
        t.SetAlignment(taLeftJustify);
        t.SetVAlignment(vaTop);
        t.SetWordWrap(true);
        t.SetOptions({toShowAccel, toFullJustify});
        t.SetLineSpacing(6);
    });
});

}  // namespace

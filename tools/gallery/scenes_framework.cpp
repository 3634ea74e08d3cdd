// Standard controls of the window framework, rendered offscreen: labels,
// panels with both bevels, shapes, push buttons, an image, and a small
// window holding them all.

#include "tools/gallery/Gallery.h"

#include "app/AppIcon.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QPainter>

namespace {

// A form-coloured host panel; the scene is its rendered image.
struct Host {
    TPanel panel{nullptr};
    Host(int w, int h, TColor color = clBtnFace)
    {
        panel.SetBevelOuter(bvNone);
        panel.SetBounds(0, 0, w, h);
        panel.SetColor(color);
        panel.SetCaption(QString());
    }
    template <class T>
    T* Add(int l, int t, int w, int h)
    {
        auto* c = new T(&panel);  // owned by the host panel
        c->SetParent(&panel);
        c->SetBounds(l, t, w, h);
        return c;
    }
    QImage Render() { return panel.grab().toImage(); }
};

TFont TimesFont(int height, TFontStyles style = 0)
{
    TFont f;
    f.SetName(QStringLiteral("Times New Roman"));
    f.SetHeight(-height);
    f.SetStyle(style);
    f.SetCharset(RUSSIAN_CHARSET);
    return f;
}

QImage Labels()
{
    Host h(300, 110, clBlue);
    const struct {
        TAlignment a;
        const char* text;
    } rows[] = {{taLeftJustify, "Устройство MIDI успешно открыто."}, {taCenter, "первая октава"},
                {taRightJustify, " Количество нот:  "}};
    int y = 8;
    for (const auto& r : rows) {
        auto* l = h.Add<TLabel>(8, y, 284, 15);
        l->SetAutoSize(false);
        l->SetAlignment(r.a);
        l->SetColor(clBtnFace);
        l->SetFont(TimesFont(13, fsBold));
        l->SetCaption(QString::fromUtf8(r.text));
        y += 22;
    }
    auto* fitted = h.Add<TLabel>(8, y, 10, 10);
    fitted->SetColor(clAqua);
    fitted->SetFont(TimesFont(12));
    fitted->SetCaption(QStringLiteral("fitted to the caption"));
    auto* disabled = h.Add<TLabel>(160, y, 10, 10);
    disabled->SetColor(clBtnFace);
    disabled->SetCaption(QStringLiteral("disabled"));
    disabled->SetEnabled(false);
    auto* transparent = h.Add<TLabel>(8, y + 22, 10, 10);
    transparent->SetTransparent(true);
    transparent->Font().SetColor(clWhite);
    transparent->SetCaption(QStringLiteral("transparent"));
    return h.Render();
}

QImage Panels()
{
    Host h(330, 70, clBlue);
    const TBevelCut cuts[][2] = {{bvRaised, bvNone}, {bvRaised, bvRaised}, {bvLowered, bvNone},
                                 {bvRaised, bvLowered}, {bvLowered, bvRaised}};
    int x = 8;
    for (const auto& c : cuts) {
        auto* p = h.Add<TPanel>(x, 8, 56, 41);
        p->SetBevelOuter(c[0]);
        p->SetBevelInner(c[1]);
        p->SetCaption(QString());
        x += 64;
    }
    auto* captioned = h.Add<TPanel>(8, 52, 314, 16);
    captioned->SetCaption(QStringLiteral("a panel with a caption"));
    return h.Render();
}

QImage Shapes()
{
    Host h(330, 44, clBtnFace);
    auto* separator = h.Add<TShape>(8, 4, 1, 33);
    separator->Pen().SetColor(RGB(160, 150, 131));
    const TColor fills[] = {clBtnFace, clGreen, clRed, clBtnFace};
    int x = 23;
    for (TColor fill : fills) {
        auto* circle = h.Add<TShape>(x, 11, 20, 20);
        circle->SetShape(stCircle);
        circle->Brush().SetColor(fill);
        x += 30;
    }
    auto* rect = h.Add<TShape>(150, 6, 50, 30);
    rect->Brush().SetColor(clAqua);
    auto* rounded = h.Add<TShape>(210, 6, 50, 30);
    rounded->SetShape(stRoundRect);
    rounded->Pen().SetWidth(3);
    auto* ellipse = h.Add<TShape>(270, 6, 50, 30);
    ellipse->SetShape(stEllipse);
    ellipse->Brush().SetStyle(bsClear);
    return h.Render();
}

QImage Buttons()
{
    Host h(260, 56, clBtnFace);
    auto* ok = h.Add<TButton>(8, 16, 75, 25);
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetFont(TimesFont(13));
    auto* def = h.Add<TButton>(92, 16, 75, 25);
    def->SetCaption(QStringLiteral("Default"));
    def->SetDefault(true);
    auto* off = h.Add<TButton>(176, 16, 75, 25);
    off->SetCaption(QStringLiteral("Disabled"));
    off->SetEnabled(false);
    return h.Render();
}

QImage ImageScene()
{
    Host h(120, 60, clBtnFace);
    QImage pic(40, 30, QImage::Format_RGB32);
    pic.fill(Qt::white);
    {
        QPainter p(&pic);
        p.fillRect(5, 5, 12, 12, QColor(192, 192, 192));
        p.fillRect(22, 12, 12, 12, QColor(128, 128, 128));
    }
    auto* image = h.Add<TImage>(10, 10, 100, 40);  // larger than its picture
    image->SetPicture(pic);
    return h.Render();
}

QImage SmallWindow()
{
    TForm form(nullptr);
    form.SetClientSize(203, 140);
    auto* memoLike = new TLabel(&form);
    memoLike->SetParent(&form);
    memoLike->SetAutoSize(false);
    memoLike->SetBounds(0, 0, 203, 84);
    memoLike->SetAlignment(taCenter);
    memoLike->SetLayout(tlCenter);
    memoLike->SetFont(TimesFont(13));
    memoLike->SetCaption(QStringLiteral("Ладотон"));
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 84, 203, 56);
    panel->SetCaption(QString());
    auto* ok = new TButton(&form);
    ok->SetParent(panel);
    ok->SetBounds(64, 16, 75, 25);
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetModalResult(mrOk);
    ok->SetFont(TimesFont(13));
    form.AfterConstruction();
    return form.grab().toImage();
}

QImage IconScene()
{
    const QImage icon = AppIconImage();
    QImage out(32 + 8 + 32 * 6, 32 * 6, QImage::Format_RGB32);
    out.fill(QColor(212, 208, 200));
    QPainter p(&out);
    p.drawImage(0, 0, icon);
    p.drawImage(QRect(40, 0, 32 * 6, 32 * 6), icon);
    return out;
}

GalleryRegistrar icon(QStringLiteral("framework-icon"), IconScene);
GalleryRegistrar labels(QStringLiteral("framework-labels"), Labels);
GalleryRegistrar panels(QStringLiteral("framework-panels"), Panels);
GalleryRegistrar shapes(QStringLiteral("framework-shapes"), Shapes);
GalleryRegistrar buttons(QStringLiteral("framework-buttons"), Buttons);
GalleryRegistrar image(QStringLiteral("framework-image"), ImageScene);
GalleryRegistrar window(QStringLiteral("framework-window"), SmallWindow);

}  // namespace

// Text scenes: DrawText flags, word breaking, prefixes, rotation,
// justification and the faces the layouts name.
#include "tools/gallery/Gallery.h"

#include "platform/graphics/Bitmap.h"

#include <utility>

namespace {

// A button-face bitmap whose canvas draws black text transparently.
void Prepare(TBitmap& bmp, int w, int h)
{
    bmp.SetSize(w, h);
    TCanvas& c = bmp.Canvas();
    c.Brush().Color = clBtnFace;
    c.FillRect({0, 0, w, h});
    c.Font().SetName("Times New Roman");
    c.Font().SetHeight(-13);
    c.Font().SetColor(clBlack);
    c.SetBkMode(bkTransparent);
}

void Frame(TCanvas& c, const TRect& r)
{
    c.Brush().Color = clBtnShadow;
    c.FrameRect(r.Inflate(1, 1));
}

QImage Alignment()
{
    TBitmap bmp;
    Prepare(bmp, 330, 250);
    TCanvas& c = bmp.Canvas();
    const std::pair<const char*, unsigned> cells[] = {
        {"left top", DT_LEFT | DT_TOP},
        {"centre", DT_CENTER},
        {"right", DT_RIGHT},
        {"left vcentre", DT_LEFT | DT_VCENTER | DT_SINGLELINE},
        {"centre vcentre", DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {"right vcentre", DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {"left bottom", DT_LEFT | DT_BOTTOM | DT_SINGLELINE},
        {"centre bottom", DT_CENTER | DT_BOTTOM | DT_SINGLELINE},
        {"right bottom", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE},
        {"clipped to its box", DT_LEFT},
        {"not clipped to its box", DT_LEFT | DT_NOCLIP},
        {"an ellipsis ends this line", DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (int i = 0; i < 12; ++i) {
        TRect r = Bounds(10 + (i % 3) * 105, 10 + (i / 3) * 60, 95, 45);
        if (i >= 9)
            r.Right = r.Left + 60;
        Frame(c, r);
        c.DrawText(cells[i].first, r, cells[i].second);
    }
    return bmp.Image();
}

QImage WordBreak()
{
    TBitmap bmp;
    Prepare(bmp, 420, 150);
    TCanvas& c = bmp.Canvas();
    const QString text = "Повторите на клавишах мелодию, которую сыграла программа. Long words overflow: "
                         "Пентатоника-хроматика.";
    const unsigned aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (int i = 0; i < 3; ++i) {
        TRect r = Bounds(10 + i * 135, 10, 120, 130);
        Frame(c, r);
        c.DrawText(text, r, DT_WORDBREAK | aligns[i]);
    }
    return bmp.Image();
}

QImage Prefixes()
{
    TBitmap bmp;
    Prepare(bmp, 300, 110);
    TCanvas& c = bmp.Canvas();
    c.Font().SetName("MS Sans Serif");
    c.Font().SetHeight(-11);
    const std::pair<const char*, unsigned> lines[] = {
        {"&Старт", 0},
        {"Do && Re, &Mi", 0},
        {"Trailing lone &", 0},
        {"&Shown && literally", DT_NOPREFIX},
        {"Ok &" "\xD0\xA0" "e", 0},
    };
    int y = 8;
    for (const auto& [text, flags] : lines) {
        TRect r{10, y, 290, y + 20};
        c.DrawText(QString::fromUtf8(text), r, flags | DT_SINGLELINE);
        y += 20;
    }
    return bmp.Image();
}

QImage Rotation()
{
    TBitmap bmp;
    Prepare(bmp, 240, 240);
    TCanvas& c = bmp.Canvas();
    for (int angle = 0; angle < 360; angle += 45) {
        TLogFont lf = c.Font().ToLogFont();
        lf.lfWeight = FW_BOLD;
        lf.lfEscapement = lf.lfOrientation = angle * 10;
        auto font = CreateFontIndirect(lf);
        c.SelectFont(font.get());
        c.TextOut(120, 120, QString("   %1°").arg(angle));
        c.SelectFont(nullptr);
    }
    c.SetPixel(120, 120, clRed);
    return bmp.Image();
}

// Full-justified lines: every line but the last is stretched to the width by
// spreading the missing pixels over its blanks.
QImage Justification()
{
    TBitmap bmp;
    Prepare(bmp, 230, 90);
    TCanvas& c = bmp.Canvas();
    const TRect r{10, 10, 220, 80};
    Frame(c, r);
    const QStringList lines = {"Программа играет случайную", "последовательность нот, а вы",
                               "повторяете её на клавишах.", "Last line stays as it is."};
    const int lh = c.GetTextMetrics().tmHeight + 2;
    for (int i = 0; i < lines.size(); ++i) {
        const int blanks = int(lines[i].count(u' '));
        if (i + 1 < lines.size() && blanks > 0)
            c.SetTextJustification(r.Width() - c.TextWidth(lines[i]), blanks);
        c.TextOut(r.Left, r.Top + i * lh, lines[i]);
        c.SetTextJustification(0, 0);
    }
    return bmp.Image();
}

// The faces the layouts name, plain, bold and in relief as the piano keys
// draw their captions; opaque text shows the cell.
QImage Faces()
{
    TBitmap bmp;
    Prepare(bmp, 360, 200);
    TCanvas& c = bmp.Canvas();
    int y = 6;
    for (const char* face : {"Times New Roman", "MS Sans Serif", "Arial", "Courier New", "No Such Face"}) {
        c.Font().SetName(face);
        c.Font().SetStyle(0);
        c.Font().SetHeight(-11);
        c.TextOut(8, y, QString("%1 -11 ДО РЕ МИ").arg(face));
        c.Font().SetStyle(fsBold);
        c.Font().SetHeight(-13);
        c.TextOut(190, y, "Ладотон -13");
        y += 22;
    }
    c.Font().SetName("Times New Roman");
    c.Font().SetHeight(-11);
    c.Font().SetStyle(fsBold);
    const std::pair<TColor, int> relief[] = {{clBtnShadow, 1}, {clBtnHighlight, -1}, {clBtnShadow, 1}, {cl3DDkShadow, 0}};
    for (const auto& [color, d] : relief) {
        c.Font().SetColor(color);
        c.TextOut(10 + d, 120 + d, "ДО РЕ МИ ФА СОЛЬ ЛЯ СИ");
    }
    c.Font().SetColor(clBlack);
    c.SetBkMode(bkOpaque);
    c.SetBkColor(clWhite);
    c.TextOut(10, 150, "Opaque background cell");
    return bmp.Image();
}

const GalleryRegistrar kAlignment("text-alignment", Alignment);
const GalleryRegistrar kWordBreak("text-wordbreak", WordBreak);
const GalleryRegistrar kPrefixes("text-prefixes", Prefixes);
const GalleryRegistrar kRotation("text-rotation", Rotation);
const GalleryRegistrar kJustification("text-justification", Justification);
const GalleryRegistrar kFaces("text-faces", Faces);

} // namespace

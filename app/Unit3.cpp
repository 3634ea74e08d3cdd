#include "app/Unit3.h"

#include "app/Accessibility.h"
#include "platform/graphics/Bitmap.h"

#include <array>

TForm3* Form3 = nullptr;

namespace {

// Geometry of the key picture. The caps of a row stand kCapPitch apart; the
// upper row is shifted by half a pitch, so each of its caps is centred on
// the gap between two lower caps.
constexpr int kCapSize = 24;
constexpr int kCapPitch = 27;
constexpr int kRowLeft = (TForm3::KeyPictureWidth - (7 * kCapPitch - (kCapPitch - kCapSize))) / 2;
constexpr int kUpperTop = 8;
constexpr int kLowerTop = 38;

constexpr TColor kGround = clWhite;
constexpr TColor kWhiteCap = clWhite;
constexpr TColor kGreyCap = RGB(192, 192, 192);
constexpr TColor kCapShadow = RGB(128, 128, 128);

struct TCap {
    char letter;
    int left;
    int top;
    TColor face;
};

// The lower row: the white keys ДО to СИ. The upper row: the black keys,
// with no cap over the gap between C and V (no black key between МИ and ФА).
constexpr std::array<TCap, 12> Caps()
{
    std::array<TCap, 12> caps{};
    const char lower[] = "ZXCVBNM";
    for (int i = 0; i < 7; ++i)
        caps[std::size_t(i)] = {lower[i], kRowLeft + i * kCapPitch, kLowerTop, kWhiteCap};
    const struct {
        char letter;
        int gap;  // the upper cap stands over the gap after lower cap `gap`
    } upper[] = {{'S', 0}, {'D', 1}, {'G', 3}, {'H', 4}, {'J', 5}};
    for (int i = 0; i < 5; ++i)
        caps[std::size_t(7 + i)] = {upper[i].letter, kRowLeft + upper[i].gap * kCapPitch + (kCapPitch + 1) / 2,
                                    kUpperTop, kGreyCap};
    return caps;
}

// A cap: a black outline, a light top-left and a two-pixel shaded
// bottom-right bevel, the face, and the letter centred on the face.
void DrawCap(TCanvas& canvas, const TCap& cap)
{
    const TRect outer{cap.left, cap.top, cap.left + kCapSize, cap.top + kCapSize};
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(outer);
    const TRect bevel = outer.Inflate(-1, -1);
    canvas.Brush().Color = kCapShadow;
    canvas.FillRect(bevel);
    canvas.Brush().Color = clWhite;
    canvas.FillRect({bevel.Left, bevel.Top, bevel.Right - 2, bevel.Bottom - 2});
    TRect face{bevel.Left + 1, bevel.Top + 1, bevel.Right - 2, bevel.Bottom - 2};
    canvas.Brush().Color = cap.face;
    canvas.FillRect(face);

    canvas.Brush().Style = bsClear;
    canvas.SetBkMode(bkTransparent);
    canvas.DrawText(QString(QChar(cap.letter)), face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

QStringList TForm3::AboutLines()
{
    return {
        QString(),
        QStringLiteral("Ладотон"),
        QString(),
        QStringLiteral("версия 1.0"),
        QString(),
        QStringLiteral("Тренажер музыкального слуха:"),
        QStringLiteral("ноты и интервалы"),
        QString(),
        QStringLiteral("© 2026, авторы Ладотона"),
        QString(),
        QStringLiteral("Ноты на клавиатуре:"),
    };
}

void TForm3::DrawKeyPicture(TBitmap& bmp)
{
    bmp.SetSize(KeyPictureWidth, KeyPictureHeight);
    TCanvas& canvas = bmp.Canvas();
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = kGround;
    canvas.FillRect({0, 0, KeyPictureWidth, KeyPictureHeight});
    canvas.Font().SetName(QStringLiteral("MS Sans Serif"));
    canvas.Font().SetHeight(-11);
    canvas.Font().SetStyle(fsBold);
    canvas.Font().SetColor(clBlack);
    for (const TCap& cap : Caps())
        DrawCap(canvas, cap);
}

TForm3::TForm3(TComponent* owner) : TForm(owner)
{
    Form3 = this;
    SetName(QStringLiteral("Form3"));
    SetBounds(477, 218, 203, 312);
    SetColor(clBtnFace);
    SetCaption(QStringLiteral("Form3"));
    Font().SetName(QStringLiteral("MS Sans Serif"));
    Font().SetHeight(-11);
    Font().SetCharset(DEFAULT_CHARSET);
    // The designed place is never used: the window comes up in the middle of
    // the desktop every time it is shown.
    SetPosition(poDesktopCenter);

    Image1 = new TImage(this);  // owned by the form
    Image1->SetName(QStringLiteral("Image1"));
    Image1->SetParent(this);
    Image1->SetBounds(0, 186, 203, 70);
    Image1->EditPicture([](TBitmap& bmp) { DrawKeyPicture(bmp); });

    Panel1 = new TPanel(this);  // owned by the form
    Panel1->SetName(QStringLiteral("Panel1"));
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 256, 203, 56);
    Panel1->SetCaption(QString());
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetColor(clBtnFace);
    Panel1->SetTabOrder(0);

    Button1 = new TButton(this);  // owned by the form
    Button1->SetName(QStringLiteral("Button1"));
    Button1->SetParent(Panel1);
    Button1->SetBounds(64, 16, 75, 25);
    Button1->SetCaption(QStringLiteral("OK"));
    Button1->Font().SetName(QStringLiteral("Times New Roman"));
    Button1->Font().SetHeight(-13);
    Button1->Font().SetStyle(0);
    Button1->Font().SetCharset(RUSSIAN_CHARSET);
    Button1->SetModalResult(mrOk);
    Button1->SetTabOrder(0);

    FlatMemo1 = new TFlatMemo(this);  // owned by the form
    FlatMemo1->SetName(QStringLiteral("FlatMemo1"));
    FlatMemo1->SetParent(this);
    FlatMemo1->SetBounds(0, 0, 203, 186);
    FlatMemo1->SetColorFlat(clBtnFace);
    // After ColorFlat: the memo then takes the window's colour.
    FlatMemo1->SetParentColor(true);
    FlatMemo1->SetAlignment(taCenter);
    FlatMemo1->Font().SetName(QStringLiteral("Times New Roman"));
    FlatMemo1->Font().SetHeight(-13);
    FlatMemo1->Font().SetStyle(0);
    FlatMemo1->Font().SetCharset(RUSSIAN_CHARSET);
    FlatMemo1->SetReadOnly(true);
    FlatMemo1->SetScrollBars(ssNone);
    FlatMemo1->SetTabOrder(1);
    FlatMemo1->Lines().SetText(AboutLines().join(QLatin1Char('\n')));

    // "OK" has the focus whenever the window comes up, so Return closes it.
    SetActiveControl(Button1);
    DescribeAboutWindow(*this);
}

TForm3::~TForm3()
{
    if (Form3 == this)
        Form3 = nullptr;
}

#include "app/Unit2.h"

#include "app/Accessibility.h"
#include "app/MainForm.h"
#include "app/Trainer.h"
#include "platform/runtime/Clock.h"

#include <QGuiApplication>
#include <QScreen>

TForm2* Form2 = nullptr;

namespace {

const QString kTimes = QStringLiteral("Times New Roman");

void UseFont(TControl& c, const QString& name, int pixels, std::uint8_t charset)
{
    TFont& f = c.Font();
    f.SetName(name);
    f.SetHeight(-pixels);
    f.SetCharset(charset);
}

void ConfigureLabel(TLabel& l, int top, const QString& caption)
{
    l.SetAutoSize(false);
    l.SetBounds(24, top, 273, 17);
    l.SetAlignment(taCenter);
    l.SetCaption(caption);
    l.SetColor(clBtnFace);
    UseFont(l, kTimes, 12, RUSSIAN_CHARSET);
}

}  // namespace

TForm2::TForm2(TComponent* owner, TForm1* mainForm) : TForm(owner), mainForm_(mainForm)
{
    Form2 = this;
    SetName(QStringLiteral("Form2"));
    SetCaption(QStringLiteral("Form2"));
    SetBounds(kDesignedLeft, 209, 323, 118);
    SetColor(clAqua);
    UseFont(*this, QStringLiteral("MS Sans Serif"), 11, DEFAULT_CHARSET);

    struct ButtonSpec {
        TFlatSpeedButton* TForm2::*field;
        const char* name;
        const char* caption;
        int left, top, width;
        TModalResult result;
    };
    static const ButtonSpec buttons[] = {
        {&TForm2::FlatSpeedButton1, "FlatSpeedButton1", "ПРОСЛУШАТЬ ЕЩЕ РАЗ", 24, 88, 273, mrNone},
        {&TForm2::FlatSpeedButton3, "FlatSpeedButton3", "1", 24, 32, 57, mrOk},
        {&TForm2::FlatSpeedButton4, "FlatSpeedButton4", "2", 96, 32, 57, mrOk},
        {&TForm2::FlatSpeedButton5, "FlatSpeedButton5", "3", 168, 32, 57, mrOk},
        {&TForm2::FlatSpeedButton6, "FlatSpeedButton6", "4", 240, 32, 57, mrOk},
    };
    for (const ButtonSpec& s : buttons) {
        auto* b = new TFlatSpeedButton(this);  // owned by the dialog
        b->SetName(QString::fromLatin1(s.name));
        b->SetParent(this);
        b->SetBounds(s.left, s.top, s.width, 25);
        b->SetCaption(QString::fromUtf8(s.caption));
        b->SetColor(clBtnFace);
        UseFont(*b, kTimes, 11, RUSSIAN_CHARSET);
        b->SetModalResult(s.result);
        if (s.result == mrNone)
            b->OnClick = [this](TComponent* sender) { FlatSpeedButton1Click(sender); };
        else
            b->OnClick = [this](TComponent* sender) { FlatSpeedButton3Click(sender); };
        this->*s.field = b;
    }

    Label1 = new TLabel(this);  // owned by the dialog
    Label1->SetName(QStringLiteral("Label1"));
    Label1->SetParent(this);
    ConfigureLabel(*Label1, 64, QStringLiteral("полутона"));
    Label2 = new TLabel(this);  // owned by the dialog
    Label2->SetName(QStringLiteral("Label2"));
    Label2->SetParent(this);
    ConfigureLabel(*Label2, 8, QStringLiteral("\"Расстояние\" в "));

    OnShow = [this](TComponent* s) { FormShow(s); };
    DescribeIntervalDialog(*this);
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

TForm1* TForm2::Main() const
{
    return mainForm_ ? mainForm_ : Form1;
}

void TForm2::PlayPair()
{
    TForm1* m = Main();
    if (!m)
        return;
    m->NoteNumber = NoteNumberOf(m->Octave, m->FirstNote);
    m->PlayNote();
    Sleep(unsigned(m->PauseMs));
    m->NoteNumber = NoteNumberOf(m->Octave, m->SecondNote);
    m->PlayNote();
}

void TForm2::FormShow(TComponent*)
{
    PlayPair();
}

void TForm2::FlatSpeedButton1Click(TComponent*)
{
    PlayPair();
}

void TForm2::FlatSpeedButton3Click(TComponent* sender)
{
    auto* button = dynamic_cast<TControl*>(sender);
    TForm1* m = Main();
    if (!button || !m)
        return;
    const int answer = button->Caption().toInt();
    const int distance = TIntervalQuestion{m->FirstNote, m->SecondNote}.Distance();
    Application->MessageBox(answer == distance ? QStringLiteral("Правильно!") : QStringLiteral("Не правильно..."),
                            QString());
    // The answer ends the question even if the button did not carry a result.
    if (ModalResult() == mrNone)
        SetModalResult(mrOk);
}

void TForm2::PlaceAtTop(int top)
{
    const TRect designed = Bounds(kDesignedLeft, top, Width(), Height());
    QScreen* screen = nullptr;
    if (TForm1* m = Main())
        screen = m->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        SetBounds(designed.Left, designed.Top, Width(), Height());
        return;
    }
    const QRect a = screen->availableGeometry();
    const TPoint p = PlaceInside(designed, TRect(a.left(), a.top(), a.right() + 1, a.bottom() + 1));
    SetBounds(p.x, p.y, Width(), Height());
}

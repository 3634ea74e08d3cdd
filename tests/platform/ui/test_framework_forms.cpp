// Forms and the application: modal showing, exceptions escaping handlers,
// key preview, tab order and activation focus.
#include "platform/core/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A form built the way layouts build them: controls first, then
// AfterConstruction.
struct TestForm {
    TForm form{nullptr};
    TestForm()
    {
        form.SetClientSize(200, 100);
        form.AfterConstruction();
    }
};

TButton* AddButton(TWinControl* parent, TModalResult result)
{
    auto* b = new TButton(parent);  // owned by its parent
    b->SetParent(parent);
    b->SetModalResult(result);
    return b;
}

// A focusable windowed control that logs its key events.
class KeyLogger : public TWinControl {
public:
    KeyLogger(TComponent* owner, Log& log, std::string name) : TWinControl(owner), log_(log), name_(std::move(name))
    {
        SetTabStop(true);
    }
    void KeyDown(TKeyCode& key, TShiftState shift) override
    {
        log_.push_back(name_ + " down");
        TWinControl::KeyDown(key, shift);
    }
    void KeyPress(QChar& key) override
    {
        log_.push_back(name_ + " press " + QString(key).toStdString());
        TWinControl::KeyPress(key);
    }

private:
    Log& log_;
    std::string name_;
};

}  // namespace

// --- ShowModal

TEST(FormShowModal, ClosesOnlyAfterTheHandlerThatSetTheResultHasReturned)
{
    TestForm t;
    TForm& form = t.form;
    TButton* ok = AddButton(&form, mrOk);
    Log log;
    ok->OnClick = [&](TComponent*) {
        // The form's result is already set; a nested loop (a message box)
        // runs before the handler returns: the form must stay up meanwhile.
        log.push_back(form.ModalResult() == mrOk ? "click: result set" : "click: no result");
        QEventLoop nested;
        QTimer::singleShot(0, [&] { log.push_back(form.Visible() ? "nested: open" : "nested: closed"); });
        QTimer::singleShot(0, &nested, &QEventLoop::quit);
        nested.exec();
        log.push_back("click returns");
    };
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(ok, Qt::LeftButton);
        log.push_back(form.Visible() ? "event done: open" : "event done: closed");
    });
    const TModalResult result = form.ShowModal();
    log.push_back(form.Visible() ? "returned: open" : "returned: closed");

    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(log, (Log{"click: result set", "nested: open", "click returns", "event done: open", "returned: closed"}));
}

TEST(FormShowModal, StaysOpenWhileTheResultIsZeroAndCanBeShownAgain)
{
    TestForm t;
    TForm& form = t.form;
    TButton* none = AddButton(&form, mrNone);
    TButton* cancel = AddButton(&form, mrCancel);
    Log log;
    QTimer::singleShot(0, [&] { QTest::mouseClick(none, Qt::LeftButton); });
    QTimer::singleShot(0, [&] {
        log.push_back(form.Visible() ? "open after 0" : "closed after 0");
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(log, Log{"open after 0"});
    EXPECT_FALSE(form.Visible());

    // Hidden, not destroyed: it shows again and starts from result 0.
    int shows = 0;
    form.OnShow = [&](TComponent*) { ++shows; };
    QTimer::singleShot(0, [&] { QTest::mouseClick(cancel, Qt::LeftButton); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(shows, 1);
}

TEST(FormShowModal, OnShowRunsBeforeTheWindowIsVisible)
{
    TestForm t;
    TForm& form = t.form;
    bool visibleInOnShow = true;
    form.OnShow = [&](TComponent*) { visibleInOnShow = form.isVisible(); };
    QTimer::singleShot(0, [&] { form.SetModalResult(mrOk); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(visibleInOnShow);
}

TEST(FormShowModal, AVisibleFormCannotBeShownModally)
{
    TestForm t;
    t.form.Show();
    EXPECT_THROW(t.form.ShowModal(), EInvalidOperation);
    t.form.Hide();
}

TEST(FormShowModal, CloseEndsTheLoopWithCancel)
{
    TestForm t;
    QTimer::singleShot(0, [&] { t.form.Close(); });
    EXPECT_EQ(t.form.ShowModal(), mrCancel);
}

// The desktop keeps a modal form above the window it was opened from only
// if it knows that window: it owns the form while the form is up, and no
// longer afterwards (the next showing may come from elsewhere).
TEST(FormShowModal, TheWindowItIsOpenedFromOwnsItWhileItIsUp)
{
    TestForm opener;
    opener.form.Show();
    QCoreApplication::processEvents();
    if (!opener.form.Active())
        GTEST_SKIP() << "this platform does not activate windows";
    TestForm t;
    QWindow* ownerWhileUp = nullptr;
    QTimer::singleShot(0, [&] {
        ownerWhileUp = t.form.windowHandle()->transientParent();
        t.form.SetModalResult(mrOk);
    });
    EXPECT_EQ(t.form.ShowModal(), mrOk);
    EXPECT_EQ(ownerWhileUp, opener.form.windowHandle());
    EXPECT_EQ(t.form.windowHandle()->transientParent(), nullptr);
    // A window owns no window of its own, and hidden there is no owner.
    EXPECT_EQ(ModalOwner(&opener.form), nullptr);
    opener.form.Hide();
    QCoreApplication::processEvents();
    if (!Application->MainForm()) {
        EXPECT_EQ(ModalOwner(&t.form), nullptr);
    }
}

// --- Exceptions escaping handlers

TEST(ErrorBox, AppendsAFullStopWhenTheLastCharacterSortsAfterIt)
{
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"abc", "abc."},
        {"abc.", "abc."},
        {"abc!", "abc!"},
        {"", ""},
        {"Нет файла", "Нет файла."},
        {"trailing blank ", "trailing blank "},
        {"(x)", "(x)"},
        {"path/", "path/."},
        {"x-", "x-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown)) << c.message;
}

TEST(ErrorBox, AnExceptionInAControlHandlerIsShownAndTheLoopGoesOn)
{
    TMessageBoxRecorder boxes;
    TestForm t;
    TButton* b = AddButton(&t.form, mrNone);
    b->OnClick = [](TComponent*) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); };
    bool ranAfter = false;
    QEventLoop loop;
    QTimer::singleShot(0, [&] { QTest::mouseClick(b, Qt::LeftButton); });
    // Outside any control: only the application's event dispatch can catch it.
    QTimer::singleShot(0, [] { throw std::runtime_error("plain failure"); });
    QTimer::singleShot(0, [&] {
        ranAfter = true;
        loop.quit();
    });
    loop.exec();

    EXPECT_TRUE(ranAfter);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    for (const TMessageBoxRequest& box : boxes.boxes) {
        EXPECT_EQ(box.kind, TMessageBoxKind::Error);
        EXPECT_EQ(box.caption, Application->Title());
    }
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("plain failure."));
}

TEST(ErrorBox, AnExceptionInOnCreateIsReportedAndTheFormStillExists)
{
    TMessageBoxRecorder boxes;
    TForm form(nullptr);
    form.OnCreate = [](TComponent*) { throw EFOpenError(QStringLiteral("Cannot open file \"x\". No such file")); };
    form.AfterConstruction();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Cannot open file \"x\". No such file."));
    EXPECT_FALSE(form.Loading());
}

TEST(Application, MessageBoxGoesThroughTheService)
{
    TMessageBoxRecorder boxes;
    EXPECT_EQ(Application->MessageBox(QStringLiteral("Правильно!"), QString()), IDOK);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, TMessageBoxKind::Plain);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Правильно!"));
    EXPECT_TRUE(boxes.boxes[0].caption.isEmpty());
}

TEST(Application, TerminateEndsWithExitCodeZeroAndNoCloseRequest)
{
    std::vector<int> codes;
    auto previous = Application->SetExitHandler([&](int code) { codes.push_back(code); });
    TestForm t;
    bool hidden = false;
    t.form.OnHide = [&](TComponent*) { hidden = true; };
    t.form.Show();
    Application->Terminate();
    Application->SetExitHandler(previous);
    EXPECT_EQ(codes, std::vector<int>{0});
    EXPECT_FALSE(hidden);
    t.form.Hide();
}

TEST(Application, ExePathAndDirectory)
{
    const QString exe = TApplication::ExeName();
    EXPECT_TRUE(exe.endsWith(QStringLiteral("test_platform"))) << exe.toStdString();
    EXPECT_TRUE(TApplication::ExeDir().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(exe.startsWith(TApplication::ExeDir()));
}

TEST(Application, TitleIsEveryFormsWindowTitle)
{
    const QString before = Application->Title();
    auto* form = Application->CreateForm<TForm>();
    Application->SetTitle(QStringLiteral("Ладотон"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ладотон"));
    form->SetCaption(QStringLiteral("Form1"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ладотон"));
    delete form;
    Application->SetTitle(before);
}

// --- Keys

TEST(KeyPreview, TheFormSeesKeysAndCharactersBeforeTheFocusedControl)
{
    Log log;
    TestForm t;
    TForm& form = t.form;
    auto* target = new KeyLogger(&form, log, "control");
    target->SetParent(&form);
    form.OnKeyDown = [&](TComponent*, TKeyCode&, TShiftState) { log.push_back("form down"); };
    form.OnKeyPress = [&](TComponent*, QChar& c) {
        log.push_back("form press " + QString(c).toStdString());
        if (c == QLatin1Char('q'))
            c = QChar();  // used up: the control never sees it
        if (c == QLatin1Char('a'))
            c = QLatin1Char('b');
    };

    form.SetKeyPreview(false);
    QTest::keyClick(target, Qt::Key_X);
    EXPECT_EQ(log, (Log{"control down", "control press x"}));

    log.clear();
    form.SetKeyPreview(true);
    QTest::keyClick(target, Qt::Key_X);
    QTest::keyClick(target, Qt::Key_Q);
    QTest::keyClick(target, Qt::Key_A);
    EXPECT_EQ(log, (Log{"form down", "control down", "form press x", "control press x",  //
                        "form down", "control down", "form press q",                    //
                        "form down", "control down", "form press a", "control press b"}));
}

TEST(KeyPreview, AQtEditorInsideAControlIsPreviewedToo)
{
    Log log;
    TestForm t;
    TForm& form = t.form;
    form.SetKeyPreview(true);
    auto* host = new TWinControl(&form);
    host->SetParent(&form);
    host->SetBounds(0, 0, 100, 20);
    auto* edit = new QLineEdit(host);  // owned by its Qt parent
    form.OnKeyPress = [&](TComponent*, QChar& c) {
        log.push_back("form press " + QString(c).toStdString());
        if (c == QLatin1Char('q'))
            c = QChar();
        if (c == QLatin1Char('a'))
            c = QLatin1Char('b');
    };
    QTest::keyClicks(edit, QStringLiteral("xqa"));
    EXPECT_EQ(log, (Log{"form press x", "form press q", "form press a"}));
    EXPECT_EQ(edit->text(), QStringLiteral("xb"));
}

TEST(DialogKeys, EnterClicksTheDefaultButtonAndEscapeTheCancelButton)
{
    TestForm t;
    TForm& form = t.form;
    Log log;
    auto* target = new KeyLogger(&form, log, "control");
    target->SetParent(&form);
    TButton* ok = AddButton(&form, mrOk);
    TButton* cancel = AddButton(&form, mrCancel);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = [&](TComponent*) { log.push_back("ok"); };
    cancel->OnClick = [&](TComponent*) { log.push_back("cancel"); };
    form.Show();
    QTest::keyClick(target, Qt::Key_Return);
    QTest::keyClick(target, Qt::Key_Escape);
    QTest::keyClick(target, Qt::Key_Return, Qt::ShiftModifier);
    // With Shift held the control gets Enter itself (after the Shift key).
    EXPECT_EQ(log, (Log{"ok", "cancel", "control down", "control down", "control press \r"}));
    form.Hide();
}

TEST(ButtonKeys, SpaceClicksTheFocusedButtonOnRelease)
{
    TestForm t;
    TButton* b = AddButton(&t.form, mrNone);
    int clicks = 0;
    b->OnClick = [&](TComponent*) { ++clicks; };
    QTest::keyPress(b, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

// --- Tab order and activation

TEST(TabOrder, ChildrenOfAContainerFollowTheContainer)
{
    TestForm t;
    TForm& form = t.form;
    auto make = [](TWinControl* parent, bool tabStop) {
        auto* c = new TWinControl(parent);
        c->SetParent(parent);
        c->SetTabStop(tabStop);
        return c;
    };
    TWinControl* key = make(&form, false);      // never focused (like the shaped keys)
    TWinControl* panel = make(&form, false);    // a container that is no tab stop
    TWinControl* inner2 = make(panel, true);
    TWinControl* inner1 = make(panel, true);
    TWinControl* after = make(&form, true);
    inner1->SetTabOrder(0);
    EXPECT_EQ(inner2->TabOrder(), 1);
    panel->SetTabOrder(0);
    EXPECT_EQ(key->TabOrder(), 1);

    EXPECT_EQ(form.TabChain(), (std::vector<TWinControl*>{panel, inner1, inner2, key, after}));

    form.Show();
    QCoreApplication::processEvents();
    form.SelectFirst();
    EXPECT_EQ(form.ActiveControl(), inner1);
    form.SelectNext(inner1, true);
    EXPECT_EQ(form.ActiveControl(), inner2);
    form.SelectNext(inner2, true);
    EXPECT_EQ(form.ActiveControl(), after);
    form.SelectNext(after, true);
    EXPECT_EQ(form.ActiveControl(), inner1);

    // A hidden container takes its children out of the chain.
    panel->Hide();
    form.SelectFirst();
    EXPECT_EQ(form.ActiveControl(), after);
    form.Hide();
}

TEST(TabOrder, TheFirstTabStopGetsTheFocusWhenTheFormIsActivated)
{
    TestForm t;
    TForm& form = t.form;
    auto* shapeLike = new TWinControl(&form);
    shapeLike->SetParent(&form);
    auto* first = new TWinControl(&form);
    first->SetParent(&form);
    first->SetTabStop(true);
    int entered = 0;
    first->OnEnter = [&](TComponent*) { ++entered; };
    form.Show();
    QCoreApplication::processEvents();
    if (!form.Active())
        GTEST_SKIP() << "this platform does not activate windows";
    EXPECT_EQ(form.ActiveControl(), first);
    EXPECT_TRUE(first->Focused());
    EXPECT_EQ(entered, 1);
    form.Hide();
}

TEST(FormPlacement, CentredOnTheScreenOrAtItsDesignedPosition)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    TestForm t;
    TForm& form = t.form;
    form.SetClientSize(200, 101);
    form.SetBounds(270, 128, 200, 101);
    form.SetPosition(poDesigned);
    form.Show();
    EXPECT_EQ(form.pos(), QPoint(270, 128));
    form.Hide();
    form.SetPosition(poDesktopCenter);
    form.Show();
    EXPECT_EQ(form.Left(), area.x() + (area.width() - 200) / 2);
    EXPECT_EQ(form.Top(), area.y() + (area.height() - 101) / 2);
    EXPECT_EQ(form.pos(), QPoint(form.Left(), form.Top()));
    EXPECT_EQ(form.size(), QSize(200, 101));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    form.Hide();
}

TEST(FormCreation, OnCreateRunsAfterEveryControlIsLoaded)
{
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    bool labelLoading = true;
    form.OnCreate = [&](TComponent*) { labelLoading = label->Loading(); };
    form.AfterConstruction();
    EXPECT_FALSE(labelLoading);
}

TEST(ControlAtScreen, FindsTheDeepestControlDisabledOnesIncluded)
{
    TestForm t;
    TForm& form = t.form;
    form.SetPosition(poDesigned);
    form.SetBounds(40, 30, 200, 100);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 100, 50);
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(5, 5, 20, 10);
    label->SetEnabled(false);
    form.Show();
    EXPECT_EQ(FindControlAtScreen({40 + 10 + 5 + 1, 30 + 10 + 5 + 1}), label);
    EXPECT_EQ(FindControlAtScreen({40 + 10 + 50, 30 + 10 + 40}), panel);
    EXPECT_EQ(FindControlAtScreen({40 + 150, 30 + 80}), &form);
    EXPECT_EQ(FindControlAtScreen({5, 5}), nullptr);
    form.Hide();
}

TEST(ControlName, ACaptionThatIsTheNameFollowsARenameOutsideLoading)
{
    TPanel panel(nullptr);
    panel.SetName(QStringLiteral("Panel1"));
    EXPECT_EQ(panel.Caption(), QStringLiteral("Panel1"));
    panel.SetName(QStringLiteral("Panel2"));
    EXPECT_EQ(panel.Caption(), QStringLiteral("Panel2"));
    panel.SetCaption(QString());
    panel.SetName(QStringLiteral("Panel3"));
    EXPECT_TRUE(panel.Caption().isEmpty());

    TForm form(nullptr);  // a layout being applied keeps its own captions
    auto* label = new TLabel(&form);
    label->SetName(QStringLiteral("Label1"));
    EXPECT_TRUE(label->Caption().isEmpty());
}

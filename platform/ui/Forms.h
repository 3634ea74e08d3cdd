#pragma once

// Forms (top-level windows) and the application object.

#include "platform/ui/Controls.h"

#include <QIcon>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QApplication;
class QEventLoop;
class QWindow;

// Where a form appears when it is shown.
enum TPosition : std::uint8_t {
    poDesigned,       // at Left, Top
    poScreenCenter,   // centred on the screen
    poDesktopCenter,  // centred on the desktop
};

// A borderless top-level window with a fixed client size. Its title is the
// application's title (what the task bar shows); Caption is kept but shown
// nowhere.
class TForm : public TWinControl, public TFormDuties {
public:
    // The form is created hidden and loading: the derived constructor builds
    // the layout, then AfterConstruction() (called by
    // TApplication::CreateForm) finishes it.
    explicit TForm(TComponent* owner);
    ~TForm() override;

    QString ClassName() const override { return QStringLiteral("TForm"); }

    // Calls Loaded() on every owned component and the form, then OnCreate.
    // An exception in OnCreate is shown in the error box; creation goes on.
    void AfterConstruction();

    // Client size (the window has no frame); the window keeps it fixed.
    void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
    void SetBounds(int left, int top, int width, int height) override;

    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }

    // The form sees each key and typed character before the focused control.
    bool KeyPreview() const override { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }

    // Pressing the left button on the form's own surface (not on a windowed
    // child) and moving the pointer moves the window.
    bool DragBySurface() const override { return dragBySurface_; }
    void SetDragBySurface(bool v) { dragBySurface_ = v; }

    // The control that has (or last had) the focus in this form.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* c);
    // Focuses the first control in tab order that is a tab stop and can take
    // the focus.
    void SelectFirst();
    // Moves the focus to the next (or previous) tab stop after current.
    void SelectNext(TWinControl* current, bool forward);
    // Whether this window is the active one.
    bool Active() const;

    // Shows the form; OnShow runs before the window becomes visible.
    void SetVisible(bool v) override;
    // Shows the form modally: every other window takes no input meanwhile.
    // Returns the modal result once an event that made it non-zero has been
    // handled completely; the form is then hidden (not destroyed).
    TModalResult ShowModal();
    bool Modal() const { return modalFrame_ != nullptr; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v);
    // Hides the form; a modal form ends its modal loop with mrCancel; closing
    // the main form ends the application's message loop.
    void Close();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;

    bool DialogKey(TKeyCode key, TShiftState shift) override;

    // What the form's controls ask of it.
    TForm* Form() override { return this; }
    void NoteActiveControl(TWinControl* c) override { activeControl_ = c; }
    void ControlFocused(TWinControl* c) override;
    void ControlGoing(TWinControl* c) override;
    void PreviewKeyDown(TKeyCode& key, TShiftState shift) override { KeyDown(key, shift); }
    void PreviewKeyUp(TKeyCode& key, TShiftState shift) override { KeyUp(key, shift); }
    void PreviewKeyPress(QChar& ch) override { KeyPress(ch); }
    bool FormDialogKey(TKeyCode key, TShiftState shift) override { return DialogKey(key, shift); }
    bool FormDialogChar(QChar ch, TShiftState shift) override { return DialogChar(ch, shift); }

    // Offers a key press aimed at a widget of this form that is not one of
    // the framework's controls (an embedded Qt editor) to the form first, as
    // KeyPreview asks. Returns false when nothing is left for the target;
    // otherwise key and text hold what remains.
    bool PreviewForeignKey(TKeyCode& key, TShiftState shift, QString& text);

    struct ModalFrame;

protected:
    void DoCreate();
    void DoShow();
    void DoHide();
    void Activated();
    void Deactivated();

    bool event(QEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    friend class TWinControl;
    friend class TApplication;
    void PlaceOnScreen();
    void BroadcastFocusChanged(TWinControl* focused);
    bool BeginSurfaceDrag(QMouseEvent* e);

    TPosition position_ = poDesigned;
    bool keyPreview_ = false;
    bool dragBySurface_ = false;
    TWinControl* activeControl_ = nullptr;
    TModalResult modalResult_ = mrNone;
    ModalFrame* modalFrame_ = nullptr;
    // Manual window move when the window manager cannot move it.
    bool manualDrag_ = false;
    QPoint dragStartPointer_;
    QPoint dragStartWindow_;
};

// The message-box service: the application's plain box (text, caption, OK, no
// icon) and the error box (error icon, OK, the application title as caption).
enum class TMessageBoxKind : std::uint8_t { Plain, Error };
struct TMessageBoxRequest {
    TMessageBoxKind kind = TMessageBoxKind::Plain;
    QString text;
    QString caption;
};
enum : int { IDOK = 1 };

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Shows the box modally; returns the button pressed (IDOK).
    virtual int Show(const TMessageBoxRequest& request) = 0;
};

// The service in use (the real boxes unless replaced).
IMessageBoxService& MessageBoxService();
// Replaces the service (nullptr: the real boxes again); returns the previous.
IMessageBoxService* SetMessageBoxService(IMessageBoxService* service);

// Records every box and answers OK at once; installs itself for its lifetime.
class TMessageBoxRecorder : public IMessageBoxService {
public:
    TMessageBoxRecorder();
    ~TMessageBoxRecorder() override;
    TMessageBoxRecorder(const TMessageBoxRecorder&) = delete;
    TMessageBoxRecorder& operator=(const TMessageBoxRecorder&) = delete;

    int Show(const TMessageBoxRequest& request) override;

    std::vector<TMessageBoxRequest> boxes;
    // Called while each box "is up" (after it is recorded).
    std::function<void(const TMessageBoxRequest&)> onShow;

private:
    IMessageBoxService* previous_;
};

// The text the error box shows for a message: a final "." is appended when
// the last character sorts after ".".
QString ErrorBoxText(const QString& message);

// The application: title, main form, message loop, error reporting, the
// program file's place, the icon. One exists per process; Application points
// to it.
class TApplication : public TComponent {
public:
    // Creates the Qt application object (with the event dispatch that catches
    // exceptions escaping handlers).
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    QString ClassName() const override { return QStringLiteral("TApplication"); }

    QApplication* QtApplication() const { return qt_.get(); }

    // The name the desktop shows for the program: every form carries it as
    // its window title.
    const QString& Title() const { return title_; }
    void SetTitle(const QString& v);

    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& v);

    // Creates a form owned by the application and finishes its construction
    // (Loaded, OnCreate). The first form created is the main form.
    template <class T, class... Args>
    T* CreateForm(Args&&... args)
    {
        auto* form = new T(this, std::forward<Args>(args)...);  // owned by the application
        if (!mainForm_)
            mainForm_ = form;
        form->AfterConstruction();
        return form;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until it closes; returns
    // the exit code.
    int Run();
    // Handles the events that are waiting, then returns.
    void ProcessMessages();
    // Ends the program at once with exit code 0: no window gets a close
    // request and nothing is saved. Returns only when a test has replaced
    // the exit handler.
    void Terminate();
    // What Terminate does (replaceable in tests, which must not end).
    using TExitHandler = std::function<void(int exitCode)>;
    TExitHandler SetExitHandler(TExitHandler handler);

    // Shows the error box for the exception being handled (call from a catch
    // block) or for a given one.
    void HandleException(std::exception_ptr e);
    void ShowException(const QString& message);
    // The application's message box (OK, no icon); returns IDOK.
    int MessageBox(const QString& text, const QString& caption);

    // Whether one of the application's windows is the active window.
    bool Active() const;

    // The program file's full path and its directory with a trailing "/".
    static QString ExeName();
    static QString ExeDir();

    // Nesting depth of the event being dispatched (0: none); used by modal
    // loops to know when an event has been handled completely.
    int DispatchDepth() const { return dispatchDepth_; }

private:
    friend class TForm;
    class QtApp;
    void EventDispatched();
    void FormClosed(TForm* form);
    void FormDestroyed(TForm* form);

    std::thread fontConfiguration_;
    std::unique_ptr<QApplication> qt_;
    QString title_;
    QIcon icon_;
    TForm* mainForm_ = nullptr;
    int dispatchDepth_ = 0;
    std::vector<TForm::ModalFrame*> modalStack_;
    TExitHandler exitHandler_;
};

extern TApplication* Application;

// The window that owns a modal window about to be shown (modal): the active
// window, else the visible main form; nullptr when there is none.
QWindow* ModalOwner(const QWidget* modal);

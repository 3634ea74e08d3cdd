#include "platform/ui/Forms.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Property.h"
#include "platform/core/ScopeExit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

TApplication* Application = nullptr;

// One running modal loop: the form, its loop, and the dispatch depth at
// which ShowModal was called (its loop's own events run one level deeper).
struct TForm::ModalFrame {
    TForm* form;
    QEventLoop* loop;
    int depth;
    bool done = false;
};

// ---------------------------------------------------------------------------
// TForm

QWindow* ModalOwner(const QWidget* modal)
{
    QWidget* w = QApplication::activeWindow();
    if (!w && Application)
        w = Application->MainForm();
    return w && w != modal && w->isVisible() ? w->windowHandle() : nullptr;
}

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    SetComponentState(ComponentState() | csLoading);
    visible_ = false;
    parentFont_ = false;
    if (Application) {
        setWindowTitle(Application->Title());
        if (!Application->Icon().isNull())
            setWindowIcon(Application->Icon());
    }
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm()
{
    BeginDestroy();
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            if (Application)
                Application->HandleException(std::current_exception());
        }
    }
    if (modalFrame_) {
        modalFrame_->form = nullptr;
        modalFrame_->done = true;
        modalFrame_->loop->exit(0);
    }
    DestroyComponents();
    activeControl_ = nullptr;
    if (Application)
        Application->FormDestroyed(this);
}

void TForm::AfterConstruction()
{
    // Loaded for every component the layout made, then for the form.
    std::vector<TComponent*> owned;
    for (int i = 0; i < ComponentCount(); ++i)
        owned.push_back(Components(i));
    for (TComponent* c : owned)
        if (c->Loading())
            c->Loaded();
    Loaded();
    DoCreate();
}

void TForm::DoCreate()
{
    if (!OnCreate)
        return;
    // An error while the form is created is reported; the form still exists.
    GuardedCall([this] { OnCreate(this); });
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
}

void TForm::SetActiveControl(TWinControl* c)
{
    if (!Store(activeControl_, c))
        return;
    if (c && Active() && c->CanFocus())
        c->SetFocus();
}

void TForm::SelectFirst()
{
    for (TWinControl* c : TabChain())
        if (c->TabStop() && c->CanFocus()) {
            c->SetFocus();
            return;
        }
}

void TForm::SelectNext(TWinControl* current, bool forward)
{
    const std::vector<TWinControl*> chain = TabChain();
    if (chain.empty())
        return;
    const int n = int(chain.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (chain[std::size_t(i)] == current)
            start = i;
    for (int step = 1; step <= n; ++step) {
        int i = start < 0 ? (forward ? step - 1 : n - step) : ((start + (forward ? step : -step)) % n + n) % n;
        TWinControl* c = chain[std::size_t(i)];
        if (c->TabStop() && c->CanFocus()) {
            c->SetFocus();
            return;
        }
    }
}

bool TForm::Active() const
{
    return QApplication::activeWindow() == this;
}

bool TForm::focusNextPrevChild(bool next)
{
    SelectNext(activeControl_, next);
    return true;
}

void TForm::ControlFocused(TWinControl* c)
{
    activeControl_ = c;
    BroadcastFocusChanged(c);
}

void TForm::ControlGoing(TWinControl* c)
{
    if (activeControl_ && (activeControl_ == c || c->isAncestorOf(activeControl_)))
        activeControl_ = nullptr;
}

void TForm::BroadcastFocusChanged(TWinControl* focused)
{
    std::vector<TControl*> stack{this};
    while (!stack.empty()) {
        TControl* c = stack.back();
        stack.pop_back();
        if (c != this)
            c->FocusChanged(focused);
        for (QObject* o : c->children())
            if (o->isWidgetType())
                if (auto* child = dynamic_cast<TControl*>(static_cast<QWidget*>(o)))
                    stack.push_back(child);
    }
}

void TForm::PlaceOnScreen()
{
    if (position_ == poDesigned)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2, Width(), Height());
}

void TForm::SetVisible(bool v)
{
    if (v == visible_)
        return;
    if (v) {
        PlaceOnScreen();
        DoShow();
        visible_ = true;
        QWidget::show();
        raise();
        activateWindow();
    } else {
        visible_ = false;
        DoHide();
        QWidget::hide();
    }
    VisibleChanged();
}

void TForm::DoShow()
{
    Fire(OnShow, this);
}

void TForm::DoHide()
{
    Fire(OnHide, this);
}

TModalResult TForm::ShowModal()
{
    if (visible_ || !Enabled() || modalFrame_)
        throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    if (!Application)
        throw EInvalidOperation(QStringLiteral("No application"));
    TApplication* app = Application;
    QPointer<QWidget> previous = QApplication::activeWindow();
    QPointer<QWidget> alive(this);
    QEventLoop loop;
    ModalFrame frame{this, &loop, app->DispatchDepth()};

    setWindowModality(Qt::ApplicationModal);
    // The window it is opened from owns it for the desktop, which then keeps
    // it above that window (a compositor places and stacks it by its owner).
    if (QWindow* owner = ModalOwner(this)) {
        winId();
        windowHandle()->setTransientParent(owner);
    }
    const TScopeExit disown([alive] {
        if (alive && alive->windowHandle())
            alive->windowHandle()->setTransientParent(nullptr);
    });
    modalResult_ = mrNone;
    try {
        SetVisible(true);
    } catch (...) {
        setWindowModality(Qt::NonModal);
        throw;
    }
    if (!alive)
        return mrCancel;
    // Whatever OnShow left in the result does not count: the loop waits for
    // an event of its own.
    modalResult_ = mrNone;
    modalFrame_ = &frame;
    app->modalStack_.push_back(&frame);
    const TScopeExit pop([app, &frame] {
        auto& s = app->modalStack_;
        s.erase(std::remove(s.begin(), s.end(), &frame), s.end());
        if (frame.form) {
            frame.form->modalFrame_ = nullptr;
            frame.form->setWindowModality(Qt::NonModal);
        }
    });
    if (!frame.done)
        loop.exec(QEventLoop::DialogExec);
    if (!frame.form)
        return mrCancel;
    const TModalResult result = modalResult_;
    SetVisible(false);
    if (previous && previous->isVisible())
        previous->activateWindow();
    return result;
}

void TForm::SetModalResult(TModalResult v)
{
    modalResult_ = v;
}

void TForm::Close()
{
    if (modalFrame_) {
        modalResult_ = mrCancel;
        return;
    }
    Hide();
    if (Application && Application->MainForm() == this)
        Application->FormClosed(this);
}

bool TForm::DialogKey(TKeyCode key, TShiftState shift)
{
    return TWinControl::DialogKey(key, shift);
}

bool TForm::PreviewForeignKey(TKeyCode& key, TShiftState shift, QString& text)
{
    KeyDown(key, shift);
    QString kept;
    for (QChar ch : text) {
        KeyPress(ch);
        if (!ch.isNull())
            kept += ch;
    }
    text = kept;
    return key != 0 || !text.isEmpty();
}

void TForm::Activated()
{
    if (activeControl_ && activeControl_->CanFocus())
        activeControl_->SetFocus();
    else
        SelectFirst();
    Fire(OnActivate, this);
}

void TForm::Deactivated()
{
    if (TControl* c = TControl::CaptureControl(); c && c->ParentForm() == this)
        c->CancelMode();
    manualDrag_ = false;
    Fire(OnDeactivate, this);
}

bool TForm::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowActivate: {
        const bool r = TWinControl::event(e);
        GuardedCall([this] { Activated(); });
        return r;
    }
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked: {
        const bool r = TWinControl::event(e);
        GuardedCall([this] { Deactivated(); });
        return r;
    }
    case QEvent::Move:
        left_ = x();
        top_ = y();
        break;
    default:
        break;
    }
    return TWinControl::event(e);
}

void TForm::closeEvent(QCloseEvent* e)
{
    // The desktop asks the window to close (there is no close button, but a
    // key or the task bar can): the form closes as Close() does.
    e->ignore();
    GuardedCall([this] { Close(); });
}

bool TForm::BeginSurfaceDrag(QMouseEvent* e)
{
    if (!dragBySurface_ || e->button() != Qt::LeftButton)
        return false;
    if (QWindow* w = windowHandle(); w && w->startSystemMove())
        return true;
    // No window manager to move the window (a bare X server): follow the
    // pointer by hand until the button is released.
    manualDrag_ = true;
    dragStartPointer_ = e->globalPosition().toPoint();
    dragStartWindow_ = pos();
    return true;
}

void TForm::mousePressEvent(QMouseEvent* e)
{
    if (BeginSurfaceDrag(e)) {
        e->accept();
        return;
    }
    TWinControl::mousePressEvent(e);
}

void TForm::mouseMoveEvent(QMouseEvent* e)
{
    if (manualDrag_) {
        e->accept();
        if (!(e->buttons() & Qt::LeftButton)) {
            manualDrag_ = false;
            return;
        }
        const QPoint target = dragStartWindow_ + (e->globalPosition().toPoint() - dragStartPointer_);
        SetBounds(target.x(), target.y(), Width(), Height());
        return;
    }
    if (dragBySurface_ && (e->buttons() & Qt::LeftButton)) {
        e->accept();
        return;
    }
    TWinControl::mouseMoveEvent(e);
}

void TForm::mouseReleaseEvent(QMouseEvent* e)
{
    if (manualDrag_ || (dragBySurface_ && e->button() == Qt::LeftButton)) {
        manualDrag_ = false;
        e->accept();
        return;
    }
    TWinControl::mouseReleaseEvent(e);
}

// ---------------------------------------------------------------------------
// Message boxes

namespace {

class TQtMessageBoxes : public IMessageBoxService {
public:
    int Show(const TMessageBoxRequest& r) override
    {
        const QMessageBox::Icon icon = r.kind == TMessageBoxKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
        QMessageBox box(icon, r.caption, r.text, QMessageBox::Ok);
        if (Application && !Application->Icon().isNull())
            box.setWindowIcon(Application->Icon());
        // A Wayland compositor keeps the box above the window it comes from
        // only if it knows that window. Under X11 the window manager keeps it
        // above the program's windows anyway, and an owner would move it from
        // the centre of the screen to the centre of the owner.
        if (QGuiApplication::platformName() == QLatin1String("wayland"))
            if (QWindow* owner = ModalOwner(&box)) {
                box.winId();
                box.windowHandle()->setTransientParent(owner);
            }
        box.exec();
        return IDOK;
    }
};

TQtMessageBoxes g_realBoxes;
IMessageBoxService* g_boxes = nullptr;

}  // namespace

IMessageBoxService& MessageBoxService()
{
    return g_boxes ? *g_boxes : g_realBoxes;
}

IMessageBoxService* SetMessageBoxService(IMessageBoxService* service)
{
    IMessageBoxService* previous = g_boxes;
    g_boxes = service;
    return previous;
}

TMessageBoxRecorder::TMessageBoxRecorder() : previous_(SetMessageBoxService(this)) {}

TMessageBoxRecorder::~TMessageBoxRecorder()
{
    SetMessageBoxService(previous_);
}

int TMessageBoxRecorder::Show(const TMessageBoxRequest& request)
{
    boxes.push_back(request);
    if (onShow)
        onShow(request);
    return IDOK;
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

// ---------------------------------------------------------------------------
// TApplication

namespace {

// What Qt draws itself (the combo's list, scroll bars, message boxes) takes
// the classic style and our fixed system colours, so it matches the controls
// we paint whatever the desktop's theme.
void UseClassicLook()
{
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);  // the application owns the style
    auto sys = [](int index) {
        const std::uint32_t rgb = GetSysColor(index);
        return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    };
    QPalette p;
    const struct {
        QPalette::ColorRole role;
        int index;
    } roles[] = {
        {QPalette::Window, COLOR_BTNFACE},         {QPalette::WindowText, COLOR_WINDOWTEXT},
        {QPalette::Base, COLOR_WINDOW},            {QPalette::AlternateBase, COLOR_BTNFACE},
        {QPalette::Text, COLOR_WINDOWTEXT},        {QPalette::Button, COLOR_BTNFACE},
        {QPalette::ButtonText, COLOR_BTNTEXT},     {QPalette::Light, COLOR_BTNHIGHLIGHT},
        {QPalette::Midlight, COLOR_3DLIGHT},       {QPalette::Mid, COLOR_BTNSHADOW},
        {QPalette::Dark, COLOR_BTNSHADOW},         {QPalette::Shadow, COLOR_3DDKSHADOW},
        {QPalette::Highlight, COLOR_HIGHLIGHT},    {QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT},
        {QPalette::ToolTipBase, 24},               {QPalette::ToolTipText, 23},
        {QPalette::BrightText, COLOR_BTNHIGHLIGHT}, {QPalette::PlaceholderText, COLOR_GRAYTEXT},
    };
    for (const auto& r : roles)
        p.setColor(r.role, sys(r.index));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, sys(COLOR_GRAYTEXT));
    p.setColor(QPalette::Disabled, QPalette::Base, sys(COLOR_BTNFACE));
    QApplication::setPalette(p);
}

}  // namespace

// The Qt application object: every event goes through notify, which counts
// the dispatch depth for modal loops, lets a key-preview form see keys aimed
// at foreign widgets, and catches what escapes a handler.
class TApplication::QtApp : public QApplication {
public:
    QtApp(int& argc, char** argv, TApplication* owner) : QApplication(argc, argv), owner_(owner) {}

    bool notify(QObject* receiver, QEvent* e) override
    {
        bool result = true;
        {
            ++owner_->dispatchDepth_;
            const TScopeExit depth([this] { --owner_->dispatchDepth_; });
            try {
                result = Dispatch(receiver, e);
            } catch (...) {
                owner_->HandleException(std::current_exception());
            }
        }
        owner_->EventDispatched();
        return result;
    }

private:
    bool Dispatch(QObject* receiver, QEvent* e)
    {
        if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && receiver->isWidgetType())
            return DispatchKey(static_cast<QWidget*>(receiver), static_cast<QKeyEvent*>(e));
        return QApplication::notify(receiver, e);
    }

    // The framework's controls run key preview themselves; a foreign widget
    // (a Qt editor inside a control) gets it here.
    bool DispatchKey(QWidget* w, QKeyEvent* e)
    {
        if (dynamic_cast<TControl*>(w))
            return QApplication::notify(w, e);
        auto* form = dynamic_cast<TForm*>(ControlOfWidget(w) ? ControlOfWidget(w)->ParentForm() : nullptr);
        if (!form || !form->KeyPreview())
            return QApplication::notify(w, e);
        TKeyCode key = e->key();
        const TShiftState shift = TControl::ShiftFromQt(e->modifiers(), Qt::NoButton);
        if (e->type() == QEvent::KeyRelease) {
            form->KeyUp(key, shift);
            return key == 0 ? true : QApplication::notify(w, e);
        }
        QString text = e->text();
        const QString original = text;
        if (!form->PreviewForeignKey(key, shift, text))
            return true;
        if (key == e->key() && text == original)
            return QApplication::notify(w, e);
        QKeyEvent changed(e->type(), key == 0 ? Qt::Key_unknown : e->key(), e->modifiers(), text, e->isAutoRepeat(),
                          ushort(e->count()));
        return QApplication::notify(w, &changed);
    }

    TApplication* owner_;
};

TApplication::TApplication(int& argc, char** argv)
    : TComponent(nullptr), fontConfiguration_(StartLoadingFontConfiguration())
{
    qt_ = std::make_unique<QtApp>(argc, argv, this);
    qt_->setQuitOnLastWindowClosed(false);
    UseClassicLook();
    Application = this;
    SetExceptionReporter([](std::exception_ptr e) {
        if (Application)
            Application->HandleException(e);
    });
    exitHandler_ = [](int code) {
        std::fflush(nullptr);
        std::quick_exit(code);
    };
}

TApplication::~TApplication()
{
    if (fontConfiguration_.joinable())
        fontConfiguration_.join();
    // The forms go before the Qt application object they live in.
    DestroyComponents();
    if (Application == this) {
        Application = nullptr;
        SetExceptionReporter(nullptr);
    }
}

void TApplication::SetTitle(const QString& v)
{
    if (!Store(title_, v))
        return;
    QCoreApplication::setApplicationName(v);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = dynamic_cast<TForm*>(w))
            f->setWindowTitle(v);
}

void TApplication::SetIcon(const QIcon& v)
{
    icon_ = v;
    QApplication::setWindowIcon(v);
}

int TApplication::Run()
{
    if (mainForm_)
        GuardedCall([this] { mainForm_->Show(); });
    return QApplication::exec();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TApplication::Terminate()
{
    exitHandler_(0);
}

TApplication::TExitHandler TApplication::SetExitHandler(TExitHandler handler)
{
    TExitHandler previous = std::move(exitHandler_);
    exitHandler_ = std::move(handler);
    return previous;
}

void TApplication::HandleException(std::exception_ptr e)
{
    QString message;
    try {
        std::rethrow_exception(e);
    } catch (const Exception& ex) {
        message = ex.Message();
    } catch (const std::exception& ex) {
        message = QString::fromLocal8Bit(ex.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    ShowException(message);
}

void TApplication::ShowException(const QString& message)
{
    MessageBoxService().Show({TMessageBoxKind::Error, ErrorBoxText(message), title_});
}

int TApplication::MessageBox(const QString& text, const QString& caption)
{
    return MessageBoxService().Show({TMessageBoxKind::Plain, text, caption});
}

bool TApplication::Active() const
{
    return QApplication::activeWindow() != nullptr;
}

QString TApplication::ExeName()
{
    const QString link = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return link.isEmpty() ? QCoreApplication::applicationFilePath() : link;
}

QString TApplication::ExeDir()
{
    QString dir = QFileInfo(ExeName()).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void TApplication::EventDispatched()
{
    if (modalStack_.empty())
        return;
    TForm::ModalFrame* frame = modalStack_.back();
    if (frame->done || dispatchDepth_ != frame->depth)
        return;
    if (frame->form && frame->form->modalResult_ == mrNone)
        return;
    // The event that set the modal result has been handled completely: the
    // form closes before anything else reaches it.
    frame->done = true;
    if (frame->form)
        GuardedCall([frame] { frame->form->SetVisible(false); });
    frame->loop->exit(0);
}

void TApplication::FormClosed(TForm* form)
{
    if (form == mainForm_)
        QCoreApplication::exit(0);
}

void TApplication::FormDestroyed(TForm* form)
{
    if (form == mainForm_)
        mainForm_ = nullptr;
}

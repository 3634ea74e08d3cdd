#include "platform/ui/Accessible.h"

#include "platform/graphics/TextPrefix.h"
#include "platform/runtime/Clock.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Editors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <deque>

// ---------------------------------------------------------------------------
// Events and actions

namespace {
TAccessibleEventRecorder* g_recorder = nullptr;
}

TAccessibleEventRecorder::TAccessibleEventRecorder() : previous_(g_recorder)
{
    g_recorder = this;
}

TAccessibleEventRecorder::~TAccessibleEventRecorder()
{
    g_recorder = previous_;
}

int TAccessibleEventRecorder::Count(const QObject* object, QAccessible::Event type) const
{
    return int(std::count_if(events.begin(), events.end(),
                             [&](const TEvent& e) { return e.object == object && e.type == type; }));
}

void AnnounceAccessibleEvent(QWidget* w, QAccessible::Event event)
{
    if (!w)
        return;
    if (g_recorder) {
        g_recorder->events.push_back({w, event});
        return;
    }
    // Qt would make the widget's interface for the event even now.
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent e(w, event);
    QAccessible::updateAccessibility(&e);
}

bool AcceptsAccessibleAction(const TControl& c)
{
    if (!c.isEnabled() || !c.Showing())
        return false;
    // A modal window holds the pointer and the keyboard away from the
    // others; it holds the screen reader's actions away too.
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == c.window();
}

namespace {

struct TPendingAction {
    QPointer<QWidget> widget;
    TControl* control;
    std::function<void()> command;
};

std::deque<TPendingAction>& PendingActions()
{
    static std::deque<TPendingAction> pending;
    return pending;
}

bool g_drainScheduled = false;

void ScheduleDrain();

void DrainOne()
{
    g_drainScheduled = false;
    std::deque<TPendingAction>& pending = PendingActions();
    // Held while a Sleep runs: the end of the last one schedules us again.
    if (pending.empty() || SleepRunning())
        return;
    TPendingAction a = std::move(pending.front());
    pending.pop_front();
    // The next one is scheduled first: this command may open a modal window,
    // and what was asked meanwhile then runs inside it, as input would.
    if (!pending.empty())
        ScheduleDrain();
    if (a.widget && AcceptsAccessibleAction(*a.control))
        GuardedCall(a.command);
}

void ScheduleDrain()
{
    if (g_drainScheduled || PendingActions().empty() || !QCoreApplication::instance())
        return;
    g_drainScheduled = true;
    QTimer::singleShot(0, QCoreApplication::instance(), DrainOne);
}

}  // namespace

void PostAccessibleAction(TControl* c, std::function<void()> command)
{
    if (!c || !command)
        return;
    static const bool hooked = [] {
        SetSleepsEndedHandler(&ScheduleDrain);
        return true;
    }();
    (void)hooked;
    PendingActions().push_back({c, c, std::move(command)});
    ScheduleDrain();
}

QString AccessibleCaption(const TControl& c)
{
    const QString name = c.accessibleName();
    return name.isEmpty() ? ResolvePrefixes(c.Caption()).text : name;
}

// ---------------------------------------------------------------------------
// Buttons

TButtonAccessible::TButtonAccessible(TControl* c, TClick click)
    : QAccessibleWidget(c, QAccessible::Button), click_(click)
{
}

TControl* TButtonAccessible::Control() const
{
    return dynamic_cast<TControl*>(widget());
}

QString TButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        if (const TControl* c = Control())
            return AccessibleCaption(*c);
    return QAccessibleWidget::text(t);
}

QAccessible::State TButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (Latches()) {
        s.checkable = true;
        s.checked = IsDown();
        s.pressed = IsDown();
    }
    return s;
}

QStringList TButtonAccessible::actionNames() const
{
    return {pressAction()};
}

void TButtonAccessible::doAction(const QString& actionName)
{
    TControl* c = Control();
    if (actionName != pressAction() || !c || !AcceptsAccessibleAction(*c))
        return;
    // The command outlives nothing it refers to: the control is checked
    // before it runs, and the click is a plain function.
    PostAccessibleAction(c, [click = click_, c] { click(*c); });
}

namespace {

// The system push button: a release inside it only clicks.
class TStdButtonAccessible : public TButtonAccessible {
public:
    explicit TStdButtonAccessible(TButton* b) : TButtonAccessible(b, [](TControl& c) { c.Click(); }) {}

protected:
    bool Latches() const override { return false; }
    bool IsDown() const override { return false; }
};

}  // namespace

// ---------------------------------------------------------------------------
// Labels and forms

TLabelAccessible::TLabelAccessible(TLabel* l) : QAccessibleWidget(l, QAccessible::StaticText) {}

QString TLabelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        if (const auto* c = dynamic_cast<const TControl*>(widget()))
            return AccessibleCaption(*c);
    return QAccessibleWidget::text(t);
}

TFormAccessible::TFormAccessible(TForm* f) : QAccessibleWidget(f, QAccessible::Window) {}

QAccessible::Role TFormAccessible::role() const
{
    const auto* f = dynamic_cast<const TForm*>(widget());
    return f && f->Modal() ? QAccessible::Dialog : QAccessible::Window;
}

QString TFormAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? widget()->windowTitle() : name;
    }
    return QAccessibleWidget::text(t);
}

// ---------------------------------------------------------------------------
// Edits

TEditAccessible::TEditAccessible(TCustomEdit* e, QAccessible::Role role) : QAccessibleWidget(e, role) {}

TCustomEdit* TEditAccessible::Edit() const
{
    return dynamic_cast<TCustomEdit*>(widget());
}

QString TEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        if (const TCustomEdit* e = Edit())
            return e->Text();
    return QAccessibleWidget::text(t);
}

QAccessible::State TEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (const TCustomEdit* e = Edit()) {
        s.readOnly = e->ReadOnly();
        s.editable = !e->ReadOnly();
        s.multiLine = dynamic_cast<const TCustomMemo*>(e) != nullptr;
    }
    return s;
}

void* TEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        if (const TCustomEdit* e = Edit())
            if (QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(e->Editor()))
                return inner->interface_cast(t);
    return QAccessibleWidget::interface_cast(t);
}

// ---------------------------------------------------------------------------
// Combo boxes

namespace {

// One item of a combo box; it has no object of its own.
class TComboItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TComboItemAccessible(TCustomComboBox* combo, int index) : combo_(combo), index_(index) {}

    bool isValid() const override { return combo_ && index_ < combo_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return combo_ ? combo_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(combo_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if ((t == QAccessible::Name || t == QAccessible::Value) && isValid())
            return combo_->Items().at(index_);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        return combo_ ? QRect(combo_->mapToGlobal(QPoint(0, 0)), combo_->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.selected = combo_ && combo_->ItemIndex() == index_;
        s.disabled = !combo_ || !combo_->isEnabled();
        s.invisible = !combo_ || !combo_->Showing();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& actionName) override
    {
        TCustomComboBox* combo = combo_;
        if (actionName != pressAction() || !combo || !AcceptsAccessibleAction(*combo))
            return;
        const int index = index_;
        PostAccessibleAction(combo, [combo, index] { combo->ChooseItem(index); });
    }

private:
    QPointer<TCustomComboBox> combo_;
    int index_;
};

}  // namespace

TComboAccessible::TComboAccessible(TCustomComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}

TComboAccessible::~TComboAccessible()
{
    for (QAccessible::Id id : items_)
        QAccessible::deleteAccessibleInterface(id);
}

TCustomComboBox* TComboAccessible::Combo() const
{
    return dynamic_cast<TCustomComboBox*>(widget());
}

QString TComboAccessible::text(QAccessible::Text t) const
{
    const TCustomComboBox* c = Combo();
    if (c && (t == QAccessible::Value || (t == QAccessible::Name && c->accessibleName().isEmpty())))
        return c->Text();
    return QAccessibleWidget::text(t);
}

int TComboAccessible::childCount() const
{
    const TCustomComboBox* c = Combo();
    return c ? c->Count() : 0;
}

QAccessibleInterface* TComboAccessible::child(int index) const
{
    TCustomComboBox* c = Combo();
    if (!c || index < 0 || index >= c->Count())
        return nullptr;
    while (int(items_.size()) <= index)
        items_.push_back(QAccessible::registerAccessibleInterface(new TComboItemAccessible(c, int(items_.size()))));
    return QAccessible::accessibleInterface(items_[std::size_t(index)]);
}

int TComboAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (QAccessible::accessibleInterface(items_[i]) == child)
            return int(i);
    return -1;
}

// ---------------------------------------------------------------------------

QAccessibleInterface* PlatformAccessibleInterface(QObject* object)
{
    if (auto* f = dynamic_cast<TForm*>(object))
        return new TFormAccessible(f);
    if (auto* l = dynamic_cast<TLabel*>(object))
        return new TLabelAccessible(l);
    if (auto* b = dynamic_cast<TButton*>(object))
        return new TStdButtonAccessible(b);
    if (auto* c = dynamic_cast<TCustomComboBox*>(object))
        return new TComboAccessible(c);
    if (auto* e = dynamic_cast<TCustomEdit*>(object))
        return new TEditAccessible(e);
    return nullptr;
}

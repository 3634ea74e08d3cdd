#pragma once

// What assistive technology (a screen reader through AT-SPI) sees of the
// controls we paint ourselves: the pieces every control family shares, and
// the interfaces of the framework's own controls (labels, forms, edits,
// combo boxes).
//
// Nothing here runs while no assistive technology listens: Qt asks for an
// interface only on behalf of one, and every event goes through
// AnnounceAccessibleEvent, which returns at once when accessibility is off.

#include <QAccessible>
#include <QAccessibleWidget>

#include <functional>
#include <vector>

class TControl;
class TCustomComboBox;
class TCustomEdit;
class TForm;
class TLabel;

// Raises the event for w when assistive technology listens (or a recorder
// is installed).
void AnnounceAccessibleEvent(QWidget* w, QAccessible::Event event);

// Takes the announced events instead of Qt for its lifetime, as if
// assistive technology listened: tests use it where no platform bridge
// exists (the offscreen platform never turns accessibility on).
class TAccessibleEventRecorder {
public:
    TAccessibleEventRecorder();
    ~TAccessibleEventRecorder();
    TAccessibleEventRecorder(const TAccessibleEventRecorder&) = delete;
    TAccessibleEventRecorder& operator=(const TAccessibleEventRecorder&) = delete;

    struct TEvent {
        QObject* object;
        QAccessible::Event type;
    };
    std::vector<TEvent> events;
    int Count(const QObject* object, QAccessible::Event type) const;

private:
    TAccessibleEventRecorder* previous_;
};

// Whether an action of assistive technology may work the control now: it is
// enabled and showing (its parents included).
bool AcceptsAccessibleAction(const TControl& c);

// Runs the command of an accessible action the way user input is run: after
// the request has been answered (a modal window it opens must not hold the
// screen reader), in the order requested, never inside a Sleep (input made
// during one is handled after it), and only if the control still exists
// and still accepts actions then. Exceptions reach the error box.
void PostAccessibleAction(TControl* c, std::function<void()> command);

// The name a control is read by: its accessible name when one is set, else
// its caption without the accelerator marks.
QString AccessibleCaption(const TControl& c);

// A control that works like a push button, or a toggle button when it
// latches. The family says how a press clicks it.
class TButtonAccessible : public QAccessibleWidget {
public:
    // Clicks the control exactly as a mouse click inside it does.
    using TClick = void (*)(TControl& c);
    TButtonAccessible(TControl* c, TClick click);

    QAccessible::Role role() const override { return QAccessible::Button; }
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    TControl* Control() const;
    // A latched group button: checkable, pressed while down.
    virtual bool Latches() const = 0;
    virtual bool IsDown() const = 0;

private:
    TClick click_;
};

// A label: static text named by its caption.
class TLabelAccessible : public QAccessibleWidget {
public:
    explicit TLabelAccessible(TLabel* l);
    QString text(QAccessible::Text t) const override;
};

// A form: a window (a dialog while modal) named by its title.
class TFormAccessible : public QAccessibleWidget {
public:
    explicit TFormAccessible(TForm* f);
    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
};

// An edit or memo: editable text (read-only when it is), whose text is its
// value. Reading by characters and lines goes to the inner editor's own
// text interface.
class TEditAccessible : public QAccessibleWidget {
public:
    explicit TEditAccessible(TCustomEdit* e, QAccessible::Role role = QAccessible::EditableText);
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

protected:
    TCustomEdit* Edit() const;
};

// A combo box: its value is the current item's text; its children are the
// items, each selectable by the action Press as if chosen from the list.
class TComboAccessible : public QAccessibleWidget {
public:
    explicit TComboAccessible(TCustomComboBox* c);
    ~TComboAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override { return {}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TCustomComboBox* Combo() const;
    // Interfaces of the items, made as they are asked for and registered
    // with Qt; released with the combo's interface.
    mutable std::vector<QAccessible::Id> items_;
};

// Interfaces for the framework's controls (nullptr for any other object).
QAccessibleInterface* PlatformAccessibleInterface(QObject* object);

#pragma once

// The flat controls as assistive technology sees them: the speed button is
// a push button (a toggle button in a group) whose action Press clicks it
// the way the pointer does (the arrows of a spin button are "Больше" and
// "Меньше"); the integer spin edit is a spin box with its
// value and limits. The flat memo, edit and combo box are the framework's
// edits and combo boxes and are read as those.

class QAccessibleInterface;
class QObject;

// The interface of a flat control (nullptr for any other object).
QAccessibleInterface* FlatAccessibleInterface(QObject* object);

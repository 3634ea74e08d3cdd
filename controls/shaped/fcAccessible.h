#pragma once

// The shaped buttons as assistive technology sees them: push buttons (toggle
// buttons when they belong to a group) named by their caption, whose action
// Press clicks them the way the pointer does.

class QAccessibleInterface;
class QObject;

// The interface of a shaped button (nullptr for any other object).
QAccessibleInterface* ShapedAccessibleInterface(QObject* object);

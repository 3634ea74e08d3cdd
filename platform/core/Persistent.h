#pragma once

#include "platform/core/Exceptions.h"

#include <QString>

// An object whose published properties can be copied from another object of
// a compatible class. Assign asks the source to copy itself into this object
// when this class does not know the source's class; when neither side knows
// the other, the copy fails with "Cannot assign a <source> to a <dest>".
class TPersistent {
public:
    virtual ~TPersistent() = default;

    virtual QString ClassName() const { return QStringLiteral("TPersistent"); }

    virtual void Assign(const TPersistent* source)
    {
        if (source) {
            source->AssignTo(this);
            return;
        }
        AssignError(nullptr);
    }

protected:
    virtual void AssignTo(TPersistent* dest) const { dest->AssignError(this); }

    [[noreturn]] void AssignError(const TPersistent* source) const
    {
        const QString sourceName = source ? source->ClassName() : QStringLiteral("nil");
        throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceName, ClassName()));
    }
};

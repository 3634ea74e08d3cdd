#pragma once

// Run-time helpers: system error texts, the framework errors that carry
// them, text-to-number conversion and the default beep.

#include "platform/core/Exceptions.h"

#include <QString>

// The system's text for an error number, with trailing blanks, line breaks
// and dots cut off.
QString SysErrorMessage(int errorCode);

// The file-open error: Cannot open file "<path>". <system text>
EFOpenError FileOpenError(const QString& path, int errorCode);
// The same with a text of our own in place of the system's.
EFOpenError FileOpenError(const QString& path, const QString& reason);

// The error a memo raises when asked to hold more text than it can.
EOutOfResources MemoCapacityError();

// Decimal (optionally signed, leading blanks allowed) or "$"-prefixed
// hexadecimal text as a 32-bit integer; anything else, or a value out of
// range, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& s);
// The same, answering fallback instead of raising.
int StrToIntDef(const QString& s, int fallback);


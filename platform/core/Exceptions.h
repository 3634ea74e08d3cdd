#pragma once

#include <QString>

#include <stdexcept>

// Failures are exceptions; the application's event dispatch shows the text of
// one that escapes a handler in the error box and carries on.
class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// An operation that the object's state does not allow (also arithmetic
// overflow and division by zero in evaluated expressions).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// An object used as a class it is not.
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception(QStringLiteral("Invalid class typecast")) {}
    using Exception::Exception;
};

// A value that cannot be converted (text to a number, one object to another).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened or read.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A memo asked to hold more text than it can.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

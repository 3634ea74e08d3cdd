#pragma once

#include <QString>

// Integer expressions of custom button outlines: decimal numbers joined by
// "+", "-", "*" and "/", with "*" and "/" taken before "+" and "-", each level
// from left to right; division truncates toward zero.
//
// Errors are exceptions (platform/Exceptions.h):
//  - a character other than blanks, digits and "*+,-/": EInvalidOperation;
//  - division by zero and any result outside the 32-bit range: EInvalidOperation;
//  - any other malformed text (an operator without an operand, two numbers in
//    a row, an empty text, a number too long to convert): EConvertError.
class TfcEvaluator {
public:
    static int Evaluate(const QString& expression);
};

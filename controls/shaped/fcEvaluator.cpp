#include "controls/shaped/fcEvaluator.h"

#include "platform/core/Exceptions.h"

#include <QStringList>

#include <cstdint>
#include <limits>

namespace {

bool IsOperatorToken(const QString& t)
{
    return t == QLatin1String("*") || t == QLatin1String("/") || t == QLatin1String("+") || t == QLatin1String("-");
}

void CheckCharacters(const QString& s)
{
    for (const QChar c : s) {
        const bool allowed = c == QLatin1Char(' ') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             c == QLatin1Char('*') || c == QLatin1Char('+') || c == QLatin1Char(',') ||
                             c == QLatin1Char('-') || c == QLatin1Char('/');
        if (!allowed)
            throw EInvalidOperation(
                QStringLiteral("Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed."));
    }
}

[[noreturn]] void NotAnInteger(const QString& token)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(token));
}

// A token is an optional minus sign (results may be negative) and digits.
int ToInteger(const QString& token)
{
    const int start = token.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (token.size() == start)
        NotAnInteger(token);
    std::int64_t value = 0;
    for (int i = start; i < token.size(); ++i) {
        const QChar c = token[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            NotAnInteger(token);
        value = value * 10 + (c.unicode() - '0');
        if (value > std::int64_t(std::numeric_limits<int>::max()) + 1)
            NotAnInteger(token);
    }
    if (start)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        NotAnInteger(token);
    return int(value);
}

int Apply(int left, const QString& op, int right)
{
    std::int64_t r = 0;
    if (op == QLatin1String("*")) {
        r = std::int64_t(left) * right;
    } else if (op == QLatin1String("/")) {
        if (right == 0)
            throw EInvalidOperation(QStringLiteral("Divide By Zero Error"));
        r = std::int64_t(left) / right;  // truncates toward zero
    } else if (op == QLatin1String("+")) {
        r = std::int64_t(left) + right;
    } else {
        r = std::int64_t(left) - right;
    }
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        throw EInvalidOperation(QStringLiteral("Integer overflow"));
    return int(r);
}

// The blank-separated tokens after every operator has been set apart.
QStringList Tokenize(const QString& s)
{
    QString spaced;
    spaced.reserve(s.size() * 3);
    for (const QChar c : s) {
        if (IsOperatorToken(QString(c))) {
            spaced += QLatin1Char(' ');
            spaced += c;
            spaced += QLatin1Char(' ');
        } else {
            spaced += c;
        }
    }
    return spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

int FindOperator(const QStringList& tokens, QLatin1String a, QLatin1String b)
{
    for (int i = 0; i < tokens.size(); ++i)
        if (tokens[i] == a || tokens[i] == b)
            return i;
    return -1;
}

}  // namespace

int TfcEvaluator::Evaluate(const QString& expression)
{
    CheckCharacters(expression);
    QStringList tokens = Tokenize(expression);
    for (;;) {
        int i = FindOperator(tokens, QLatin1String("*"), QLatin1String("/"));
        if (i < 0)
            i = FindOperator(tokens, QLatin1String("+"), QLatin1String("-"));
        if (i < 0)
            break;
        if (i == 0 || i + 1 >= tokens.size())
            NotAnInteger(tokens.join(QLatin1Char(' ')));
        // Only this one operation is folded: folding every equal-looking
        // triple at once would change the order of evaluation ("2 - 1 - 2 - 1").
        const int value = Apply(ToInteger(tokens[i - 1]), tokens[i], ToInteger(tokens[i + 1]));
        tokens[i - 1] = QString::number(value);
        tokens.remove(i, 2);
    }
    if (tokens.size() != 1)
        NotAnInteger(tokens.join(QLatin1Char(' ')));
    return ToInteger(tokens[0]);
}

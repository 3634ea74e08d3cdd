// The point-expression evaluator against a small independent evaluator: both
// agree on every text, the value when there is one and whether there is one.

#include "controls/shaped/fcEvaluator.h"
#include "fuzz/FuzzCheck.h"
#include "platform/core/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using i64 = std::int64_t;

bool AllowedCharacter(char c)
{
    return c == ' ' || (c >= '0' && c <= '9') || c == '*' || c == '+' || c == ',' || c == '-' || c == '/';
}

bool IsOperator(char c)
{
    return c == '*' || c == '/' || c == '+' || c == '-';
}

bool InIntRange(i64 v)
{
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

// The text as numbers and operators, numbers being digit strings (commas
// included, which makes them malformed later).
std::vector<std::string> Tokens(const std::string& s)
{
    std::vector<std::string> tokens;
    std::string current;
    for (char c : s) {
        if (c == ' ' || IsOperator(c)) {
            if (!current.empty())
                tokens.push_back(current);
            current.clear();
            if (c != ' ')
                tokens.emplace_back(1, c);
        } else {
            current += c;
        }
    }
    if (!current.empty())
        tokens.push_back(current);
    return tokens;
}

std::optional<i64> Number(const std::string& token)
{
    i64 v = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return v;
}

std::optional<i64> Step(i64 a, char op, i64 b)
{
    i64 r = 0;
    switch (op) {
    case '*': r = a * b; break;
    case '/':
        if (b == 0)
            return std::nullopt;
        r = a / b;
        break;
    case '+': r = a + b; break;
    default: r = a - b; break;
    }
    return InIntRange(r) ? std::optional<i64>(r) : std::nullopt;
}

// Number (operator number)*, products before sums, each left to right;
// nullopt for any error.
std::optional<i64> Reference(const std::string& s)
{
    const std::vector<std::string> t = Tokens(s);
    if (t.size() % 2 == 0)
        return std::nullopt;
    std::vector<i64> numbers;
    std::vector<char> ops;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool op = t[i].size() == 1 && IsOperator(t[i][0]);
        if (op != (i % 2 == 1))
            return std::nullopt;
        if (op) {
            ops.push_back(t[i][0]);
        } else {
            const std::optional<i64> n = Number(t[i]);
            if (!n)
                return std::nullopt;
            numbers.push_back(*n);
        }
    }
    i64 sum = 0;
    char pendingSign = '+';
    i64 term = numbers[0];
    for (std::size_t i = 0; i <= ops.size(); ++i) {
        if (i == ops.size() || ops[i] == '+' || ops[i] == '-') {
            const std::optional<i64> r = Step(sum, pendingSign, term);
            // The first term is not added to anything; a failure there is
            // impossible since the term is already in range.
            if (!r)
                return std::nullopt;
            sum = *r;
            if (i == ops.size())
                break;
            pendingSign = ops[i];
            term = numbers[i + 1];
        } else {
            const std::optional<i64> r = Step(term, ops[i], numbers[i + 1]);
            if (!r)
                return std::nullopt;
            term = *r;
        }
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    bool allowed = true;
    for (char c : text)
        allowed = allowed && AllowedCharacter(c);

    std::optional<int> value;
    bool invalidOperation = false;
    try {
        value = TfcEvaluator::Evaluate(QString::fromLatin1(text.data(), qsizetype(text.size())));
    } catch (const EInvalidOperation&) {
        invalidOperation = true;
    } catch (const EConvertError&) {
    }
    // Anything else escaping is a fault, and the fuzzer reports it.

    if (!allowed) {
        FUZZ_CHECK(invalidOperation);
        return 0;
    }
    const std::optional<i64> expected = Reference(text);
    FUZZ_CHECK(value.has_value() == expected.has_value());
    if (value)
        FUZZ_CHECK(*value == *expected);
    return 0;
}

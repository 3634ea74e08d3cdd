#include "controls/shaped/fcEvaluator.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

struct ValueCase {
    const char* text;
    int value;
};

class EvaluatorValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(EvaluatorValue, Computes)
{
    EXPECT_EQ(TfcEvaluator::Evaluate(QString::fromUtf8(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, EvaluatorValue,
    ::testing::Values(ValueCase{"42", 42}, ValueCase{"  7 ", 7}, ValueCase{"149/2", 74}, ValueCase{"74 / 2", 37},
                      ValueCase{"2+3*4", 14}, ValueCase{"2*3+4", 10}, ValueCase{"10-4-3", 3},
                      ValueCase{"2 - 1 - 2 - 1", -2},           // left to right, one operation at a time
                      ValueCase{"2 * 3 + 12 * 3", 42},         // "2 * 3" is not folded inside "12 * 3"
                      ValueCase{"100/7*7", 98}, ValueCase{"3-10/2", -2}, ValueCase{"0-7/2", -3},
                      ValueCase{"3 - 5 - 1", -3},                // a negative result is an operand again
                      ValueCase{"2147483647", std::numeric_limits<int>::max()},
                      ValueCase{"0-2147483647-1", std::numeric_limits<int>::min()}));

enum class Fails { Operation, Conversion };

struct ErrorCase {
    const char* text;
    Fails kind;
    const char* message;  // nullptr: any message
};

class EvaluatorError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(EvaluatorError, Raises)
{
    const ErrorCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    try {
        TfcEvaluator::Evaluate(text);
        ADD_FAILURE() << c.text << " evaluated";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(c.kind, Fails::Operation) << c.text;
        if (c.message) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
        }
    } catch (const EConvertError& e) {
        EXPECT_EQ(c.kind, Fails::Conversion) << c.text << ": " << e.Message().toStdString();
    }
}

const char* const kOnlyAlpha = "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.";

INSTANTIATE_TEST_SUITE_P(
    Malformed, EvaluatorError,
    ::testing::Values(ErrorCase{"WIDTH", Fails::Operation, kOnlyAlpha}, ErrorCase{"1.5", Fails::Operation, kOnlyAlpha},
                      ErrorCase{"2\t+ 3", Fails::Operation, kOnlyAlpha}, ErrorCase{"(1)", Fails::Operation, kOnlyAlpha},
                      ErrorCase{"5/0", Fails::Operation, "Divide By Zero Error"},
                      ErrorCase{"5/(0)", Fails::Operation, kOnlyAlpha},
                      ErrorCase{"1 + 10/0", Fails::Operation, "Divide By Zero Error"},
                      ErrorCase{"2147483647+1", Fails::Operation, nullptr},
                      ErrorCase{"65536*65536", Fails::Operation, nullptr},
                      ErrorCase{"0-2147483647-2", Fails::Operation, nullptr},
                      ErrorCase{"0-2147483647-1/0-1", Fails::Operation, "Divide By Zero Error"},
                      ErrorCase{"", Fails::Conversion, nullptr}, ErrorCase{"   ", Fails::Conversion, nullptr},
                      ErrorCase{"-5", Fails::Conversion, nullptr}, ErrorCase{"5-", Fails::Conversion, nullptr},
                      ErrorCase{"1 2", Fails::Conversion, nullptr}, ErrorCase{"3 * * 4", Fails::Conversion, nullptr},
                      ErrorCase{"1,2", Fails::Conversion, nullptr}, ErrorCase{"+", Fails::Conversion, nullptr},
                      ErrorCase{"99999999999", Fails::Conversion, nullptr},
                      ErrorCase{"2147483648", Fails::Conversion, nullptr}));

// Any text at all ends in a value or one of the two errors, never in a fault.
TEST(Evaluator, ArbitraryTextNeverFaults)
{
    const std::string alphabet = "0123456789+-*/, x";
    unsigned seed = 12345;
    for (int n = 0; n < 3000; ++n) {
        seed = seed * 1103515245u + 12345u;
        std::string s;
        const int len = int(seed >> 27);
        for (int i = 0; i < len; ++i) {
            seed = seed * 1103515245u + 12345u;
            s += alphabet[(seed >> 16) % alphabet.size()];
        }
        try {
            TfcEvaluator::Evaluate(QString::fromStdString(s));
        } catch (const EInvalidOperation&) {
        } catch (const EConvertError&) {
        }
    }
}

}  // namespace

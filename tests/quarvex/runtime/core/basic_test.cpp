#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"

#include <QLocale>
#include <clocale>
#include <string>
#include <gtest/gtest.h>

using namespace qvrt;

namespace {

int errorOf(auto&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(Val, ReadsTheLeadingNumberAndStopsAtTheFirstCharacterThatCannotContinueIt) {
    EXPECT_DOUBLE_EQ(Val("12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(Val("  -3"), -3.0);
    EXPECT_DOUBLE_EQ(Val("+7"), 7.0);
    EXPECT_DOUBLE_EQ(Val("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Val("2e3x"), 2000.0);
    EXPECT_DOUBLE_EQ(Val("2D-2"), 0.02);
    EXPECT_DOUBLE_EQ(Val("2e"), 2.0);
    EXPECT_DOUBLE_EQ(Val("2ex"), 2.0);
}

TEST(Val, IgnoresBlanksInsideTheNumber) {
    EXPECT_DOUBLE_EQ(Val("1 2 3"), 123.0);
    EXPECT_DOUBLE_EQ(Val("\t4\n5"), 45.0);
    EXPECT_DOUBLE_EQ(Val("- 1 . 5"), -1.5);
}

TEST(Val, StopsAtACarriageReturnWhichIsNoBlank) {
    EXPECT_DOUBLE_EQ(Val("1\r2"), 1.0);
    EXPECT_EQ(Val("\r5"), 0.0);
}

TEST(Val, GivesZeroForTextWithoutALeadingNumber) {
    EXPECT_EQ(Val(""), 0.0);
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val("-"), 0.0);
    EXPECT_EQ(Val("."), 0.0);
    EXPECT_EQ(Val("x12"), 0.0);
}

// Numbers in sheets and files use a point whatever the user's locale says.
TEST(Val, IgnoresTheDecimalCommaOfTheLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is not installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const QLocale qtBefore;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(Val("3,75"), 3.0);
    EXPECT_DOUBLE_EQ(Val("3.75"), 3.75);
    EXPECT_EQ(Str(2.5f), " 2.5");
    EXPECT_EQ(Format(1234.5, "##0.00"), "1234.50");
    QLocale::setDefault(qtBefore);
    std::setlocale(LC_ALL, before.c_str());
}

TEST(Val, OverflowsBeyondTheDoubleRangeButUnderflowsToZero) {
    EXPECT_EQ(errorOf([] { Val("1e400"); }), ErrOverflow);
    EXPECT_EQ(Val("1e-400"), 0.0);
    EXPECT_DOUBLE_EQ(Val("1e308"), 1e308);
    EXPECT_EQ(errorOf([] { Val("1e309"); }), ErrOverflow);
    // The value decides, not the sign of the exponent or its absence.
    const QString hugeSpelt = "1" + QString(309, u'0') + "e-0";
    EXPECT_EQ(errorOf([&] { Val(hugeSpelt); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { Val("-0.001e312"); }), ErrOverflow);
    EXPECT_EQ(Val("0." + QString(323, u'0') + "1"), 0.0);
    EXPECT_EQ(Val("1000e-330"), 0.0);
    EXPECT_GT(Val("5e-324"), 0.0);  // the smallest double still reads
}

TEST(CInt, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(1080 * 1.25), 1350);
    EXPECT_EQ(CInt(2.51), 3);
    EXPECT_EQ(CInt(-0.4), 0);
}

TEST(CInt, OverflowsOutsideSixteenBits) {
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.0), -32768);
    EXPECT_EQ(errorOf([] { CInt(32767.5); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(-32768.6); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CLng(3e9); }), ErrOverflow);
    EXPECT_EQ(CLng(2147483647.0), 2147483647);
}

TEST(Str, GivesSevenSignificantDigitsWithALeadingBlankForNonNegatives) {
    EXPECT_EQ(Str(1.5f), " 1.5");
    EXPECT_EQ(Str(-1.5f), "-1.5");
    EXPECT_EQ(Str(0.0f), " 0");
    EXPECT_EQ(Str(100.0f / 3.0f), " 33.33333");
    EXPECT_EQ(Str(0.5f), " .5");
    EXPECT_EQ(Str(-0.25f), "-.25");
    EXPECT_EQ(Str(1234567.0f), " 1234567");
    EXPECT_EQ(Str(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(Str(0.0001f), " .0001");
    EXPECT_EQ(Str(0.00001f), " 1E-05");
    EXPECT_EQ(Str(42LL), " 42");
    EXPECT_EQ(Str(-42LL), "-42");
}

TEST(CStr, KeepsTheZeroBeforeThePointAndHasNoBlank) {
    EXPECT_EQ(CStr(0.5f), "0.5");
    EXPECT_EQ(CStr(-0.5f), "-0.5");
    EXPECT_EQ(CStr(0.1f), "0.1");
    EXPECT_EQ(CStr(10.0f), "10");
    EXPECT_EQ(CStr(16.0f), "16");
    EXPECT_EQ(CStr(7LL), "7");
}

TEST(Format, TwoDecimalPatternsRoundHalvesAwayFromZero) {
    EXPECT_EQ(Format(3.14159, "##0.00"), "3.14");
    EXPECT_EQ(Format(0.5, "##0.00"), "0.50");
    EXPECT_EQ(Format(1.005, "##0.00"), "1.01");
    EXPECT_EQ(Format(-2.345, "#0.00"), "-2.35");
    EXPECT_EQ(Format(1234.5, "##0.00"), "1234.50");
    EXPECT_EQ(Format(-0.001, "#0.00"), "0.00");
    EXPECT_EQ(Format(99.999, "#0.00"), "100.00");
}

TEST(Format, IntegerPattern) {
    EXPECT_EQ(Format(2.5, "#0"), "3");
    EXPECT_EQ(Format(-2.5, "#0"), "-3");
    EXPECT_EQ(Format(0.2, "#0"), "0");
}

TEST(Format, OptionalDigitsAreShownOnlyWhenNeeded) {
    EXPECT_EQ(Format(0.5, "###.0##"), ".5");
    EXPECT_EQ(Format(3, "###.0##"), "3.0");
    EXPECT_EQ(Format(12.34567, "###.0##"), "12.346");
    EXPECT_EQ(Format(12.3, "######.0##"), "12.3");
    EXPECT_EQ(Format(0.25, "#########0.0###"), "0.25");
    EXPECT_EQ(Format(1.234567, "#########0.0###"), "1.2346");
    EXPECT_EQ(Format(7, "#########0.0###"), "7.0");
}

TEST(Format, RefusesPatternsItDoesNotKnow) {
    EXPECT_EQ(errorOf([] { Format(1, "0.00%"); }), 5);
    EXPECT_EQ(errorOf([] { Format(1, ""); }), 5);
}

TEST(FixedString, PadsWithBlanksAndCutsToLength) {
    EXPECT_EQ(FixedString("abc", 5), "abc  ");
    EXPECT_EQ(FixedString("abcdef", 4), "abcd");
    EXPECT_EQ(FixedString("abc", 0), "");
}

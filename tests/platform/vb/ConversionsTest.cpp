// IsNumeric, CDbl, CStr, CBool, Format and Round in an Italian and an English locale.
#include "ErrorOf.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <cmath>
#include <functional>
#include <limits>

using vb::Variant;
using vbtest::errorOf;

namespace {

QLocale italian() { return QLocale(QLocale::Italian, QLocale::Italy); }
QLocale english() { return QLocale(QLocale::English, QLocale::UnitedStates); }

class Conversions : public ::testing::Test {
protected:
    void TearDown() override { vb::resetUserLocale(); }
};

}  // namespace

TEST_F(Conversions, IsNumericInBothLocales)
{
    struct Case {
        const char *text;
        bool italian;
        bool english;
    };
    const Case cases[] = {
        {"12,5", true, true},      // English reads the comma as a group separator
        {"12.5", true, true},      // Italian reads the dot as a group separator
        {"1.234,5", true, false},  // decimal before group is no English number
        {"1,234.5", false, true},
        {"  -3  ", true, true},
        {"+7", true, true},
        {"1E3", true, true},
        {"2,5e-2", true, true},   // 25e-2 in English
        {"2.5e-2", true, true},
        {",5", true, false},
        {"", false, false},
        {"   ", false, false},
        {"-", false, false},
        {"abc", false, false},
        {"12a", false, false},
        {"1E", false, false},
        {"1,2,3", false, true},
        {"1E400", false, false},  // does not fit a double
        {".5", false, true},      // a group separator needs a digit before it
    };
    for (const Case &c : cases) {
        vb::setUserLocale(italian());
        EXPECT_EQ(vb::IsNumeric(QString::fromUtf8(c.text)), c.italian) << "Italian: " << c.text;
        vb::setUserLocale(english());
        EXPECT_EQ(vb::IsNumeric(QString::fromUtf8(c.text)), c.english) << "English: " << c.text;
    }
}

TEST_F(Conversions, IsNumericOfVariantKinds)
{
    vb::setUserLocale(italian());
    EXPECT_TRUE(vb::IsNumeric(Variant()));
    EXPECT_FALSE(vb::IsNumeric(Variant::null()));
    EXPECT_TRUE(vb::IsNumeric(Variant(true)));
    EXPECT_TRUE(vb::IsNumeric(Variant(2.5)));
    EXPECT_TRUE(vb::IsNumeric(Variant("3,5")));
    EXPECT_FALSE(vb::IsNumeric(Variant("x")));
    EXPECT_FALSE(vb::IsNumeric(Variant::array({Variant(1)})));
}

TEST_F(Conversions, CDblReadsTheLocale)
{
    struct Case {
        QLocale locale;
        const char *text;
        double value;
    };
    const Case cases[] = {
        {italian(), "12,5", 12.5},
        {italian(), "12.5", 125},  // dot is grouping in Italian
        {italian(), "1.234,5", 1234.5},
        {italian(), " -0,25 ", -0.25},
        {italian(), "1,5E2", 150},
        {english(), "12.5", 12.5},
        {english(), "1,234.5", 1234.5},
        {english(), "-1e-3", -0.001},
    };
    for (const Case &c : cases) {
        vb::setUserLocale(c.locale);
        EXPECT_DOUBLE_EQ(vb::CDbl(Variant(c.text)), c.value) << c.text;
    }
    EXPECT_EQ(vb::CDbl(Variant()), 0);
    EXPECT_EQ(vb::CDbl(Variant(true)), -1);
    EXPECT_EQ(vb::CDbl(Variant(qint16(7))), 7);
}

// Grid cells are plain decimals ("-1234,56"); they must read to the very double a C reading of
// the same digits gives, bit for bit, whatever road the reading takes.
TEST_F(Conversions, PlainDecimalsReadExactlyAsTheirDigits)
{
    struct Case {
        QLocale locale;
        const char *text;
        double value;
    };
    const Case cases[] = {
        {italian(), "0,1", 0.1},
        {italian(), "0,30000000000000004", 0.30000000000000004},
        {italian(), "123456789012345678901234567890", 1.2345678901234568e29},
        {italian(), "9007199254740993", 9007199254740992.0},  // ties to even
        {italian(), ",5", 0.5},
        {italian(), "5,", 5},
        {italian(), "-,5", -0.5},
        {italian(), "007", 7},
        {english(), "1,5", 15},  // the comma groups in English
        {english(), "-2.75", -2.75},
    };
    for (const Case &c : cases) {
        vb::setUserLocale(c.locale);
        const std::optional<double> v = vb::parseNumber(QString::fromUtf8(c.text));
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    vb::setUserLocale(italian());
    for (const char *zero : {"-0", "-0,00", "-,0"}) {
        const std::optional<double> v = vb::parseNumber(QString::fromUtf8(zero));
        ASSERT_TRUE(v.has_value()) << zero;
        EXPECT_EQ(*v, 0.0) << zero;
        EXPECT_FALSE(std::signbit(*v)) << zero;  // no negative zero
    }
    for (const char *no : {"1,2,3", "-", ",", "1-", "--1", "1,5 e", "1E400"})
        EXPECT_FALSE(vb::parseNumber(QString::fromUtf8(no)).has_value()) << no;

    // Many cells of the grid's shapes, against strtod in the C locale on the same digits.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int k = 0; k < 20000; ++k) {
        std::string c;
        if (next() % 3 == 0)
            c += '-';
        const int whole = int(next() % 18) + 1;
        for (int i = 0; i < whole; ++i)
            c += char('0' + next() % 10);
        const int fraction = int(next() % 6);
        if (fraction > 0) {
            c += '.';
            for (int i = 0; i < fraction; ++i)
                c += char('0' + next() % 10);
        }
        const QString italianText = QString::fromStdString(c).replace(u'.', u',');
        const std::optional<double> v = vb::parseNumber(italianText);
        ASSERT_TRUE(v.has_value()) << c;
        std::setlocale(LC_NUMERIC, "C");
        double expected = std::strtod(c.c_str(), nullptr);
        expected = expected == 0 ? 0.0 : expected;
        ASSERT_EQ(std::memcmp(&*v, &expected, sizeof expected), 0) << c;
    }
}

TEST_F(Conversions, IntegerConversionsRoundHalfToEven)
{
    vb::setUserLocale(italian());
    struct Case {
        double value;
        qint16 rounded;
    };
    const Case cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.51, 3}};
    for (const Case &c : cases) {
        EXPECT_EQ(vb::CInt(Variant(c.value)), c.rounded) << c.value;
        EXPECT_EQ(vb::CLng(Variant(c.value)), c.rounded) << c.value;
    }
    EXPECT_EQ(vb::CInt(Variant("2,5")), 2);
    EXPECT_EQ(vb::CLng(Variant(true)), -1);
}

TEST_F(Conversions, ConversionErrors)
{
    vb::setUserLocale(italian());
    struct Case {
        const char *what;
        std::function<void()> call;
        qint32 number;
    };
    const Case cases[] = {
        {"CDbl text", [] { vb::CDbl(Variant("dieci")); }, vb::err::TypeMismatch},
        {"CDbl blank", [] { vb::CDbl(Variant("  ")); }, vb::err::TypeMismatch},
        {"CDbl array", [] { vb::CDbl(Variant::array({})); }, vb::err::TypeMismatch},
        {"CDbl Null", [] { vb::CDbl(Variant::null()); }, vb::err::InvalidUseOfNull},
        {"CStr Null", [] { vb::CStr(Variant::null()); }, vb::err::InvalidUseOfNull},
        {"CBool Null", [] { vb::CBool(Variant::null()); }, vb::err::InvalidUseOfNull},
        {"CInt Null", [] { vb::CInt(Variant::null()); }, vb::err::InvalidUseOfNull},
        {"CBool text", [] { vb::CBool(Variant("forse")); }, vb::err::TypeMismatch},
        {"CDbl 1E400", [] { vb::CDbl(Variant("1E400")); }, vb::err::Overflow},
        {"CInt 32768", [] { vb::CInt(Variant(32768)); }, vb::err::Overflow},
        {"CInt 32767,5", [] { vb::CInt(Variant(32767.5)); }, vb::err::Overflow},
        {"CInt -32769", [] { vb::CInt(Variant(-32769)); }, vb::err::Overflow},
        {"CLng 2^31", [] { vb::CLng(Variant(2147483648.0)); }, vb::err::Overflow},
        {"CSng 1E300", [] { vb::CSng(Variant(1e300)); }, vb::err::Overflow},
        {"Round negative", [] { vb::Round(1.5, -1); }, vb::err::InvalidProcedureCall},
    };
    for (const Case &c : cases)
        EXPECT_EQ(errorOf(c.call), c.number) << c.what;

    // The edges of the ranges still convert.
    EXPECT_EQ(vb::CInt(Variant(-32768)), -32768);
    EXPECT_EQ(vb::CInt(Variant(32767.4)), 32767);
    EXPECT_EQ(vb::CLng(Variant(-2147483648.0)), std::numeric_limits<qint32>::min());
    EXPECT_EQ(vb::CLng(Variant(2147483647.0)), std::numeric_limits<qint32>::max());
}

TEST_F(Conversions, CStrWritesTheLocale)
{
    struct Case {
        Variant value;
        const char *italian;
        const char *english;
    };
    const Case cases[] = {
        {Variant(12.5), "12,5", "12.5"},
        {Variant(2.0), "2", "2"},
        {Variant(-0.25), "-0,25", "-0.25"},
        {Variant(1234567.5), "1234567,5", "1234567.5"},  // no group separators
        {Variant(0.1 + 0.2), "0,3", "0.3"},              // 15 significant digits
        {Variant(1.0 / 3), "0,333333333333333", "0.333333333333333"},
        {Variant(0.1f), "0,1", "0.1"},
        // Exact ties of the last digit kept round away from zero, not to even.
        {Variant(654322.25f), "654322,3", "654322.3"},
        {Variant(-654322.25f), "-654322,3", "-654322.3"},
        {Variant(1234566.5f), "1234567", "1234567"},
        {Variant(654322.3125f), "654322,3", "654322.3"},
        {Variant(123456789012344.5), "123456789012345", "123456789012345"},
        {Variant(-0.125f), "-0,125", "-0.125"},
        {Variant(qint16(-7)), "-7", "-7"},
        {Variant(123456789), "123456789", "123456789"},
        // Whole numbers up to the precision in digits, beyond it with an exponent.
        {Variant(9999999.0f), "9999999", "9999999"},
        {Variant(-9999999.0f), "-9999999", "-9999999"},
        {Variant(10000000.0f), "1E+07", "1E+07"},
        {Variant(103.0f), "103", "103"},
        {Variant(-0.0), "0", "0"},
        {Variant(999999999999999.0), "999999999999999", "999999999999999"},
        {Variant(1e15), "1E+15", "1E+15"},
        {Variant(-2.0), "-2", "-2"},
        {Variant(true), "Vero", "True"},
        {Variant(false), "Falso", "False"},
        {Variant(), "", ""},
        {Variant("testo"), "testo", "testo"},
    };
    for (const Case &c : cases) {
        vb::setUserLocale(italian());
        EXPECT_EQ(vb::CStr(c.value), QString::fromUtf8(c.italian));
        vb::setUserLocale(english());
        EXPECT_EQ(vb::CStr(c.value), QString::fromUtf8(c.english));
    }
}

TEST_F(Conversions, CBoolWordsAndNumbers)
{
    struct Case {
        Variant value;
        bool result;
    };
    const Case cases[] = {
        {Variant("True"), true},  {Variant("false"), false}, {Variant("VERO"), true},
        {Variant("Falso"), false}, {Variant(" vero "), true}, {Variant("0"), false},
        {Variant("0,5"), true},   {Variant(-1), true},       {Variant(0.0), false},
        {Variant(), false},       {Variant(true), true},
    };
    for (const QLocale &locale : {italian(), english()}) {
        vb::setUserLocale(locale);
        for (const Case &c : cases)
            EXPECT_EQ(vb::CBool(c.value), c.result) << c.value.rawString().toStdString();
    }
    vb::setUserLocale(italian());
    EXPECT_EQ(vb::BoolText(true), "Vero");
    EXPECT_EQ(vb::BoolText(false), "Falso");
    vb::setUserLocale(english());
    EXPECT_EQ(vb::BoolText(true), "True");
    EXPECT_EQ(vb::BoolText(false), "False");
}

TEST_F(Conversions, FormatFixedDecimals)
{
    struct Case {
        Variant value;
        const char *pattern;
        const char *italian;
        const char *english;
    };
    const Case cases[] = {
        {Variant(2.125), "0.00", "2,13", "2.13"},  // half away from zero
        {Variant(-2.125), "0.00", "-2,13", "-2.13"},
        {Variant(2.675), "0.00", "2,68", "2.68"},  // on the decimal 2,675, not the binary below it
        {Variant(12345.678), "0.00", "12345,68", "12345.68"},
        {Variant(0.5), "0", "1", "1"},
        {Variant(2.5), "0", "3", "3"},
        {Variant(0.0), "0.0000", "0,0000", "0.0000"},
        {Variant(1.0 / 3), "0.0000", "0,3333", "0.3333"},
        {Variant(0.99995), "0.0000", "1,0000", "1.0000"},
        {Variant(-0.001), "0.00", "0,00", "0.00"},  // no negative zero
        {Variant(qint16(7)), "0.00", "7,00", "7.00"},
        {Variant(true), "0", "-1", "-1"},
        {Variant(1234567.5), "#,##0.00", "1.234.567,50", "1,234,567.50"},
        {Variant(0.5), "#.##", ",5", ".5"},
        {Variant(), "0.00", "", ""},
        {Variant::null(), "0.00", "", ""},
        {Variant("n.d."), "0.00", "n.d.", "n.d."},  // not numeric: unchanged
    };
    for (const Case &c : cases) {
        vb::setUserLocale(italian());
        EXPECT_EQ(vb::Format(c.value, c.pattern), QString::fromUtf8(c.italian)) << c.pattern;
        vb::setUserLocale(english());
        EXPECT_EQ(vb::Format(c.value, c.pattern), QString::fromUtf8(c.english)) << c.pattern;
    }
}

TEST_F(Conversions, FormatConvertsNumericTextFirst)
{
    vb::setUserLocale(italian());
    EXPECT_EQ(vb::Format(Variant("3,14159"), "0.00"), "3,14");
    EXPECT_EQ(vb::Format(Variant("1.5"), "0.00"), "15,00");  // the dot groups in Italian
    vb::setUserLocale(english());
    EXPECT_EQ(vb::Format(Variant("3.14159"), "0.0000"), "3.1416");
    EXPECT_EQ(errorOf([] { vb::Format(Variant(1.0), "0.00 %"); }), vb::err::InvalidProcedureCall);
}

TEST_F(Conversions, RoundHalfToEvenOnTheDecimalValue)
{
    struct Case {
        double value;
        int decimals;
        double rounded;
    };
    const Case cases[] = {
        {2.5, 0, 2},        {3.5, 0, 4},         {-2.5, 0, -2},      {0.5, 0, 0},
        {0.125, 2, 0.12},   {0.375, 2, 0.38},    {2.675, 2, 2.68},   {1.005, 2, 1.0},
        {2.4999, 0, 2},     {1234.5678, 2, 1234.57}, {9.995, 2, 10.0}, {-0.004, 2, 0},
        {1e20, 2, 1e20},    {0.1 + 0.2, 15, 0.3},   {7.0, 3, 7.0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vb::Round(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
    EXPECT_FALSE(std::signbit(vb::Round(-0.4)));
    EXPECT_TRUE(std::isnan(vb::Round(std::nan(""), 2)));
}

TEST_F(Conversions, DateAndTimeTexts)
{
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 5, 9));
    const QDateTime midnight(QDate(2024, 12, 31), QTime(0, 0));

    vb::setUserLocale(italian());
    EXPECT_EQ(vb::DateText(afternoon.date()), "05/03/2024");
    EXPECT_EQ(vb::TimeText(afternoon.time()), "14:05:09");
    EXPECT_EQ(vb::DateTimeText(afternoon), "05/03/2024 14:05:09");
    EXPECT_EQ(vb::DateTimeText(midnight), "31/12/2024");

    vb::setUserLocale(english());
    EXPECT_EQ(vb::DateText(afternoon.date()), "3/5/2024");
    EXPECT_EQ(vb::TimeText(afternoon.time()), "2:05:09 PM");
}

// A GUI program runs with the C library in the user's locale (Qt sets it at start-up): the
// conversions must not depend on it, or "1,5" reads as 1 and texts lose their decimals.
TEST_F(Conversions, TheCLibrarysLocaleChangesNothing)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "it_IT.UTF-8"))
        GTEST_SKIP() << "it_IT.UTF-8 is not generated on this machine";
    vb::setUserLocale(italian());
    EXPECT_DOUBLE_EQ(vb::CDbl(Variant("1,5815")), 1.5815);
    EXPECT_EQ(vb::CStr(Variant(1.5)), "1,5");
    EXPECT_EQ(vb::CStr(Variant(float(654322.25f))), "654322,3");
    EXPECT_DOUBLE_EQ(vb::Round(2.675, 2), 2.68);
    EXPECT_EQ(vb::Format(Variant(1234.5), "0.00"), "1234,50");
    std::setlocale(LC_ALL, previous.c_str());
}

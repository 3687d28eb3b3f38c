#include "Errors.h"
#include "Numbers.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Numbers, RoundTiesToEvenAndTruncateTowardZero)
{
    struct Case { double x; int64_t round; int64_t truncate; };
    const Case cases[] = {
        {2.5, 2, 2},   {3.5, 4, 3},   {-2.5, -2, -2}, {-3.5, -4, -3}, {0.5, 0, 0},
        {1.5, 2, 1},   {2.4999, 2, 2}, {-0.6, -1, 0}, {1.7, 2, 1},    {-1.7, -2, -1},
        // Numbers a damaged file may hold end at the ends of the range, never
        // in an undefined conversion.
        {1e300, INT64_MAX, INT64_MAX}, {-1e300, INT64_MIN, INT64_MIN}, {NAN, 0, 0},
        {9.3e18, INT64_MAX, INT64_MAX},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(Round(c.x), c.round);
        EXPECT_EQ(Truncate(c.x), c.truncate);
    }
}

TEST(Numbers, RoundDivNearTheEndsOfTheRange)
{
    EXPECT_EQ(RoundDiv(INT64_MAX - 1, INT64_MAX), 1);
    EXPECT_EQ(RoundDiv(INT64_MAX / 2, INT64_MAX), 0);
    EXPECT_EQ(RoundDiv(7, 2), 4);
    EXPECT_EQ(RoundDiv(5, 2), 2);
    EXPECT_EQ(RoundDiv(-5, 2), -2);
}

TEST(Numbers, Fixed4KeepsFourDecimals)
{
    EXPECT_EQ(ToFixed4(42.45), 424500);
    EXPECT_EQ(ToFixed4(42.4775), 424775);
    EXPECT_EQ(ToFixed4(-2.0), -20000);
    EXPECT_EQ(ToFixed4(0.00005), 0);   // a tie goes to the even value
    EXPECT_EQ(ToFixed4(0.00025), 2);
    // "(Auto)" with LPI 42.45 is 7 x 42.45 = 297.15 exactly.
    EXPECT_EQ(7 * ToFixed4(42.45), ToFixed4(297.15));
}

TEST(Numbers, ShortTextIsTheShortestDecimal)
{
    struct Case { double x; const char *text; };
    const Case cases[] = {
        {1, "1"},          {42.45, "42.45"},   {2.5, "2.5"},   {-10, "-10"}, {0, "0"},
        {0.0001, "0.0001"}, {297.15, "297.15"}, {75.55, "75.55"}, {1e20, "1E20"},
        {1.0 / 3, "0.333333333333333"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ShortText(c.x), QString::fromLatin1(c.text)) << c.x;
    EXPECT_EQ(ShortFixed4Text(424775), QStringLiteral("42.4775"));
}

TEST(Numbers, RealText23HasTheFixedLayout)
{
    struct Case { double x; const char *text; };
    const Case cases[] = {
        {42.45, " 4.24500000000000E+0001"},
        {1, " 1.00000000000000E+0000"},
        {-2, "-2.00000000000000E+0000"},
        {0, " 0.00000000000000E+0000"},
        {10000, " 1.00000000000000E+0004"},
        {0.0125, " 1.25000000000000E-0002"},
        {-0.0, " 0.00000000000000E+0000"},
    };
    for (const Case &c : cases) {
        const QByteArray text = RealText23(c.x);
        EXPECT_EQ(text, QByteArray(c.text)) << c.x;
        EXPECT_EQ(text.size(), 23);
    }
}

TEST(Numbers, RealText23RoundTripsAFixed4Exactly)
{
    for (Fixed4 value : {Fixed4(424775), Fixed4(424500), Fixed4(-20000), Fixed4(1), Fixed4(100000000),
                         Fixed4(2971500), Fixed4(7999)}) {
        NumberReader reader(RealText23(FromFixed4(value)), QStringLiteral("t"));
        EXPECT_EQ(reader.ReadFixed4(), value);
    }
}

TEST(Numbers, TypedIntegersAndReals)
{
    EXPECT_EQ(StrToInt(QStringLiteral("12")), 12);
    EXPECT_EQ(StrToInt(QStringLiteral(" 7")), 7);
    EXPECT_EQ(StrToInt(QStringLiteral("-3")), -3);
    EXPECT_EQ(StrToInt(QStringLiteral("+4")), 4);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), INT32_MIN);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("42.45")), 42.45);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(" 1.5 ")), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("-10")), -10);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1e3")), 1000);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("5.")), 5);

    for (const char *bad : {"", "1.5", "abc", "12 ", "2147483648", "1-", "-"}) {
        try {
            StrToInt(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const VistrelError &e) {
            EXPECT_EQ(e.Message, QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(bad)));
        }
    }
    for (const char *bad : {"", "1,5", "abc", "1e", "1.2.3", "--1", "."}) {
        try {
            StrToFloat(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const VistrelError &e) {
            EXPECT_EQ(e.Message,
                      QStringLiteral("'%1' is not a valid floating point value").arg(QString::fromLatin1(bad)));
        }
    }
}

TEST(Numbers, ReaderSkipsWhiteSpaceAndLineEndsBeforeANumber)
{
    NumberReader reader("  \t 12\r\n\r\n  -3.5E+0001 x\r\nnext line\r\n", QStringLiteral("f.txt"));
    EXPECT_EQ(reader.ReadInteger(), 12);
    EXPECT_DOUBLE_EQ(reader.ReadReal(), -35.0);
    EXPECT_THROW(reader.ReadInteger(), VistrelError);  // "x"
    reader.SkipLine();
    EXPECT_EQ(reader.ReadLine(), QByteArray("next line"));
    EXPECT_TRUE(reader.AtEndAfterSpace());
    try {
        reader.ReadReal();
        ADD_FAILURE() << "read past the end";
    } catch (const VistrelError &e) {
        EXPECT_EQ(e.Message, QStringLiteral("Read beyond end of file in \"f.txt\"."));
    }
}

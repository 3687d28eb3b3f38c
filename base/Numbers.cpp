#include "Numbers.h"

#include "Errors.h"
#include "Texts.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <limits>

namespace {

// A whole double as an int64_t; a value beyond its range (a number read from a
// damaged file) becomes the nearest end of the range, and NaN becomes 0.
int64_t Saturated(double whole)
{
    constexpr double Limit = 9223372036854775808.0;  // 2^63, exact in a double
    if (std::isnan(whole))
        return 0;
    if (whole >= Limit)
        return std::numeric_limits<int64_t>::max();
    if (whole < -Limit)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(whole);
}

}  // namespace

int64_t Round(double x)
{
    // rint rounds in the default mode, to nearest with ties to even.
    return Saturated(std::rint(x));
}

int64_t Truncate(double x)
{
    return Saturated(std::trunc(x));
}

int64_t RoundDiv(int64_t num, int64_t den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = num / den;
    int64_t r = num % den;  // same sign as num
    if (r < 0) {            // floor division
        q -= 1;
        r += den;
    }
    // r > den - r rather than 2r > den: twice r may not fit.
    if (r > den - r || (r == den - r && (q & 1)))
        ++q;
    return q;
}

Fixed4 ToFixed4(double x)
{
    return Round(x * 10000.0);
}

double FromFixed4(Fixed4 f)
{
    return static_cast<double>(f) / 10000.0;
}

QString ShortText(double x)
{
    if (x == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", x);
    QString text = QString::fromLatin1(buffer);
    // printf writes "1e+20" and "1e-05"; the field shows "1E20" and "1E-5".
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    const QString mantissa = text.left(e);
    const int exponent = text.mid(e + 1).toInt();
    return mantissa + QLatin1Char('E') + QString::number(exponent);
}

QByteArray RealText23(double x)
{
    if (x == 0)
        x = 0;  // no "-0"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14E", std::fabs(x));
    // buffer holds "d.ddddddddddddddE+xx" with at least two exponent digits.
    const char *e = std::strchr(buffer, 'E');
    const int exponent = std::atoi(e + 1);
    char out[64];
    std::snprintf(out, sizeof out, "%c%.*sE%c%04d", x < 0 ? '-' : ' ', int(e - buffer), buffer,
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return QByteArray(out);
}

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Decimal number with optional sign, point and exponent; white space around it is
// allowed, as in typed fields.
bool ParseReal(const QString &text, double &value)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(t[i])) { ++i; ++digits; }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && IsDigit(t[i])) { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && IsDigit(t[i])) { ++i; ++expDigits; }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const QByteArray latin = t.toLatin1();
    errno = 0;
    value = std::strtod(latin.constData(), nullptr);
    return std::isfinite(value);
}

// Decimal integer with optional sign; leading spaces are allowed, nothing after it.
bool ParseInt(const QString &text, int64_t min, int64_t max, int64_t &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == n)
        return false;
    int64_t magnitude = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i].unicode() - '0');
        if (magnitude > max + 1)  // well past either limit: stop before overflowing
            return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= min && value <= max;
}

}  // namespace

int32_t StrToInt(const QString &text)
{
    int64_t value = 0;
    if (!ParseInt(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), value))
        throw VistrelError(Vistrel::tr("'%1' is not a valid integer value").arg(text));
    return static_cast<int32_t>(value);
}

double StrToFloat(const QString &text)
{
    double value = 0;
    if (!ParseReal(text, value))
        throw VistrelError(Vistrel::tr("'%1' is not a valid floating point value").arg(text));
    return value;
}

NumberReader::NumberReader(QByteArray bytes, QString fileName)
    : Bytes(std::move(bytes)), FileName(std::move(fileName))
{
}

static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

QByteArray NumberReader::NextToken()
{
    while (Pos < Bytes.size() && IsSpace(Bytes[Pos]))
        ++Pos;
    if (Pos >= Bytes.size())
        Fail(Vistrel::tr("Read beyond end of file"));
    const qsizetype start = Pos;
    while (Pos < Bytes.size() && !IsSpace(Bytes[Pos]))
        ++Pos;
    return Bytes.mid(start, Pos - start);
}

void NumberReader::Fail(const QString &what) const
{
    throw VistrelError(Vistrel::tr("%1 in \"%2\".").arg(what, FileName));
}

int64_t NumberReader::ReadInteger()
{
    const QByteArray token = NextToken();
    int64_t value = 0;
    if (!ParseInt(QString::fromLatin1(token), std::numeric_limits<int64_t>::min() / 16,
                  std::numeric_limits<int64_t>::max() / 16, value))
        Fail(Vistrel::tr("Invalid numeric input"));
    return value;
}

int32_t NumberReader::ReadInt32()
{
    const int64_t value = ReadInteger();
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        Fail(Vistrel::tr("Integer out of range"));
    return int32_t(value);
}

double NumberReader::ReadReal()
{
    const QByteArray token = NextToken();
    double value = 0;
    if (!ParseReal(QString::fromLatin1(token), value))
        Fail(Vistrel::tr("Invalid numeric input"));
    return value;
}

QByteArray NumberReader::ReadLine()
{
    const qsizetype start = Pos;
    qsizetype end = Bytes.indexOf('\n', Pos);
    if (end < 0)
        end = Bytes.size();
    Pos = std::min(end + 1, Bytes.size());
    QByteArray line = Bytes.mid(start, end - start);
    while (line.endsWith('\r'))
        line.chop(1);
    return line;
}

void NumberReader::SkipLine()
{
    ReadLine();
}

int NumberReader::LineNumber()
{
    // The last token read ends before Pos; white space after it may already
    // have been passed over, so count up to the end of that token.
    qsizetype end = std::min(Pos, Bytes.size());
    while (end > 0 && IsSpace(Bytes[end - 1]))
        --end;
    if (end < CountedTo) {
        LineEnds = 0;
        CountedTo = 0;
    }
    for (; CountedTo < end; ++CountedTo)
        LineEnds += Bytes[CountedTo] == '\n';
    return LineEnds + 1;
}

bool NumberReader::AtEndAfterSpace()
{
    while (Pos < Bytes.size() && IsSpace(Bytes[Pos]))
        ++Pos;
    return Pos >= Bytes.size();
}

QString GroupedText(int64_t n)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

// Numbers of the document: four-decimal fixed point, rounding, the decimal texts
// shown in fields, the 23-character real form of the text files with a reader for
// it, and the conversions of typed text. Nobody rounds or formats a document
// number anywhere else.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// A value times 10 000, held exactly: every fractional setting, ratio and scale.
using Fixed4 = int64_t;
constexpr Fixed4 Fixed4One = 10000;

// Nearest integer, ties to the even integer (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
int64_t Round(double x);
// Toward zero.
int64_t Truncate(double x);

// num / den rounded to the nearest integer, ties to even, in exact integers.
int64_t RoundDiv(int64_t num, int64_t den);
// Round(x * f) for a Fixed4 factor, exactly.
inline int64_t ScaleByFixed4(int64_t x, Fixed4 f) { return RoundDiv(x * f, Fixed4One); }
// A position worked out in 64 bits, kept in 32: one beyond either end lies
// far off any canvas anyway.
inline int32_t SaturatedInt32(int64_t x)
{
    return int32_t(x < INT32_MIN ? INT32_MIN : x > INT32_MAX ? INT32_MAX : x);
}

Fixed4 ToFixed4(double x);
double FromFixed4(Fixed4 f);

// The shortest general decimal text, 15 significant digits at most:
// 1 -> "1", 42.45 -> "42.45", 2.5 -> "2.5", -10 -> "-10", 1e20 -> "1E20".
QString ShortText(double x);
inline QString ShortFixed4Text(Fixed4 f) { return ShortText(FromFixed4(f)); }
// Centimetres to two decimals, as short as they go: "20.32", "5".
inline QString CentimetresText(Fixed4 cm) { return ShortText(double(RoundDiv(cm, 100)) / 100); }

// Digits in groups of three for messages: 52000 -> "52 000".
QString GroupedText(int64_t n);

// The fixed 23-character form of reals in the settings and project files: a sign
// position (space or '-'), one digit, a point, 14 digits, 'E', the exponent sign
// and four exponent digits. 42.45 -> " 4.24500000000000E+0001".
QByteArray RealText23(double x);

// Typed text to numbers. A text that is not a number throws VistrelError with
// "'%s' is not a valid integer value" / "'%s' is not a valid floating point value".
int32_t StrToInt(const QString &text);
double StrToFloat(const QString &text);
inline Fixed4 StrToFixed4(const QString &text) { return ToFixed4(StrToFloat(text)); }

// Reads numbers and lines from the bytes of a text file the way the settings and
// project files are written: before a number, spaces, tabs and line ends are
// skipped, so a number may stand on a later line; a number ends at white space.
// A missing or malformed number throws VistrelError naming the file.
class NumberReader {
public:
    NumberReader(QByteArray bytes, QString fileName);

    int64_t ReadInteger();
    // An integer that must fit 32 bits (a coordinate, a count, an offset).
    int32_t ReadInt32();
    double ReadReal();
    Fixed4 ReadFixed4() { return ToFixed4(ReadReal()); }
    // The rest of the current line, without its line end; moves to the next line.
    QByteArray ReadLine();
    // Moves past the end of the current line.
    void SkipLine();
    // True when only white space is left.
    bool AtEndAfterSpace();
    bool AtEnd() const { return Pos >= Bytes.size(); }
    // The line (from 1) of the last thing read.
    int LineNumber();

private:
    QByteArray NextToken();
    [[noreturn]] void Fail(const QString &what) const;

    QByteArray Bytes;
    QString FileName;
    qsizetype Pos = 0;
    // Line ends counted so far, up to CountedTo, so that asking for the line
    // number as the reading goes costs nothing extra.
    int LineEnds = 0;
    qsizetype CountedTo = 0;
};

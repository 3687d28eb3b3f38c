// Small helpers shared by the test suites.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <ostream>

QByteArray ReadFileBytes(const QString &path);
void WriteFileBytes(const QString &path, const QByteArray &bytes);
// The folder of the real PSD files written by other programs.
QString CorpusFolder();
// The source tree.
QString SourceFolder();
// Runs a program; its standard output, or a null array when it failed.
QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode = nullptr);

// A little-endian TIFF with its DateTime text (tag 306) filled with zeros, so
// that two prints made at different times compare equal.
QByteArray WithoutTiffDate(QByteArray bytes);
// The vistrel program next to the tests.
QString VistrelProgram();

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

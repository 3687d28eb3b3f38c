// Small helpers shared by the test suites.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <ostream>
#include <string>

QByteArray ReadFileBytes(const QString &path);
void WriteFileBytes(const QString &path, const QByteArray &bytes);
// The folder of the real PSD files written by other programs. It lives beside
// the project, not in it: tests that read it skip when it is not there.
QString CorpusFolder();
bool CorpusPresent();
std::string NoCorpusReason();
// The source tree.
QString SourceFolder();
// Runs a program; its standard output, or a null array when it failed.
// `errorOutput` receives what it wrote to its standard error.
QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode = nullptr,
                      QByteArray *errorOutput = nullptr);

// Independent readers: tests that need one skip when it is not installed.
bool ProgramInstalled(const QString &program);
// Python 3 with the psd_tools module.
bool PsdToolsInstalled();
std::string NotInstalledReason(const QString &program, const char *package);

// A little-endian TIFF with its DateTime text (tag 306) and its length filled with zeros, so
// that two prints made at different times compare equal.
QByteArray WithoutTiffDate(QByteArray bytes);
struct Document;
struct PsdBuilder;
struct ScriptedPlatform;
// A clean document imported from `builder` through the sandbox's work folder.
void ImportBuilt(Document &doc, const ScriptedPlatform &platform, const PsdBuilder &builder);

// The vistrel program next to the tests.
QString VistrelProgram();

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

#include "TestSupport.h"

#include <QFile>
#include <QProcess>

QByteArray ReadFileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QString SourceFolder()
{
    return QStringLiteral(VISTREL_SOURCE_DIR);
}

QString CorpusFolder()
{
    return SourceFolder() + QStringLiteral("/../shared/corpus/psd");
}

QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

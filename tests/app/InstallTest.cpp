// Installing puts the program, the sample, the desktop entry, the icons and
// the MIME type of project files in their places under the prefix.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Install, EveryFileInItsPlaceAndAValidDesktopEntry)
{
    if (!ProgramInstalled(QStringLiteral("cmake")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("cmake"), "cmake");
    QTemporaryDir prefix;
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(QStringLiteral("cmake"), {QStringLiteral("--install"),
                                                               QStringLiteral(VISTREL_BINARY_DIR),
                                                               QStringLiteral("--prefix"), prefix.path()},
                                      &code, &err);
    ASSERT_EQ(code, 0) << out.toStdString() << err.toStdString();
    const QString root = prefix.path() + QLatin1Char('/');
    for (const char *file : {"bin/vistrel", "share/vistrel/sample/vistrel-sample.psd",
                             "share/applications/vistrel.desktop", "share/mime/packages/vistrel.xml"})
        EXPECT_TRUE(QFile::exists(root + QLatin1String(file))) << file;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(root + QStringLiteral("share/icons/hicolor/%1x%1/apps/vistrel.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    const QByteArray mime = ReadFileBytes(root + QStringLiteral("share/mime/packages/vistrel.xml"));
    for (const char *glob : {"*.hx4p3", "*.hx4p2", "*.hx4p"})
        EXPECT_TRUE(mime.contains(glob)) << glob;
    if (!ProgramInstalled(QStringLiteral("desktop-file-validate")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("desktop-file-validate"), "desktop-file-utils");
    const QByteArray said = RunProgram(QStringLiteral("desktop-file-validate"),
                                       {root + QStringLiteral("share/applications/vistrel.desktop")}, &code, &err);
    EXPECT_EQ(code, 0) << said.toStdString() << err.toStdString();
    EXPECT_TRUE(said.trimmed().isEmpty() && err.trimmed().isEmpty()) << said.toStdString() << err.toStdString();
}

// An output renamed over its name when complete: the earlier file stays whole
// until then, keeps who may read it, links stay links, and nothing of the
// temporary file is left behind either way.
#include "Errors.h"
#include "ReplacingFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

}  // namespace

TEST(ReplacingFile, TheEarlierFileStaysUntilTheNewOneIsComplete)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("print.tif"));
    WriteFileBytes(path, "the earlier file");
    const QFileDevice::Permissions readOnlyForOthers =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, readOnlyForOthers));
    const QFileDevice::Permissions earlier = QFile::permissions(path);

    {  // abandoned part of the way, as a failed export is
        ReplacingFile file(path);
        file.Open();
        ASSERT_EQ(CheckedWrite(file, QByteArray("half a pri")), 10);
        EXPECT_EQ(ReadFileBytes(path), QByteArray("the earlier file"));
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("the earlier file"));
    EXPECT_EQ(FilesIn(folder.path()), QStringList{QStringLiteral("print.tif")});

    {
        ReplacingFile file(path);
        file.Open();
        EXPECT_EQ(file.TargetName(), path);
        ASSERT_EQ(CheckedWrite(file, QByteArray("the new print")), 13);
        EXPECT_EQ(ReadFileBytes(path), QByteArray("the earlier file"));
        ASSERT_TRUE(file.Commit()) << file.errorString().toStdString();
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("the new print"));
    EXPECT_EQ(QFile::permissions(path), earlier);
    EXPECT_EQ(FilesIn(folder.path()), QStringList{QStringLiteral("print.tif")});

    // A new name.
    const QString fresh = folder.filePath(QStringLiteral("fresh.psd"));
    {
        ReplacingFile file(fresh);
        file.Open();
        ASSERT_EQ(CheckedWrite(file, QByteArray("8BPS")), 4);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(ReadFileBytes(fresh), QByteArray("8BPS"));
}

TEST(ReplacingFile, ALinkStaysALinkAndItsTargetGetsTheBytes)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString target = folder.filePath(QStringLiteral("prints/real.tif"));
    ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("prints"))));
    WriteFileBytes(target, "old");
    const QString link = folder.filePath(QStringLiteral("link.tif"));
    ASSERT_TRUE(QFile::link(target, link));
    ReplacingFile file(link);
    file.Open();
    ASSERT_EQ(CheckedWrite(file, QByteArray("new")), 3);
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadFileBytes(target), QByteArray("new"));
}

TEST(ReplacingFile, AFolderThatCannotTakeTheFileIsSaidByName)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("missing/print.tif"));
    try {
        ReplacingFile file(path);
        file.Open();
        ADD_FAILURE() << "the file opened";
    } catch (const VistrelError &error) {
        EXPECT_TRUE(error.Message.startsWith(QStringLiteral("Cannot save \"%1\": the folder \"%2\" cannot be written.")
                                                 .arg(path, folder.filePath(QStringLiteral("missing")))))
            << error.Message.toStdString();
        EXPECT_EQ(error.Kind, ErrorKind::File);
    }
    EXPECT_EQ(FilesIn(folder.path()), QStringList());
}

TEST(ReplacingFile, LinksToLinksAndTargetsThatCannotBeReplaced)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A link to a link: the file at the end gets the bytes, both links stay.
    const QString real = folder.filePath(QStringLiteral("real.tif"));
    const QString inner = folder.filePath(QStringLiteral("inner.tif"));
    const QString outer = folder.filePath(QStringLiteral("outer.tif"));
    WriteFileBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, inner));
    ASSERT_TRUE(QFile::link(inner, outer));
    {
        ReplacingFile file(outer);
        file.Open();
        ASSERT_EQ(CheckedWrite(file, QByteArray("new")), 3);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_TRUE(QFileInfo(outer).isSymLink());
    EXPECT_TRUE(QFileInfo(inner).isSymLink());
    EXPECT_EQ(ReadFileBytes(real), QByteArray("new"));

    // A folder under the name, and a name with a percent sign in it.
    const QString taken = folder.filePath(QStringLiteral("taken.tif"));
    ASSERT_TRUE(QDir().mkpath(taken));
    try {
        ReplacingFile file(taken);
        file.Open();
        ADD_FAILURE() << "a folder was opened as a file";
    } catch (const VistrelError &error) {
        EXPECT_EQ(error.Message, QStringLiteral("Cannot save \"%1\": it is a folder.").arg(taken));
    }
    ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("prints %1"))));
    const QString percent = folder.filePath(QStringLiteral("prints %1/print at 50%.tif"));
    {
        ReplacingFile file(percent);
        file.Open();
        ASSERT_EQ(CheckedWrite(file, QByteArray("ok")), 2);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(ReadFileBytes(percent), QByteArray("ok"));
    EXPECT_EQ(FilesIn(folder.path()).size(), 3);  // real, inner and outer
    EXPECT_EQ(FilesIn(folder.filePath(QStringLiteral("prints %1"))).size(), 1);
}

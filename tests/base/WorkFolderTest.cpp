#include "Document.h"
#include "Errors.h"
#include "WorkFolder.h"

#include <gtest/gtest.h>
#include <map>

TEST(WorkFolder, FirstDriveWithMoreThanTenGigabytesWins)
{
    struct Case {
        const char *name;
        std::map<QString, int64_t> free;  // missing drive: -1
        const char *expected;
    };
    const int64_t gb12 = 12'000'000'000;
    const int64_t exactly = 10'000'000'000;
    const Case cases[] = {
        {"12 GB on E:", {{"E:\\", gb12}, {"D:\\", gb12}, {"C:\\", gb12}}, "E:\\mavotemp\\"},
        {"E: missing, 12 GB on D:", {{"E:\\", -1}, {"D:\\", gb12}, {"C:\\", 1}}, "D:\\mavotemp\\"},
        {"exactly 10 000 000 000 on E: and D:", {{"E:\\", exactly}, {"D:\\", exactly}, {"C:\\", 1}}, "C:\\mavotemp\\"},
        {"no drive has room", {{"E:\\", -1}, {"D:\\", -1}, {"C:\\", 5}}, "C:\\mavotemp\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList made;
        const QString folder = ChooseWorkFolder(
            {QStringLiteral("E:\\"), QStringLiteral("D:\\"), QStringLiteral("C:\\")}, QStringLiteral("d:\\"),
            [&](const QString &root) { return c.free.at(root); },
            [&](const QString &f) { made << f; return true; });
        EXPECT_EQ(folder, QString::fromLatin1(c.expected));
        EXPECT_EQ(made, QStringList{folder});
    }
}

TEST(WorkFolder, FallsBackWhenTheChosenFolderCannotBeMade)
{
    auto freeSpace = [](const QString &) -> int64_t { return 20'000'000'000; };
    const QStringList roots = {QStringLiteral("E:\\"), QStringLiteral("C:\\")};
    EXPECT_EQ(ChooseWorkFolder(roots, QStringLiteral("d:\\"), freeSpace,
                               [](const QString &f) { return f.startsWith(QLatin1String("d:")); }),
              QStringLiteral("d:\\mavotemp\\"));
    try {
        ChooseWorkFolder(roots, QStringLiteral("d:\\"), freeSpace, [](const QString &) { return false; });
        ADD_FAILURE() << "no folder could be made, yet one was chosen";
    } catch (const VistrelError &e) {
        EXPECT_TRUE(e.Message.contains(QLatin1String("E:\\mavotemp\\")));
        EXPECT_TRUE(e.Message.contains(QLatin1String("d:\\mavotemp\\")));
    }
}

TEST(WorkFolder, FileNamesOfEveryFamily)
{
    ResetDocument();
    WorkFolder = QStringLiteral("/w/");
    EXPECT_EQ(WorkFileName(QStringLiteral("ly"), 1), QStringLiteral("/w/ly1.gjs"));
    EXPECT_EQ(WorkFileName(QStringLiteral("lyt"), 3), QStringLiteral("/w/lyt3.gjs"));
    EXPECT_EQ(WorkFileName(12, QStringLiteral("gx"), 3), QStringLiteral("/w/12gx3.gjs"));
    EXPECT_EQ(WorkFileName(12, QStringLiteral("xgxv"), 3), QStringLiteral("/w/12xgxv3.gjs"));
    EXPECT_EQ(WorkFileName3(QStringLiteral("vwd"), 7), QStringLiteral("/w/vwd007.gjs"));
    EXPECT_EQ(WorkFileName3(QStringLiteral("vwdt"), 7), QStringLiteral("/w/vwdt007.gjs"));
    EXPECT_EQ(ThreeDigits(42), QStringLiteral("042"));
    EXPECT_EQ(ThreeDigits(123), QStringLiteral("123"));
}

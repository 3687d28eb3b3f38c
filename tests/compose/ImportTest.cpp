#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "PsdBuilder.h"
#include "PsdReader.h"
#include "TestSupport.h"
#include "WorkFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

void LayersWithGroups(Document &doc, const std::vector<uint8_t> &groups, int width)
{
    doc = Document();
    doc.ImageWidth = width;
    doc.Layers.assign(groups.size(), {});
    for (size_t i = 0; i < groups.size(); ++i)
        doc.Layers[i].GroupId = groups[i];
    doc.LayerCount = uint16_t(groups.size());
}

}  // namespace

TEST(Import, FiveUngroupedLayersOnAThousandPixels)
{
    Document doc;
    LayersWithGroups(doc, {0, 0, 0, 0, 0}, 1000);
    ChooseDefaultFocus(doc);
    ComputeDefaultOffsets(doc);
    EXPECT_EQ(doc.FocusPick, 2);
    EXPECT_EQ(doc.FocusLayer, 3);  // the third ungrouped layer from the top
    EXPECT_EQ(doc.OffsetSpan, 625000);
    EXPECT_EQ(doc.FrontStep, 208229);
    EXPECT_EQ(doc.BackStep, 312344);
    // Top layer (index 4) to bottom (index 0).
    EXPECT_EQ(doc.DefaultOffsets, (std::vector<Fixed4>{624688, 312344, 0, -208229, -416458}));
    EXPECT_EQ(DefaultGridOffsets(doc), (std::vector<int32_t>{62, 31, 0, -21, -42}));
}

TEST(Import, FocusPickForEveryCount)
{
    Document doc;
    struct Case { std::vector<uint8_t> groups; int pick; int focusRow; };
    const Case cases[] = {
        {{0, 0}, 0, 1}, {{0, 0, 0}, 1, 2}, {{0, 0, 0, 0}, 1, 2}, {{0, 0, 0, 0, 0, 0}, 2, 3},
        {{0, 1, 0}, 0, 1},  // the grouped layer is never the focus
        {{1, 1, 2}, 0, 0},  // all grouped: no focus
        {{0, 0, 1, 1}, 0, 3},
    };
    for (const Case &c : cases) {
        LayersWithGroups(doc, c.groups, 1600);
        ChooseDefaultFocus(doc);
        ComputeDefaultOffsets(doc);
        EXPECT_EQ(doc.FocusPick, c.pick) << c.groups.size();
        EXPECT_EQ(doc.FocusLayer, c.focusRow) << c.groups.size();
        for (size_t i = 0; i < c.groups.size(); ++i)
            if (c.groups[i] != 0) {
                EXPECT_EQ(doc.DefaultOffsets[i], 0);
            }
    }
    // Two ungrouped layers: the other gets OffsetSpan / 1.001.
    LayersWithGroups(doc, {0, 0}, 1000);
    ChooseDefaultFocus(doc);
    ComputeDefaultOffsets(doc);
    EXPECT_EQ(doc.DefaultOffsets[0], ToFixed4(62.5 / 1.001));
    EXPECT_EQ(doc.DefaultOffsets[1], 0);
}

TEST(Import, GroupLetters)
{
    EXPECT_EQ(GroupLetter(0), QString());
    EXPECT_EQ(GroupLetter(1), QStringLiteral("A"));
    EXPECT_EQ(GroupLetter(27), QStringLiteral("["));
    EXPECT_EQ(GroupLetter(100), QString(QChar(164)));
    EXPECT_EQ(GroupLetter(200), QString(QChar(8)));
}

TEST(Import, DocumentFromAFileAndARefusalThatChangesNothing)
{
    Document doc;
    QTemporaryDir dir;
    doc = Document();
    WorkFolder = dir.path() + QStringLiteral("/");
    PsdBuilder b;
    b.Width = 1501;  // worked at 1200 wide
    b.Height = 100;
    b.DpiWhole = 150;
    b.Groups = {0, 1, 1, 0};
    b.AddLayer(0, 0, 1501, 100, {255, 255, 255});
    b.AddLayer(10, 10, 100, 50, {255, 0, 0});
    b.AddLayer(10, 10, 100, 50, {0, 255, 0});
    b.AddLayer(1400, -20, 200, 50, {0, 0, 255}, 128);  // partly off the canvas
    const QString good = dir.path() + QStringLiteral("/good.psd");
    WriteFileBytes(good, b.Build());
    std::vector<int> progress;
    ImportDocument(doc, good, [&](int p) { progress.push_back(p); });
    EXPECT_EQ(doc.LayerCount, 4);
    EXPECT_EQ(doc.DocumentOpen, 1);
    EXPECT_EQ(doc.WorkScale, 7995);
    EXPECT_EQ(doc.WorkWidth, 1200);
    EXPECT_EQ(doc.WorkHeight, 80);
    EXPECT_EQ(doc.LayerImages[3].size(), QSize(160, 40));  // Round(200 x 0.7995), Round(50 x 0.7995)
    EXPECT_EQ(doc.Layers[1].BaseOrder, 7);
    EXPECT_EQ(doc.Layers[1].Smooth, 5);
    EXPECT_EQ(doc.Layers[1].ReliefDepth, Fixed4One);
    EXPECT_EQ(doc.FocusLayer, 1);
    EXPECT_EQ(doc.ComposedImage.size(), QSize(1200, 80));
    // The layers run to 60, the composition on towards 100, and the import ends at 100.
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress[progress.size() - 2], 90);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    // View 1 shows group member 1 (the red one): blue, green, red bytes.
    const uchar *p = doc.ComposedImage.constScanLine(int(Round(20 * 0.7995))) + int(Round(20 * 0.7995)) * 3;
    EXPECT_EQ(p[2], 255);
    EXPECT_EQ(p[1], 0);
    // The half-transparent blue layer over white at the right edge.
    const uchar *q = doc.ComposedImage.constScanLine(5) + 1199 * 3;
    EXPECT_EQ(q[0], 255);
    EXPECT_EQ(q[2], 127);

    // A damaged file: refused, and the document and its files stay as they were.
    const QByteArray before = ReadFileBytes(WorkFileName(QStringLiteral("ly"), 2));
    QByteArray damaged = b.Build();
    damaged.truncate(damaged.size() / 3);  // inside the layer section
    const QString bad = dir.path() + QStringLiteral("/bad.psd");
    WriteFileBytes(bad, damaged);
    EXPECT_THROW(ImportDocument(doc, bad), VistrelError);
    EXPECT_EQ(doc.LayerCount, 4);
    EXPECT_EQ(doc.ImageWidth, 1501);
    EXPECT_EQ(doc.LayerImages.size(), 4u);
    EXPECT_EQ(ReadFileBytes(WorkFileName(QStringLiteral("ly"), 2)), before);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());
}

TEST(Import, AGroupCellTakesALetterANumberOrNothing)
{
    struct Case {
        const char *typed;
        bool accepted;
        int group;
        const char *shown;
    };
    const Case cases[] = {
        {"", true, 0, ""}, {"  ", true, 0, ""}, {"b", true, 2, "B"}, {"Z", true, 26, "Z"},
        // Numbers as a PSD may bring them show as the character 64 + n (mod 256).
        {"27", true, 27, "["}, {"99", true, 99, "\xc2\xa3"}, {"101", true, 101, "\xc2\xa5"}, {"254", true, 254, ">"},
        // The cell's own character for the row's group (27 here) is taken back as it is.
        {"[", true, 27, "["},
        {"100", false, 0, ""}, {"0", false, 0, ""}, {"255", false, 0, ""}, {"AB", false, 0, ""},
        {"+", false, 0, ""}, {">", false, 0, ""}, {"\xc3\xa9", false, 0, ""},  // a letter, but not A to Z
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        const GroupCellOutcome out = ReadGroupCell(QString::fromUtf8(c.typed), 4, 27);
        EXPECT_EQ(out.Accepted, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(out.GroupId, c.group);
            EXPECT_EQ(out.Shown, QString::fromUtf8(c.shown));
        } else {
            EXPECT_EQ(out.Message, QStringLiteral("Row 4: a group is a letter from A to Z, or empty for none; \"%1\" is "
                                                  "not a group.")
                                       .arg(QString::fromUtf8(c.typed)));
        }
    }
}

TEST(Import, EachTopLevelFolderBecomesOneFlipGroupWhenAsked)
{
    // Bottom first: ( a [ b ] c ) d ( e ) top, where the top layer is the PSD's group 99.
    const Layer::Folder S = Layer::Folder::Start, E = Layer::Folder::End, N = Layer::Folder::None;
    const std::vector<Layer::Folder> marks{E, N, E, N, S, N, S, N, E, N, S, N};
    QTemporaryDir dir;
    WorkFolder = dir.path() + QStringLiteral("/");
    PsdBuilder b;
    b.Width = 60;
    b.Height = 20;
    for (size_t i = 0; i < marks.size(); ++i) {
        const bool record = marks[i] != N;
        b.AddLayer(0, 0, record ? 0 : 10, record ? 0 : 10, {uint8_t(20 * i), 0, 0}).SectionKind =
            marks[i] == S ? 1 : marks[i] == E ? 3 : 0;
    }
    b.Groups = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
    const QString psd = dir.path() + QStringLiteral("/folders.psd");
    WriteFileBytes(psd, b.Build());

    Document off;
    ImportDocument(off, psd);
    Document on;
    ImportDocument(on, ReadPsdIndex(psd), {}, MakeFoldersFlipGroups);
    // The outer folders are groups 101 and 102 (100 is the relief's value), the
    // nested folder joins its outer one, the layer between the folders stays plain.
    const std::vector<int> expected{0, 102, 0, 102, 0, 102, 0, 0, 0, 101, 0, 99};
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(on.Layers[i].GroupId, expected[i]) << i;
        EXPECT_EQ(off.Layers[i].GroupId, i == 11 ? 99 : 0) << i;
    }
    EXPECT_EQ(on.ImportedGroups, off.ImportedGroups);  // a project keeps the folder groups as the designer's
    EXPECT_EQ(on.GroupMembers[101 - 1], (std::vector<uint16_t>{9}));
    EXPECT_EQ(on.GroupMembers[102 - 1], (std::vector<uint16_t>{1, 3, 5}));
    // The focus and the offsets follow: grouped layers and the folders' own
    // (empty) records get offset 0 and are never the focus.
    EXPECT_EQ(on.UngroupedLayers, (std::vector<uint16_t>{7}));  // d alone
    EXPECT_EQ(off.UngroupedCount, 11);
    for (size_t i = 0; i < marks.size(); ++i) {
        if (i != 7) {
            EXPECT_EQ(on.DefaultOffsets[i], 0) << i;
        }
    }
}

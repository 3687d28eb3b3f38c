// The line model: levels, the limit of an order, compaction, and what the
// DrawLine page does to the line sets when it is entered and left.
#include "Document.h"
#include "ReliefLines.h"

#include <gtest/gtest.h>

namespace {

ContourLine Points(int count)
{
    ContourLine line;
    for (int i = 0; i < count; ++i)
        line.push_back({i, 2 * i});
    return line;
}

}  // namespace

TEST(ReliefLines, LevelsLimitsAndCompaction)
{
    EXPECT_EQ(LevelOfOrder(0), 255);
    EXPECT_EQ(LevelOfOrder(14), 45);
    Layer layer;
    layer.BaseOrder = 15;
    EXPECT_EQ(BaseLevelOf(layer), BackgroundLevel);  // "Back" is the background
    layer.BaseOrder = 7;
    EXPECT_EQ(BaseLevelOf(layer), 150);

    // Compaction keeps, in their order, the lines of more than two points.
    LineSet set = EmptyLineSet();
    set[3] = {Points(5), Points(2), Points(0), Points(3)};
    CompactLines(set);
    ASSERT_EQ(set[3].size(), 2u);
    EXPECT_EQ(set[3][0], Points(5));
    EXPECT_EQ(set[3][1], Points(3));

    // An order holds 255 lines; the 256th is refused and nothing changes.
    LineSet full = EmptyLineSet();
    for (int i = 0; i < MaxLinesPerOrder; ++i)
        ASSERT_TRUE(AppendLine(full, 2, Points(3)));
    EXPECT_FALSE(AppendLine(full, 2, Points(4)));
    EXPECT_EQ(full[2].size(), size_t(MaxLinesPerOrder));
    EXPECT_EQ(full[2].back(), Points(3));

    RemoveLastLine(full, 2);
    EXPECT_EQ(full[2].size(), size_t(MaxLinesPerOrder - 1));
    EmptyOrder(full, 2);
    EXPECT_TRUE(full[2].empty());
    RemoveLastLine(full, 2);  // an empty order: nothing happens
    full[0] = {Points(3)};
    DeleteAllLines(full);
    EXPECT_EQ(full, EmptyLineSet());
}

TEST(ReliefLines, EnteringAndLeavingThePageKeepsEachLayersLines)
{
    Document doc;
    doc = Document();
    doc.LayerCount = 3;
    doc.Layers.resize(3);
    doc.CurrentLayer = 1;
    // The first visit of a layer gives it 15 empty orders, and leaving stores them.
    EnterLineSets(doc);
    ASSERT_EQ(doc.LayerLines.size(), 3u);
    EXPECT_EQ(doc.CurrentLines, EmptyLineSet());
    AppendLine(doc.CurrentLines, 4, Points(3));
    LeaveLineSets(doc);
    EXPECT_TRUE(doc.CurrentLines.empty());
    ASSERT_EQ(doc.LayerLines[1][4].size(), 1u);
    EXPECT_TRUE(doc.LayerLines[0].empty());  // a layer never visited has no set yet

    // Coming back finds the lines as they were left.
    EnterLineSets(doc);
    EXPECT_EQ(doc.CurrentLines, doc.LayerLines[1]);
    // Starting the relief preview stores the set and keeps it on the page.
    AppendLine(doc.CurrentLines, 0, Points(4));
    StoreCurrentLines(doc);
    EXPECT_EQ(doc.LayerLines[1][0].size(), 1u);
    EXPECT_FALSE(doc.CurrentLines.empty());
}

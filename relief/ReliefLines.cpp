#include "ReliefLines.h"

#include <algorithm>

uint8_t LevelOfOrder(int order)
{
    return uint8_t(255 - 15 * order);
}

uint8_t BaseLevelOf(const Layer &layer)
{
    return uint8_t(255 - 15 * int(layer.BaseOrder));
}

LineSet EmptyLineSet()
{
    return LineSet(OrderCount);
}

bool HasLines(const LineSet &set)
{
    for (const OrderLines &order : set)
        if (!order.empty())
            return true;
    return false;
}

bool AppendLine(LineSet &set, int order, const ContourLine &line)
{
    if (set.size() != size_t(OrderCount))
        set.resize(OrderCount);
    OrderLines &lines = set[size_t(order)];
    if (int(lines.size()) >= MaxLinesPerOrder)
        return false;
    lines.push_back(line);
    return true;
}

void RemoveLastLine(LineSet &set, int order)
{
    if (order >= 0 && order < int(set.size()) && !set[size_t(order)].empty())
        set[size_t(order)].pop_back();
}

void EmptyOrder(LineSet &set, int order)
{
    if (order >= 0 && order < int(set.size()))
        set[size_t(order)].clear();
}

void DeleteAllLines(LineSet &set)
{
    set = EmptyLineSet();
}

void CompactLines(LineSet &set)
{
    for (OrderLines &lines : set)
        lines.erase(std::remove_if(lines.begin(), lines.end(), [](const ContourLine &l) { return l.size() <= 2; }),
                    lines.end());
}

void EnterLineSets(Document &doc)
{
    doc.LayerLines.resize(doc.LayerCount);
    LineSet &set = doc.LayerLines[size_t(doc.CurrentLayer)];
    doc.CurrentLines = set.empty() ? EmptyLineSet() : set;
}

void StoreCurrentLines(Document &doc)
{
    if (doc.CurrentLayer >= 0 && doc.CurrentLayer < int(doc.LayerLines.size()))
        doc.LayerLines[size_t(doc.CurrentLayer)] = doc.CurrentLines;
}

void LeaveLineSets(Document &doc)
{
    StoreCurrentLines(doc);
    doc.CurrentLines.clear();
}

// The contour lines of a relief: fifteen orders per layer, order index 0
// ("1") the highest. An order's grey level in the height map is 255 - 15 k;
// pixels no line covers are 30, the background.
#pragma once

#include "Document.h"

constexpr uint8_t BackgroundLevel = 30;
// An order holds at most this many lines: the hit-test map names a line in one
// byte, and 255 there means that no line is at a place.
constexpr int MaxLinesPerOrder = 255;

// 255 - 15 k for k = 0..14.
uint8_t LevelOfOrder(int order);
// The level of the layer's zero plane: BaseOrder 15 is the background.
uint8_t BaseLevelOf(const Layer &layer);

// A line set of 15 empty orders.
LineSet EmptyLineSet();
// Whether any order of the set holds a line (a set of empty orders holds none).
bool HasLines(const LineSet &set);
// Appends a line to an order; false (nothing changes) when the order is full.
bool AppendLine(LineSet &set, int order, const ContourLine &line);
// "Delete line": the last line of an order; "Delete layer": every line of an
// order; "Delete all": 15 empty orders.
void RemoveLastLine(LineSet &set, int order);
void EmptyOrder(LineSet &set, int order);
void DeleteAllLines(LineSet &set);
// Keeps, in their order, only the lines with more than 2 points.
void CompactLines(LineSet &set);

// Entering the DrawLine page: every layer gets an entry, and the current
// layer's set (15 empty orders the first time) becomes CurrentLines.
void EnterLineSets(Document &doc);
// Leaving the page, or starting the relief preview: the current layer keeps
// CurrentLines. Leaving also empties CurrentLines.
void StoreCurrentLines(Document &doc);
void LeaveLineSets(Document &doc);

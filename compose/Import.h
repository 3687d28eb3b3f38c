// Making a PSD the current document, without the window: read and check the
// file, replace the document's layers and pictures, choose the focus layer and
// the default offsets, build the flip-group tables and compose the full picture
// at working size. The window's import command and the command line share it.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Everything up to the composed picture. A file that cannot be imported throws
// VistrelError before anything of the open document has changed.
// `progress` receives 0..100.
void ImportDocument(const QString &path, const std::function<void(int)> &progress = {});

// UngroupedLayers (top first), UngroupedCount, FocusPick and FocusLayer.
void ChooseDefaultFocus();
// OffsetSpan, FrontStep, BackStep and DefaultOffsets from the focus choice.
void ComputeDefaultOffsets();
// The Offset column as import fills it, by layer index: Round(DefaultOffsets).
std::vector<int32_t> DefaultGridOffsets();

// The offset of the focus row among offsets by layer index; 0 without a focus row.
int32_t FocusOffsetIn(const std::vector<int32_t> &offsets);

// The Group column's text for a layer: "A" for group 1 ...; empty for 0.
QString GroupLetter(uint8_t groupId);
// The path with its extension (and dot) replaced: "card.psd" -> "card" + replacement.
QString ReplaceExtension(const QString &path, const QString &replacement);
// "Gray", "RGB", "CMYK"
QString ColorModeName(uint16_t mode);

// A cursor over the bytes of a file that cannot read past its end. Every read
// checks the bytes left; an overrun throws VistrelError naming the file, the
// section being read and the offset, so a damaged file ends in a clear message
// instead of a wild read.
#pragma once

#include "Errors.h"
#include "Texts.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class ByteCursor {
public:
    // Thrown instead of the damage message when the bytes are only the first
    // part of a larger region: the caller reads more and tries again.
    struct ChunkTooSmall {};

    // The cursor keeps its own (shared) copy of the bytes, so a temporary will do.
    ByteCursor(const QByteArray &bytes, QString fileName, qint64 baseOffset = 0)
        : Bytes(bytes), Data(reinterpret_cast<const uint8_t *>(Bytes.constData())), Size(Bytes.size()),
          FileName(std::move(fileName)), BaseOffset(baseOffset)
    {
    }

    qint64 Pos() const { return Position; }
    qint64 Remaining() const { return Size - Position; }
    qint64 FileOffset() const { return BaseOffset + Position; }
    void SetSection(const QString &section) { Section = section; }
    // The bytes are a first part of the region being parsed, not all of it.
    void SetChunk(bool isChunk) { IsChunk = isChunk; }

    void Need(qint64 count) const
    {
        if (count < 0 || count > Remaining()) {
            if (count > 0 && IsChunk)
                throw ChunkTooSmall{};
            Fail(Vistrel::tr("it ends early"));
        }
    }
    void Skip(qint64 count) { Need(count); Position += count; }
    void Seek(qint64 pos)
    {
        if (pos < 0 || pos > Size)
            Fail(Vistrel::tr("a position lies outside the file"));
        Position = pos;
    }
    const uint8_t *Take(qint64 count) { Need(count); const uint8_t *p = Data + Position; Position += count; return p; }

    uint8_t U8() { return *Take(1); }
    uint16_t U16BE() { const uint8_t *p = Take(2); return uint16_t(p[0] << 8 | p[1]); }
    int16_t I16BE() { return int16_t(U16BE()); }
    uint32_t U32BE() { const uint8_t *p = Take(4); return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
    int32_t I32BE() { return int32_t(U32BE()); }
    uint16_t U16LE() { const uint8_t *p = Take(2); return uint16_t(p[1] << 8 | p[0]); }
    uint32_t U32LE() { const uint8_t *p = Take(4); return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }
    int32_t I32LE() { return int32_t(U32LE()); }

    [[noreturn]] void Fail(const QString &what) const
    {
        const QString file = FileName.isEmpty() ? Vistrel::tr("the file") : QStringLiteral("\"%1\"").arg(FileName);
        throw VistrelError(Vistrel::tr("%1 is damaged: %2 (%3 at byte %4).")
                               .arg(file, what, Section.isEmpty() ? Vistrel::tr("reading") : Section)
                               .arg(FileOffset()));
    }

private:
    QByteArray Bytes;
    const uint8_t *Data;
    qint64 Size;
    QString FileName;
    qint64 BaseOffset;
    qint64 Position = 0;
    QString Section;
    bool IsChunk = false;
};

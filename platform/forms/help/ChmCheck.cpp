// The structural check of a compiled help file: every offset, length and link is bounded here.
#include "forms/help/ChmCheck.h"

#include <QHash>
#include <QVector>
#include <QtEndian>

#include <optional>

namespace forms {

namespace {

constexpr quint64 MaxPathLength = 512;      // the reading library's own limit
constexpr quint64 MaxChunkSize = 0x10000;   // compilers write 4 KiB chunks
constexpr quint64 FrameSize = 0x8000;       // the compression's fixed frame
constexpr int ItspHeaderSize = 0x54;
constexpr int PmglHeaderSize = 0x14;
constexpr int PmgiHeaderSize = 0x08;

const QByteArray ContentName("::DataSpace/Storage/MSCompressed/Content");
const QByteArray ControlName("::DataSpace/Storage/MSCompressed/ControlData");
const QByteArray ResetName("::DataSpace/Storage/MSCompressed/Transform/"
                           "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");

struct Entry {
    quint64 section = 0;
    quint64 offset = 0;
    quint64 length = 0;
};

// Bounded little-endian reads over the file; each answers nullopt past the end.
class Bytes {
public:
    explicit Bytes(const QByteArray &data) : m_data(data) {}
    quint64 size() const { return quint64(m_data.size()); }
    bool has(quint64 offset, quint64 length) const { return offset <= size() && length <= size() - offset; }
    std::optional<quint32> u32(quint64 offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        return qFromLittleEndian<quint32>(m_data.constData() + offset);
    }
    std::optional<quint64> u64(quint64 offset) const
    {
        if (!has(offset, 8))
            return std::nullopt;
        return qFromLittleEndian<quint64>(m_data.constData() + offset);
    }
    bool magic(quint64 offset, const char *four) const { return has(offset, 4) && m_data.mid(qsizetype(offset), 4) == four; }
    QByteArray mid(quint64 offset, quint64 length) const { return m_data.mid(qsizetype(offset), qsizetype(length)); }
    uchar at(quint64 offset) const { return uchar(m_data.at(qsizetype(offset))); }

private:
    const QByteArray &m_data;
};

// The format's variable-length number (7 bits a byte, high bit: more follow), within [pos, end).
std::optional<quint64> encint(const Bytes &b, quint64 &pos, quint64 end)
{
    quint64 value = 0;
    for (int n = 0; n < 9; ++n) {
        if (pos >= end)
            return std::nullopt;
        const uchar c = b.at(pos++);
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80))
            return value;
    }
    return std::nullopt;
}

bool sum(quint64 a, quint64 b, quint64 &out)
{
    out = a + b;
    return out >= a;
}

class Checker {
public:
    explicit Checker(const QByteArray &file) : b(file) {}

    bool run()
    {
        return header() && directory() && chunks() && chainAcyclic() && indexAcyclic() && sections();
    }

private:
    bool header()
    {
        if (!b.magic(0, "ITSF"))
            return false;
        const auto version = b.u32(4);
        const auto length = b.u32(8);
        if (!version || (*version != 2 && *version != 3) || !length)
            return false;
        if (*length < (*version == 2 ? 0x58u : 0x60u) || *length > b.size())
            return false;
        const auto dirOffset = b.u64(0x48);
        const auto dirLength = b.u64(0x50);
        if (!dirOffset || !dirLength || !b.has(*dirOffset, *dirLength))
            return false;
        m_dirOffset = *dirOffset;
        m_dirLength = *dirLength;
        if (*version == 3) {
            const auto data = b.u64(0x58);
            if (!data)
                return false;
            m_dataOffset = *data;
        } else {
            m_dataOffset = m_dirOffset + m_dirLength;
        }
        return m_dataOffset <= b.size();
    }

    bool directory()
    {
        if (m_dirLength < ItspHeaderSize || !b.magic(m_dirOffset, "ITSP") || b.u32(m_dirOffset + 4) != 1u ||
            b.u32(m_dirOffset + 8) != quint32(ItspHeaderSize))
            return false;
        m_chunkSize = *b.u32(m_dirOffset + 0x10);
        m_indexRoot = qint32(*b.u32(m_dirOffset + 0x1C));
        m_indexHead = qint32(*b.u32(m_dirOffset + 0x20));
        m_chunkCount = *b.u32(m_dirOffset + 0x2C);
        if (m_chunkSize < PmglHeaderSize + 2 || m_chunkSize > MaxChunkSize || m_chunkCount == 0)
            return false;
        // Every chunk lies inside the directory, and so inside the file.
        if (m_chunkCount > (m_dirLength - ItspHeaderSize) / m_chunkSize)
            return false;
        return inRange(m_indexHead) && (m_indexRoot == -1 || inRange(m_indexRoot));
    }

    bool inRange(qint64 chunk) const { return chunk >= 0 && quint64(chunk) < m_chunkCount; }

    quint64 chunkStart(quint64 chunk) const { return m_dirOffset + ItspHeaderSize + chunk * m_chunkSize; }

    bool chunks()
    {
        m_next.fill(-1, int(m_chunkCount));
        m_listing.fill(false, int(m_chunkCount));
        m_children.resize(int(m_chunkCount));
        for (quint64 i = 0; i < m_chunkCount; ++i) {
            const quint64 start = chunkStart(i);
            const bool listing = b.magic(start, "PMGL");
            if (!listing && !b.magic(start, "PMGI"))
                return false;
            m_listing[int(i)] = listing;
            const quint64 headerSize = listing ? PmglHeaderSize : PmgiHeaderSize;
            const quint32 free = *b.u32(start + 4);
            if (free > m_chunkSize - headerSize)
                return false;
            const quint64 end = start + m_chunkSize - free;
            quint64 pos = start + headerSize;
            if (listing) {
                const qint32 previous = qint32(*b.u32(start + 0xC));
                const qint32 next = qint32(*b.u32(start + 0x10));
                if ((previous != -1 && !inRange(previous)) || (next != -1 && !inRange(next)))
                    return false;
                m_next[int(i)] = next;
            }
            while (pos < end) {
                const auto nameLength = encint(b, pos, end);
                if (!nameLength || *nameLength > MaxPathLength || *nameLength > end - pos)
                    return false;
                const QByteArray name = b.mid(pos, *nameLength);
                pos += *nameLength;
                if (listing) {
                    Entry e;
                    const auto section = encint(b, pos, end);
                    const auto offset = encint(b, pos, end);
                    const auto length = encint(b, pos, end);
                    if (!section || !offset || !length || *section > 1)
                        return false;
                    e = Entry{*section, *offset, *length};
                    m_entries.insert(name.toLower(), e);
                } else {
                    const auto child = encint(b, pos, end);
                    if (!child || !inRange(qint64(*child)))
                        return false;
                    m_children[int(i)] << int(*child);
                }
            }
        }
        return true;
    }

    // The listing chunks' chain, from its head, holds listing chunks only and ends without
    // coming back.
    bool chainAcyclic() const
    {
        QVector<bool> seen(int(m_chunkCount), false);
        for (qint64 c = m_indexHead; c != -1; c = m_next.at(int(c))) {
            if (seen.at(int(c)) || !m_listing.at(int(c)))
                return false;
            seen[int(c)] = true;
        }
        return true;
    }

    // A lookup descends the index from its root, or from the chain's head when there is no
    // index: no path may come back to a chunk on it.
    bool indexAcyclic() const
    {
        const int root = m_indexRoot == -1 ? m_indexHead : m_indexRoot;
        enum State : char { New, Open, Done };
        QVector<char> state(int(m_chunkCount), New);
        QVector<QPair<int, int>> stack{{root, 0}};
        state[root] = Open;
        while (!stack.isEmpty()) {
            auto &[chunk, next] = stack.last();
            if (next == m_children.at(chunk).size()) {
                state[chunk] = Done;
                stack.removeLast();
                continue;
            }
            const int child = m_children.at(chunk).at(next++);
            if (state.at(child) == Open)
                return false;
            if (state.at(child) == New) {
                state[child] = Open;
                stack.append({child, 0});
            }
        }
        return true;
    }

    // An uncompressed stored file: its bytes.
    std::optional<QByteArray> plain(const QByteArray &name, quint64 minimum) const
    {
        const auto it = m_entries.constFind(name.toLower());
        if (it == m_entries.constEnd() || it->section != 0 || it->length < minimum)
            return std::nullopt;
        quint64 start = 0;
        if (!sum(m_dataOffset, it->offset, start) || !b.has(start, it->length))
            return std::nullopt;
        return b.mid(start, it->length);
    }

    bool sections() const
    {
        bool compressed = false;
        for (const Entry &e : m_entries) {
            quint64 end = 0;
            if (!sum(e.offset, e.length, end))
                return false;
            if (e.section == 0) {
                if (end > b.size() - m_dataOffset)
                    return false;
            } else {
                compressed = true;
            }
        }
        if (!compressed)
            return true;
        const auto content = m_entries.constFind(ContentName.toLower());
        const auto control = plain(ControlName, 0x18);
        const auto reset = plain(ResetName, 0x28);
        if (content == m_entries.constEnd() || content->section != 0 || !control || !reset)
            return false;

        // The compression's control data: window size a power of two the decoder supports.
        const Bytes c(*control);
        if (!c.magic(4, "LZXC"))
            return false;
        const quint32 version = *c.u32(8);
        quint64 resetInterval = *c.u32(0xC);
        quint64 window = *c.u32(0x10);
        const quint64 windowsPerReset = *c.u32(0x14);
        if (version == 2) {
            resetInterval *= 0x8000;
            window *= 0x8000;
        } else if (version != 1) {
            return false;
        }
        if (window < (1u << 15) || window > (1u << 21) || (window & (window - 1)) != 0 ||
            resetInterval > 0xFFFFFFFFu || window > 0xFFFFFFFFu)
            return false;
        // Frames between resets: the reader divides by it.
        const quint64 resetFrames = resetInterval / (window / 2) * windowsPerReset;
        if (resetFrames == 0 || resetFrames > 0xFFFFFFFFu)
            return false;

        // The reset table: one start per frame, rising, within the compressed content.
        const Bytes r(*reset);
        const quint64 frames = *r.u32(4);
        const quint64 tableOffset = *r.u32(0xC);
        const quint64 uncompressed = *r.u64(0x10);
        const quint64 compressedLength = *r.u64(0x18);
        const quint64 frameSize = *r.u64(0x20);
        if (frameSize != FrameSize || compressedLength > content->length || frames == 0 ||
            !r.has(tableOffset, frames * 8) || uncompressed > frames * FrameSize)
            return false;
        quint64 previous = 0;
        for (quint64 i = 0; i < frames; ++i) {
            const quint64 start = *r.u64(tableOffset + i * 8);
            if ((i == 0 && start != 0) || start < previous || start > compressedLength)
                return false;
            previous = start;
        }
        for (const Entry &e : m_entries) {
            if (e.section == 1 && e.offset + e.length > uncompressed)
                return false;
        }
        return true;
    }

    Bytes b;
    quint64 m_dirOffset = 0;
    quint64 m_dirLength = 0;
    quint64 m_dataOffset = 0;
    quint64 m_chunkSize = 0;
    quint64 m_chunkCount = 0;
    qint32 m_indexRoot = -1;
    qint32 m_indexHead = 0;
    QVector<qint64> m_next;
    QVector<bool> m_listing;
    QVector<QVector<int>> m_children;
    QHash<QByteArray, Entry> m_entries;
};

}  // namespace

bool chmStructureSound(const QByteArray &file)
{
    return Checker(file).run();
}

}  // namespace forms

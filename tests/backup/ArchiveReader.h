#pragma once
// Test-side reader and reference writer of the archive layout, written from
// the format description alone (no library code), so the two can disagree.

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <zlib.h>

namespace testarchive {

struct Block {
    qint32 len = 0;
    QByteArray bytes;
};
struct Entry {
    QByteArray name;
    quint32 date = 0;
    QList<Block> blocks;     // empty for a volume mark
    bool volumeMark = false;
};
struct Archive {
    QByteArray title;
    qint32 total = 0;
    qint32 count = 0;
    QList<Entry> entries;
    bool endMark = false;
    bool ok = false;
};

inline QByteArray le32(qint32 v)
{
    const qint32 le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char *>(&le), 4);
}

class Cursor {
public:
    explicit Cursor(const QByteArray &b) : m_b(b) {}
    bool int32(qint32 &v)
    {
        if (m_pos + 4 > m_b.size())
            return false;
        v = qFromLittleEndian<qint32>(m_b.constData() + m_pos);
        m_pos += 4;
        return true;
    }
    bool bytes(QByteArray &out, qint64 n)
    {
        if (n < 0 || m_pos + n > m_b.size())
            return false;
        out = m_b.mid(m_pos, n);
        m_pos += n;
        return true;
    }
private:
    const QByteArray &m_b;
    qint64 m_pos = 0;
};

// Single-volume archive.
inline Archive parse(const QByteArray &data)
{
    Archive a;
    Cursor c(data);
    qint32 n = 0;
    if (!c.int32(n) || !c.bytes(a.title, n) || !c.int32(a.total) || !c.int32(a.count))
        return a;
    for (;;) {
        if (!c.int32(n))
            return a;
        if (n == 0) {
            a.endMark = true;
            a.ok = true;
            return a;
        }
        Entry e;
        if (!c.bytes(e.name, n))
            return a;
        if (e.name.startsWith("NEXT:DISK")) {
            e.volumeMark = true;
            a.entries.append(e);
            continue;
        }
        qint32 date = 0;
        QByteArray magic;
        if (!c.int32(date) || !c.bytes(magic, 4) || magic != QByteArray("EC2\0", 4))
            return a;
        e.date = quint32(date);
        for (;;) {
            Block b;
            if (!c.int32(b.len))
                return a;
            if (b.len == 0)
                break;
            if (!c.bytes(b.bytes, b.len < 0 ? -qint64(b.len) : b.len))
                return a;
            e.blocks.append(b);
        }
        a.entries.append(e);
    }
}

// Inflates one block as a reader would; empty on error.
inline QByteArray blockData(const Block &b)
{
    if (b.len < 0)
        return b.bytes;
    QByteArray out(16384, '\0');
    uLongf outLen = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &outLen,
                   reinterpret_cast<const Bytef *>(b.bytes.constData()), uLong(b.bytes.size())) != Z_OK)
        return {};
    out.resize(qsizetype(outLen));
    return out;
}

// One data section made with a fresh compressor for every block.
inline QByteArray referenceSection(const QByteArray &data, int level)
{
    QByteArray out("EC2\0", 4);
    for (qsizetype pos = 0; pos < data.size(); pos += 16384) {
        const QByteArray chunk = data.mid(pos, 16384);
        z_stream zs {};
        deflateInit(&zs, level);
        QByteArray buf(16384, '\0');
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.constData()));
        zs.avail_in = uInt(chunk.size());
        zs.next_out = reinterpret_cast<Bytef *>(buf.data());
        zs.avail_out = uInt(buf.size());
        const int r = deflate(&zs, Z_FINISH);
        const uLong produced = zs.total_out;
        deflateEnd(&zs);
        if (r == Z_STREAM_END) {
            out += le32(qint32(produced));
            out += buf.left(qsizetype(produced));
        } else {
            out += le32(-qint32(chunk.size()));
            out += chunk;
        }
    }
    out += le32(0);
    return out;
}

} // namespace testarchive

#pragma once

#include <QByteArray>
#include <QList>

// Hand-made binary property lists, for shapes no well-behaved writer produces: nesting past any
// sane depth, cycles, shared objects, NUL characters inside strings and keys. Object references
// and offsets are four bytes wide.
namespace BinaryPlist {

inline QByteArray bigEndian(quint64 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xff);
    return out;
}

// A marker byte with its length (long lengths follow as a four-byte integer object).
inline QByteArray marker(int type, quint64 length)
{
    if (length < 15)
        return QByteArray(1, char((type << 4) | int(length)));
    return QByteArray(1, char((type << 4) | 0x0f)) + QByteArray(1, char(0x12)) + bigEndian(length, 4);
}

inline QByteArray array(const QList<int>& refs)
{
    QByteArray out = marker(0xa, quint64(refs.size()));
    for (int ref : refs)
        out += bigEndian(quint64(ref), 4);
    return out;
}

inline QByteArray dict(const QList<int>& keys, const QList<int>& values)
{
    QByteArray out = marker(0xd, quint64(keys.size()));
    for (int ref : keys + values)
        out += bigEndian(quint64(ref), 4);
    return out;
}

inline QByteArray ascii(const QByteArray& text) { return marker(0x5, quint64(text.size())) + text; }

inline QByteArray utf16(const QString& text)
{
    QByteArray out = marker(0x6, quint64(text.size()));
    for (QChar c : text)
        out += bigEndian(c.unicode(), 2);
    return out;
}

inline QByteArray integer(quint8 value) { return QByteArray(1, char(0x10)) + QByteArray(1, char(value)); }

// The whole file: objects in order, the first one is the root.
inline QByteArray file(const QList<QByteArray>& objects)
{
    QByteArray out("bplist00");
    QList<quint64> offsets;
    for (const QByteArray& object : objects) {
        offsets.append(quint64(out.size()));
        out += object;
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        out += bigEndian(offset, 4);
    out += QByteArray(6, '\0') + QByteArray(1, char(4)) + QByteArray(1, char(4));
    out += bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8) + bigEndian(table, 8);
    return out;
}

// Arrays nested `depth` deep, the innermost empty.
inline QByteArray nestedArrays(int depth)
{
    QList<QByteArray> objects;
    for (int i = 0; i + 1 < depth; ++i)
        objects.append(array({i + 1}));
    objects.append(array({}));
    return file(objects);
}

} // namespace BinaryPlist

#include "platform/property_list.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Seconds between the Unix epoch and 2001-01-01, the epoch of property-list dates.
constexpr qint64 referenceDateOffset = 978307200;

// The parser keeps each dictionary's keys in a table of fixed size that it walks on every insert,
// so parsing or building one dictionary costs time in the square of its keys. Big top-level
// dictionaries (a settings domain) are therefore parsed and written in slices of this many keys.
constexpr int sliceKeys = 200;

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// Skips a comment, CDATA section, processing instruction or declaration starting at p; returns
// where scanning goes on, or nullptr when p starts none of them.
const char* skipMarkup(const char* p, const char* end)
{
    const auto skipPast = [&](const char* from, const char* terminator, qsizetype n) -> const char* {
        for (const char* q = from; end - q >= n; ++q)
            if (memcmp(q, terminator, size_t(n)) == 0)
                return q + n;
        return end;
    };
    const qsizetype left = end - p;
    if (left >= 4 && memcmp(p, "<!--", 4) == 0)
        return skipPast(p + 4, "-->", 3);
    if (left >= 9 && memcmp(p, "<![CDATA[", 9) == 0)
        return skipPast(p + 9, "]]>", 3);
    if (left >= 2 && p[1] == '?')
        return skipPast(p + 2, "?>", 2);
    if (left >= 2 && p[1] == '!')
        return skipPast(p + 2, ">", 1);
    return nullptr;
}

// A cheap scan that rejects XML nested deeper than the parser should be asked to follow.
// Comments and CDATA are skipped, so a closing tag hidden in one cannot make room for more nesting.
bool xmlDepthIsSane(const QByteArray& bytes)
{
    int depth = 0;
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end) {
        p = static_cast<const char*>(memchr(p, '<', size_t(end - p)));
        if (!p || p + 1 >= end)
            break;
        if (const char* after = skipMarkup(p, end)) {
            p = after;
            continue;
        }
        const bool closing = p[1] == '/';
        const char* tag = p + (closing ? 2 : 1);
        ++p;
        const auto startsWith = [&](const char* word, int n) {
            return end - tag >= n && qstrncmp(tag, word, n) == 0;
        };
        if (!(startsWith("dict", 4) || startsWith("array", 5)))
            continue;
        const char* close = static_cast<const char*>(memchr(tag, '>', size_t(end - tag)));
        const bool selfClosing = close && close > tag && close[-1] == '/';
        if (closing)
            depth = std::max(0, depth - 1);
        else if (!selfClosing && ++depth > PropertyList::maxDepth)
            return false;
    }
    return true;
}

// Reads a big-endian unsigned number of 1 to 8 bytes.
quint64 bigEndian(const uchar* p, int n)
{
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

// Walks the object graph of a binary property list without building it, so that the parser
// is handed only documents it can take: nesting no deeper than maxDepth (the parser recurses once
// per level), no cycles, no object shared so often that expanding it into a tree would take far
// more nodes than the file has bytes, and no dictionary key holding a NUL (the parser's key getter
// asserts on those). Offsets and counts are checked against the file as they are read.
bool binaryShapeIsSane(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint64 size = quint64(bytes.size());
    constexpr quint64 headerSize = 8, trailerSize = 32;
    if (size < headerSize + trailerSize + 1)
        return false;
    const uchar* trailer = data + size - trailerSize;
    const int offsetSize = trailer[6];
    const int refSize = trailer[7];
    const quint64 objectCount = bigEndian(trailer + 8, 8);
    const quint64 root = bigEndian(trailer + 16, 8);
    const quint64 tableOffset = bigEndian(trailer + 24, 8);
    const quint64 dataEnd = size - trailerSize;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || objectCount == 0 || root >= objectCount
        || tableOffset < headerSize || tableOffset > dataEnd || objectCount > (dataEnd - tableOffset) / quint64(offsetSize))
        return false;

    struct Object
    {
        quint64 start = 0; // first byte after the marker and length
        quint64 count = 0; // items, or bytes for strings
        uchar type = 0;
    };
    const auto objectAt = [&](quint64 index, Object& out) {
        const quint64 offset = bigEndian(data + tableOffset + index * quint64(offsetSize), offsetSize);
        if (offset < headerSize || offset >= tableOffset)
            return false;
        const uchar marker = data[offset];
        out.type = marker >> 4;
        quint64 length = marker & 0x0f;
        quint64 at = offset + 1;
        if (length == 0x0f && (out.type == 0x4 || out.type == 0x5 || out.type == 0x6 || out.type == 0xa || out.type == 0xc
                               || out.type == 0xd)) {
            if (at >= tableOffset || (data[at] >> 4) != 0x1)
                return false;
            const int lengthBytes = 1 << (data[at] & 0x0f);
            if (lengthBytes > 8 || at + 1 + quint64(lengthBytes) > tableOffset)
                return false;
            length = bigEndian(data + at + 1, lengthBytes);
            at += 1 + quint64(lengthBytes);
        }
        out.start = at;
        out.count = length;
        quint64 bytesNeeded = 0;
        switch (out.type) {
        case 0x4:
        case 0x5: bytesNeeded = length; break;
        case 0x6: bytesNeeded = length > dataEnd ? dataEnd + 1 : length * 2; break;
        case 0xa:
        case 0xc: bytesNeeded = length > dataEnd ? dataEnd + 1 : length * quint64(refSize); break;
        case 0xd: bytesNeeded = length > dataEnd ? dataEnd + 1 : 2 * length * quint64(refSize); break;
        default: return true;
        }
        return bytesNeeded <= tableOffset - at;
    };
    const auto isContainer = [](uchar type) { return type == 0xa || type == 0xc || type == 0xd; };
    const auto keyHasNul = [&](const Object& key) {
        // Text keys are cut at a NUL as they are read; UTF-16 ones keep it and trip the assertion.
        if (key.type == 0x6) {
            for (quint64 i = 0; i < key.count; ++i)
                if (data[key.start + 2 * i] == 0 && data[key.start + 2 * i + 1] == 0)
                    return true;
        }
        return false;
    };

    // Depth-first over containers with an explicit stack; each container is finished once.
    // height: containers nested below and including this one; nodes: the tree it expands to.
    enum : uchar { unseen, open, done };
    std::vector<uchar> state(objectCount, unseen);
    std::vector<quint16> height(objectCount, 0);
    std::vector<quint64> nodes(objectCount, 1);
    const quint64 nodeLimit = 4 * size + 1024;
    struct Frame
    {
        quint64 index;
        Object object;
        quint64 next; // next child ref to look at
    };
    std::vector<Frame> stack;
    const auto push = [&](quint64 index) {
        Object object;
        if (!objectAt(index, object))
            return false;
        if (!isContainer(object.type)) {
            state[index] = done;
            return true;
        }
        if (stack.size() >= size_t(PropertyList::maxDepth))
            return false;
        state[index] = open;
        stack.push_back({index, object, 0});
        return true;
    };
    if (!push(root))
        return false;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const bool dict = frame.object.type == 0xd;
        const quint64 refs = dict ? 2 * frame.object.count : frame.object.count;
        if (frame.next == refs) {
            quint16 h = 0;
            quint64 n = 1;
            for (quint64 i = 0; i < refs; ++i) {
                const quint64 child = bigEndian(data + frame.object.start + i * quint64(refSize), refSize);
                h = std::max(h, height[child]);
                n += nodes[child];
                if (n > nodeLimit)
                    return false;
            }
            height[frame.index] = h + 1;
            nodes[frame.index] = n;
            state[frame.index] = done;
            stack.pop_back();
            continue;
        }
        const quint64 child = bigEndian(data + frame.object.start + frame.next * quint64(refSize), refSize);
        if (child >= objectCount)
            return false;
        if (dict && frame.next < frame.object.count) {
            Object key;
            if (!objectAt(child, key) || (key.type != 0x5 && key.type != 0x6) || keyHasNul(key))
                return false;
        }
        ++frame.next;
        if (state[child] == open)
            return false; // a cycle
        if (state[child] == unseen && !push(child))
            return false;
    }
    return nodes[root] <= nodeLimit;
}

std::optional<QVariant> toVariant(plist_t node, int depth)
{
    if (!node || depth > PropertyList::maxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t v = 0;
        plist_get_bool_val(node, &v);
        return QVariant(v != 0);
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        return QVariant(qlonglong(static_cast<int64_t>(v)));
    }
    case PLIST_REAL: {
        double v = 0;
        plist_get_real_val(node, &v);
        return QVariant(v);
    }
    case PLIST_STRING: {
        // With its length: a string may hold NUL bytes, which the copying getter asserts on.
        uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        return QVariant(QString::fromUtf8(s, s ? qsizetype(length) : 0));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QVariant(QByteArray(bytes, bytes ? qsizetype(length) : 0));
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        const qint64 ms = (qint64(sec) + referenceDateOffset) * 1000 + usec / 1000;
        return QVariant(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    }
    case PLIST_ARRAY: {
        // Walked with an iterator: fetching items by index is linear per item for parsed arrays.
        QVariantList list;
        list.reserve(plist_array_get_size(node));
        plist_array_iter it = nullptr;
        plist_array_new_iter(node, &it);
        for (;;) {
            plist_t child = nullptr;
            plist_array_next_item(node, it, &child);
            if (!child)
                break;
            auto item = toVariant(child, depth + 1);
            if (!item) {
                free(it);
                return std::nullopt;
            }
            list.append(*item);
        }
        free(it);
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                free(key);
                break;
            }
            auto item = toVariant(value, depth + 1);
            const QString name = QString::fromUtf8(key ? key : "");
            free(key);
            if (!item) {
                free(it);
                return std::nullopt;
            }
            map.insert(name, *item);
        }
        free(it);
        return QVariant(map);
    }
    case PLIST_KEY:
    case PLIST_UID:
    case PLIST_NONE:
    default:
        return std::nullopt;
    }
}

plist_t fromVariant(const QVariant& value, int depth)
{
    if (depth > PropertyList::maxDepth)
        return nullptr;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - referenceDateOffset * 1000;
        qint64 sec = ms / 1000;
        qint64 msRest = ms % 1000;
        if (msRest < 0) {
            msRest += 1000;
            --sec;
        }
        return plist_new_date(int32_t(sec), int32_t(msRest * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant& item : value.toList()) {
            plist_t child = fromVariant(item, depth + 1);
            if (!child) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, child);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            plist_t child = fromVariant(it.value(), depth + 1);
            if (!child) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), child);
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

QByteArray xmlOf(plist_t node)
{
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    QByteArray out(xml, xml ? qsizetype(length) : 0);
    plist_to_xml_free(xml);
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char* skipSpace(const char* p, const char* end)
{
    while (p < end && isSpace(*p))
        ++p;
    return p;
}

// The top-level dictionary of a large XML document, parsed a slice of keys at a time (see
// sliceKeys). Only plain documents qualify: a prolog, one <plist> holding one <dict>, and no
// comments, CDATA or processing instructions inside it, so every '<' in the body starts a tag.
// nullopt when the document does not qualify or a slice does not parse; the whole document is
// then handed to the parser as it is.
std::optional<QVariant> parseSlicedDict(const QByteArray& bytes)
{
    const char* const begin = bytes.constData();
    const char* const end = begin + bytes.size();
    const char* p = skipSpace(begin, end);
    // Prolog: the XML declaration, comments and a DOCTYPE without an internal subset.
    while (end - p > 1 && *p == '<' && (p[1] == '?' || p[1] == '!')) {
        const char* after = skipMarkup(p, end);
        if (!(end - p >= 4 && memcmp(p, "<!--", 4) == 0) && std::find(p, after, '[') != after)
            return std::nullopt;
        p = skipSpace(after, end);
    }
    if (end - p < 7 || memcmp(p, "<plist", 6) != 0 || !(isSpace(p[6]) || p[6] == '>'))
        return std::nullopt;
    p = static_cast<const char*>(memchr(p, '>', size_t(end - p)));
    if (!p || p[-1] == '/')
        return std::nullopt;
    p = skipSpace(p + 1, end);
    if (end - p < 6 || memcmp(p, "<dict>", 6) != 0)
        return std::nullopt;
    p += 6;

    // Where each top-level key starts, and where the dict closes.
    std::vector<const char*> entries;
    const char* bodyEnd = nullptr;
    int depth = 1;
    for (const char* q = p; q < end;) {
        q = static_cast<const char*>(memchr(q, '<', size_t(end - q)));
        if (!q || end - q < 2 || q[1] == '!' || q[1] == '?')
            return std::nullopt;
        const bool closing = q[1] == '/';
        const char* name = q + (closing ? 2 : 1);
        const char* nameEnd = name;
        while (nameEnd < end && !isSpace(*nameEnd) && *nameEnd != '/' && *nameEnd != '>')
            ++nameEnd;
        const char* close = std::find(nameEnd, end, '>');
        if (close == end)
            return std::nullopt;
        const QByteArrayView tag(name, nameEnd - name);
        const bool selfClosing = close[-1] == '/';
        if (tag == "dict" || tag == "array") {
            if (closing && --depth == 0) {
                if (tag != "dict")
                    return std::nullopt;
                bodyEnd = q;
                q = close + 1;
                // After the dict only the end of the plist element.
                q = skipSpace(q, end);
                if (end - q < 8 || memcmp(q, "</plist>", 8) != 0 || skipSpace(q + 8, end) != end)
                    return std::nullopt;
                break;
            }
            if (!closing && !selfClosing)
                ++depth;
        } else if (depth == 1 && !closing && tag == "key") {
            entries.push_back(q);
        }
        q = close + 1;
    }
    if (!bodyEnd || entries.size() <= size_t(2 * sliceKeys) || skipSpace(p, end) != entries.front())
        return std::nullopt;

    QVariantMap map;
    for (size_t first = 0; first < entries.size(); first += sliceKeys) {
        const size_t next = first + sliceKeys;
        const char* sliceEnd = next < entries.size() ? entries[next] : bodyEnd;
        QByteArray doc("<plist version=\"1.0\"><dict>");
        doc.append(entries[first], sliceEnd - entries[first]);
        doc.append("</dict></plist>");
        plist_t root = nullptr;
        plist_from_xml(doc.constData(), uint32_t(doc.size()), &root);
        PlistPtr owner(root);
        if (!root || plist_get_node_type(root) != PLIST_DICT)
            return std::nullopt;
        const auto slice = toVariant(root, 0);
        if (!slice)
            return std::nullopt;
        const QVariantMap part = slice->toMap();
        for (auto it = part.begin(); it != part.end(); ++it)
            map.insert(it.key(), it.value());
    }
    return QVariant(map);
}

// The XML of a large dictionary, built a slice of keys at a time and joined: the same bytes the
// writer gives for the whole dictionary, whose entries it writes in order one level deep.
QByteArray slicedDictXml(const QVariantMap& map)
{
    static const QByteArray open("<dict>\n");
    static const QByteArray close("</dict>\n</plist>\n");
    QByteArray out;
    auto it = map.begin();
    while (it != map.end()) {
        PlistPtr dict(plist_new_dict());
        for (int n = 0; n < sliceKeys && it != map.end(); ++n, ++it) {
            plist_t child = fromVariant(it.value(), 1);
            if (!child)
                return {};
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), child);
        }
        const QByteArray xml = xmlOf(dict.get());
        const qsizetype body = xml.indexOf(open);
        if (body < 0 || !xml.endsWith(close))
            return {};
        if (out.isEmpty()) {
            out.reserve(xml.size() * (map.size() / sliceKeys + 1));
            out.append(xml.left(body + open.size()));
        }
        out.append(xml.constData() + body + open.size(), xml.size() - body - open.size() - close.size());
    }
    out.append(close);
    return out;
}

} // namespace

namespace PropertyList {

std::optional<QVariant> parse(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    const bool binary = bytes.startsWith("bplist00");
    if (binary ? !binaryShapeIsSane(bytes) : !xmlDepthIsSane(bytes))
        return std::nullopt;
    if (!binary) {
        if (auto sliced = parseSlicedDict(bytes))
            return sliced;
    }
    plist_t root = nullptr;
    if (binary)
        plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
    else
        plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &root);
    PlistPtr owner(root);
    if (!root)
        return std::nullopt;
    return toVariant(root, 0);
}

QByteArray toXml(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QVariantMap && value.toMap().size() > 2 * sliceKeys) {
        if (QByteArray sliced = slicedDictXml(value.toMap()); !sliced.isEmpty())
            return sliced;
    }
    PlistPtr root(fromVariant(value, 0));
    if (!root)
        return {};
    return xmlOf(root.get());
}

QByteArray toBinary(const QVariant& value)
{
    PlistPtr root(fromVariant(value, 0));
    if (!root)
        return {};
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root.get(), &bin, &length);
    QByteArray out(bin, qsizetype(length));
    plist_to_bin_free(bin);
    return out;
}

} // namespace PropertyList

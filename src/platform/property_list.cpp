#include "platform/property_list.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <memory>

namespace {

// Seconds between the Unix epoch and 2001-01-01, the epoch of property-list dates.
constexpr qint64 referenceDateOffset = 978307200;

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// A cheap scan that rejects XML nested deeper than the parser should be asked to follow.
bool xmlDepthIsSane(const QByteArray& bytes)
{
    int depth = 0;
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    for (; p < end; ++p) {
        if (*p != '<' || p + 1 >= end)
            continue;
        const bool closing = p[1] == '/';
        const char* tag = p + (closing ? 2 : 1);
        const auto startsWith = [&](const char* word, int n) {
            return end - tag >= n && qstrncmp(tag, word, n) == 0;
        };
        if (!(startsWith("dict", 4) || startsWith("array", 5)))
            continue;
        const char* close = static_cast<const char*>(memchr(tag, '>', end - tag));
        const bool selfClosing = close && close > tag && close[-1] == '/';
        if (closing)
            --depth;
        else if (!selfClosing && ++depth > PropertyList::maxDepth)
            return false;
    }
    return true;
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
        char* s = nullptr;
        plist_get_string_val(node, &s);
        QString text = QString::fromUtf8(s ? s : "");
        free(s);
        return QVariant(text);
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray data(bytes ? bytes : "", bytes ? qsizetype(length) : 0);
        free(bytes);
        return QVariant(data);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        const qint64 ms = (qint64(sec) + referenceDateOffset) * 1000 + usec / 1000;
        return QVariant(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        list.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            auto item = toVariant(plist_array_get_item(node, i), depth + 1);
            if (!item)
                return std::nullopt;
            list.append(*item);
        }
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

} // namespace

namespace PropertyList {

std::optional<QVariant> parse(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    const bool binary = bytes.startsWith("bplist00");
    if (!binary && !xmlDepthIsSane(bytes))
        return std::nullopt;
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
    PlistPtr root(fromVariant(value, 0));
    if (!root)
        return {};
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    QByteArray out(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return out;
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

#include "looks/named_ref.h"

#include "core/record_json.h"

#include <QTextBoundaryFinder>

QList<NamedRef> NamedRef::decodeList(const QByteArray& bytes)
{
    const auto array = RecordJson::parseArray(bytes);
    if (!array)
        return {};
    QList<NamedRef> refs;
    for (const QJsonValue& element : *array) {
        if (!element.isObject())
            return {};
        const QJsonObject object = element.toObject();
        const auto id = RecordJson::uuid(object, QStringLiteral("id"));
        const auto name = RecordJson::string(object, QStringLiteral("name"));
        if (!id || !name)
            return {};
        refs.append(NamedRef {*id, *name});
    }
    return refs;
}

QString foldedName(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            stripped.append(c);
    }
    return stripped.normalized(QString::NormalizationForm_C).toCaseFolded().trimmed();
}

namespace {

// What a reader calls characters: grapheme clusters.
qsizetype characterCount(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

bool startsWithWord(const QString& text, const QString& prefix)
{
    return text.size() > prefix.size() && text.startsWith(prefix) && text.at(prefix.size()) == QLatin1Char(' ');
}

} // namespace

std::optional<NamedRef> nameMatch(const QString& ensembleName, const QList<NamedRef>& refs)
{
    const QString m = foldedName(ensembleName);
    std::optional<NamedRef> best;
    qsizetype bestLength = -1;
    for (const NamedRef& ref : refs) {
        const QString n = foldedName(ref.name);
        if (n.isEmpty())
            continue;
        if (n != m && !startsWithWord(m, n) && !startsWithWord(n, m))
            continue;
        const qsizetype length = characterCount(ref.name);
        if (length > bestLength) {
            best = ref;
            bestLength = length;
        }
    }
    return best;
}

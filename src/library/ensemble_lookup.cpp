#include "library/ensemble_lookup.h"

#include "library/record_json.h"
#include "looks/named_ref.h"

#include <QUrl>

namespace {

std::optional<QUuid> byName(const QList<Ensemble>& ensembles, const QString& text)
{
    const QString wanted = foldedName(text);
    for (const Ensemble& e : ensembles) {
        if (foldedName(e.name) == wanted)
            return e.id;
    }
    return std::nullopt;
}

std::optional<QUuid> byID(const QList<Ensemble>& ensembles, const QString& text)
{
    const auto id = RecordJson::parseUuid(QStringView(text));
    if (!id)
        return std::nullopt;
    for (const Ensemble& e : ensembles) {
        if (e.id == *id)
            return e.id;
    }
    return std::nullopt;
}

} // namespace

std::optional<QUuid> EnsembleLookup::named(const QList<Ensemble>& ensembles, const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    if (const auto found = byName(ensembles, text))
        return found;
    if (const auto found = byID(ensembles, text))
        return found;
    const QString decoded = QUrl::fromPercentEncoding(text.toUtf8());
    if (decoded != text)
        return named(ensembles, decoded);
    return std::nullopt;
}

std::optional<QUuid> EnsembleLookup::stepped(const QList<Ensemble>& ensembles, const std::optional<QUuid>& current, int step)
{
    if (ensembles.isEmpty())
        return std::nullopt;
    qsizetype at = -1;
    for (qsizetype i = 0; i < ensembles.size(); ++i) {
        if (ensembles[i].id == current)
            at = i;
    }
    if (at < 0)
        return ensembles.first().id;
    const qsizetype n = ensembles.size();
    return ensembles[((at + step) % n + n) % n].id;
}

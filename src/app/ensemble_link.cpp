#include "app/ensemble_link.h"

namespace {

QString trimmedOf(const QString& text, const QString& characters)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && characters.contains(text[begin]))
        ++begin;
    while (end > begin && characters.contains(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Case- and accent-blind form: decomposed, marks dropped, folded.
QString comparable(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_SpacingCombining && c.category() != QChar::Mark_Enclosing)
            plain += c;
    return plain.toCaseFolded();
}

} // namespace

bool EnsembleLink::hasAppScheme(const QString& text)
{
    return text.startsWith(scheme() + QLatin1Char(':'), Qt::CaseInsensitive);
}

std::optional<EnsembleLink> EnsembleLink::parse(const QUrl& url)
{
    if (!url.isValid() || url.scheme().compare(scheme(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString host = url.host().toLower();
    if (host == QLatin1String("next"))
        return next();
    if (host == QLatin1String("previous"))
        return previous();
    if (host != QLatin1String("ensemble"))
        return std::nullopt;
    // Names arrive percent-encoded ("My%20Ensemble"); they are matched against names as shown.
    const QString path = trimmedOf(url.path(QUrl::FullyDecoded), QStringLiteral("/ "));
    if (path.isEmpty())
        return std::nullopt;
    return named(path);
}

std::optional<QUuid> EnsembleLink::resolve(const QList<Entry>& ensembles, const std::optional<QUuid>& current) const
{
    if (ensembles.isEmpty())
        return std::nullopt;
    if (kind == Kind::named) {
        const QString wanted = comparable(name);
        for (const Entry& entry : ensembles)
            if (comparable(entry.name) == wanted)
                return entry.id;
        const QUuid id = QUuid::fromString(name);
        for (const Entry& entry : ensembles)
            if (!id.isNull() && entry.id == id)
                return entry.id;
        return std::nullopt;
    }
    qsizetype at = -1;
    for (qsizetype i = 0; current && i < ensembles.size(); ++i)
        if (ensembles[i].id == *current)
            at = i;
    if (at < 0)
        return ensembles.first().id;
    const qsizetype count = ensembles.size();
    const qsizetype step = kind == Kind::next ? 1 : count - 1;
    return ensembles[(at + step) % count].id;
}

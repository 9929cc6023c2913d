#include "core/unique_name.h"

#include <QRegularExpression>
#include <QSet>

namespace {
QString folded(const QString& name)
{
    return name.trimmed().toLower();
}
} // namespace

QString UniqueName::make(const QString& name, const QStringList& among)
{
    QSet<QString> taken;
    taken.reserve(among.size());
    for (const QString& other : among)
        taken.insert(folded(other));
    if (!taken.contains(folded(name)))
        return name;
    static const QRegularExpression trailingNumber(QStringLiteral(" \\d+$"));
    QString base = name;
    base.remove(trailingNumber);
    for (qlonglong n = 2;; ++n) {
        const QString candidate = base + QLatin1Char(' ') + QString::number(n);
        if (!taken.contains(folded(candidate)))
            return candidate;
    }
}

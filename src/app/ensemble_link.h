#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>

// A "zentrove:" link that switches the ensemble: zentrove://ensemble/<name or id>,
// zentrove://next, zentrove://previous.
struct EnsembleLink
{
    enum class Kind { named, next, previous };

    Kind kind = Kind::next;
    QString name; // for `named`: an ensemble name or id, decoded

    static EnsembleLink named(const QString& name) { return {Kind::named, name}; }
    static EnsembleLink next() { return {Kind::next, {}}; }
    static EnsembleLink previous() { return {Kind::previous, {}}; }

    // nullopt when the URL is not an ensemble link.
    static std::optional<EnsembleLink> parse(const QUrl& url);
    static QString scheme() { return QStringLiteral("zentrove"); }
    // Whether an argument looks like a link of the app's scheme at all.
    static bool hasAppScheme(const QString& text);

    // An ensemble as links see it.
    struct Entry
    {
        QUuid id;
        QString name;
    };
    // The ensemble the link picks out of `ensembles` (in the library's order): by name ignoring
    // case and accents, else by id; next and previous step from `current` and wrap around, and
    // start at the first ensemble when `current` is not in the list.
    std::optional<QUuid> resolve(const QList<Entry>& ensembles, const std::optional<QUuid>& current) const;

    bool operator==(const EnsembleLink&) const = default;
};

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QUuid>

#include <optional>

// How the current ensemble changes by itself: never, once a day from a shuffled deck, or with
// the desktop's light and dark appearance.
struct EnsembleChanging
{
    enum class Mode { never, daily, appearance };

    Mode mode = Mode::never;
    std::optional<QUuid> lightEnsemble;
    std::optional<QUuid> darkEnsemble;
    QList<QUuid> deck; // the rest of the current daily round, next first
    std::optional<QDateTime> lastChange;
    std::optional<bool> setForDark; // the appearance last acted on; absent: not yet

    bool operator==(const EnsembleChanging&) const = default;

    static QString rawValue(Mode mode);
    static std::optional<Mode> modeFromRawValue(const QString& raw);

    QJsonObject toJson() const;
    static std::optional<EnsembleChanging> fromJson(const QJsonObject& object);
    QByteArray encode() const;
    // nullopt for anything but a well-formed record.
    static std::optional<EnsembleChanging> decode(const QByteArray& bytes);
};

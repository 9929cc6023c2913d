#pragma once

#include <QList>
#include <QString>

#include <optional>

// One of the three agents that do the product's visible work.
struct Part
{
    QString id;      // the part's identifier
    QString file;    // base name of the part's agent
    QString name;    // display name
    QString summary; // one-line description

    QString shortName() const { return file.toLower(); }

    bool operator==(const Part& other) const { return id == other.id; }

    // Live wallpaper, lock screen clock, taskbar: the order of every loop over parts.
    // Made on each call, so the summaries follow the desktop's words in use.
    static QList<Part> all();
    static std::optional<Part> withID(const QString& id);
    static std::optional<Part> withShortName(const QString& shortName);
};

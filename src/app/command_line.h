#pragma once

#include "core/part.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The control app's arguments. Options are whole arguments; an option's values are the arguments
// after it up to the next one that begins with "--". Links of the app's scheme may stand
// anywhere (the desktop passes them as arguments) and are never an option's value.
class CommandLine
{
public:
    // Without the program path.
    explicit CommandLine(QStringList arguments = {});

    bool has(const QString& option) const;
    QStringList values(const QString& option) const;
    std::optional<QString> value(const QString& option) const;
    QStringList links() const;
    // No arguments at all besides the program.
    bool isEmpty() const { return m_arguments.isEmpty(); }
    const QStringList& arguments() const { return m_arguments; }

    // The parts named among the option's values, in table order; unknown names are skipped.
    QList<Part> partsAfter(const QString& option) const;

    static QString helpText();

private:
    QStringList m_arguments;
};

#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QList>
#include <QSize>
#include <QString>
#include <QUuid>

#include <optional>

// The one-off mode of the drawing agents: draw a picture of the part for a screen size given on
// the command line, write it to a PNG file and exit, without starting the part.
class PictureCommand
{
public:
    struct Program
    {
        QString identifier;  // the part's identifier, so settings are read from its domain
        QString displayName; // for --help and --version
        QString description; // what the picture shows, for --help
        QList<QCommandLineOption> options; // the first one names the PNG file: "render"
        QSize smallest;      // the smallest screen the part can draw on
        QString example;     // a screen size to show in the message about a bad one
    };

    // Whether the arguments ask for a picture: any of the options (as "--name" or "--name=value")
    // before a lone "--".
    static bool asked(int argc, char* argv[], const QList<QCommandLineOption>& options);

    PictureCommand(int& argc, char* argv[], Program program);

    // Handles --help and --version (which exit); the screen size, or nullopt once the reason has
    // been printed.
    std::optional<QSize> parse();
    QString value(const QString& option) const { return m_parser.value(option); }
    bool isSet(const QString& option) const { return m_parser.isSet(option); }
    QString path() const { return m_parser.value(m_program.options.first()); }

    // Prints the message the way the agents report a refused command; the exit status to return.
    static int fail(const QString& message);

    // The first look whose id is `wanted` (as UUID text) or whose name is `wanted` in any case.
    template<typename Look>
    static const Look* find(const QList<Look>& looks, const QString& wanted)
    {
        const QUuid id = QUuid::fromString(wanted);
        for (const Look& look : looks)
            if ((!id.isNull() && look.id == id) || look.name.compare(wanted, Qt::CaseInsensitive) == 0)
                return &look;
        return nullptr;
    }

private:
    QGuiApplication m_app;
    Program m_program;
    QCommandLineParser m_parser;
};

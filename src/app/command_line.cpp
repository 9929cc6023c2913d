#include "app/command_line.h"

#include "app/ensemble_link.h"
#include "platform/desktop_words.h"

namespace {
bool isOption(const QString& argument)
{
    return argument.startsWith(QLatin1String("--"));
}
} // namespace

CommandLine::CommandLine(QStringList arguments)
    : m_arguments(std::move(arguments))
{
}

bool CommandLine::has(const QString& option) const
{
    return m_arguments.contains(option);
}

QStringList CommandLine::values(const QString& option) const
{
    QStringList result;
    const qsizetype at = m_arguments.indexOf(option);
    if (at < 0)
        return result;
    for (qsizetype i = at + 1; i < m_arguments.size() && !isOption(m_arguments[i]); ++i)
        if (!EnsembleLink::hasAppScheme(m_arguments[i]))
            result << m_arguments[i];
    return result;
}

std::optional<QString> CommandLine::value(const QString& option) const
{
    const QStringList all = values(option);
    return all.isEmpty() ? std::nullopt : std::optional(all.first());
}

QStringList CommandLine::links() const
{
    QStringList result;
    for (const QString& argument : m_arguments)
        if (EnsembleLink::hasAppScheme(argument))
            result << argument;
    return result;
}

QList<Part> CommandLine::partsAfter(const QString& option) const
{
    const QStringList names = values(option);
    QList<Part> parts;
    for (const Part& part : Part::all())
        if (names.contains(part.shortName()))
            parts << part;
    return parts;
}

QString CommandLine::helpText()
{
    return DesktopWords::current().fill(
        u"Usage: zentrove [options] [zentrove://ensemble/NAME | zentrove://next | zentrove://previous]\n"
        "\n"
        "Zentrove turns its parts on and off and keeps your wallpapers, ensembles, lock screen\n"
        "clock and taskbar. With a link it switches the ensemble and shows no window.\n"
        "\n"
        "Options:\n"
        "  --show NAME          open the window on a page (looks, settings, paneflow, vizavedid,\n"
        "                       taskbar; PAGE.DETAIL opens a detail), on a sheet (uninstall,\n"
        "                       feedback), or the {menuBar} item's menu (menu)\n"
        "  --snapshot FILE      1.5 seconds after showing, write the window as a PNG and exit\n"
        "  --setup [STEP]       show the first-run setup, from STEP if given\n"
        "  --check-updates      check for updates without a window, then quit\n"
        "  --eject PATH         eject the disk image at PATH\n"
        "  --enable PART...     turn parts on (paneflow, vizavedid, taskbar)\n"
        "  --disable PART...    turn parts off\n"
        "  --import FILE...     add videos and pictures to the library without a window; exits 0\n"
        "                       when every file was added\n"
        "  --help               show this help\n"
        "  --version            show the version\n");
}

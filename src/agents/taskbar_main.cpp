#include "agents/agent_main.h"
#include "agents/picture_command.h"
#include "agents/taskbar_agent.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"

#include <QSaveFile>

#include <memory>

namespace {

const QString displayName = QStringLiteral("Taskbar");

// The options of a one-off picture; the agent's own --help lists them too.
QList<QCommandLineOption> renderOptions()
{
    return {{QStringLiteral("render"),
             QStringLiteral("Write the bar over a sample screen of WIDTHxHEIGHT points (given after the options) to the PNG "
                            "file <path> and exit, without starting the part."),
             QStringLiteral("path")},
            {QStringLiteral("bar-style"),
             QStringLiteral("With --render: wear the bar style of this name or id instead of the current settings."),
             QStringLiteral("bar-style")}};
}

// zentrove-taskbar --render PATH WIDTHxHEIGHT [--bar-style NAME]: writes the bar over a sample screen
// to a PNG and exits, without starting the part.
int render(int argc, char* argv[])
{
    PictureCommand command(argc, argv, {Zentrove::taskbarID(), displayName, QStringLiteral("Draws the bar over a sample screen to a PNG picture."),
                                        renderOptions(), QSize(64, 64), QStringLiteral("1440x900")});
    const std::optional<QSize> size = command.parse();
    if (!size)
        return 1;

    // Read only: rendering writes, announces and seeds nothing.
    Defaults& domain = Defaults::standard();
    const std::optional<QByteArray> stored = domain.data(SettingsStore::settingsKey());
    TaskbarSettings settings = stored ? TaskbarSettings::decode(*stored).value_or(TaskbarSettings()) : TaskbarSettings();
    if (command.isSet(QStringLiteral("bar-style"))) {
        const QString wanted = command.value(QStringLiteral("bar-style"));
        const QList<Theme> styles = Themes::decode(domain.data(SettingsStore::themesKey()).value_or(QByteArray()))
            + Theme::builtIns();
        const Theme* found = PictureCommand::find(styles, wanted);
        if (!found)
            return PictureCommand::fail(QStringLiteral("no bar style named %1").arg(wanted));
        found->apply(settings);
    }

    const QImage picture = PreviewBar(settings).renderScreen(*size);
    QSaveFile file(command.path());
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        return PictureCommand::fail(QStringLiteral("could not write the bar picture to %1").arg(command.path()));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (PictureCommand::asked(argc, argv, renderOptions()))
        return render(argc, argv);
    return runAgent(argc, argv, {Zentrove::taskbarID(), displayName, [] { return std::make_unique<TaskbarAgent>(); }, renderOptions()});
}

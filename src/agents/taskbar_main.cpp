#include "agents/agent_main.h"
#include "agents/taskbar_agent.h"
#include "app/zentrove.h"
#include "build_info.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

#include <cstdio>
#include <cstring>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "Zentrove: %s\n", qPrintable(message));
    return 1;
}

// zentrove-taskbar --render PATH WIDTHxHEIGHT [--bar-style NAME]: writes the bar over a sample screen
// to a PNG and exits, without starting the part.
int render(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Taskbar"));
    QGuiApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    ProcessIdentity::set(Zentrove::taskbarID());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the bar over a sample screen to a PNG picture."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("render"), QStringLiteral("Write the bar to the PNG file <path>."), QStringLiteral("path")});
    parser.addOption({QStringLiteral("bar-style"), QStringLiteral("Wear the bar style of this name or id instead of the current settings."),
                      QStringLiteral("bar-style")});
    parser.addPositionalArgument(QStringLiteral("size"), QStringLiteral("The screen size in points, WIDTHxHEIGHT."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(positional.value(0));
    const int width = size.captured(1).toInt(), height = size.captured(2).toInt();
    if (positional.size() != 1 || !size.hasMatch() || width < 64 || height < 64 || width > 16384 || height > 16384)
        return fail(QStringLiteral("the screen size must be WIDTHxHEIGHT, for example 1440x900"));

    // Read only: rendering writes, announces and seeds nothing.
    Defaults& domain = Defaults::standard();
    const std::optional<QByteArray> stored = domain.data(SettingsStore::settingsKey());
    TaskbarSettings settings = stored ? TaskbarSettings::decode(*stored).value_or(TaskbarSettings()) : TaskbarSettings();
    if (parser.isSet(QStringLiteral("bar-style"))) {
        const QString wanted = parser.value(QStringLiteral("bar-style"));
        const QUuid id = QUuid::fromString(wanted);
        const QList<Theme> styles = Themes::decode(domain.data(SettingsStore::themesKey()).value_or(QByteArray()))
            + Theme::builtIns();
        const auto found = std::find_if(styles.cbegin(), styles.cend(), [&](const Theme& t) {
            return (!id.isNull() && t.id == id) || t.name.compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (found == styles.cend())
            return fail(QStringLiteral("no bar style named %1").arg(wanted));
        found->apply(settings);
    }

    const QImage picture = PreviewBar(settings).renderScreen(QSize(width, height));
    QSaveFile file(parser.value(QStringLiteral("render")));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        return fail(QStringLiteral("could not write the bar picture to %1").arg(parser.value(QStringLiteral("render"))));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--render") == 0 || std::strncmp(argv[i], "--render=", 9) == 0)
            return render(argc, argv);
    }
    return runAgent(argc, argv, {Zentrove::taskbarID(), QStringLiteral("Taskbar"), [] { return std::make_unique<TaskbarAgent>(); }});
}

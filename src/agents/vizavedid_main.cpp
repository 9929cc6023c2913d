#include "agents/agent_main.h"
#include "agents/vizavedid_agent.h"
#include "app/zentrove.h"
#include "brand/brand.h"
#include "build_info.h"
#include "clock/clock_snapshot.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "platform/process_identity.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>
#include <cstring>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "Zentrove: %s\n", qPrintable(message));
    return 1;
}

// The options of a one-off picture; the agent's own --help lists them too.
QList<QCommandLineOption> renderOptions()
{
    return {{QStringLiteral("render"),
             QStringLiteral("Write the clock for a screen of WIDTHxHEIGHT points (given after the options) to the PNG file "
                            "<path> and exit, without starting the part."),
             QStringLiteral("path")},
            {QStringLiteral("preset"), QStringLiteral("With --render: draw the preset of this name or id instead of the current style."),
             QStringLiteral("preset")},
            {QStringLiteral("at"), QStringLiteral("With --render: show this moment (ISO 8601, local time) instead of now."),
             QStringLiteral("date")}};
}

// Whether an argument is one of the picture options ("--name" or "--name=value").
bool isRenderOption(const char* argument)
{
    if (std::strncmp(argument, "--", 2) != 0)
        return false;
    const char* rest = argument + 2;
    for (const char* name : {"render", "preset", "at"}) {
        const size_t length = std::strlen(name);
        if (std::strncmp(rest, name, length) == 0 && (rest[length] == '\0' || rest[length] == '='))
            return true;
    }
    return false;
}

// zentrove-vizavedid --render PATH WIDTHxHEIGHT [--preset NAME] [--at DATE]: writes what the lock
// screen would show to a PNG and exits, without starting the part.
int render(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Lock Screen Clock"));
    QGuiApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    ProcessIdentity::set(Zentrove::vizaVedidID());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the lock screen clock to a PNG picture."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(renderOptions());
    parser.addPositionalArgument(QStringLiteral("size"), QStringLiteral("The screen size in points, WIDTHxHEIGHT."));
    parser.process(app);
    if (!parser.isSet(QStringLiteral("render")))
        return fail(QStringLiteral("--preset and --at go with --render PATH WIDTHxHEIGHT"));

    const QStringList positional = parser.positionalArguments();
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"))
                                             .match(positional.value(0));
    const int width = size.captured(1).toInt(), height = size.captured(2).toInt();
    if (positional.size() != 1 || !size.hasMatch() || width < 1 || height < 1 || width > 16384 || height > 16384)
        return fail(QStringLiteral("the screen size must be WIDTHxHEIGHT, for example 1512x982"));
    if (parser.isSet(QStringLiteral("at"))) {
        const QDateTime at = QDateTime::fromString(parser.value(QStringLiteral("at")), Qt::ISODate);
        if (!at.isValid())
            return fail(QStringLiteral("not a date: %1").arg(parser.value(QStringLiteral("at"))));
        ClockView::frozen() = at;
    }

    Brand::registerFonts();
    const StyleStore& store = StyleStore::shared();
    ClockStyle style = store.style();
    if (parser.isSet(QStringLiteral("preset"))) {
        const QString wanted = parser.value(QStringLiteral("preset"));
        const QUuid id = QUuid::fromString(wanted);
        const auto found = std::find_if(store.customPresets().cbegin(), store.customPresets().cend(), [&](const NamedStyle& p) {
            return (!id.isNull() && p.id == id) || p.name.compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (found == store.customPresets().cend())
            return fail(QStringLiteral("no clock preset named %1").arg(wanted));
        style = found->style;
    }
    const QImage picture = ClockSnapshot::render(style, QSize(width, height), ClockView::currentDate(), ClockSnapshot::background(store));
    return ClockSnapshot::writePng(picture, parser.value(QStringLiteral("render"))) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (isRenderOption(argv[i]))
            return render(argc, argv);
    }
    return runAgent(argc, argv, {Zentrove::vizaVedidID(), QStringLiteral("Lock Screen Clock"),
                                 [] { return std::make_unique<VizaVedidAgent>(); }, renderOptions()});
}

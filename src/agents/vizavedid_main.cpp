#include "agents/agent_main.h"
#include "agents/picture_command.h"
#include "agents/vizavedid_agent.h"
#include "brand/brand.h"
#include "clock/clock_snapshot.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "core/zentrove.h"

#include <memory>

namespace {

const QString displayName = QStringLiteral("Lock Screen Clock");

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

// zentrove-vizavedid --render PATH WIDTHxHEIGHT [--preset NAME] [--at DATE]: writes what the lock
// screen would show to a PNG and exits, without starting the part.
int render(int argc, char* argv[])
{
    PictureCommand command(argc, argv, {Zentrove::vizaVedidID(), displayName, QStringLiteral("Draws the lock screen clock to a PNG picture."),
                                        renderOptions(), QSize(1, 1), QStringLiteral("1512x982")});
    const std::optional<QSize> size = command.parse();
    if (!size)
        return 1;
    if (command.isSet(QStringLiteral("at"))) {
        const QDateTime at = QDateTime::fromString(command.value(QStringLiteral("at")), Qt::ISODate);
        if (!at.isValid())
            return PictureCommand::fail(QStringLiteral("not a date: %1").arg(command.value(QStringLiteral("at"))));
        ClockView::frozen() = at;
    }

    Brand::registerFonts();
    const StyleStore& store = StyleStore::shared();
    ClockStyle style = store.style();
    if (command.isSet(QStringLiteral("preset"))) {
        const QString wanted = command.value(QStringLiteral("preset"));
        const NamedStyle* found = PictureCommand::find(store.customPresets(), wanted);
        if (!found)
            return PictureCommand::fail(QStringLiteral("no clock preset named %1").arg(wanted));
        style = found->style;
    }
    const QImage picture = ClockSnapshot::render(style, *size, ClockView::currentDate(), ClockSnapshot::background(store));
    return ClockSnapshot::writePng(picture, command.path()) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (PictureCommand::asked(argc, argv, renderOptions()))
        return render(argc, argv);
    return runAgent(argc, argv, {Zentrove::vizaVedidID(), displayName, [] { return std::make_unique<VizaVedidAgent>(); }, renderOptions()});
}

#include "agents/vizavedid_agent.h"

#include "brand/brand.h"
#include "clock/clock_snapshot.h"
#include "clock/clock_view.h"
#include "clock/desktop_clock.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "looks/look_receiver.h"
#include "platform/desktop_layer.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcClockAgent, "zentrove.agent.vizavedid")

VizaVedidAgent::VizaVedidAgent(QObject* parent)
    : PartAgent(Zentrove::vizaVedidID(), QStringLiteral("Lock Screen Clock"), QStringLiteral("Zentrove: "), parent)
{
}

VizaVedidAgent::~VizaVedidAgent() = default;

void VizaVedidAgent::startWork()
{
    Brand::registerFonts();
    StyleStore& store = StyleStore::shared();
    m_looks = std::make_unique<LookReceiver>([this, &store](const LookRequest& request) {
        if (!request.clockPreset)
            return;
        for (const NamedStyle& preset : store.customPresets()) {
            if (preset.id == *request.clockPreset) {
                qCInfo(lcClockAgent).noquote() << logPrefix() << "showing the preset" << preset.name;
                store.applyPreset(preset);
                return;
            }
        }
    });
    // The clock follows the stored style; each new style is drawn once.
    connect(&store, &StyleStore::styleChanged, this, &VizaVedidAgent::drawClock);
    drawClock();
    // The clock on the desktop needs a desktop layer (not an offscreen or Wayland session).
    if (DesktopLayer& layer = DesktopLayer::system(); layer.available())
        m_desktop = std::make_unique<DesktopClock>(store, layer);
    else
        qCInfo(lcClockAgent).noquote() << logPrefix() << "no desktop layer: the clock is not shown on the desktop";
}

void VizaVedidAgent::stopWork()
{
    m_desktop.reset();
    m_looks.reset();
}

void VizaVedidAgent::drawClock()
{
    qCInfo(lcClockAgent).noquote() << logPrefix() << "drawing the clock";
    const QString path = qEnvironmentVariable("ZENTROVE_CLOCK_PICTURE");
    if (path.isEmpty())
        return;
    const StyleStore& store = StyleStore::shared();
    ClockSnapshot::writePng(ClockSnapshot::render(store.style(), QSize(756, 491), ClockView::currentDate(), ClockSnapshot::background(store)),
                            path);
}

#include "agents/paneflow_agent.h"

#include "app/zentrove.h"
#include "brand/brand_accent.h"
#include "library/ensemble_automation.h"
#include "library/library_store.h"
#include "looks/ensemble_theme.h"
#include "platform/appearance.h"
#include "platform/defaults.h"

PaneflowAgent::PaneflowAgent(QObject* parent)
    : PartAgent(Zentrove::paneflowID(), QStringLiteral("Live Wallpaper"), QStringLiteral("Paneflow: "), parent)
{
    // The live wallpaper decides the accent of the whole product.
    BrandAccent::followWallpapers();
}

PaneflowAgent::~PaneflowAgent() = default;

void PaneflowAgent::startWork()
{
    m_library = std::make_unique<LibraryStore>(settings().name(), true);
    m_appearance = std::make_unique<Appearance>();
    m_automation = std::make_unique<EnsembleAutomation>(*m_library, m_appearance.get());
    // This process is the part: choices made here go through the notice the automation answers.
    EnsembleTheme::setPartRunningCheck([] { return true; });
}

void PaneflowAgent::stopWork()
{
    m_automation.reset();
    m_appearance.reset();
    m_library.reset();
}

#include "agents/paneflow_agent.h"

#include "app/zentrove.h"
#include "brand/brand_accent.h"

PaneflowAgent::PaneflowAgent(QObject* parent)
    : PartAgent(Zentrove::paneflowID(), QStringLiteral("Live Wallpaper"), QStringLiteral("Paneflow: "), parent)
{
    // The live wallpaper decides the accent of the whole product.
    BrandAccent::followWallpapers();
}

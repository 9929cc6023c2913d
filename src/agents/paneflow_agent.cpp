#include "agents/paneflow_agent.h"

#include "app/zentrove.h"

PaneflowAgent::PaneflowAgent(QObject* parent)
    : PartAgent(Zentrove::paneflowID(), QStringLiteral("Live Wallpaper"), QStringLiteral("Paneflow: "), parent)
{
}

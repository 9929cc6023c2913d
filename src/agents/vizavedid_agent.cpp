#include "agents/vizavedid_agent.h"

#include "app/zentrove.h"

VizaVedidAgent::VizaVedidAgent(QObject* parent)
    : PartAgent(Zentrove::vizaVedidID(), QStringLiteral("Lock Screen Clock"), QStringLiteral("Zentrove: "), parent)
{
}

#include "agents/agent_main.h"
#include "agents/vizavedid_agent.h"
#include "app/zentrove.h"

int main(int argc, char* argv[])
{
    return runAgent(argc, argv, {Zentrove::vizaVedidID(), QStringLiteral("Lock Screen Clock"), [] { return std::make_unique<VizaVedidAgent>(); }});
}

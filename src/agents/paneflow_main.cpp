#include "agents/agent_main.h"
#include "agents/paneflow_agent.h"
#include "core/zentrove.h"

int main(int argc, char* argv[])
{
    return runAgent(argc, argv, {Zentrove::paneflowID(), QStringLiteral("Live Wallpaper"), [] { return std::make_unique<PaneflowAgent>(); }});
}

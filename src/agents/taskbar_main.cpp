#include "agents/agent_main.h"
#include "agents/taskbar_agent.h"
#include "app/zentrove.h"

int main(int argc, char* argv[])
{
    return runAgent(argc, argv, {Zentrove::taskbarID(), QStringLiteral("Taskbar"), [] { return std::make_unique<TaskbarAgent>(); }});
}

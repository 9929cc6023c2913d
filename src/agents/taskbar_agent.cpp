#include "agents/taskbar_agent.h"

#include "app/zentrove.h"

TaskbarAgent::TaskbarAgent(QObject* parent)
    : PartAgent(Zentrove::taskbarID(), QStringLiteral("Taskbar"), QStringLiteral("Zentrove: "), parent)
{
}

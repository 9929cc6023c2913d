#pragma once

#include "agents/part_agent.h"

// The taskbar part's agent. Its work is added by overriding PartAgent's startWork(),
// reload() and stopWork().
class TaskbarAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit TaskbarAgent(QObject* parent = nullptr);
};

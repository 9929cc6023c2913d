#pragma once

#include "agents/part_agent.h"

// The live wallpaper part's agent. Its work is added by overriding PartAgent's startWork(),
// reload() and stopWork().
class PaneflowAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit PaneflowAgent(QObject* parent = nullptr);
};

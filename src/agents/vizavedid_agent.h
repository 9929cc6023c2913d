#pragma once

#include "agents/part_agent.h"

// The lock screen clock part's agent. Its work is added by overriding PartAgent's startWork(),
// reload() and stopWork().
class VizaVedidAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit VizaVedidAgent(QObject* parent = nullptr);
};

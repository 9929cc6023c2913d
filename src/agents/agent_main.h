#pragma once

#include "agents/part_agent.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// The whole main() of a part agent: options, identity, start, event loop.
struct AgentProgram
{
    QString identifier;  // the part's identifier, also its bus name and settings domain
    QString displayName; // for --help and --version
    std::function<std::unique_ptr<PartAgent>()> make;
    // Options the program handles before the agent starts; listed by --help with the others.
    QList<QCommandLineOption> extraOptions = {};
};

int runAgent(int argc, char* argv[], const AgentProgram& program);

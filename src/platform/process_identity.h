#pragma once

#include <QString>

// Which identifier this process runs as: the control app, one of the parts, or none. A process
// sets it once at start; settings notices carry it so a process can recognise its own posts.
class ProcessIdentity
{
public:
    static QString current(); // empty when the process has none
    static void set(const QString& identifier);
};

#pragma once

#include "agents/part_agent.h"

#include <memory>

class Appearance;
class EnsembleAutomation;
class LibraryStore;

// The live wallpaper part's agent: runs the library store in engine mode and the automatic
// ensemble changes.
class PaneflowAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit PaneflowAgent(QObject* parent = nullptr);
    ~PaneflowAgent() override;

    LibraryStore* library() const { return m_library.get(); }

protected:
    void startWork() override;
    void stopWork() override;

private:
    std::unique_ptr<LibraryStore> m_library;
    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<EnsembleAutomation> m_automation;
};

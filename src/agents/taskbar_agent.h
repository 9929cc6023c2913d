#pragma once

#include "agents/part_agent.h"

#include <memory>

class LookReceiver;
class SettingsStore;

// The taskbar part's agent: it keeps the bar's settings (SettingsStore), wears the bar style of
// every newer look an ensemble asks for, answers the control app's commands and publishes what
// it is allowed to do on this platform.
class TaskbarAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit TaskbarAgent(QObject* parent = nullptr);
    ~TaskbarAgent() override;

    // Whether the control app asked the bar to stay shown (while its taskbar page is open).
    bool heldOpen() const { return m_heldOpen; }

protected:
    void startWork() override;

private:
    void applyLook(SettingsStore& store, const QUuid& themeID);
    void answer(const QString& command);

    std::unique_ptr<LookReceiver> m_looks;
    bool m_heldOpen = false;
};

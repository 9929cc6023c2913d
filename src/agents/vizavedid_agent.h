#pragma once

#include "agents/part_agent.h"

#include <memory>

class DesktopClock;
class LookReceiver;

// The lock screen clock part's agent: it keeps the clock's styles (StyleStore) and switches to the
// preset of every newer look an ensemble asks for.
class VizaVedidAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit VizaVedidAgent(QObject* parent = nullptr);
    ~VizaVedidAgent() override;

protected:
    void startWork() override;
    void stopWork() override;

private:
    // Draws the clock of the current style (a picture of it when ZENTROVE_CLOCK_PICTURE names a file).
    void drawClock();

    std::unique_ptr<LookReceiver> m_looks;
    std::unique_ptr<DesktopClock> m_desktop;
};

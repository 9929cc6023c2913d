#pragma once

#include "app/setup_service.h"

// The setup's steps by name: "--setup changes" makes the next setup sheet open on the changes step.
class SetupStart : public SetupService
{
public:
    bool isStep(const QString& name) const override;
    void startAt(const QString& step) override;
    std::optional<SetupStep> firstStep() const override { return m_first; }

private:
    std::optional<SetupStep> m_first;
};

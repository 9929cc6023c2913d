#pragma once

#include "app/updates_service.h"

#include <memory>

class Updates;

// The updates of this build: the platform's updater behind the Updates wrapper, made at launch.
class FeedUpdatesService : public UpdatesService
{
    Q_OBJECT
public:
    explicit FeedUpdatesService(std::unique_ptr<Updater> updater, QObject* parent = nullptr);
    ~FeedUpdatesService() override;

    void begin(bool checkOnly, std::function<void()> runEnded) override;
    void checkNow() override;
    bool canCheck() const override;
    bool isChecking() const override;
    bool sessionInProgress() const override;
    bool automaticallyChecks() const override;
    void setAutomaticallyChecks(bool on) override;
    std::optional<QDateTime> lastCheck() const override;
    bool fromPackageManager() const override;
    void setPresenter(Updater::Presenter presenter) override;

private:
    std::unique_ptr<Updater> m_updater;
    Updates* m_updates = nullptr;
};

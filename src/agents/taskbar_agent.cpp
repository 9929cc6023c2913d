#include "agents/taskbar_agent.h"

#include "core/notices.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "looks/look_receiver.h"
#include "taskbar/settings_store.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTaskbarAgent, "zentrove.agent.taskbar")

TaskbarAgent::TaskbarAgent(QObject* parent)
    : PartAgent(Zentrove::taskbarID(), QStringLiteral("Taskbar"), QStringLiteral("Zentrove: "), parent)
{
}

TaskbarAgent::~TaskbarAgent() = default;

void TaskbarAgent::startWork()
{
    SettingsStore& store = SettingsStore::shared();

    // A Linux desktop asks no per-app consent for controlling windows, reading folders or seeing
    // the screen: the part may do what its user may, so nothing is withheld.
    store.reportTrusted(true);
    store.reportFullDiskAccess(true);
    store.reportScreenRecording(true);

    m_looks = std::make_unique<LookReceiver>([this, &store](const LookRequest& request) {
        if (request.taskbarTheme)
            applyLook(store, *request.taskbarTheme);
    });

    for (const QString& command : {TaskbarCommands::askScreenRecording(), TaskbarCommands::askAccessibility(),
                                   TaskbarCommands::holdOpen(), TaskbarCommands::releaseHold()})
        keep(SettingsSync::onCommand(command, identifier(), [this, command] { answer(command); }));
}

void TaskbarAgent::applyLook(SettingsStore& store, const QUuid& themeID)
{
    for (const Theme& theme : store.themes()) {
        if (theme.id == themeID) {
            qCInfo(lcTaskbarAgent).noquote() << logPrefix() << "wearing the bar style" << theme.name;
            store.applyTheme(theme);
            return;
        }
    }
    qCInfo(lcTaskbarAgent).noquote() << logPrefix() << "no bar style with id" << themeID.toString(QUuid::WithoutBraces);
}

void TaskbarAgent::answer(const QString& command)
{
    if (command == TaskbarCommands::holdOpen())
        m_heldOpen = true;
    else if (command == TaskbarCommands::releaseHold())
        m_heldOpen = false;
    // Permission requests have nothing to ask here; the reports above already say so.
    qCInfo(lcTaskbarAgent).noquote() << logPrefix() << "command" << command << (m_heldOpen ? "(held open)" : "");
}

#include "core/show_settings.h"

#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/notifier.h"
#include "platform/workspace.h"

void Zentrove::showSettings(const QString& page, Workspace& workspace)
{
    workspace.openApplication(Bundle::appExecutable(), {QStringLiteral("--show"), page},
                              [page](bool) { Notifier::post(Zentrove::showNotification(), page); });
}

#include "app/uninstall_sequence.h"

#include "app/parts_model.h"
#include "core/zentrove.h"
#include "platform/app_image.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "platform/paths.h"
#include "platform/workspace.h"
#include "services/install.h"

#include <QPointer>
#include <QTimer>

UninstallSequence::Target UninstallSequence::Target::running()
{
    return {AppImage::current(), Install::fromPackageManager()};
}

UninstallSequence::UninstallSequence(PartsModel& model, Workspace& workspace, Target target, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_workspace(workspace)
    , m_target(std::move(target))
{
}

QString UninstallSequence::trashFailureText()
{
    return DesktopWords::current().fill(
        u"Everything is off and given back, but {systemName} didn't let Zentrove move itself to the Trash. That happens when "
        u"another account on this {computer} installed it. Click Quit and Show in {fileManager}, then drag Zentrove to the "
        u"Trash. {systemName} may ask for your password.");
}

QString UninstallSequence::trashFailureButton()
{
    return DesktopWords::current().fill(u"Quit and Show in {fileManager}");
}

QString UninstallSequence::packageText()
{
    return QStringLiteral("Everything is off and given back. Zentrove was installed by the package manager, so remove it "
                          "there: run “sudo apt remove zentrove” in a terminal, or use your software centre.");
}

void UninstallSequence::setStep(const QString& text)
{
    m_step = text;
    emit stepChanged();
}

void UninstallSequence::start(bool trashLibrary)
{
    if (m_step)
        return;
    setStep(QStringLiteral("Turning the parts off…"));
    QPointer<UninstallSequence> self(this);
    m_model.turnAllOff([self, trashLibrary] {
        if (!self)
            return;
        self->bringDockBack();
        self->moveToTrash(trashLibrary);
    });
}

void UninstallSequence::bringDockBack()
{
    setStep(DesktopWords::current().fill(u"Bringing the {dock} back…"));
    // The desktop's own dock or panel shows again once no taskbar agent runs; one that did not
    // quit when asked is asked once more.
    for (const RunningApplication& taskbar : m_workspace.runningApplications(Zentrove::taskbarID()))
        m_workspace.terminate(taskbar);
}

void UninstallSequence::moveToTrash(bool trashLibrary)
{
    setStep(QStringLiteral("Moving to the Trash…"));
    // A library that could not be trashed stays usable: its keys go only with it.
    if (trashLibrary && Install::trash(Install::library()))
        Install::forgetLibrary(Defaults::domain(Zentrove::paneflowID()));
    Install::forgetSetup(Defaults::standard());
    Install::removeRegistrations(Paths::configHome(), Paths::applicationSupport());
    if (m_target.packaged)
        finish(Outcome::packaged);
    else if (m_target.appImage && Install::trash(*m_target.appImage))
        finish(Outcome::done);
    else
        finish(Outcome::trashFailed);
}

void UninstallSequence::finish(Outcome outcome)
{
    m_outcome = outcome;
    m_step.reset();
    emit stepChanged();
    emit finished(outcome);
}

#include "platform/launcher.h"

#include "platform/bundle.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

class KickstartLauncher final : public Launcher
{
public:
    void start(const QString& identifier, std::function<void(const Outcome&)> done) override
    {
        const QString program = Bundle::agentExecutable(identifier);
        auto* process = new QProcess(QCoreApplication::instance());
        process->setProgram(program);
        process->setArguments({QStringLiteral("--kickstart")});
        process->setStandardInputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        auto finish = [process, done](const Outcome& outcome) {
            process->disconnect();
            process->deleteLater();
            if (done)
                done(outcome);
        };
        QObject::connect(process, &QProcess::finished, process, [process, finish](int exitCode, QProcess::ExitStatus status) {
            if (status == QProcess::CrashExit)
                finish({Outcome::Kind::couldNotLaunch, 0, QStringLiteral("The part crashed while starting.")});
            else if (exitCode != 0)
                finish({Outcome::Kind::exited, exitCode, {}});
            else
                finish({Outcome::Kind::started, 0, {}});
        });
        QObject::connect(process, &QProcess::errorOccurred, process, [process, finish](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finish({Outcome::Kind::couldNotLaunch, 0, process->errorString()});
        });
        process->start();
    }
};

} // namespace

std::unique_ptr<Launcher> Launcher::makeSystem()
{
    return std::make_unique<KickstartLauncher>();
}

#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class PartsModel;
class Workspace;

// Uninstalling, one step after the other: every part off (the wallpaper given back), the taskbar
// certainly gone so the desktop's own dock or panel shows, then the app's traces and the app
// itself into the trash. Errors before the last step are ignored; only the final trash can fail.
class UninstallSequence : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { running, done, trashFailed, packaged };

    // What is being uninstalled: the app image file (none when not run from one) and whether the
    // package manager installed the app.
    struct Target
    {
        std::optional<QString> appImage;
        bool packaged = false;
        static Target running();
    };

    UninstallSequence(PartsModel& model, Workspace& workspace, Target target, QObject* parent = nullptr);

    void start(bool trashLibrary);
    // The step being done, for the sheet's progress line.
    std::optional<QString> step() const { return m_step; }
    Outcome outcome() const { return m_outcome; }
    const Target& target() const { return m_target; }

    // The texts when the app could not remove itself.
    static QString trashFailureText();
    static QString trashFailureButton();
    static QString packageText();

signals:
    void stepChanged();
    void finished(UninstallSequence::Outcome outcome);

private:
    void setStep(const QString& text);
    void bringDockBack();
    void moveToTrash(bool trashLibrary);
    void finish(Outcome outcome);

    PartsModel& m_model;
    Workspace& m_workspace;
    Target m_target;
    std::optional<QString> m_step;
    Outcome m_outcome = Outcome::running;
};

#pragma once

#include "app/uninstall_sequence.h"

#include <QWidget>

#include <functional>
#include <optional>

class PartsModel;
class QFrame;
class QLabel;
class QPushButton;
class ToggleSwitch;
class Workspace;

// Confirms uninstalling, says what goes and what stays, runs the steps and, when the app could
// not remove itself, says how to finish by hand.
class UninstallSheet : public QWidget
{
    Q_OBJECT
public:
    UninstallSheet(PartsModel& model, Workspace& workspace, UninstallSequence::Target target, std::function<void()> close,
                   std::function<void()> quit, QWidget* parent = nullptr);

    UninstallSequence& sequence() const { return *m_sequence; }
    ToggleSwitch* libraryToggle() const { return m_trashLibrary; }
    QLabel* libraryDetail() const { return m_libraryDetail; }
    QWidget* clockNote() const { return m_clockNote; }
    QLabel* progressLine() const { return m_progress; }
    QFrame* lastStepBox() const { return m_lastStep; }
    QLabel* lastStepText() const { return m_lastStepText; }
    QPushButton* lastStepButton() const { return m_lastStepButton; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* uninstallButton() const { return m_uninstall; }
    std::optional<qint64> librarySize() const { return m_librarySize; }

    // The library's size as the detail text says it.
    static QString libraryDetailText(std::optional<qint64> size);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void measureLibrary();
    void finished(UninstallSequence::Outcome outcome);
    void sync();

    PartsModel& m_model;
    Workspace& m_workspace;
    std::function<void()> m_close;
    std::function<void()> m_quit;
    UninstallSequence* m_sequence = nullptr;
    std::optional<qint64> m_librarySize;
    bool m_measuring = false;

    ToggleSwitch* m_trashLibrary = nullptr;
    QLabel* m_libraryDetail = nullptr;
    QWidget* m_clockNote = nullptr;
    QLabel* m_progress = nullptr;
    QFrame* m_lastStep = nullptr;
    QLabel* m_lastStepText = nullptr;
    QPushButton* m_lastStepButton = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_uninstall = nullptr;
};

#pragma once

#include <QMap>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class SetupModel;
class ToggleSwitch;

// The setup's second step: one switch per part, with what turning it on will do, and the note
// about the system's own lock screen clock while the clock is chosen.
class SetupChangesStep : public QWidget
{
    Q_OBJECT
public:
    explicit SetupChangesStep(SetupModel& model, QWidget* parent = nullptr);

    // By part id.
    ToggleSwitch* toggle(const QString& partID) const { return m_toggles.value(partID); }
    QLabel* detail(const QString& partID) const { return m_details.value(partID); }
    QFrame* clockNote() const { return m_note; }
    QPushButton* clockIsOffButton() const { return m_itsOff; }

private:
    void refresh();

    SetupModel& m_model;
    QMap<QString, ToggleSwitch*> m_toggles;
    QMap<QString, QLabel*> m_details;
    QFrame* m_note;
    QPushButton* m_itsOff;
};

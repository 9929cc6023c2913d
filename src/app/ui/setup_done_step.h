#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;
class SetupModel;

// The setup's last step: whether everything started (checked a while after it is shown), what to
// do about a part that did not, and the lock screen's progress while the wallpaper part is on.
class SetupDoneStep : public QWidget
{
    Q_OBJECT
public:
    explicit SetupDoneStep(SetupModel& model, QWidget* parent = nullptr);

    QLabel* headline() const { return m_headline; }
    QLabel* text() const { return m_text; }
    QWidget* lateList() const { return m_late; }
    QPushButton* tryAgainButton() const { return m_tryAgain; }
    QLabel* progress() const { return m_progress; }
    QFrame* lockScreenNote() const { return m_lockNote; }

private:
    void refresh();

    SetupModel& m_model;
    QLabel* m_headline;
    QLabel* m_text;
    QWidget* m_late;
    QVBoxLayout* m_lateRows;
    QPushButton* m_tryAgain;
    QLabel* m_progress;
    QFrame* m_lockNote;
};

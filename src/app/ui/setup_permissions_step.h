#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QWidget;
class SetupModel;

// The setup's taskbar step: the two optional permissions, each allowed or with a button to the
// settings that grant it, once the taskbar runs; until then whether it is starting or late.
class SetupPermissionsStep : public QWidget
{
    Q_OBJECT
public:
    explicit SetupPermissionsStep(SetupModel& model, QWidget* parent = nullptr);

    QWidget* rows() const { return m_rows; }
    QLabel* stateLine() const { return m_state; }
    QPushButton* tryAgainButton() const { return m_tryAgain; }
    QPushButton* accessibilityButton() const { return m_accessButton; }
    QPushButton* fullDiskButton() const { return m_diskButton; }
    QLabel* accessibilityAllowed() const { return m_accessAllowed; }
    QLabel* fullDiskAllowed() const { return m_diskAllowed; }

private:
    void refresh();

    SetupModel& m_model;
    QWidget* m_rows;
    QWidget* m_waiting;
    QLabel* m_state;
    QLabel* m_stateDetail;
    QPushButton* m_tryAgain;
    QPushButton* m_accessButton = nullptr;
    QPushButton* m_diskButton = nullptr;
    QLabel* m_accessAllowed = nullptr;
    QLabel* m_diskAllowed = nullptr;
};

#pragma once

#include <QWidget>

class MenuBarService;
class Navigation;
class PartRow;
class PartsModel;
class QLabel;
class QPushButton;
class ToggleSwitch;
class UpdatesService;

// Settings: what runs (the three parts and the menu bar item), updates, and uninstalling.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    SettingsPage(PartsModel& model, Navigation& nav, UpdatesService& updates, MenuBarService& menuBar, QWidget* parent = nullptr);

    QList<PartRow*> partRows() const { return m_rows; }
    QLabel* errorLine() const { return m_error; }
    ToggleSwitch* menuBarToggle() const { return m_menuBar; }
    ToggleSwitch* automaticUpdatesToggle() const { return m_autoUpdates; }
    QPushButton* checkNowButton() const { return m_checkNow; }
    QLabel* automaticUpdatesDetail() const { return m_autoUpdatesDetail; }
    QPushButton* uninstallButton() const { return m_uninstall; }

private:
    void syncError();
    void syncUpdates();

    PartsModel& m_model;
    UpdatesService& m_updates;
    QList<PartRow*> m_rows;
    QLabel* m_error = nullptr;
    ToggleSwitch* m_menuBar = nullptr;
    ToggleSwitch* m_autoUpdates = nullptr;
    QLabel* m_autoUpdatesDetail = nullptr;
    QLabel* m_lastChecked = nullptr;
    QPushButton* m_checkNow = nullptr;
    QPushButton* m_uninstall = nullptr;
};

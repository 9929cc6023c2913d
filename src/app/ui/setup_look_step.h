#pragma once

#include <QMap>
#include <QUuid>
#include <QWidget>

class LookPreview;
class QPushButton;
class QVBoxLayout;
class SettingsStore;
class SetupModel;
class StyleStore;

// The setup's first step: the library's ensembles to pick from, the shipped ones with three lines
// about their wallpaper, clock and bar, and the picked one previewed on the desktop or the lock
// screen.
class SetupLookStep : public QWidget
{
    Q_OBJECT
public:
    // The stores give the preview its clock and bar; either may be missing.
    SetupLookStep(SetupModel& model, StyleStore* clocks, SettingsStore* taskbar, QWidget* parent = nullptr);

    LookPreview* preview() const { return m_preview; }
    // The row of each choice, by ensemble.
    QPushButton* choiceButton(const QUuid& id) const { return m_rows.value(id); }
    QPushButton* desktopButton() const { return m_desktop; }
    QPushButton* lockScreenButton() const { return m_lockScreen; }

private:
    void rebuildChoices();
    void refresh();
    QPushButton* makeRow(const QUuid& id);

    SetupModel& m_model;
    StyleStore* m_clocks;
    SettingsStore* m_taskbar;
    LookPreview* m_preview;
    QPushButton* m_desktop;
    QPushButton* m_lockScreen;
    QVBoxLayout* m_list;
    QMap<QUuid, QPushButton*> m_rows;
    QList<QUuid> m_shownIDs;
};

#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;
class SettingsStore;
class SetupChangesStep;
class SetupDoneStep;
class SetupLookStep;
class SetupModel;
class SetupPermissionsStep;
class StyleStore;
struct ViewContext;

// The first-run setup as a sheet: the step counter, the step shown, and the buttons that move
// between the steps or leave.
class SetupSheet : public QWidget
{
    Q_OBJECT
public:
    // Takes the model as its child.
    SetupSheet(SetupModel* model, StyleStore* clocks, SettingsStore* taskbar, QWidget* parent = nullptr);

    // The sheet over the app's stores and parts; `close` lowers the sheet's flag.
    static QWidget* make(const ViewContext& context, std::function<void()> close, QWidget* parent);

    SetupModel& model() const { return *m_model; }
    QLabel* counter() const { return m_counter; }
    // "Not now" on the first step, "Back" later.
    QPushButton* leftButton() const { return m_left; }
    // "Continue", or "Done" on the last step.
    QPushButton* rightButton() const { return m_right; }
    SetupLookStep* lookStep() const { return m_look; }
    SetupChangesStep* changesStep() const { return m_changes; }
    SetupPermissionsStep* permissionsStep() const { return m_permissions; }
    SetupDoneStep* doneStep() const { return m_done; }

private:
    void syncStep();

    SetupModel* m_model;
    QLabel* m_counter;
    QStackedWidget* m_stack;
    SetupLookStep* m_look;
    SetupChangesStep* m_changes;
    SetupPermissionsStep* m_permissions;
    SetupDoneStep* m_done;
    QPushButton* m_left;
    QPushButton* m_right;
};

#pragma once

#include "core/part.h"

#include <QWidget>

class Navigation;
class PartStatusView;
class PartsModel;
class QPushButton;
class ToggleSwitch;

// One part on the Settings page: icon, name, summary, status line, "Open" and the on/off switch.
class PartRow : public QWidget
{
    Q_OBJECT
public:
    PartRow(Part part, PartsModel& model, Navigation& nav, QWidget* parent = nullptr);

    const Part& part() const { return m_part; }
    ToggleSwitch* toggle() const { return m_toggle; }
    QPushButton* openButton() const { return m_open; }
    PartStatusView* status() const { return m_status; }

private:
    void sync();

    Part m_part;
    PartsModel& m_model;
    PartStatusView* m_status;
    QPushButton* m_open;
    ToggleSwitch* m_toggle;
};

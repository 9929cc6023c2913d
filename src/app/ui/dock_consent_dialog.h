#pragma once

#include <QMessageBox>

class PartsModel;

// "Hide the Dock?": asked before the taskbar is first turned on. "Hide the Dock" records the
// consent and turns the taskbar on; "Cancel" changes nothing.
class DockConsentDialog : public QMessageBox
{
    Q_OBJECT
public:
    DockConsentDialog(PartsModel& model, QWidget* parent = nullptr);

    QAbstractButton* hideButton() const { return m_hide; }
    QAbstractButton* cancelButton() const { return m_cancel; }

private:
    QAbstractButton* m_hide;
    QAbstractButton* m_cancel;
};

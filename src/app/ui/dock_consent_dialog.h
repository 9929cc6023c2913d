#pragma once

#include <QDialog>

class PartsModel;
class QAbstractButton;
class QLabel;

// "Hide the Dock?": asked before the taskbar is first turned on. "Hide the Dock" records the
// consent and turns the taskbar on; "Cancel" (or Escape) changes nothing. Drawn by the window's
// sheet host inside the window, like the sheets.
class DockConsentDialog : public QDialog
{
    Q_OBJECT
public:
    DockConsentDialog(PartsModel& model, QWidget* parent = nullptr);

    QString text() const;
    QString informativeText() const;
    QAbstractButton* hideButton() const { return m_hide; }
    QAbstractButton* cancelButton() const { return m_cancel; }

private:
    QLabel* m_title;
    QLabel* m_text;
    QAbstractButton* m_hide;
    QAbstractButton* m_cancel;
};

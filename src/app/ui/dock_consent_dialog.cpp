#include "app/ui/dock_consent_dialog.h"

#include "app/parts_model.h"

#include <QPushButton>

DockConsentDialog::DockConsentDialog(PartsModel& model, QWidget* parent)
    : QMessageBox(parent)
{
    setWindowTitle(QStringLiteral("Hide the Dock?"));
    setText(QStringLiteral("Hide the Dock?"));
    setInformativeText(QStringLiteral("Taskbar hides the Dock while it runs. Turn Taskbar off and the Dock comes back with your own settings."));
    setIcon(QMessageBox::Question);
    m_hide = addButton(QStringLiteral("Hide the Dock"), QMessageBox::AcceptRole);
    m_cancel = addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    setDefaultButton(static_cast<QPushButton*>(m_hide));
    setEscapeButton(m_cancel);
    setWindowModality(Qt::WindowModal);
    // The question is asked while the flag is up; closing it in any way lowers the flag.
    connect(this, &QMessageBox::finished, this, [this, &model] {
        model.setAskDockConsent(false);
        if (clickedButton() == m_hide)
            model.acceptDockConsent();
    });
}

#include "app/ui/dock_consent_dialog.h"

#include "app/parts_model.h"
#include "platform/desktop_words.h"

#include <QPushButton>

DockConsentDialog::DockConsentDialog(PartsModel& model, QWidget* parent)
    : QMessageBox(parent)
{
    const DesktopWords& words = DesktopWords::current();
    setWindowTitle(words.fill(u"Hide the {dock}?"));
    setText(words.fill(u"Hide the {dock}?"));
    setInformativeText(words.fill(u"Taskbar hides the {dock} while it runs. Turn Taskbar off and the {dock} comes back with your own settings."));
    setIcon(QMessageBox::Question);
    m_hide = addButton(words.fill(u"Hide the {dock}"), QMessageBox::AcceptRole);
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

#include "brand/ui/dialog_slot.h"

#include <QDialog>

DialogSlot::~DialogSlot()
{
    delete m_dialog;
}

void DialogSlot::present(QDialog* dialog)
{
    delete m_dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->open();
}

bool DialogSlot::isShowing() const
{
    return m_dialog && m_dialog->isVisible();
}

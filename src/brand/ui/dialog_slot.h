#pragma once

#include <QDialog>
#include <QPointer>

// The one question or name prompt a page has open: a new one replaces the old, each goes away
// when closed, and whatever is still open goes with the page.
class DialogSlot
{
public:
    DialogSlot() = default;
    DialogSlot(const DialogSlot&) = delete;
    DialogSlot& operator=(const DialogSlot&) = delete;
    ~DialogSlot();

    // Takes the dialog and opens it window-modal.
    void present(QDialog* dialog);
    QDialog* current() const { return m_dialog; }
    bool isShowing() const;

private:
    QPointer<QDialog> m_dialog;
};

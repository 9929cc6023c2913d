#include "app/ui/sheet_host.h"

#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/dock_consent_dialog.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/sheet_overlay.h"
#include "platform/desktop_words.h"

#include <QDialog>
#include <QVBoxLayout>

SheetHost::SheetHost(const ViewContext& context, ViewRegistry views, QWidget* window)
    : QObject(window)
    , m_context(context)
    , m_views(std::move(views))
    , m_window(window)
{
    connect(&context.nav, &Navigation::sheetsChanged, this, &SheetHost::sync, Qt::QueuedConnection);
    connect(&context.model, &PartsModel::askDockConsentChanged, this, &SheetHost::syncDockConsent, Qt::QueuedConnection);
    sync();
    syncDockConsent();
}

QWidget* SheetHost::current() const
{
    if (m_dockConsent && m_dockConsent->isVisible())
        return m_dockConsent;
    if (m_sheet && m_sheet->isVisible())
        return m_sheet;
    return nullptr;
}

bool SheetHost::flag(Sheet sheet) const
{
    const Navigation& nav = m_context.nav;
    switch (sheet) {
    case Sheet::setup: return nav.showSetup();
    case Sheet::move: return nav.showMove();
    case Sheet::uninstall: return nav.showUninstall();
    case Sheet::feedback: return nav.showFeedback();
    }
    return false;
}

void SheetHost::lower(Sheet sheet)
{
    Navigation& nav = m_context.nav;
    switch (sheet) {
    case Sheet::setup: nav.setShowSetup(false); break;
    case Sheet::move: nav.setShowMove(false); break;
    case Sheet::uninstall: nav.setShowUninstall(false); break;
    case Sheet::feedback: nav.setShowFeedback(false); break;
    }
}

void SheetHost::sync()
{
    if (m_sheet) {
        if (!flag(m_shown))
            m_sheet->reject();
        return;
    }
    for (Sheet sheet : {Sheet::setup, Sheet::move, Sheet::uninstall, Sheet::feedback}) {
        if (!flag(sheet))
            continue;
        static const char16_t* const titles[] = {u"Setup", u"Move to {applications}", u"Uninstall Zentrove", u"Send Feedback"};
        const ViewRegistry::SheetMaker& maker = sheet == Sheet::setup ? m_views.setup
            : sheet == Sheet::move                      ? m_views.move
            : sheet == Sheet::uninstall                 ? m_views.uninstall
                                                        : m_views.feedback;
        auto* dialog = new QDialog(m_window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        const QString title = DesktopWords::current().fill(titles[int(sheet)]);
        dialog->setWindowTitle(title);
        const auto close = [dialog] { dialog->close(); };
        QWidget* content = maker ? maker(m_context, close, dialog) : new PlaceholderView(title, close, dialog);
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        // Drawn inside the window, which it covers until it closes.
        auto* overlay = new SheetOverlay(m_window, dialog, QSize(640, 480));
        connect(dialog, &QDialog::finished, this, [this, sheet, overlay] {
            overlay->deleteLater();
            lower(sheet);
            // Another flag may have gone up meanwhile.
            QMetaObject::invokeMethod(this, &SheetHost::sync, Qt::QueuedConnection);
        });
        m_sheet = dialog;
        m_shown = sheet;
        overlay->show();
        dialog->show();
        dialog->setFocus();
        return;
    }
}

void SheetHost::syncDockConsent()
{
    if (!m_context.model.askDockConsent()) {
        if (m_dockConsent)
            m_dockConsent->reject();
        return;
    }
    if (m_dockConsent)
        return;
    auto* dialog = new DockConsentDialog(m_context.model, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Over the window and over any sheet in it, as the sheets are.
    auto* overlay = new SheetOverlay(m_window, dialog, QSize(460, 0));
    connect(dialog, &QDialog::finished, overlay, &QObject::deleteLater);
    // Gone for the host at once, not only once deleted: the question may be asked again before.
    connect(dialog, &QDialog::finished, this, [this] { m_dockConsent = nullptr; });
    m_dockConsent = dialog;
    overlay->show();
    dialog->show();
    dialog->setFocus();
}

void SheetHost::dropAll()
{
    if (m_dockConsent)
        m_dockConsent->reject();
    // Rejected rather than closed: a sheet in a window already hidden (its close button) is not
    // visible, and closing an invisible dialog ends it without telling anyone.
    if (m_sheet)
        m_sheet->reject();
}

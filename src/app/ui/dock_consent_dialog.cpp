#include "app/ui/dock_consent_dialog.h"

#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "brand/brand.h"
#include "platform/desktop_words.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DockConsentDialog::DockConsentDialog(PartsModel& model, QWidget* parent)
    : QDialog(parent)
{
    const DesktopWords& words = DesktopWords::current();
    setWindowTitle(words.fill(u"Hide the {dock}?"));
    const int padding = int(Brand::pagePadding) - 6;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding - 4);
    layout->setSpacing(10);

    m_title = new QLabel(words.fill(u"Hide the {dock}?"), this);
    m_title->setFont(AppStyle::displayFont(17));
    m_title->setWordWrap(true);
    layout->addWidget(m_title);
    m_text = new QLabel(words.fill(u"Taskbar hides the {dock} while it runs. Turn Taskbar off and the {dock} comes back with your own settings."),
                        this);
    m_text->setFont(AppStyle::uiFont(10.5));
    m_text->setWordWrap(true);
    AppStyle::mark(m_text, "muted");
    layout->addWidget(m_text);
    layout->addSpacing(8);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* hide = new QPushButton(words.fill(u"Hide the {dock}"), this);
    AppStyle::mark(hide, "primary");
    hide->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(hide);
    layout->addLayout(buttons);
    m_cancel = cancel;
    m_hide = hide;
    setMinimumWidth(420);

    connect(hide, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The question is asked while the flag is up; closing it in any way lowers the flag.
    connect(this, &QDialog::finished, this, [&model](int result) {
        model.setAskDockConsent(false);
        if (result == QDialog::Accepted)
            model.acceptDockConsent();
    });
}

QString DockConsentDialog::text() const
{
    return m_title->text();
}

QString DockConsentDialog::informativeText() const
{
    return m_text->text();
}

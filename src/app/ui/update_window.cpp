#include "app/ui/update_window.h"

#include "app/ui/app_style.h"
#include "brand/brand.h"
#include "platform/bundle.h"
#include "platform/workspace.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

UpdateWindow::UpdateWindow(const std::optional<UpdateOffer>& offer, Workspace& workspace, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Software Update"));
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(12);

    m_title = new QLabel(this);
    m_title->setFont(AppStyle::displayFont(20));
    m_title->setTextFormat(Qt::PlainText);
    layout->addWidget(m_title);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setFont(AppStyle::uiFont(10.5));
    AppStyle::mark(m_summary, "muted");
    layout->addWidget(m_summary);

    const QString current = QStringLiteral("%1 (%2)").arg(Bundle::version(), Bundle::buildNumber());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_later = new QPushButton(offer ? QStringLiteral("Later") : QStringLiteral("OK"), this);
    connect(m_later, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(m_later);

    if (offer) {
        m_title->setText(QStringLiteral("A new Zentrove is available"));
        QString summary = QStringLiteral("Zentrove %1 (%2) is out").arg(offer->version).arg(offer->build);
        if (offer->date)
            summary += QStringLiteral(", released ") + QLocale().toString(offer->date->date(), QLocale::LongFormat);
        m_summary->setText(summary + QStringLiteral(". You have %1.").arg(current));
        // The feed's notes are shown as plain text, never as markup.
        m_notes = new QPlainTextEdit(offer->notes.isEmpty() ? QStringLiteral("No notes for this version.") : offer->notes, this);
        m_notes->setReadOnly(true);
        m_notes->setMinimumHeight(160);
        layout->addWidget(m_notes, 1);
        m_download = new QPushButton(QStringLiteral("Download"), this);
        AppStyle::mark(m_download, "primary");
        m_download->setDefault(true);
        connect(m_download, &QPushButton::clicked, this, [this, url = offer->download, &workspace] {
            workspace.openURL(url);
            accept();
        });
        buttons->addWidget(m_download);
    } else {
        m_title->setText(QStringLiteral("Zentrove is up to date"));
        m_summary->setText(QStringLiteral("Zentrove %1 is the newest version.").arg(current));
        m_later->setDefault(true);
        AppStyle::mark(m_later, "primary");
        layout->addStretch(1);
    }
    layout->addLayout(buttons);
    resize(offer ? 520 : 420, offer ? 420 : 180);
}

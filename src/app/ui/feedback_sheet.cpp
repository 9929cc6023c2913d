#include "app/ui/feedback_sheet.h"

#include "app/ui/app_style.h"
#include "brand/brand.h"
#include "brand/ui/toggle_switch.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "services/feedback.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLabel* wrapped(const QString& text, QWidget* parent, const char* role = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(AppStyle::uiFont(10.5));
    if (role)
        AppStyle::mark(label, role);
    return label;
}

QLabel* title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::displayFont(20));
    return label;
}

} // namespace

FeedbackSheet::FeedbackSheet(QSet<QString> running, std::function<void()> close, Defaults& settings,
                             const SystemFacts& facts, Workspace& workspace, QWidget* parent)
    : QWidget(parent)
    , m_running(std::move(running))
    , m_close(std::move(close))
    , m_settings(settings)
    , m_facts(facts)
    , m_workspace(workspace)
{
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(makeForm());
    m_pages->addWidget(makeThanks());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    sync();
}

QWidget* FeedbackSheet::makeForm()
{
    auto* form = new QWidget(this);
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(12);
    layout->addWidget(title(QStringLiteral("Send feedback"), form));
    layout->addWidget(wrapped(QStringLiteral("What you like, what's missing, what went wrong: it all helps. It goes straight to the person who makes Zentrove."),
                              form, "muted"));

    m_message = new QPlainTextEdit(form);
    m_message->setPlaceholderText(QStringLiteral("Your message"));
    m_message->setAccessibleName(QStringLiteral("Your message"));
    m_message->setTabChangesFocus(true);
    m_message->setMinimumHeight(140);
    layout->addWidget(m_message, 1);

    m_email = new QLineEdit(form);
    m_email->setPlaceholderText(QStringLiteral("Your email, if you'd like a reply"));
    m_email->setAccessibleName(m_email->placeholderText());
    layout->addWidget(m_email);

    auto* detailsRow = new QHBoxLayout;
    const QString detailsText = DesktopWords::current().fill(u"Include {computer} and Zentrove details");
    m_includeDetails = new ToggleSwitch(form);
    m_includeDetails->setAccessibleName(detailsText);
    m_includeDetails->setChecked(m_settings.boolean(Feedback::includeDetailsKey(), true));
    detailsRow->addWidget(m_includeDetails);
    detailsRow->addWidget(wrapped(detailsText, form), 1);
    layout->addLayout(detailsRow);

    m_error = wrapped(QString(), form, "failure");
    layout->addWidget(m_error);

    auto* buttons = new QHBoxLayout;
    m_emailInstead = new QPushButton(QStringLiteral("Email Instead"), form);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), form);
    m_send = new QPushButton(QStringLiteral("Send"), form);
    AppStyle::mark(m_send, "primary");
    m_send->setDefault(true);
    buttons->addWidget(m_emailInstead);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_send);
    layout->addLayout(buttons);

    connect(m_message, &QPlainTextEdit::textChanged, this, &FeedbackSheet::sync);
    connect(m_includeDetails, &QAbstractButton::toggled, this, [this](bool on) { m_settings.set(Feedback::includeDetailsKey(), on); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_close(); });
    connect(m_send, &QPushButton::clicked, this, &FeedbackSheet::send);
    connect(m_emailInstead, &QPushButton::clicked, this, &FeedbackSheet::emailInstead);
    m_emailInstead->hide();
    m_error->hide();
    return form;
}

QWidget* FeedbackSheet::makeThanks()
{
    auto* thanks = new QWidget(this);
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(thanks);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(12);
    layout->addStretch(1);
    auto* heading = title(QStringLiteral("Thank you"), thanks);
    heading->setAlignment(Qt::AlignHCenter);
    layout->addWidget(heading);
    m_thanks = wrapped(QString(), thanks, "muted");
    m_thanks->setAlignment(Qt::AlignHCenter);
    layout->addWidget(m_thanks);
    layout->addStretch(1);
    m_done = new QPushButton(QStringLiteral("Done"), thanks);
    AppStyle::mark(m_done, "primary");
    connect(m_done, &QPushButton::clicked, this, [this] { m_close(); });
    layout->addWidget(m_done, 0, Qt::AlignRight);
    return thanks;
}

void FeedbackSheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_sent)
        m_message->setFocus();
}

std::optional<QString> FeedbackSheet::detailsIfIncluded() const
{
    if (!m_includeDetails->isChecked())
        return std::nullopt;
    return Feedback::details(m_running, m_facts);
}

void FeedbackSheet::sync()
{
    const bool hasText = !m_message->toPlainText().trimmed().isEmpty();
    m_send->setEnabled(hasText && !m_sending);
    m_pages->setCurrentIndex(m_sent ? 1 : 0);
}

void FeedbackSheet::send()
{
    if (m_sending || m_message->toPlainText().trimmed().isEmpty())
        return;
    m_sending = true;
    m_error->hide();
    m_emailInstead->hide();
    sync();
    const QString email = m_email->text().trimmed();
    Feedback::send(m_message->toPlainText(), m_email->text(), detailsIfIncluded(), this,
                   [this, email](std::optional<Feedback::Failure> failure) {
        m_sending = false;
        if (failure) {
            m_error->setText(failure->text());
            m_error->show();
            m_emailInstead->setVisible(failure->kind == Feedback::Failure::Kind::offline);
        } else {
            m_sent = true;
            m_thanks->setText(email.isEmpty()
                                  ? QStringLiteral("Your feedback is on its way. Every message gets read.")
                                  : QStringLiteral("Your feedback is on its way. Every message gets read, and a reply goes to ") + email);
        }
        sync();
    });
}

void FeedbackSheet::emailInstead()
{
    Feedback::email(m_message->toPlainText(), detailsIfIncluded(), m_workspace);
}

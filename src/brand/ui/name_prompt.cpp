#include "brand/ui/name_prompt.h"

#include "brand/brand_font.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NamePrompt::NamePrompt(const QString& title, const QString& message, const QString& acceptText, const QString& name,
                       const QString& placeholder, QWidget* parent)
    : QDialog(parent)
    , m_placeholder(placeholder)
    , m_field(new QLineEdit(name, this))
    , m_accept(new QPushButton(acceptText, this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(380);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 20);
    layout->setSpacing(10);
    auto* heading = new QLabel(title, this);
    heading->setFont(BrandFont::display(15, QFont::DemiBold));
    layout->addWidget(heading);
    if (!message.isEmpty()) {
        auto* text = new QLabel(message, this);
        text->setWordWrap(true);
        text->setProperty("role", QStringLiteral("muted"));
        layout->addWidget(text);
    }
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(new QLabel(QStringLiteral("Name"), this));
    m_field->setPlaceholderText(placeholder);
    m_field->setAccessibleName(QStringLiteral("Name"));
    m_field->selectAll();
    fieldRow->addWidget(m_field, 1);
    layout->addLayout(fieldRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_accept);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    m_accept->setProperty("role", QStringLiteral("primary"));
    m_accept->setDefault(true);
    connect(m_accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString NamePrompt::name() const
{
    const QString typed = m_field->text().trimmed();
    return typed.isEmpty() ? m_placeholder : typed;
}

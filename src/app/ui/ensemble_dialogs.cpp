#include "app/ui/ensemble_dialogs.h"

#include "app/ui/app_style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* titleLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::displayFont(15));
    return label;
}

} // namespace

RenameEnsembleDialog::RenameEnsembleDialog(const QString& name, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Rename Ensemble"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);
    layout->addWidget(titleLabel(QStringLiteral("Rename Ensemble"), this));
    auto* label = new QLabel(QStringLiteral("Name"), this);
    AppStyle::mark(label, "muted");
    layout->addWidget(label);
    m_field = new QLineEdit(name, this);
    m_field->setMinimumWidth(300);
    m_field->selectAll();
    label->setBuddy(m_field);
    layout->addWidget(m_field);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_rename = new QPushButton(QStringLiteral("Rename"), this);
    AppStyle::mark(m_rename, "primary");
    m_rename->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_rename);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_rename, &QPushButton::clicked, this, &QDialog::accept);
}

QString RenameEnsembleDialog::name() const
{
    return m_field->text();
}

DeleteEnsembleDialog::DeleteEnsembleDialog(const QString& name, const QString& message, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Delete Ensemble"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);
    layout->addWidget(titleLabel(QStringLiteral("Delete Ensemble"), this));
    auto* which = new QLabel(name, this);
    which->setFont(AppStyle::uiFont(10.5, QFont::Medium));
    layout->addWidget(which);
    m_message = new QLabel(message, this);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(320);
    AppStyle::mark(m_message, "muted");
    layout->addWidget(m_message);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    AppStyle::mark(m_delete, "destructive");
    m_cancel->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_delete);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_delete, &QPushButton::clicked, this, &QDialog::accept);
}

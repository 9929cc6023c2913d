#include "library/ui/rename_dialog.h"

#include "brand/brand_font.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RenameDialog::RenameDialog(const QString& name, QWidget* parent)
    : QDialog(parent)
    , m_field(new QLineEdit(name, this))
    , m_rename(new QPushButton(QStringLiteral("Rename"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Rename"));
    setModal(true);
    auto* title = new QLabel(QStringLiteral("Rename"), this);
    title->setFont(BrandFont::ui(12, QFont::DemiBold));
    m_field->setPlaceholderText(QStringLiteral("Name"));
    m_field->setAccessibleName(QStringLiteral("Name"));
    m_field->selectAll();
    m_field->setMinimumWidth(280);
    m_rename->setProperty("role", QStringLiteral("primary"));
    m_rename->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_rename);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(m_field);
    layout->addLayout(buttons);
    connect(m_rename, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString RenameDialog::name() const
{
    return m_field->text();
}

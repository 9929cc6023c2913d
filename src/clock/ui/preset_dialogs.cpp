#include "clock/ui/preset_dialogs.h"

#include "brand/brand_font.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString placeholder = QStringLiteral("My Clock");
} // namespace

NameDialog::NameDialog(const QString& title, const QString& message, const QString& acceptText, const QString& name, QWidget* parent)
    : QDialog(parent)
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

QString NameDialog::name() const
{
    const QString typed = m_field->text().trimmed();
    return typed.isEmpty() ? placeholder : typed;
}

NameDialog* NameDialog::newPreset(QWidget* parent)
{
    return new NameDialog(QStringLiteral("New Preset"), QStringLiteral("Starts from the clock as it looks now."), QStringLiteral("Create"),
                          QString(), parent);
}

NameDialog* NameDialog::saveAs(QWidget* parent)
{
    return new NameDialog(QStringLiteral("Save as New Preset"), QString(), QStringLiteral("Save"), QString(), parent);
}

NameDialog* NameDialog::rename(const QString& current, QWidget* parent)
{
    return new NameDialog(QStringLiteral("Rename Preset"), QString(), QStringLiteral("Rename"), current, parent);
}

QMessageBox* PresetQuestions::deletePreset(const QString& name, bool builtIn, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::WindowModal);
    const QString title = QStringLiteral("Delete “") + name + QStringLiteral("”?");
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(builtIn ? QStringLiteral("It's built in, so you can bring it back below the presets.")
                                    : QStringLiteral("This can't be undone."));
    QPushButton* remove = box->addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    Q_UNUSED(remove);
    return box;
}

QMessageBox* PresetQuestions::leaveEdited(const QString& name, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::WindowModal);
    const QString title = QStringLiteral("Save changes to ") + (name.isEmpty() ? QStringLiteral("this preset") : QStringLiteral("“") + name + QStringLiteral("”")) + QStringLiteral("?");
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(QStringLiteral("Ensembles that use this preset change too if you save."));
    QPushButton* save = box->addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(save);
    box->setEscapeButton(cancel);
    return box;
}

QAbstractButton* PresetQuestions::button(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

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
    : NamePrompt(title, message, acceptText, name, placeholder, parent)
{
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

#include "taskbar/ui/taskbar_dialogs.h"

#include "brand/brand_font.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString defaultName = QStringLiteral("My Style");

QMessageBox* question(const QString& title, const QString& text, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(text);
    return box;
}

} // namespace

StyleNameDialog::StyleNameDialog(const QString& title, const QString& note, const QString& acceptText, QWidget* parent)
    : NamePrompt(title, note, acceptText, defaultName, defaultName, parent)
{
}

StyleNameDialog* StyleNameDialog::newStyle(QWidget* parent)
{
    return new StyleNameDialog(QStringLiteral("New Bar Style"), QStringLiteral("Starts from the bar as it looks now."), QStringLiteral("Create"), parent);
}

StyleNameDialog* StyleNameDialog::saveAsNew(QWidget* parent)
{
    return new StyleNameDialog(QStringLiteral("Save as a New Style"), QStringLiteral("Keep this style as it is and save your changes as a new one"),
                               QStringLiteral("Save"), parent);
}

QMessageBox* TaskbarQuestions::deleteStyle(const QString& name, bool builtIn, QWidget* parent)
{
    QMessageBox* box = question(QStringLiteral("Delete “") + name + QStringLiteral("”?"),
                                builtIn ? QStringLiteral("It's built in, so you can bring it back below the styles.") : QStringLiteral("This can't be undone."),
                                parent);
    box->addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

QMessageBox* TaskbarQuestions::resetSettings(QWidget* parent)
{
    QMessageBox* box = question(QStringLiteral("Reset all settings to their defaults?"), QStringLiteral("Your pinned apps and bar styles stay as they are."), parent);
    box->addButton(QStringLiteral("Reset"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

QString TaskbarQuestions::saveIntoUsedText(int ensembles)
{
    const QString who = ensembles == 1 ? QStringLiteral("The ensemble that uses it gets")
                                       : QString::number(ensembles) + QStringLiteral(" ensembles that use it get");
    return who + QStringLiteral(" them too. To keep it as it is, save them as a new style.");
}

QMessageBox* TaskbarQuestions::saveIntoUsed(int ensembles, QWidget* parent)
{
    QMessageBox* box = question(QStringLiteral("Save your changes into this style?"), saveIntoUsedText(ensembles), parent);
    QPushButton* save = box->addButton(QStringLiteral("Save style"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("Save as a New Style"), QMessageBox::ActionRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(save);
    box->setEscapeButton(cancel);
    return box;
}

QMessageBox* TaskbarQuestions::discard(const QString& name, QWidget* parent)
{
    QMessageBox* box = question(QStringLiteral("Discard changes?"), QStringLiteral("“") + name + QStringLiteral("” stays as it was saved."), parent);
    box->addButton(QStringLiteral("Discard changes"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

QMessageBox* TaskbarQuestions::leaveEdited(const QString& name, QWidget* parent)
{
    QMessageBox* box = question(QStringLiteral("Save changes to “") + name + QStringLiteral("”"), QStringLiteral("If you don't save, the bar goes back to the style as it was saved."), parent);
    QPushButton* saveAs = box->addButton(QStringLiteral("Save as a New Style"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(saveAs);
    box->setEscapeButton(cancel);
    return box;
}

QAbstractButton* TaskbarQuestions::button(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

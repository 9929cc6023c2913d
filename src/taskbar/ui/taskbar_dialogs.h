#pragma once

#include "brand/ui/name_prompt.h"

#include <QDialog>
#include <QMessageBox>

// Asks for a style's name: "New Bar Style" and "Save as a New Style"; "My Style" when left empty.
class StyleNameDialog : public NamePrompt
{
    Q_OBJECT
public:
    StyleNameDialog(const QString& title, const QString& note, const QString& acceptText, QWidget* parent = nullptr);

    static StyleNameDialog* newStyle(QWidget* parent);
    static StyleNameDialog* saveAsNew(QWidget* parent);
};

// The questions the taskbar page asks.
namespace TaskbarQuestions {

QMessageBox* deleteStyle(const QString& name, bool builtIn, QWidget* parent);
QMessageBox* resetSettings(QWidget* parent);
// Saving into a style that `ensembles` ensembles use.
QMessageBox* saveIntoUsed(int ensembles, QWidget* parent);
QString saveIntoUsedText(int ensembles);
QMessageBox* discard(const QString& name, QWidget* parent);
QMessageBox* leaveEdited(const QString& name, QWidget* parent);

QAbstractButton* button(QMessageBox* box, const QString& text);

} // namespace TaskbarQuestions

#pragma once

#include "brand/ui/name_prompt.h"

#include <QDialog>
#include <QMessageBox>

// Asks for a preset's name: "New Preset", saving as a new preset, "Rename Preset".
class NameDialog : public NamePrompt
{
    Q_OBJECT
public:
    NameDialog(const QString& title, const QString& message, const QString& acceptText, const QString& name, QWidget* parent = nullptr);

    static NameDialog* newPreset(QWidget* parent);
    static NameDialog* saveAs(QWidget* parent);
    static NameDialog* rename(const QString& current, QWidget* parent);
};

// The questions the page asks before deleting a preset and before leaving an edited one.
namespace PresetQuestions {

QMessageBox* deletePreset(const QString& name, bool builtIn, QWidget* parent);
// `name` empty: "this preset".
QMessageBox* leaveEdited(const QString& name, QWidget* parent);

// The buttons of those questions, by their texts.
QAbstractButton* button(QMessageBox* box, const QString& text);

} // namespace PresetQuestions

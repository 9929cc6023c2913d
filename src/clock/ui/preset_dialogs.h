#pragma once

#include <QDialog>
#include <QMessageBox>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a preset's name: "New Preset", saving as a new preset, "Rename Preset".
class NameDialog : public QDialog
{
    Q_OBJECT
public:
    NameDialog(const QString& title, const QString& message, const QString& acceptText, const QString& name, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The name typed, or the placeholder's when the field is left empty.
    QString name() const;

    static NameDialog* newPreset(QWidget* parent);
    static NameDialog* saveAs(QWidget* parent);
    static NameDialog* rename(const QString& current, QWidget* parent);

private:
    QLineEdit* m_field;
    QPushButton* m_accept;
    QPushButton* m_cancel;
};

// The questions the page asks before deleting a preset and before leaving an edited one.
namespace PresetQuestions {

QMessageBox* deletePreset(const QString& name, bool builtIn, QWidget* parent);
// `name` empty: "this preset".
QMessageBox* leaveEdited(const QString& name, QWidget* parent);

// The buttons of those questions, by their texts.
QAbstractButton* button(QMessageBox* box, const QString& text);

} // namespace PresetQuestions

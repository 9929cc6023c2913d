#pragma once

#include <QDialog>
#include <QMessageBox>

class QLineEdit;
class QPushButton;

// Asks for a style's name: "New Bar Style" and "Save as a New Style".
class StyleNameDialog : public QDialog
{
    Q_OBJECT
public:
    StyleNameDialog(const QString& title, const QString& note, const QString& acceptText, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The name typed; "My Style" when the field is left empty.
    QString name() const;

    static StyleNameDialog* newStyle(QWidget* parent);
    static StyleNameDialog* saveAsNew(QWidget* parent);

private:
    QLineEdit* m_field;
    QPushButton* m_accept;
    QPushButton* m_cancel;
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

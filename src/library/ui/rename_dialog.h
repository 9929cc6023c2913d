#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Rename": a Name field filled with the current name, Rename and Cancel. Accepting hands the
// typed text to the caller, which renames through the store (it trims and makes names unique).
class RenameDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RenameDialog(const QString& name, QWidget* parent = nullptr);

    QString name() const;
    QLineEdit* field() const { return m_field; }
    QPushButton* renameButton() const { return m_rename; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLineEdit* m_field;
    QPushButton* m_rename;
    QPushButton* m_cancel;
};

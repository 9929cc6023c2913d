#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Rename Ensemble": a name field with "Rename" and "Cancel".
class RenameEnsembleDialog : public QDialog
{
    Q_OBJECT
public:
    RenameEnsembleDialog(const QString& name, QWidget* parent = nullptr);
    QLineEdit* field() const { return m_field; }
    QPushButton* renameButton() const { return m_rename; }
    QPushButton* cancelButton() const { return m_cancel; }
    QString name() const;

private:
    QLineEdit* m_field;
    QPushButton* m_rename;
    QPushButton* m_cancel;
};

// "Delete Ensemble": the message and "Delete" (destructive) or "Cancel".
class DeleteEnsembleDialog : public QDialog
{
    Q_OBJECT
public:
    DeleteEnsembleDialog(const QString& name, const QString& message, QWidget* parent = nullptr);
    QLabel* message() const { return m_message; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLabel* m_message;
    QPushButton* m_delete;
    QPushButton* m_cancel;
};

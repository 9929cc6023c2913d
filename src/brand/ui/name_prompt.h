#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for a name in the app's sheet style: a heading, an optional note, the name field and
// Cancel / the accepting button. An empty field gives the placeholder's name.
class NamePrompt : public QDialog
{
    Q_OBJECT
public:
    NamePrompt(const QString& title, const QString& message, const QString& acceptText, const QString& name,
               const QString& placeholder, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The name typed, or the placeholder's when the field is left empty.
    QString name() const;

private:
    QString m_placeholder;
    QLineEdit* m_field;
    QPushButton* m_accept;
    QPushButton* m_cancel;
};

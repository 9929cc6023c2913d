#pragma once

#include <QSet>
#include <QWidget>

#include <functional>
#include <optional>

class Defaults;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class SystemFacts;
class ToggleSwitch;
class Workspace;

// The sheet in which the user writes to the maker: the form, and the thanks once it went out.
// A failed send keeps the typed text; when the network was the trouble, the same message can
// go out by mail instead.
class FeedbackSheet : public QWidget
{
    Q_OBJECT
public:
    // `running`: the ids of the parts running now, for the details. `settings` keeps whether
    // details go along.
    FeedbackSheet(QSet<QString> running, std::function<void()> close, Defaults& settings, const SystemFacts& facts,
                  Workspace& workspace, QWidget* parent = nullptr);

    QPlainTextEdit* messageField() const { return m_message; }
    QLineEdit* emailField() const { return m_email; }
    ToggleSwitch* detailsSwitch() const { return m_includeDetails; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* emailInsteadButton() const { return m_emailInstead; }
    QPushButton* doneButton() const { return m_done; }
    QLabel* errorLine() const { return m_error; }
    QLabel* thanksText() const { return m_thanks; }
    bool isSending() const { return m_sending; }
    bool isSent() const { return m_sent; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeForm();
    QWidget* makeThanks();
    void send();
    void emailInstead();
    std::optional<QString> detailsIfIncluded() const;
    void sync();

    QSet<QString> m_running;
    std::function<void()> m_close;
    Defaults& m_settings;
    const SystemFacts& m_facts;
    Workspace& m_workspace;

    QStackedWidget* m_pages = nullptr;
    QPlainTextEdit* m_message = nullptr;
    QLineEdit* m_email = nullptr;
    ToggleSwitch* m_includeDetails = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_emailInstead = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_send = nullptr;
    QLabel* m_thanks = nullptr;
    QPushButton* m_done = nullptr;
    bool m_sending = false;
    bool m_sent = false;
};

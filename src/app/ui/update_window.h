#pragma once

#include "platform/update_feed.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Workspace;

// The updater's window: a newer build with its notes and a way to download it, or (after a check
// the user asked for) word that this build is the newest.
class UpdateWindow : public QDialog
{
    Q_OBJECT
public:
    UpdateWindow(const std::optional<UpdateOffer>& offer, Workspace& workspace, QWidget* parent = nullptr);

    QLabel* titleLabel() const { return m_title; }
    QLabel* summaryLabel() const { return m_summary; }
    QPlainTextEdit* notesView() const { return m_notes; }
    QPushButton* downloadButton() const { return m_download; }
    QPushButton* laterButton() const { return m_later; }

private:
    QLabel* m_title = nullptr;
    QLabel* m_summary = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QPushButton* m_download = nullptr;
    QPushButton* m_later = nullptr;
};

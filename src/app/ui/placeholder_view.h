#pragma once

#include <QWidget>

class QPushButton;

// Stands in for a page or sheet whose view is not part of this build: its title, and for a
// sheet a button that closes it.
class PlaceholderView : public QWidget
{
    Q_OBJECT
public:
    PlaceholderView(const QString& title, std::function<void()> close, QWidget* parent = nullptr);

    QString title() const { return m_title; }

private:
    QString m_title;
};

#pragma once

#include "library/activity.h"

#include <QFrame>
#include <QList>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

// One job: title, detail, and while it runs a bar with the percentage; a failed job is marked.
class ActivityCard : public QFrame
{
    Q_OBJECT
public:
    explicit ActivityCard(QWidget* parent = nullptr);
    void setActivity(const Activity& activity);
    const Activity& activity() const { return m_activity; }

    QLabel* titleLabel() const { return m_title; }
    QLabel* detailLabel() const { return m_detail; }
    QProgressBar* progressBar() const { return m_bar; }
    QLabel* percentLabel() const { return m_percent; }
    QLabel* stateLabel() const { return m_state; }

    // The whole-number percentage shown for a fraction done.
    static QString percentText(double fraction);

private:
    Activity m_activity;
    QLabel* m_title;
    QLabel* m_detail;
    QLabel* m_state;
    QProgressBar* m_bar;
    QLabel* m_percent;
};

// The cards of the app's own jobs and of the live-wallpaper part's, and a button that clears the
// app's finished ones (imports stay until the user clears them).
class ActivityList : public QWidget
{
    Q_OBJECT
public:
    explicit ActivityList(QWidget* parent = nullptr);

    void setActivities(const QList<Activity>& own, const QList<Activity>& engine);
    QList<ActivityCard*> cards() const { return m_cards; }
    QPushButton* clearButton() const { return m_clear; }

signals:
    void clearRequested();

private:
    QVBoxLayout* m_layout;
    QList<ActivityCard*> m_cards;
    QPushButton* m_clear;
};

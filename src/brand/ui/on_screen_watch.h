#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Tells a widget when it may be seen: shown, in a window that is itself shown and not minimised.
// Views that play video decode only while this says so.
class OnScreenWatch : public QObject
{
    Q_OBJECT
public:
    explicit OnScreenWatch(QWidget* widget);

    bool isOnScreen() const;

signals:
    // The widget or its window was shown, hidden, minimised or restored.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_widget;
    QPointer<QWidget> m_window;
};

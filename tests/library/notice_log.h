#pragma once

#include "platform/notifier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

// Records every notice of one name this process receives.
class NoticeLog
{
public:
    explicit NoticeLog(const QString& name)
        : m_token(Notifier::observe(name, [this](const std::optional<QString>& object) {
            objects.append(object.value_or(QStringLiteral("<none>")));
        }))
    {
    }

    // Lets notices posted so far arrive.
    static void settle(int ms = 250)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    QStringList objects;

private:
    NoticeToken m_token;
};

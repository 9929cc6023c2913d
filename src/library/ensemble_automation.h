#pragma once

#include "platform/notifier.h"

#include <QObject>
#include <QTimer>

#include <optional>

class Appearance;
class LibraryStore;

// The live-wallpaper part's side of automatic changes: it checks the daily change on a timer
// and right after each 05:00 boundary, follows the desktop's light and dark preference, and makes
// an ensemble current when another process asks for one.
class EnsembleAutomation : public QObject
{
    Q_OBJECT
public:
    // `appearance` may be null (no desktop preference to follow).
    EnsembleAutomation(LibraryStore& store, Appearance* appearance, QObject* parent = nullptr);

    // How often the daily change is checked besides the boundary itself.
    static constexpr int checkIntervalMs = 15 * 60 * 1000;
    // Milliseconds from `now` to just after the next 05:00 local time.
    static qint64 msecsToNextBoundary(const QDateTime& now);

private:
    void checkDaily();
    void armBoundary();

    LibraryStore& m_store;
    QTimer m_interval;
    QTimer m_boundary;
    NoticeToken m_chooseToken;
};

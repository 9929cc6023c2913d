#pragma once

#include <QObject>
#include <QThreadPool>

class DesktopPictureSettings;
class LibraryStore;

// Keeps a still of the main display's wallpaper as the desktop's own wallpaper and lock-screen
// picture while the live wallpaper runs: placed at the start and whenever the current wallpaper
// changes (the still is made off the main thread), given back when the keeper goes.
class DesktopPictureKeeper : public QObject
{
    Q_OBJECT
public:
    DesktopPictureKeeper(LibraryStore& store, DesktopPictureSettings& settings, QObject* parent = nullptr);
    ~DesktopPictureKeeper() override;

signals:
    // A still was placed (or could not be: `ok` false). Tests wait for it.
    void placed(bool ok);

private:
    void update();

    LibraryStore& m_store;
    DesktopPictureSettings& m_settings;
    QThreadPool m_maker;
    int m_run = 0;
};

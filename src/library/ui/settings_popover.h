#pragma once

#include "library/library_store.h"

#include <QFrame>
#include <QHash>

class QLabel;
class QPushButton;
class ToggleSwitch;

// The live-wallpaper part's switches, in a popover under the page's Options button: where the
// wallpaper shows, and when it saves power. Every switch reads and writes the store. It floats
// over the page (a child, so a snapshot of the window holds it) and closes on a click elsewhere
// or Escape.
class SettingsPopover : public QFrame
{
    Q_OBJECT
public:
    explicit SettingsPopover(LibraryStore& store, QWidget* parent = nullptr);

    // The switches in order, with their store keys.
    static QList<LibrarySwitch> switches();
    static QString title(LibrarySwitch which);

    ToggleSwitch* toggle(LibrarySwitch which) const { return m_toggles.value(which); }
    QPushButton* pauseButton() const { return m_pause; }
    QLabel* pausedLine() const { return m_paused; }

    // Pops up under `anchor`, its right edge on the anchor's.
    void showBelow(QWidget* anchor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void sync();

    LibraryStore& m_store;
    QWidget* m_anchor = nullptr;
    QHash<LibrarySwitch, ToggleSwitch*> m_toggles;
    QPushButton* m_pause;
    QLabel* m_paused;
};

#pragma once

#include "agents/part_agent.h"

#include <memory>

class Appearance;
class DesktopPictureKeeper;
class DesktopPlayer;
class EnsembleAutomation;
class LibraryStore;
class LivePlayback;

// The live wallpaper part's agent: runs the library store in engine mode, the automatic ensemble
// changes, the pause rules with the playback status they lead to, and the performance recorder
// while it is switched on, plays the wallpapers on the desktop and keeps a still of the current
// one as the desktop's own wallpaper and lock-screen picture.
class PaneflowAgent : public PartAgent
{
    Q_OBJECT
public:
    explicit PaneflowAgent(QObject* parent = nullptr);
    ~PaneflowAgent() override;

    LibraryStore* library() const { return m_library.get(); }

protected:
    void startWork() override;
    void stopWork() override;
    std::unique_ptr<EnsembleMenu> menuContent(ZentroveMenuBar& bar) override;
    bool wallpaperPaused() const override;

private:
    std::unique_ptr<LibraryStore> m_library;
    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<EnsembleAutomation> m_automation;
    std::unique_ptr<LivePlayback> m_playback;
    std::unique_ptr<DesktopPlayer> m_player;
    std::unique_ptr<DesktopPictureKeeper> m_desktopPicture;
};

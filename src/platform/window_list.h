#pragma once

#include <QList>
#include <QObject>
#include <QRectF>

#include <memory>
#include <optional>

// One window on screen, as the window server reports it.
struct WindowInfo
{
    qint64 ownerPid = 0;  // 0 when unknown
    int layer = 0;        // 0: ordinary app windows; higher layers float above them
    double alpha = 1.0;   // 0 (transparent) to 1 (opaque)
    std::optional<QRectF> bounds; // in global screen coordinates
};

// One display and where it sits in global screen coordinates.
struct DisplayArea
{
    quint32 id = 0;
    QRectF bounds;
};

// Layers of the window list (the lower, the further back).
namespace WindowLayer {
inline constexpr int normal = 0;
inline constexpr int floating = 3;
inline constexpr int dock = 20;
inline constexpr int popUp = 101;
} // namespace WindowLayer

// The windows on screen and the displays they sit on, plus word of the user switching
// workspaces or apps. Empty where the window server does not tell (Wayland).
class WindowList : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowList() override = default;

    static WindowList& system();
    static std::unique_ptr<WindowList> makeSystem();

    // Windows currently on screen, front to back, without the desktop's own elements.
    virtual QList<WindowInfo> onScreenWindows() = 0;
    virtual QList<DisplayArea> displays() = 0;

signals:
    // The user switched to another workspace.
    void spaceChanged();
    // Another application (or window) became active.
    void appActivated();
};

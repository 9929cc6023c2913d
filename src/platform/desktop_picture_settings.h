#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The desktop's own wallpaper settings: the desktop picture (for the light and the dark style)
// and the lock screen's picture, as the desktop keeps them, each a URI text under a key name.
class DesktopPictureSettings
{
public:
    struct Value
    {
        QString text;
        bool ownValue = false; // set by someone, rather than the desktop's default
        bool operator==(const Value&) const = default;
    };

    virtual ~DesktopPictureSettings() = default;

    static DesktopPictureSettings& system();
    // The backend of the running desktop: xfconf on Xfce, GSettings elsewhere.
    static std::unique_ptr<DesktopPictureSettings> makeSystem();
    static std::unique_ptr<DesktopPictureSettings> makeGSettings();
    static std::unique_ptr<DesktopPictureSettings> makeXfconf();

    // Whether this desktop keeps such settings (false: nothing can be read or placed).
    virtual bool isSetUp() const = 0;
    // The backend's name, for the log ("GSettings").
    virtual QString backend() const = 0;
    // The keys that hold pictures: the first is the desktop picture.
    virtual QStringList keys() const = 0;
    virtual std::optional<Value> value(const QString& key) const = 0;
    virtual bool set(const QString& key, const QString& text) = 0;
    // Back to the desktop's default.
    virtual bool reset(const QString& key) = 0;
};

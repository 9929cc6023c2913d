#pragma once

#include <QByteArray>
#include <QUuid>

#include <optional>

class Defaults;

// What an ensemble asks the clock and taskbar parts to wear. An absent id means "keep what you
// show", never a reset. The stamp (seconds since 1970) orders requests: a receiver applies only
// a request newer than the last one it applied.
struct LookRequest
{
    std::optional<QUuid> clockPreset;
    std::optional<QUuid> taskbarTheme;
    double stamp = now();

    bool operator==(const LookRequest&) const = default;

    static double now();

    QByteArray encode() const;
    // nullopt unless the bytes are a JSON object with a numeric "stamp".
    static std::optional<LookRequest> decode(const QByteArray& bytes);

    // Stores the request under "appliedLook" for parts that start later, then posts it to the
    // running ones.
    void publish(Defaults& defaults) const;
    // The last request published in the live-wallpaper part's domain.
    static std::optional<LookRequest> latest();
};

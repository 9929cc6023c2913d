#pragma once

#include <QImage>
#include <QString>

#include <optional>

// How bright a wallpaper is along each edge (0 dark to 1 light), so what sits on an edge can pick
// a contrasting look.
struct EdgeBrightness
{
    double bottom = 0.5;
    double top = 0.5;
    double left = 0.5;
    double right = 0.5;

    // Average luminance of the 4-pixel bands along each edge of the picture shrunk to 32 x 32.
    // nullopt for a picture that cannot be drawn.
    static std::optional<EdgeBrightness> fromImage(const QImage& image);
    // "bottom,top,left,right", each with three decimals.
    QString text() const;
    // Exactly four finite numbers separated by ","; anything else is nullopt.
    static std::optional<EdgeBrightness> parse(const QString& text);

    bool operator==(const EdgeBrightness&) const = default;
};

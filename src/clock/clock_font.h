#pragma once

#include "clock/clock_enums.h"
#include "clock/rgba.h"
#include "platform/font_face.h"

#include <QFont>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <utility>

// A font as a style stores it: a family (empty: the system font of `design`), a weight, a size at
// scale 1 and an optional value for the width axis (absent or 100: normal width).
struct FontSpec
{
    QString family;
    FontDesign design = FontDesign::standard;
    FontWeightOption weight = FontWeightOption::regular;
    double size = 17;
    std::optional<double> width;

    QJsonObject toJson() const;
    // Every key but "width" is required; a wrong type anywhere fails.
    static std::optional<FontSpec> fromJson(const QJsonValue& value);

    // The face of the family at this weight (falling back to the regular weight, then to a face of
    // that name), or the system face of `design`. nullopt when a named family cannot be found.
    std::optional<FontFace> baseFont(double pointSize) const;
    // baseFont with the weight and width axes set (clamped to the face's ranges) and tabular
    // figures, so the time keeps its width as digits change.
    std::optional<FontFace> drawingFont(double pointSize) const;
    // The width values worth offering for this family: the face's width axis limited to 50...150,
    // when at least 5 wide.
    std::optional<std::pair<double, double>> widthRange() const;
    // Whether a width other than normal is set.
    bool hasCustomWidth() const { return width && *width != 100; }
    // The Qt font for text at this scale (secondary lines and previews).
    QFont font(double scale) const;

    bool operator==(const FontSpec&) const = default;
};

// The look of a secondary line of the clock.
struct TextLook
{
    FontSpec font;
    double tracking = 0;
    RGBA color;
    bool uppercase = false;

    QJsonObject toJson() const;
    static std::optional<TextLook> fromJson(const QJsonValue& value);

    bool operator==(const TextLook&) const = default;
};

#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <memory>
#include <optional>

// One variation axis of a font, in the axis's own units.
struct FontAxis
{
    QByteArray tag; // four letters, e.g. "wght"
    double minimum = 0;
    double defaultValue = 0;
    double maximum = 0;
};

// The system faces a style can ask for without naming a family.
enum class SystemFontDesign { standard, rounded, serif, monospaced };

// A font face at a size (in points, drawn one point per pixel at scale 1) with optional variation
// values and tabular figures: what the clock draws its digits with. Cheap to copy.
class FontFace
{
public:
    // The member of `family` nearest to `weight` (100 to 900), upright, preferring a variable face
    // (whose weight axis the caller sets). nullopt when no such family is installed.
    static std::optional<FontFace> fromFamily(const QString& family, int weight, double size);
    // The face whose PostScript or full name is `name`.
    static std::optional<FontFace> fromName(const QString& name, double size);
    // The system's face of that design; nullopt when the system has none (rounded, usually).
    static std::optional<FontFace> system(SystemFontDesign design, int weight, double size);

    QString family() const;
    QString filePath() const;
    double size() const { return m_size; }
    int weight() const { return m_weight; }

    QList<FontAxis> axes() const;
    std::optional<FontAxis> axis(const QByteArray& tag) const;
    // Sets one axis (replacing an earlier value for it). Values are used as given.
    FontFace withVariation(const QByteArray& tag, double value) const;
    std::optional<double> variation(const QByteArray& tag) const;
    FontFace withTabularFigures(bool on = true) const;
    bool tabularFigures() const { return m_tabular; }
    FontFace atSize(double size) const;

    // Line metrics at this size (descent positive, below the baseline).
    double ascent() const;
    double descent() const;
    // Sum of the advances of the shaped text, with `tracking` added after every glyph.
    double advance(const QString& text, double tracking = 0) const;
    // One glyph of shaped text: its id and pen position (x, baseline) in a top-down space.
    struct PlacedGlyph
    {
        unsigned id = 0;
        QPointF pen;
    };
    // The shaped glyphs of the text on one line whose top-left is at `origin`, with `tracking`
    // added after every glyph.
    QList<PlacedGlyph> glyphs(const QString& text, QPointF origin = {}, double tracking = 0) const;
    // The same glyphs with the line's advance (as advance() gives it), from one shaping.
    struct ShapedLine
    {
        QList<PlacedGlyph> glyphs;
        double advance = 0;
    };
    ShapedLine shapeLine(const QString& text, QPointF origin = {}, double tracking = 0) const;
    // One glyph's outline at this size, upright, its pen position at (0, 0). Outlines are read
    // once per face and variation set and kept.
    QPainterPath glyphOutline(unsigned glyph) const;
    // The outlines of the text laid out on one line, each glyph upright in a top-down space:
    // the line's top-left at `origin`, its baseline at origin.y() + ascent().
    QPainterPath outline(const QString& text, QPointF origin = {}, double tracking = 0) const;
    // Whether the face has a glyph for every character of the text.
    bool covers(const QString& text) const;

    // A Qt font of the same family, weight and pixel size, for text that does not need axes.
    QFont qtFont() const;
    // Identifies face, size, variations and features (cache keys).
    QString key() const;

    struct Loaded;
    struct Instance;

private:
    FontFace() = default;
    std::shared_ptr<Loaded> m_face;
    std::shared_ptr<Instance> m_instance; // the shaping font with this face's variations
    double m_size = 0;
    int m_weight = 400;
    bool m_tabular = false;
    QList<std::pair<QByteArray, double>> m_variations;

    void rebuildFont();
};

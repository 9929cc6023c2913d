#include "platform/font_face.h"

#include "platform/font_catalog.h"
#include "platform/font_system_linux.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QTransform>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <bit>
#include <cmath>

// The face data, shared by every FontFace made from the same file and index.
struct FontFace::Loaded
{
    hb_face_t* face = nullptr;
    unsigned upem = 1000;
    QString family;
    QString file;
    int index = 0;
    QList<FontAxis> axes;
    ~Loaded() { hb_face_destroy(face); }
};

struct FontFace::Instance
{
    hb_font_t* font = nullptr;
    // Glyph outlines in font units (y down), read once: a clock redraws the same ten digits.
    QMutex mutex;
    QHash<unsigned, QPainterPath> outlines;
    ~Instance() { hb_font_destroy(font); }
};

namespace {

// The font file as an sfnt, through FreeType so WOFF and WOFF2 files work too.
hb_blob_t* sfntBlob(const QString& file, int index)
{
    QMutexLocker lock(&FontSystemLinux::mutex());
    FT_Face face = nullptr;
    if (FT_New_Face(FontSystemLinux::freeType(), QFile::encodeName(file).constData(), index, &face) != 0)
        return nullptr;
    FT_ULong length = 0;
    hb_blob_t* blob = nullptr;
    if (FT_Load_Sfnt_Table(face, 0, 0, nullptr, &length) == 0 && length > 0) {
        auto* bytes = static_cast<char*>(malloc(length));
        if (bytes && FT_Load_Sfnt_Table(face, 0, 0, reinterpret_cast<FT_Byte*>(bytes), &length) == 0)
            blob = hb_blob_create(bytes, unsigned(length), HB_MEMORY_MODE_WRITABLE, bytes, free);
        else
            free(bytes);
    }
    FT_Done_Face(face);
    return blob;
}

std::shared_ptr<FontFace::Loaded> loadFace(const QString& file, int index, const QString& family)
{
    static QMutex cacheMutex;
    static QHash<QString, std::shared_ptr<FontFace::Loaded>> cache;
    const QString key = file + QLatin1Char('#') + QString::number(index);
    QMutexLocker lock(&cacheMutex);
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    hb_blob_t* blob = sfntBlob(file, index);
    if (!blob)
        return nullptr;
    // A collection keeps its index; a single face read out of FreeType is face 0.
    hb_face_t* face = hb_face_create(blob, hb_face_count(blob) > 1 ? unsigned(index) : 0);
    hb_blob_destroy(blob);
    if (!face || hb_face_get_glyph_count(face) == 0) {
        hb_face_destroy(face);
        return nullptr;
    }
    auto loaded = std::make_shared<FontFace::Loaded>();
    loaded->face = face;
    loaded->upem = std::max(1u, hb_face_get_upem(face));
    loaded->family = family;
    loaded->file = file;
    loaded->index = index;
    unsigned count = hb_ot_var_get_axis_count(face);
    QList<hb_ot_var_axis_info_t> infos(count);
    hb_ot_var_get_axis_infos(face, 0, &count, infos.data());
    for (unsigned i = 0; i < count; ++i) {
        char tag[4];
        hb_tag_to_string(infos[i].tag, tag);
        loaded->axes.append(FontAxis{QByteArray(tag, 4), infos[i].min_value, infos[i].default_value, infos[i].max_value});
    }
    cache.insert(key, loaded);
    return loaded;
}

struct DrawContext
{
    QPainterPath* path;
    double x;
    double baseline;
    double k; // font units to points
};

QPointF at(const DrawContext* c, float x, float y)
{
    return QPointF(c->x + x * c->k, c->baseline - y * c->k);
}

hb_draw_funcs_t* drawFuncs()
{
    static hb_draw_funcs_t* funcs = [] {
        hb_draw_funcs_t* f = hb_draw_funcs_create();
        hb_draw_funcs_set_move_to_func(f, [](hb_draw_funcs_t*, void* data, hb_draw_state_t*, float x, float y, void*) {
            auto* c = static_cast<DrawContext*>(data);
            c->path->moveTo(at(c, x, y));
        }, nullptr, nullptr);
        hb_draw_funcs_set_line_to_func(f, [](hb_draw_funcs_t*, void* data, hb_draw_state_t*, float x, float y, void*) {
            auto* c = static_cast<DrawContext*>(data);
            c->path->lineTo(at(c, x, y));
        }, nullptr, nullptr);
        hb_draw_funcs_set_quadratic_to_func(f, [](hb_draw_funcs_t*, void* data, hb_draw_state_t*, float cx, float cy,
                                                  float x, float y, void*) {
            auto* c = static_cast<DrawContext*>(data);
            c->path->quadTo(at(c, cx, cy), at(c, x, y));
        }, nullptr, nullptr);
        hb_draw_funcs_set_cubic_to_func(f, [](hb_draw_funcs_t*, void* data, hb_draw_state_t*, float c1x, float c1y,
                                              float c2x, float c2y, float x, float y, void*) {
            auto* c = static_cast<DrawContext*>(data);
            c->path->cubicTo(at(c, c1x, c1y), at(c, c2x, c2y), at(c, x, y));
        }, nullptr, nullptr);
        hb_draw_funcs_set_close_path_func(f, [](hb_draw_funcs_t*, void* data, hb_draw_state_t*, void*) {
            static_cast<DrawContext*>(data)->path->closeSubpath();
        }, nullptr, nullptr);
        hb_draw_funcs_make_immutable(f);
        return f;
    }();
    return funcs;
}

struct Shaped
{
    hb_buffer_t* buffer = nullptr;
    ~Shaped() { hb_buffer_destroy(buffer); }
};

void shape(hb_font_t* font, const QString& text, bool tabular, Shaped& out)
{
    out.buffer = hb_buffer_create();
    hb_buffer_add_utf16(out.buffer, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()), 0, int(text.size()));
    hb_buffer_guess_segment_properties(out.buffer);
    hb_feature_t features[1];
    unsigned featureCount = 0;
    if (tabular) {
        features[0] = {HB_TAG('t', 'n', 'u', 'm'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END};
        featureCount = 1;
    }
    hb_shape(font, out.buffer, features, featureCount);
}

// Fontconfig weight of a pattern on the 100...900 scale; nullopt for a variable (ranged) pattern.
std::optional<double> patternWeight(FcPattern* pattern)
{
    FcValue value;
    if (FcPatternGet(pattern, FC_WEIGHT, 0, &value) != FcResultMatch)
        return 400.0;
    if (value.type == FcTypeInteger)
        return FcWeightToOpenTypeDouble(value.u.i);
    if (value.type == FcTypeDouble)
        return FcWeightToOpenTypeDouble(value.u.d);
    return std::nullopt;
}

struct Candidate
{
    QString file;
    int index = 0;
    QString family;
};

std::optional<Candidate> bestMember(FcFontSet* set, int weight)
{
    std::optional<Candidate> best;
    double bestDistance = 1e9;
    bool bestVariable = false;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        FcChar8* file = nullptr;
        int index = 0;
        int slant = FC_SLANT_ROMAN;
        FcBool variable = FcFalse;
        if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(p, FC_INDEX, 0, &index);
        FcPatternGetInteger(p, FC_SLANT, 0, &slant);
        FcPatternGetBool(p, FC_VARIABLE, 0, &variable);
        // Named instances of a variable font are reached through the variable face itself.
        if ((index >> 16) != 0)
            continue;
        const double distance = (slant == FC_SLANT_ROMAN ? 0 : 10000)
            + (variable ? 0 : std::abs(patternWeight(p).value_or(weight) - weight));
        const bool better = !best || (variable && !bestVariable && distance <= bestDistance) || distance < bestDistance;
        if (better) {
            FcChar8* family = nullptr;
            FcPatternGetString(p, FC_FAMILY, 0, &family);
            best = Candidate{QFile::decodeName(reinterpret_cast<const char*>(file)), index & 0xFFFF,
                             QString::fromUtf8(reinterpret_cast<const char*>(family))};
            bestDistance = distance;
            bestVariable = variable;
        }
    }
    return best;
}

std::optional<Candidate> listMatching(const char* object, const QString& value, int weight)
{
    QMutexLocker lock(&FontSystemLinux::mutex());
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, object, reinterpret_cast<const FcChar8*>(value.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_VARIABLE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    const auto best = bestMember(set, weight);
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return best;
}

} // namespace

std::optional<FontFace> FontFace::fromFamily(const QString& family, int weight, double size)
{
    if (family.isEmpty())
        return std::nullopt;
    const auto candidate = listMatching(FC_FAMILY, family, weight);
    if (!candidate)
        return std::nullopt;
    auto loaded = loadFace(candidate->file, candidate->index, family);
    if (!loaded)
        return std::nullopt;
    FontFace face;
    face.m_face = loaded;
    face.m_size = size;
    face.m_weight = weight;
    face.rebuildFont();
    return face;
}

std::optional<FontFace> FontFace::fromName(const QString& name, double size)
{
    if (name.isEmpty())
        return std::nullopt;
    auto candidate = listMatching(FC_POSTSCRIPT_NAME, name, 400);
    if (!candidate)
        candidate = listMatching(FC_FULLNAME, name, 400);
    if (!candidate)
        return std::nullopt;
    auto loaded = loadFace(candidate->file, candidate->index, candidate->family);
    if (!loaded)
        return std::nullopt;
    FontFace face;
    face.m_face = loaded;
    face.m_size = size;
    face.rebuildFont();
    return face;
}

std::optional<FontFace> FontFace::system(SystemFontDesign design, int weight, double size)
{
    const char* generic = nullptr;
    switch (design) {
    case SystemFontDesign::standard: generic = "sans-serif"; break;
    case SystemFontDesign::serif: generic = "serif"; break;
    case SystemFontDesign::monospaced: generic = "monospace"; break;
    case SystemFontDesign::rounded: return std::nullopt; // no rounded system design here
    }
    QString family;
    {
        QMutexLocker lock(&FontSystemLinux::mutex());
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(generic));
        FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* name = nullptr;
        if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = QString::fromUtf8(reinterpret_cast<const char*>(name));
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    return fromFamily(family, weight, size);
}

void FontFace::rebuildFont()
{
    auto instance = std::make_shared<Instance>();
    instance->font = hb_font_create(m_face->face);
    hb_font_set_scale(instance->font, int(m_face->upem), int(m_face->upem));
    QList<hb_variation_t> variations;
    for (const auto& [tag, value] : m_variations)
        variations.append(hb_variation_t{hb_tag_from_string(tag.constData(), 4), float(value)});
    if (!variations.isEmpty())
        hb_font_set_variations(instance->font, variations.constData(), unsigned(variations.size()));
    hb_font_make_immutable(instance->font);
    m_instance = instance;
}

QString FontFace::family() const { return m_face->family; }
QString FontFace::filePath() const { return m_face->file; }
QList<FontAxis> FontFace::axes() const { return m_face->axes; }

std::optional<FontAxis> FontFace::axis(const QByteArray& tag) const
{
    for (const FontAxis& a : m_face->axes) {
        if (a.tag == tag)
            return a;
    }
    return std::nullopt;
}

FontFace FontFace::withVariation(const QByteArray& tag, double value) const
{
    FontFace copy = *this;
    copy.m_variations.removeIf([&](const auto& v) { return v.first == tag; });
    copy.m_variations.append({tag, value});
    copy.rebuildFont();
    return copy;
}

std::optional<double> FontFace::variation(const QByteArray& tag) const
{
    for (const auto& [t, value] : m_variations) {
        if (t == tag)
            return value;
    }
    return std::nullopt;
}

FontFace FontFace::withTabularFigures(bool on) const
{
    FontFace copy = *this;
    copy.m_tabular = on;
    return copy;
}

FontFace FontFace::atSize(double size) const
{
    FontFace copy = *this;
    copy.m_size = size;
    return copy;
}

double FontFace::ascent() const
{
    hb_font_extents_t extents{};
    hb_font_get_h_extents(m_instance->font, &extents);
    return extents.ascender * m_size / m_face->upem;
}

double FontFace::descent() const
{
    hb_font_extents_t extents{};
    hb_font_get_h_extents(m_instance->font, &extents);
    return -extents.descender * m_size / m_face->upem;
}

double FontFace::advance(const QString& text, double tracking) const
{
    if (text.isEmpty())
        return 0;
    Shaped shaped;
    shape(m_instance->font, text, m_tabular, shaped);
    unsigned count = 0;
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(shaped.buffer, &count);
    double total = 0;
    for (unsigned i = 0; i < count; ++i)
        total += positions[i].x_advance;
    return total * m_size / m_face->upem + tracking * count;
}

QList<FontFace::PlacedGlyph> FontFace::glyphs(const QString& text, QPointF origin, double tracking) const
{
    return shapeLine(text, origin, tracking).glyphs;
}

FontFace::ShapedLine FontFace::shapeLine(const QString& text, QPointF origin, double tracking) const
{
    ShapedLine line;
    if (text.isEmpty())
        return line;
    Shaped shaped;
    shape(m_instance->font, text, m_tabular, shaped);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(shaped.buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(shaped.buffer, &count);
    const double k = m_size / m_face->upem;
    const double baseline = origin.y() + ascent();
    double pen = 0;
    line.glyphs.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        line.glyphs.append(PlacedGlyph{infos[i].codepoint,
                                       QPointF(origin.x() + (pen + positions[i].x_offset) * k, baseline - positions[i].y_offset * k)});
        pen += positions[i].x_advance + tracking / k;
    }
    line.advance = pen * k;
    return line;
}

QPainterPath FontFace::glyphOutline(unsigned glyph) const
{
    QPainterPath units;
    {
        QMutexLocker lock(&m_instance->mutex);
        auto found = m_instance->outlines.constFind(glyph);
        if (found == m_instance->outlines.cend()) {
            QPainterPath path;
            DrawContext context{&path, 0, 0, 1};
            hb_font_get_glyph_shape(m_instance->font, glyph, drawFuncs(), &context);
            path.setFillRule(Qt::WindingFill);
            found = m_instance->outlines.insert(glyph, path);
        }
        units = *found;
    }
    const double k = m_size / m_face->upem;
    return QTransform::fromScale(k, k).map(units);
}

QPainterPath FontFace::outline(const QString& text, QPointF origin, double tracking) const
{
    QPainterPath path;
    for (const PlacedGlyph& glyph : glyphs(text, origin, tracking))
        path.addPath(glyphOutline(glyph.id).translated(glyph.pen));
    path.setFillRule(Qt::WindingFill);
    return path;
}

bool FontFace::covers(const QString& text) const
{
    const QList<uint> codepoints = text.toUcs4();
    for (const uint c : codepoints) {
        hb_codepoint_t glyph = 0;
        if (!hb_font_get_nominal_glyph(m_instance->font, c, &glyph))
            return false;
    }
    return true;
}

QFont FontFace::qtFont() const
{
    QFont font(m_face->family);
    font.setWeight(QFont::Weight(std::clamp(m_weight, 100, 900)));
    font.setPixelSize(std::max(1, int(std::lround(m_size))));
    return font;
}

QString FontFace::key() const
{
    // Exact values, written as their bits: cheap to make and never equal for different values.
    const auto bits = [](double value) { return QString::number(std::bit_cast<quint64>(value), 16); };
    QString key = m_face->file + QLatin1Char('#') + QString::number(m_face->index) + QLatin1Char('@') + bits(m_size)
        + (m_tabular ? QStringLiteral("t") : QString());
    for (const auto& [tag, value] : m_variations)
        key += QLatin1Char(';') + QString::fromLatin1(tag) + QLatin1Char('=') + bits(value);
    return key;
}

#include "brand/brand_accent.h"

#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString accentKey = QStringLiteral("brandAccent");
const QString edgesKey = QStringLiteral("brandEdges");

Defaults& accentDomain()
{
    return Defaults::domain(Zentrove::paneflowID());
}

struct Hsb
{
    double h = 0, s = 0, b = 0;
};

Hsb toHsb(double r, double g, double b)
{
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double delta = max - min;
    Hsb out;
    out.b = max;
    out.s = max > 0 ? delta / max : 0;
    if (delta <= 0)
        return out;
    double h;
    if (max == r)
        h = (g - b) / delta;
    else if (max == g)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    h /= 6;
    if (h < 0)
        h += 1;
    out.h = h;
    return out;
}

void toRgb(double h, double s, double v, double& r, double& g, double& b)
{
    const double sector = std::fmod(h * 6, 6.0);
    const int i = int(std::floor(sector));
    const double f = sector - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
    }
}

std::optional<quint32> parseHex(QString text)
{
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (text.isEmpty() || text.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const QChar c : text) {
        const int digit = c.isDigit() ? c.unicode() - '0'
            : (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ? c.unicode() - 'a' + 10
            : (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ? c.unicode() - 'A' + 10
                                                               : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint32(digit);
    }
    return value;
}

} // namespace

BrandAccent& BrandAccent::shared()
{
    static BrandAccent* instance = new BrandAccent;
    return *instance;
}

BrandAccent::BrandAccent()
{
    Defaults& domain = accentDomain();
    const auto stored = domain.integer(accentKey);
    if (stored && *stored >= 0 && *stored <= 0xFFFFFFFFLL)
        m_hex = quint32(*stored);
    if (const auto text = domain.string(edgesKey)) {
        if (const auto edges = EdgeBrightness::parse(*text))
            m_edges = *edges;
    }
    m_token = Notifier::observe(Notices::brandAccentChanged(), [this](const std::optional<QString>& object) {
        if (object)
            apply(parsePayload(*object));
    });
}

QColor BrandAccent::color() const
{
    return QColor::fromRgb(QRgb(0xFF000000u | (m_hex & 0xFFFFFFu)));
}

QColor BrandAccent::glow() const
{
    QColor c = color();
    c.setAlphaF(0.22f);
    return c;
}

void BrandAccent::apply(const Payload& payload)
{
    if (payload.hex && *payload.hex != m_hex) {
        m_hex = *payload.hex;
        emit hexChanged(m_hex);
    }
    if (payload.edges && !(*payload.edges == m_edges)) {
        m_edges = *payload.edges;
        emit edgesChanged(m_edges);
    }
}

std::optional<quint32> BrandAccent::pick(const QImage& image)
{
    if (image.isNull())
        return std::nullopt;
    const QImage small = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                             .scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    if (small.isNull())
        return std::nullopt;
    struct Bin
    {
        double weight = 0, h = 0, s = 0, b = 0;
    };
    std::array<Bin, 24> bins{};
    for (int y = 0; y < small.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(small.constScanLine(y));
        for (int x = 0; x < small.width(); ++x) {
            const Hsb c = toHsb(qRed(line[x]) / 255.0, qGreen(line[x]) / 255.0, qBlue(line[x]) / 255.0);
            if (!(c.s > 0.15 && c.b > 0.2))
                continue;
            Bin& bin = bins[std::min(int(c.h * 24), 23)];
            const double w = c.s * c.b;
            bin.weight += w;
            bin.h += c.h * w;
            bin.s += c.s * w;
            bin.b += c.b * w;
        }
    }
    const Bin* best = &bins[0];
    for (const Bin& bin : bins) {
        if (bin.weight > best->weight)
            best = &bin;
    }
    if (!(best->weight > 0))
        return std::nullopt;
    const double h = best->h / best->weight;
    const double s = std::clamp(best->s / best->weight, 0.35, 0.62);
    const double v = std::clamp(best->b / best->weight, 0.82, 0.94);
    double r, g, b;
    toRgb(h, s, v, r, g, b);
    return (quint32(r * 255) << 16) | (quint32(g * 255) << 8) | quint32(b * 255);
}

QString BrandAccent::payload(quint32 hex, const EdgeBrightness& edges)
{
    return QString::number(hex, 16) + QLatin1Char('|') + edges.text();
}

BrandAccent::Payload BrandAccent::parsePayload(const QString& object)
{
    Payload result;
    const qsizetype bar = object.indexOf(QLatin1Char('|'));
    result.hex = parseHex(bar < 0 ? object : object.left(bar));
    if (bar >= 0)
        result.edges = EdgeBrightness::parse(object.mid(bar + 1));
    return result;
}

void BrandAccent::update(const std::optional<QString>& thumbnailPath, std::function<void()> done)
{
    QThreadPool::globalInstance()->start([thumbnailPath, done = std::move(done)] {
        QImage image;
        if (thumbnailPath) {
            QImageReader reader(*thumbnailPath);
            reader.setAutoTransform(true);
            image = reader.read();
        }
        const quint32 hex = pick(image).value_or(fallback);
        const EdgeBrightness edges = EdgeBrightness::fromImage(image).value_or(EdgeBrightness());
        QMetaObject::invokeMethod(QCoreApplication::instance(), [hex, edges, done] {
            Defaults& domain = accentDomain();
            domain.setValues({{accentKey, qlonglong(hex)}, {edgesKey, edges.text()}});
            Notifier::post(Notices::brandAccentChanged(), payload(hex, edges));
            if (done)
                done();
        }, Qt::QueuedConnection);
    });
}

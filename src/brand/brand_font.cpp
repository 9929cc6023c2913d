#include "brand/brand_font.h"

#include "platform/font_catalog.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>

namespace {

QFont make(const QString& family, double size, QFont::Weight weight, bool monospaced)
{
    QFont font;
    if (BrandFont::isInstalled(family)) {
        font.setFamily(family);
    } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        font = QFontDatabase::systemFont(monospaced ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
    } else if (monospaced) {
        font.setStyleHint(QFont::Monospace);
    }
    font.setPointSizeF(size);
    font.setWeight(weight);
    return font;
}

} // namespace

bool BrandFont::isInstalled(const QString& family)
{
    static QMutex mutex;
    static QHash<QString, bool> known;
    QMutexLocker lock(&mutex);
    const auto found = known.constFind(family);
    if (found != known.cend())
        return *found;
    const bool installed = FontCatalog::hasFamily(family);
    known.insert(family, installed);
    return installed;
}

QFont BrandFont::display(double size, QFont::Weight weight) { return make(displayFamily(), size, weight, false); }
QFont BrandFont::ui(double size, QFont::Weight weight) { return make(uiFamily(), size, weight, false); }
QFont BrandFont::mono(double size, QFont::Weight weight) { return make(monoFamily(), size, weight, true); }
QFont BrandFont::label(double size) { return make(uiFamily(), size, QFont::Medium, false); }

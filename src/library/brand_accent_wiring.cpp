#include "brand/brand_accent.h"

#include "library/ensemble_theme.h"
#include "library/library_services.h"

namespace {

std::optional<QString> thumbnail(const QString& path)
{
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

class BrandAccentRefresher : public AccentRefresher
{
public:
    void refresh(const QString& thumbnailPath) override { BrandAccent::update(thumbnail(thumbnailPath)); }
};

} // namespace

void BrandAccent::followWallpapers()
{
    LibraryServices::installed().accent = std::make_shared<BrandAccentRefresher>();
    EnsembleTheme::setAccentRefresh([](const QString& path) { BrandAccent::update(thumbnail(path)); });
}

#include "app/navigation.h"

Page pageOf(const Part& part)
{
    return Pages::fromRawValue(part.shortName()).value_or(Page::settings);
}

std::optional<Part> partOn(Page page)
{
    for (const Part& part : Part::all())
        if (pageOf(part) == page)
            return part;
    return std::nullopt;
}

namespace {
template<typename T, typename Emit>
void assign(T& field, const T& value, Emit emitChange)
{
    if (field == value)
        return;
    field = value;
    emitChange();
}
} // namespace

void Navigation::go(Page target)
{
    if (target == m_page) {
        ++m_reselected;
        emit reselectedChanged();
        return;
    }
    if (m_leaveGuard && !m_leaveGuard(target))
        return;
    setPage(target);
}

void Navigation::setPage(Page page)
{
    assign(m_page, page, [this] { emit pageChanged(); });
}

void Navigation::setShowSetup(bool show)
{
    assign(m_showSetup, show, [this] { emit sheetsChanged(); });
}

void Navigation::setShowMove(bool show)
{
    assign(m_showMove, show, [this] { emit sheetsChanged(); });
}

void Navigation::setShowUninstall(bool show)
{
    assign(m_showUninstall, show, [this] { emit sheetsChanged(); });
}

void Navigation::setShowFeedback(bool show)
{
    assign(m_showFeedback, show, [this] { emit sheetsChanged(); });
}

void Navigation::setOpenWallpaper(std::optional<QUuid> id)
{
    assign(m_openWallpaper, id, [this] { emit openWallpaperChanged(); });
}

void Navigation::setOpenEnsemble(std::optional<QUuid> id)
{
    assign(m_openEnsemble, id, [this] { emit openEnsembleChanged(); });
}

void Navigation::setImportVideo(bool import)
{
    assign(m_importVideo, import, [this] { emit importVideoChanged(); });
}

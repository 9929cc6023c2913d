#pragma once

#include "app/page.h"

#include <QString>

#include <optional>

// A name given to "--show" or posted to bring the window up: a sheet, a page, or a page with a
// detail after the first full stop ("vizavedid.date").
struct ShowRequest
{
    enum class Kind { window, uninstall, feedback, page };

    Kind kind = Kind::window; // `window`: a name we do not know just opens the window
    Page page = Page::looks;
    QString detail;

    static ShowRequest parse(const QString& name);
    bool operator==(const ShowRequest&) const = default;
};

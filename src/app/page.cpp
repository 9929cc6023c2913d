#include "app/page.h"

QList<Page> Pages::all()
{
    return {Page::looks, Page::settings, Page::paneflow, Page::vizavedid, Page::taskbar};
}

QString Pages::rawValue(Page page)
{
    switch (page) {
    case Page::looks: return QStringLiteral("looks");
    case Page::settings: return QStringLiteral("settings");
    case Page::paneflow: return QStringLiteral("paneflow");
    case Page::vizavedid: return QStringLiteral("vizavedid");
    case Page::taskbar: return QStringLiteral("taskbar");
    }
    return QStringLiteral("settings");
}

std::optional<Page> Pages::fromRawValue(const QString& raw)
{
    for (Page page : all())
        if (rawValue(page) == raw)
            return page;
    return std::nullopt;
}

#include "app/show_request.h"

ShowRequest ShowRequest::parse(const QString& name)
{
    if (name == QLatin1String("uninstall"))
        return {Kind::uninstall};
    if (name == QLatin1String("feedback"))
        return {Kind::feedback};
    const qsizetype stop = name.indexOf(QLatin1Char('.'));
    const QString pageName = stop < 0 ? name : name.left(stop);
    const std::optional<Page> page = Pages::fromRawValue(pageName);
    if (!page)
        return {Kind::window};
    return {Kind::page, *page, stop < 0 ? QString() : name.mid(stop + 1)};
}

#include "core/part.h"

#include "core/zentrove.h"
#include "platform/desktop_words.h"

QList<Part> Part::all()
{
    return {
        {Zentrove::paneflowID(), QStringLiteral("Paneflow"), QStringLiteral("Live Wallpaper"),
         QStringLiteral("Video and picture wallpapers on the desktop and the lock screen.")},
        {Zentrove::vizaVedidID(), QStringLiteral("VizaVedid"), QStringLiteral("Lock Screen Clock"),
         QStringLiteral("Your own clock style on the lock screen.")},
        {Zentrove::taskbarID(), QStringLiteral("Taskbar"), QStringLiteral("Taskbar"),
         DesktopWords::current().fill(u"A customizable taskbar that replaces the {dock}.")},
    };
}

std::optional<Part> Part::withID(const QString& id)
{
    for (const Part& part : all())
        if (part.id == id)
            return part;
    return std::nullopt;
}

std::optional<Part> Part::withShortName(const QString& shortName)
{
    for (const Part& part : all())
        if (part.shortName() == shortName)
            return part;
    return std::nullopt;
}

#include "looks/look.h"

#include "platform/defaults.h"
#include "platform/process_identity.h"

namespace {
QList<NamedRef> refs(const QString& suite, const QString& key)
{
    Defaults& domain = Defaults::domain(suite);
    domain.sync();
    const auto bytes = domain.data(key);
    return bytes ? NamedRef::decodeList(*bytes) : QList<NamedRef> {};
}
} // namespace

Defaults& Look::paneflowPrefs()
{
    if (ProcessIdentity::current() == paneflowDomain())
        return Defaults::standard();
    return Defaults::domain(paneflowDomain());
}

QList<NamedRef> Look::clockPresets()
{
    return refs(Zentrove::vizaVedidID(), QStringLiteral("customPresets"));
}

QList<NamedRef> Look::taskbarThemes()
{
    return refs(Zentrove::taskbarID(), QStringLiteral("themes"));
}

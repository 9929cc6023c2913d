#include "platform/process_identity.h"

namespace {
QString& storage()
{
    static QString identifier;
    return identifier;
}
} // namespace

QString ProcessIdentity::current()
{
    return storage();
}

void ProcessIdentity::set(const QString& identifier)
{
    storage() = identifier;
}

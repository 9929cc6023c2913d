// The safety list document as it comes off the network.
#include "services/safety.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto entries = Safety::decode(document)) {
        for (const Safety::Entry& e : *entries) {
            Safety::compare(e.macOS, e.through.value_or(QString()));
            Safety::offMessage(e.feature + QStringLiteral(".x"), document, e.macOS, e.fixedInBuild.value_or(0) - 1);
        }
    }
    Safety::offMessage(QStringLiteral("paneflow"), document, QStringLiteral("14.5.0"), 100);
    return 0;
}

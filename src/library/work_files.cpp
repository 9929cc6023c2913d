#include "library/work_files.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace WorkFiles {

bool isWorkFile(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^.+\\.[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\.(partial|partial\\.mov|looped\\.mov)$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(fileName).hasMatch();
}

QStringList removeAbandoned(const QString& folder, std::chrono::seconds quietFor)
{
    QStringList removed;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-quietFor.count());
    // The library folder can hold thousands of media files: let the listing pass over them by
    // name alone, without looking at each file or sorting the names.
    QDirIterator listing(folder, {QStringLiteral("*.partial"), QStringLiteral("*.partial.mov"), QStringLiteral("*.looped.mov")},
                         QDir::Files | QDir::Hidden);
    while (listing.hasNext()) {
        listing.next();
        const QFileInfo file = listing.fileInfo();
        if (!isWorkFile(file.fileName()) || file.lastModified().toUTC() > before)
            continue;
        if (QFile::remove(file.absoluteFilePath()))
            removed << file.fileName();
    }
    return removed;
}

} // namespace WorkFiles

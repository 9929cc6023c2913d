#include "library/work_files.h"

#include <QDateTime>
#include <QDir>
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
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!isWorkFile(file.fileName()) || file.lastModified().toUTC() > before)
            continue;
        if (QFile::remove(file.absoluteFilePath()))
            removed << file.fileName();
    }
    return removed;
}

} // namespace WorkFiles

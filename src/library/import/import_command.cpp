#include "library/import/import_command.h"

#include "core/zentrove.h"
#include "library/import/media_jobs.h"
#include "library/import/media_services.h"
#include "library/library_store.h"
#include "media/media_kind.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>


namespace {

struct Line
{
    QString file;
    std::optional<QUuid> activity; // none: the file is not a video or picture
};

QString describe(const Line& line, const LibraryStore& store)
{
    const QString name = QFileInfo(line.file).fileName();
    if (!line.activity)
        return name + QStringLiteral(": not a video or picture, skipped");
    for (const Activity& a : store.activities()) {
        if (a.id != *line.activity)
            continue;
        QString text = name + QStringLiteral(": ") + a.detail;
        if (a.state == Activity::State::running && a.progress)
            text += QStringLiteral(" %1%").arg(int(*a.progress * 100));
        return text;
    }
    return name;
}

QString withoutPercent(const QString& text)
{
    static const QRegularExpression percent(QStringLiteral(" \\d+%$"));
    return QString(text).remove(percent);
}

bool wasAdded(const Line& line, const LibraryStore& store)
{
    if (!line.activity)
        return false;
    for (const Activity& a : store.activities())
        if (a.id == *line.activity)
            return a.state == Activity::State::done || a.detail == QLatin1String("Added, but lock screen prep failed");
    return false;
}

} // namespace

namespace ImportCommand {

int run(const QStringList& files, std::FILE* out)
{
    MediaServices::install();
    LibraryStore store(Zentrove::paneflowID(), false);

    QList<Line> lines;
    QList<QUrl> urls;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        lines.append({path, std::nullopt});
        if (MediaKind::isWallpaperFile(path))
            urls.append(QUrl::fromLocalFile(path));
    }
    const QSet<QUuid> before = [&] {
        QSet<QUuid> ids;
        for (const Activity& a : store.activities())
            ids.insert(a.id);
        return ids;
    }();
    store.importFiles(urls);
    // Each media file started one activity, in order.
    qsizetype next = 0;
    for (const Activity& a : store.activities()) {
        if (before.contains(a.id))
            continue;
        while (next < lines.size() && !MediaKind::isWallpaperFile(lines[next].file))
            ++next;
        if (next < lines.size())
            lines[next++].activity = a.id;
    }

    const bool terminal = Terminal::isTerminal(out);
    QStringList shown;   // what the terminal shows now
    QStringList printed; // plain output: the last line printed per file
    auto draw = [&](bool final) {
        QStringList now;
        for (const Line& line : lines)
            now << describe(line, store);
        if (terminal) {
            // Back to the first line, then rewrite every line in place.
            if (!shown.isEmpty())
                std::fprintf(out, "\x1b[%lldA", static_cast<long long>(shown.size()));
            for (const QString& text : now)
                std::fprintf(out, "\r\x1b[2K%s\n", qPrintable(text));
            shown = now;
        } else {
            // A line whenever a file reaches a new step, not at every percent; the end state always.
            printed.resize(now.size());
            for (qsizetype i = 0; i < now.size(); ++i) {
                const bool newStep = withoutPercent(now[i]) != withoutPercent(printed[i]);
                if (newStep || (final && now[i] != printed[i])) {
                    std::fprintf(out, "%s\n", qPrintable(now[i]));
                    printed[i] = now[i];
                }
            }
        }
        std::fflush(out);
    };
    draw(false);

    QEventLoop loop;
    QObject::connect(&store, &LibraryStore::activitiesChanged, &loop, [&] { draw(false); });
    QObject::connect(&store, &LibraryStore::importingChanged, &loop, [&] {
        if (store.importing() == 0)
            loop.quit();
    });
    if (store.importing() > 0)
        loop.exec();
    MediaJobs::waitForAll();
    QCoreApplication::processEvents();
    draw(true);

    bool all = true;
    for (const Line& line : lines)
        all = all && wasAdded(line, store);
    return all ? 0 : 1;
}

} // namespace ImportCommand

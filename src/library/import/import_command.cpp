#include "library/import/import_command.h"

#include "core/zentrove.h"
#include "library/import/media_jobs.h"
#include "library/import/media_services.h"
#include "library/library_store.h"
#include "media/media_kind.h"
#include "platform/terminal.h"
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>


namespace {

struct Line
{
    QString file;
    std::optional<QUuid> activity; // none: the file is not a video or picture
};

// Whether a character would act on the terminal or on the order of the line instead of showing.
bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    const bool reorders = u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
    return reorders || c.category() == QChar::Other_Control;
}

// The signal that stopped the command (0: none), and the loop it ends. Set from the quit signal
// handler, which outlives run().
int stopSignal = 0;
QPointer<QEventLoop> running;

QtMessageHandler passOn = nullptr;

// Log lines name the files too: they reach the terminal as escaped as the progress lines.
void escapedMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QString shown = ImportCommand::printable(message);
    if (passOn)
        passOn(type, context, shown);
    else
        std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
}

QString describe(const Line& line, const LibraryStore& store)
{
    const QString name = ImportCommand::printable(QFileInfo(line.file).fileName());
    if (!line.activity)
        return name + QStringLiteral(": not a video or picture, skipped");
    for (const Activity& a : store.activityLog().activities()) {
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
    for (const Activity& a : store.activityLog().activities())
        if (a.id == *line.activity)
            return a.state == Activity::State::done || a.detail == QLatin1String("Added, but lock screen prep failed");
    return false;
}

} // namespace

namespace ImportCommand {

QString printable(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (!isControl(c)) {
            shown += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\a': shown += QStringLiteral("\\a"); break;
        case u'\b': shown += QStringLiteral("\\b"); break;
        case u'\t': shown += QStringLiteral("\\t"); break;
        case u'\n': shown += QStringLiteral("\\n"); break;
        case u'\v': shown += QStringLiteral("\\v"); break;
        case u'\f': shown += QStringLiteral("\\f"); break;
        case u'\r': shown += QStringLiteral("\\r"); break;
        default:
            shown += c.unicode() < 0x100 ? QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'))
                                         : QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

int run(const QStringList& files, std::FILE* out)
{
    passOn = qInstallMessageHandler(&escapedMessage);
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
        for (const Activity& a : store.activityLog().activities())
            ids.insert(a.id);
        return ids;
    }();
    store.importFiles(urls);
    // Each media file started one activity, in order.
    qsizetype next = 0;
    for (const Activity& a : store.activityLog().activities()) {
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
    QSet<QUuid> cutShort; // imports under way when a signal stopped the command
    auto draw = [&](bool final) {
        QStringList now;
        for (const Line& line : lines)
            now << (line.activity && cutShort.contains(*line.activity) && !wasAdded(line, store)
                        ? printable(QFileInfo(line.file).fileName()) + QStringLiteral(": stopped")
                        : describe(line, store));
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
    running = &loop;
    // Asked to end (terminate, interrupt, hang-up): stop now, not when the files are done.
    QuitSignals::install([](int signal) {
        if (!stopSignal)
            stopSignal = signal;
        if (running)
            running->quit();
    });
    const QMetaObject::Connection drawing = QObject::connect(&store.activityLog(), &ActivityLog::activitiesChanged, &loop, [&] { draw(false); });
    QObject::connect(&store, &LibraryStore::importingChanged, &loop, [&] {
        if (store.importing() == 0)
            loop.quit();
    });
    if (store.importing() > 0 && !stopSignal)
        loop.exec();

    if (stopSignal) {
        // What the stopped imports do on their way out is not shown step by step: only the end.
        QObject::disconnect(drawing);
        for (const Activity& a : store.activityLog().activities())
            if (a.state == Activity::State::running)
                cutShort.insert(a.id);
        // Cancels the work under way and waits for it: a copy or conversion stops at its next chunk
        // or frame and removes its work file.
        MediaJobs::shutDown();
    } else {
        MediaJobs::waitForAll();
    }
    // The last results land on this thread: a stopped import takes back what it had copied.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    draw(true);
    if (stopSignal)
        return 128 + stopSignal;

    bool all = true;
    for (const Line& line : lines)
        all = all && wasAdded(line, store);
    return all ? 0 : 1;
}

} // namespace ImportCommand

// Plays the other processes of the library in tests:
//
//   zentrove-library-peer --id IDENTIFIER --shipped FOLDER engine-store
//       runs the library store in engine mode; prints "ready", then "current ENSEMBLE WALLPAPER"
//       whenever either changes ("-" for none); a line "choose ENSEMBLE" on standard input makes
//       that ensemble current, a line "remove WALLPAPER" removes that wallpaper from the library
//   zentrove-library-peer --id IDENTIFIER receive-looks
//       prints "ready", then "applied CLOCK THEME" for each look it applies ("-" for none)
#include "core/record_json.h"
#include "library/library_store.h"
#include "looks/look_receiver.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "wallpaper/library_housekeeping.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString text(const std::optional<QUuid>& id)
{
    return id ? RecordJson::uuidText(*id) : QStringLiteral("-");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString shipped;
    while (args.size() >= 2 && args[0].startsWith(QLatin1String("--"))) {
        if (args[0] == QLatin1String("--id"))
            ProcessIdentity::set(args[1]);
        else if (args[0] == QLatin1String("--shipped"))
            shipped = args[1];
        args = args.mid(2);
    }
    const QString command = args.value(0);
    std::unique_ptr<LibraryStore> store;
    std::unique_ptr<LookReceiver> receiver;

    if (command == QLatin1String("engine-store")) {
        LibraryLocations where = LibraryLocations::standard();
        if (!shipped.isEmpty())
            where.shippedWallpapers = shipped;
        store = std::make_unique<LibraryStore>(Defaults::standard().name(), true, where, LibraryServices {});
        LibraryHousekeeping::atStart(*store);
        const auto report = [s = store.get()] { say(QStringLiteral("current ") + text(s->currentEnsembleID()) + QLatin1Char(' ') + text(s->currentID())); };
        QObject::connect(store.get(), &LibraryStore::currentEnsembleIDChanged, report);
        QObject::connect(store.get(), &LibraryStore::currentIDChanged, report);
        auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(input, &QSocketNotifier::activated, [s = store.get(), input] {
            char buffer[256] = {};
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
            if (n <= 0) {
                input->setEnabled(false);
                return;
            }
            const QStringList words = QString::fromUtf8(buffer, n).trimmed().split(QLatin1Char(' '));
            if (words.size() == 2 && words[0] == QLatin1String("choose"))
                s->setCurrentEnsembleID(RecordJson::parseUuid(QStringView(words[1])));
            if (words.size() == 2 && words[0] == QLatin1String("remove")) {
                if (const auto id = RecordJson::parseUuid(QStringView(words[1])))
                    if (const std::optional<Wallpaper> item = s->wallpaper(*id))
                        s->remove(*item);
            }
        });
        say(QStringLiteral("ready"));
    } else if (command == QLatin1String("receive-looks")) {
        receiver = std::make_unique<LookReceiver>([](const LookRequest& request) {
            say(QStringLiteral("applied ") + text(request.clockPreset) + QLatin1Char(' ') + text(request.taskbarTheme));
        });
        say(QStringLiteral("ready"));
    } else {
        std::fprintf(stderr, "usage: zentrove-library-peer [--id ID] [--shipped FOLDER] engine-store|receive-looks\n");
        return 2;
    }
    return app.exec();
}

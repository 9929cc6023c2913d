#include "looks/display_ensembles.h"

#include "core/record_json.h"
#include "looks/look.h"
#include "platform/defaults.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString mapKey = QStringLiteral("displayEnsembles");
}

namespace DisplayEnsembles {

QString changed()
{
    return Notices::displayEnsemblesChanged();
}

DisplayMap saved()
{
    Defaults& prefs = Look::paneflowPrefs();
    const auto stored = prefs.dictionary(mapKey);
    if (!stored)
        return {};
    DisplayMap map;
    for (auto it = stored->cbegin(); it != stored->cend(); ++it) {
        if (it.value().typeId() != QMetaType::QString)
            return {};
        if (const auto id = RecordJson::parseUuid(QStringView(it.value().toString())))
            map.insert(it.key(), *id);
    }
    return map;
}

QString encode(const DisplayMap& map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), RecordJson::uuidText(it.value()));
    const QByteArray bytes = RecordJson::compact(object);
    return bytes.isEmpty() ? QStringLiteral("{}") : QString::fromUtf8(bytes);
}

std::optional<DisplayMap> decode(const QString& text)
{
    const auto object = RecordJson::parseObject(text.toUtf8());
    if (!object)
        return std::nullopt;
    DisplayMap map;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        if (const auto id = RecordJson::parseUuid(it.value()))
            map.insert(it.key(), *id);
    }
    return map;
}

void save(const DisplayMap& map)
{
    QVariantMap stored;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        stored.insert(it.key(), RecordJson::uuidText(it.value()));
    Look::paneflowPrefs().set(mapKey, stored);
    Notifier::post(changed(), encode(map));
}

NoticeToken observe(std::function<void(const DisplayMap&)> handler)
{
    return Notifier::observe(changed(), [handler = std::move(handler)](const std::optional<QString>& object) {
        if (!object)
            return;
        if (const auto map = decode(*object))
            handler(*map);
    });
}

std::optional<ScreenInfo> mainScreen()
{
    return Screens::main();
}

std::optional<QUuid> ownEnsemble(const ScreenInfo& screen, const DisplayMap& map)
{
    const auto main = mainScreen();
    if (main && main->displayID == screen.displayID)
        return std::nullopt;
    if (!screen.displayUUID)
        return std::nullopt;
    const auto entry = map.constFind(*screen.displayUUID);
    if (entry == map.cend())
        return std::nullopt;
    return *entry;
}

} // namespace DisplayEnsembles

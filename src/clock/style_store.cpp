#include "clock/style_store.h"

#include "clock/clock_hours.h"
#include "clock/presets.h"
#include "core/record_json.h"
#include "core/settings_sync.h"
#include "core/unique_name.h"
#include "platform/defaults.h"

#include <QJsonDocument>

namespace {

const QString styleKey = QStringLiteral("style");
const QString presetsKey = QStringLiteral("customPresets");
const QString desktopKey = QStringLiteral("showOnDesktop");
const QString timeFormatKey = QStringLiteral("timeFormat");
const QString previewKey = QStringLiteral("previewImagePath");
const QString activeKey = QStringLiteral("activePresetID");
const QString seededKey = QStringLiteral("seededPresets");
const QString removedKey = QStringLiteral("removedPresets");
const QString shippedKey = QStringLiteral("shippedPresets");

using RecordJson::uuidText;

// Data keys written by other tools may hold the JSON as text.
std::optional<QByteArray> bytes(const Defaults& defaults, const QString& key)
{
    if (const auto data = defaults.data(key))
        return data;
    if (const auto text = defaults.string(key))
        return text->toUtf8();
    return std::nullopt;
}

// Values that cannot be stored faithfully (a size that is not a number) are not written.
bool encodesFaithfully(const ClockStyle& style)
{
    const auto decoded = ClockStyle::decode(style.encode());
    return decoded && *decoded == style;
}

} // namespace

StyleStore::StyleStore(Defaults& defaults, QObject* parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_rule(defaults.name())
    , m_shipped(defaults.name(), {seededKey, removedKey, shippedKey})
{
    m_style = readStyle();
    m_customPresets = readPresets();
    m_showOnDesktop = m_defaults.boolean(desktopKey, false);

    bool formatPresent = false;
    m_timeFormat = readTimeFormat(&formatPresent);
    ClockHours::shared().setFormat(m_timeFormat);
    if (!m_defaults.contains(timeFormatKey)) {
        m_defaults.set(timeFormatKey, rawValue(m_timeFormat));
        m_rule.announce();
    }

    m_previewImagePath = readPreviewImagePath();
    m_activePresetID = readActivePresetID();

    seedBuiltIns();
    updateUneditedBuiltIns();

    if (!m_activePresetID) {
        for (const NamedStyle& preset : std::as_const(m_customPresets)) {
            if (preset.style == m_style) {
                setActivePresetID(preset.id);
                break;
            }
        }
    }

    m_observer = SettingsSync::observe(m_defaults.name(), [this] { reload(); });
}

StyleStore::~StyleStore() = default;

StyleStore& StyleStore::shared()
{
    static StyleStore* store = new StyleStore(Defaults::standard());
    return *store;
}

ClockStyle StyleStore::readStyle(bool* stored) const
{
    if (const auto data = bytes(m_defaults, styleKey)) {
        if (const auto style = ClockStyle::decode(*data)) {
            if (stored)
                *stored = true;
            return *style;
        }
    }
    return Presets::bold();
}

QList<NamedStyle> StyleStore::readPresets() const
{
    const auto data = bytes(m_defaults, presetsKey);
    return data ? NamedStyles::read(*data) : QList<NamedStyle>();
}

ClockTimeFormat StyleStore::readTimeFormat(bool* present) const
{
    if (const auto text = m_defaults.string(timeFormatKey)) {
        if (const auto format = enumFromRaw<ClockTimeFormat>(*text)) {
            *present = true;
            return *format;
        }
    }
    *present = false;
    // Derived once from the stored style: what it showed, expressed against the system's choice.
    const auto data = bytes(m_defaults, styleKey);
    const auto stored = data ? ClockStyle::decode(*data) : std::nullopt;
    if (!stored || stored->use24Hour == ClockHours::systemUses24Hour())
        return ClockTimeFormat::mac;
    return stored->use24Hour ? ClockTimeFormat::twentyFour : ClockTimeFormat::twelve;
}

std::optional<QString> StyleStore::readPreviewImagePath() const
{
    return m_defaults.string(previewKey);
}

std::optional<QUuid> StyleStore::readActivePresetID() const
{
    const auto text = m_defaults.string(activeKey);
    if (!text)
        return std::nullopt;
    return RecordJson::parseUuid(QStringView(*text));
}

void StyleStore::writeStyle()
{
    if (encodesFaithfully(m_style))
        m_defaults.set(styleKey, m_style.encode());
}

void StyleStore::writePresets()
{
    for (const NamedStyle& preset : std::as_const(m_customPresets)) {
        if (!encodesFaithfully(preset.style))
            return;
    }
    m_defaults.set(presetsKey, NamedStyles::write(m_customPresets));
}

void StyleStore::savePresets()
{
    if (m_rule.isReloading())
        return;
    writePresets();
    m_rule.announce();
    emit customPresetsChanged();
}

void StyleStore::setStyle(const ClockStyle& style)
{
    m_rule.assign(m_style, style, [this] { writeStyle(); }, [this] { emit styleChanged(); });
}

void StyleStore::setCustomPresets(const QList<NamedStyle>& presets)
{
    m_rule.assign(m_customPresets, presets, [this] { writePresets(); }, [this] { emit customPresetsChanged(); });
}

void StyleStore::setShowOnDesktop(bool show)
{
    m_rule.assign(m_showOnDesktop, show, [this] { m_defaults.set(desktopKey, m_showOnDesktop); },
                  [this] { emit showOnDesktopChanged(m_showOnDesktop); });
}

void StyleStore::setTimeFormat(ClockTimeFormat format)
{
    // Every clock of this process follows at once, a reload included.
    ClockHours::shared().setFormat(format);
    m_rule.assign(m_timeFormat, format, [this] { m_defaults.set(timeFormatKey, rawValue(m_timeFormat)); },
                  [this] { emit timeFormatChanged(m_timeFormat); });
}

void StyleStore::setPreviewImagePath(const std::optional<QString>& path)
{
    m_rule.assign(m_previewImagePath, path, [this] {
        if (m_previewImagePath)
            m_defaults.set(previewKey, *m_previewImagePath);
        else
            m_defaults.remove(previewKey);
    }, [this] { emit previewImagePathChanged(); });
}

void StyleStore::setActivePresetID(const std::optional<QUuid>& id)
{
    m_rule.assign(m_activePresetID, id, [this] {
        if (m_activePresetID)
            m_defaults.set(activeKey, uuidText(*m_activePresetID));
        else
            m_defaults.remove(activeKey);
    }, [this] { emit activePresetIDChanged(); });
}

std::optional<NamedStyle> StyleStore::activePreset() const
{
    if (!m_activePresetID)
        return std::nullopt;
    for (const NamedStyle& preset : m_customPresets) {
        if (preset.id == *m_activePresetID)
            return preset;
    }
    return std::nullopt;
}

bool StyleStore::activePresetEdited() const
{
    const auto active = activePreset();
    return active && !(active->style == m_style);
}

const QList<NamedStyle>& StyleStore::PresetLooks::shipped()
{
    return Presets::builtIn();
}

NamedStyle StyleStore::PresetLooks::withLookOf(NamedStyle identity, const NamedStyle& look)
{
    identity.style = look.style;
    return identity;
}

QByteArray StyleStore::PresetLooks::encode(const NamedStyle& preset)
{
    return preset.style.encode();
}

std::optional<NamedStyle> StyleStore::PresetLooks::decode(const QByteArray& data)
{
    const std::optional<ClockStyle> style = ClockStyle::decode(data);
    if (!style)
        return std::nullopt;
    NamedStyle preset;
    preset.style = *style;
    return preset;
}

void StyleStore::seedBuiltIns()
{
    if (m_shipped.seed(m_customPresets)) {
        writePresets();
        m_rule.announce();
    }
}

void StyleStore::updateUneditedBuiltIns()
{
    const QList<Shipped::Refreshed> changed = m_shipped.refresh(m_customPresets);
    if (changed.isEmpty())
        return;
    writePresets();
    m_rule.announce();
    for (const Shipped::Refreshed& change : changed) {
        // The current style follows its active preset when it showed that preset as it was.
        if (m_activePresetID == change.after.id && m_style == change.before.style)
            setStyle(change.after.style);
    }
}

void StyleStore::applyPreset(const NamedStyle& preset)
{
    setStyle(preset.style);
    setActivePresetID(preset.id);
}

void StyleStore::saveCurrentAsPreset(const QString& name)
{
    const NamedStyle preset{QUuid::createUuid(), UniqueName::make(name, Shipped::names(m_customPresets)), m_style, std::nullopt};
    m_customPresets.append(preset);
    savePresets();
    setActivePresetID(preset.id);
}

void StyleStore::saveCurrentToActivePreset()
{
    if (!m_activePresetID)
        return;
    for (NamedStyle& preset : m_customPresets) {
        if (preset.id == *m_activePresetID)
            preset.style = m_style;
    }
    savePresets();
    // Tell the other processes again which preset is active.
    if (!m_rule.isReloading()) {
        m_defaults.set(activeKey, uuidText(*m_activePresetID));
        m_rule.announce();
        emit activePresetIDChanged();
    }
}

void StyleStore::renamePreset(const QUuid& id, const QString& name)
{
    if (Shipped::rename(m_customPresets, id, name))
        savePresets();
}

void StyleStore::deletePreset(const QUuid& id)
{
    if (m_shipped.remove(m_customPresets, id))
        savePresets();
}

std::optional<NamedStyle> StyleStore::originalPreset(const QUuid& id) const
{
    return m_shipped.original(m_customPresets, id);
}

void StyleStore::resetPreset(const QUuid& id)
{
    const std::optional<NamedStyle> reset = m_shipped.reset(m_customPresets, id);
    if (!reset)
        return;
    savePresets();
    if (m_activePresetID == id)
        applyPreset(*reset);
}

QList<NamedStyle> StyleStore::missingBuiltInPresets() const
{
    return m_shipped.missing(m_customPresets);
}

void StyleStore::restoreBuiltInPresets()
{
    if (m_shipped.restoreAll(m_customPresets))
        savePresets();
}

std::optional<NamedStyle> StyleStore::restoreBuiltInPreset(const QString& name)
{
    const std::optional<NamedStyle> restored = m_shipped.restore(m_customPresets, name);
    if (restored)
        savePresets();
    return restored;
}

std::optional<QUuid> StyleStore::restoreShipped(const QUuid& shippedID)
{
    for (const NamedStyle& shipped : Presets::builtIn()) {
        if (shipped.id != shippedID)
            continue;
        if (const auto restored = restoreBuiltInPreset(shipped.name))
            return restored->id;
        return std::nullopt;
    }
    return std::nullopt;
}

void StyleStore::reload()
{
    m_rule.reloading([this] {
        setStyle(readStyle());
        setCustomPresets(readPresets());
        setShowOnDesktop(m_defaults.boolean(desktopKey, false));
        bool present = false;
        setTimeFormat(readTimeFormat(&present));
        setPreviewImagePath(readPreviewImagePath());
        setActivePresetID(readActivePresetID());
    });
}

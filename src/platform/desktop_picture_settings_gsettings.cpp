#include "platform/desktop_picture_settings.h"


// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <algorithm>
#include <memory>


namespace {

struct Place
{
    const char* schema;
    const char* key;
};

// The desktop picture (light, dark) and the lock screen's picture, as key names "schema/key".
constexpr Place places[] = {
    {"org.gnome.desktop.background", "picture-uri"},
    {"org.gnome.desktop.background", "picture-uri-dark"},
    {"org.gnome.desktop.screensaver", "picture-uri"},
};

QString nameOf(const Place& place) { return QString::fromLatin1(place.schema) + QLatin1Char('/') + QString::fromLatin1(place.key); }

struct ObjectUnref { void operator()(gpointer object) const { g_object_unref(object); } };
struct SchemaUnref { void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); } };
struct VariantUnref { void operator()(GVariant* variant) const { g_variant_unref(variant); } };
using SettingsPtr = std::unique_ptr<GSettings, ObjectUnref>;
using SchemaPtr = std::unique_ptr<GSettingsSchema, SchemaUnref>;
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

// The settings through GIO: whichever backend GIO picks for the session (dconf on GNOME, the
// keyfile backend when GSETTINGS_BACKEND says so). A schema or key that is not installed means
// the desktop keeps no such setting; GIO would abort on it, so it is looked up first.
class GSettingsDesktopPicture final : public DesktopPictureSettings
{
public:
    bool isSetUp() const override
    {
        for (const Place& place : places)
            if (!settings(nameOf(place)))
                return false;
        return true;
    }

    QString backend() const override { return QStringLiteral("GSettings"); }

    QStringList keys() const override
    {
        QStringList names;
        for (const Place& place : places)
            names.append(nameOf(place));
        return names;
    }

    std::optional<Value> value(const QString& key) const override
    {
        const auto [settings, name] = find(key);
        if (!settings)
            return std::nullopt;
        const VariantPtr own(g_settings_get_user_value(settings.get(), name.constData()));
        gchar* text = g_settings_get_string(settings.get(), name.constData());
        Value value {QString::fromUtf8(text), own != nullptr};
        g_free(text);
        return value;
    }

    bool set(const QString& key, const QString& text) override
    {
        const auto [settings, name] = find(key);
        if (!settings || !g_settings_set_string(settings.get(), name.constData(), text.toUtf8().constData()))
            return false;
        g_settings_sync();
        return true;
    }

    bool reset(const QString& key) override
    {
        const auto [settings, name] = find(key);
        if (!settings)
            return false;
        g_settings_reset(settings.get(), name.constData());
        g_settings_sync();
        return true;
    }

private:
    // The settings object of a "schema/key" name and the key itself; none when not installed.
    static std::pair<SettingsPtr, QByteArray> find(const QString& key)
    {
        for (const Place& place : places)
            if (nameOf(place) == key)
                return {settings(key), QByteArray(place.key)};
        return {};
    }

    static SettingsPtr settings(const QString& key)
    {
        const QByteArray schemaName = key.section(QLatin1Char('/'), 0, 0).toUtf8();
        const QByteArray keyName = key.section(QLatin1Char('/'), 1).toUtf8();
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!source)
            return {};
        const SchemaPtr schema(g_settings_schema_source_lookup(source, schemaName.constData(), TRUE));
        if (!schema || !g_settings_schema_has_key(schema.get(), keyName.constData()))
            return {};
        return SettingsPtr(g_settings_new_full(schema.get(), nullptr, nullptr));
    }
};

} // namespace

DesktopPictureSettings& DesktopPictureSettings::system()
{
    static const std::unique_ptr<DesktopPictureSettings> settings = makeSystem();
    return *settings;
}

std::unique_ptr<DesktopPictureSettings> DesktopPictureSettings::makeGSettings()
{
    return std::make_unique<GSettingsDesktopPicture>();
}

std::unique_ptr<DesktopPictureSettings> DesktopPictureSettings::makeSystem()
{
    // Xfce keeps its desktop pictures in xfconf; GNOME and the other GSettings desktops in GSettings.
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const bool xfce = std::any_of(desktops.cbegin(), desktops.cend(), [](const QString& name) {
        return name.compare(QLatin1String("XFCE"), Qt::CaseInsensitive) == 0;
    });
    return xfce ? makeXfconf() : makeGSettings();
}

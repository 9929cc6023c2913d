#pragma once

#include "clock/clock_style.h"
#include "clock/named_style.h"
#include "core/change_rule.h"
#include "core/shipped_looks.h"
#include "library/library_services.h"
#include "platform/notifier.h"

#include <QObject>
#include <QUuid>

#include <optional>

class Defaults;

// Everything the lock screen clock shows: the current style, the user's presets, the app-wide hour
// format, whether the clock is also on the desktop and the picture behind previews. Kept in the
// clock part's settings domain, which the control app opens by name and the part as its own, so
// both share one truth. Every write is announced; a change announced by another process reloads.
class StyleStore : public QObject, public ShippedLookSource
{
    Q_OBJECT
public:
    explicit StyleStore(Defaults& defaults, QObject* parent = nullptr);
    ~StyleStore() override;

    // The store of this process's own domain (used inside the clock part).
    static StyleStore& shared();

    const ClockStyle& style() const { return m_style; }
    const QList<NamedStyle>& customPresets() const { return m_customPresets; }
    bool showOnDesktop() const { return m_showOnDesktop; }
    ClockTimeFormat timeFormat() const { return m_timeFormat; }
    const std::optional<QString>& previewImagePath() const { return m_previewImagePath; }
    const std::optional<QUuid>& activePresetID() const { return m_activePresetID; }

    void setStyle(const ClockStyle& style);
    void setCustomPresets(const QList<NamedStyle>& presets);
    void setShowOnDesktop(bool show);
    void setTimeFormat(ClockTimeFormat format);
    void setPreviewImagePath(const std::optional<QString>& path);
    void setActivePresetID(const std::optional<QUuid>& id);

    std::optional<NamedStyle> activePreset() const;
    // There is an active preset and the current style differs from it.
    bool activePresetEdited() const;

    void applyPreset(const NamedStyle& preset);
    void saveCurrentAsPreset(const QString& name);
    void saveCurrentToActivePreset();
    void renamePreset(const QUuid& id, const QString& name);
    void deletePreset(const QUuid& id);

    // The shipped preset a built-in preset came from, when the user changed its style ("Reset to
    // original"); nullopt otherwise.
    std::optional<NamedStyle> originalPreset(const QUuid& id) const;
    void resetPreset(const QUuid& id);

    // Shipped presets the user deleted, as they would come back.
    QList<NamedStyle> missingBuiltInPresets() const;
    void restoreBuiltInPresets();
    std::optional<NamedStyle> restoreBuiltInPreset(const QString& name);
    std::optional<QUuid> restoreShipped(const QUuid& shippedID) override;

    // Re-reads every key after another process's change: assigns only what differs, writes and
    // announces nothing.
    void reload();

signals:
    void styleChanged();
    void customPresetsChanged();
    void showOnDesktopChanged(bool show);
    void timeFormatChanged(ClockTimeFormat format);
    void previewImagePathChanged();
    void activePresetIDChanged();

private:
    ClockStyle readStyle(bool* stored = nullptr) const;
    QList<NamedStyle> readPresets() const;
    ClockTimeFormat readTimeFormat(bool* present) const;
    std::optional<QString> readPreviewImagePath() const;
    std::optional<QUuid> readActivePresetID() const;
    void writeStyle();
    void writePresets();
    void savePresets(); // writes and announces the current list (edits made in place)
    void seedBuiltIns();
    void updateUneditedBuiltIns();

    // The shipped presets' lifecycle: looks are compared and recorded by their clock style.
    struct PresetLooks
    {
        static const QList<NamedStyle>& shipped();
        static bool sameLook(const NamedStyle& a, const NamedStyle& b) { return a.style == b.style; }
        static NamedStyle withLookOf(NamedStyle identity, const NamedStyle& look);
        static QByteArray encode(const NamedStyle& preset);
        static std::optional<NamedStyle> decode(const QByteArray& data);
    };
    using Shipped = ShippedLooks<NamedStyle, PresetLooks>;

    Defaults& m_defaults;
    ChangeRule m_rule;
    Shipped m_shipped;
    NoticeToken m_observer;
    ClockStyle m_style;
    QList<NamedStyle> m_customPresets;
    bool m_showOnDesktop = false;
    ClockTimeFormat m_timeFormat = ClockTimeFormat::mac;
    std::optional<QString> m_previewImagePath;
    std::optional<QUuid> m_activePresetID;
};

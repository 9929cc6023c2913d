#pragma once

#include <QObject>

#include <optional>

// The desktop's light or dark preference. On desktops that do not publish one, nothing is known
// and nothing is ever reported.
class Appearance : public QObject
{
    Q_OBJECT
public:
    explicit Appearance(QObject* parent = nullptr);

    // nullopt until (or unless) the desktop has said.
    std::optional<bool> isDark() const { return m_dark; }

signals:
    // The preference changed (or became known).
    void changed(bool dark);

private:
    void take(const QVariant& value);
    std::optional<bool> m_dark;
};

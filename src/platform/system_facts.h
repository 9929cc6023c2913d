#pragma once

#include <QString>

#include <memory>
#include <optional>

// What the running system says about itself, for the details a user may attach to a message:
// the distribution and the hardware model.
class SystemFacts
{
public:
    // Where the backend reads from; tests point these at files of their own.
    struct Sources
    {
        QString osRelease = QStringLiteral("/etc/os-release");
        QString productName = QStringLiteral("/sys/class/dmi/id/product_name");
    };

    virtual ~SystemFacts() = default;

    // The distribution's name and version ("Debian GNU/Linux 12"); the kernel's name when the
    // system does not say.
    virtual QString distribution() const = 0;
    // The machine's model as its firmware names it; none when it cannot be read.
    virtual std::optional<QString> hardwareModel() const = 0;

    static SystemFacts& system();
    static std::unique_ptr<SystemFacts> makeSystem();
    static std::unique_ptr<SystemFacts> makeSystem(const Sources& sources);
};

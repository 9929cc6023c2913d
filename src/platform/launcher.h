#pragma once

#include <QString>

#include <functional>
#include <memory>

// Starts a part's agent now, outside the login sequence. The agent runs on its own: it is not a
// child of the caller and keeps running when the caller quits.
class Launcher
{
public:
    struct Outcome
    {
        enum class Kind {
            started,        // running now (or already was)
            exited,         // the start step ran and failed with `exitStatus`
            couldNotLaunch, // the start step itself could not run; `description` says why
        };
        Kind kind = Kind::started;
        int exitStatus = 0;
        QString description;
    };

    virtual ~Launcher() = default;
    // `done` runs on the main thread once the outcome is known.
    virtual void start(const QString& identifier, std::function<void(const Outcome&)> done) = 0;

    // Runs the agent of Bundle with "--kickstart": it detaches itself and exits 0 once it owns
    // its identity on the bus, or with a non-zero status when it cannot start.
    static std::unique_ptr<Launcher> makeSystem();
};

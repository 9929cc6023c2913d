#pragma once

#include <QString>

#include <functional>
#include <optional>

// Keeps an observation alive; dropping it (or destroying it) stops the handler.
class NoticeToken
{
public:
    NoticeToken() = default;
    explicit NoticeToken(quint64 id) : m_id(id) {}
    NoticeToken(NoticeToken&& other) noexcept : m_id(std::exchange(other.m_id, 0)) {}
    NoticeToken& operator=(NoticeToken&& other) noexcept;
    NoticeToken(const NoticeToken&) = delete;
    NoticeToken& operator=(const NoticeToken&) = delete;
    ~NoticeToken() { reset(); }

    void reset();
    bool isActive() const { return m_id != 0; }

private:
    quint64 m_id = 0;
};

// Session-wide notices: a name with an optional string object, seen by every process of the
// user's session that observes the name (the posting process included). Handlers run on the
// main thread. Without a session bus, notices stay inside the process.
class Notifier
{
public:
    using Handler = std::function<void(const std::optional<QString>& object)>;

    // Objects longer than this are not sent, and not accepted from others.
    static constexpr qsizetype maxObjectLength = 256 * 1024;

    static void post(const QString& name, const std::optional<QString>& object = std::nullopt);
    [[nodiscard]] static NoticeToken observe(const QString& name, Handler handler);

    // Blocks until the notices posted so far have left this process. Runs by itself when the
    // application is about to quit, so a process may post and exit right away.
    static void flush();

    // Whether notices reach other processes.
    static bool reachesOtherProcesses();
};

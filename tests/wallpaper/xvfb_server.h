#pragma once

// A private X server for tests: Xvfb on a free display number (it picks one itself and tells it
// through a pipe), plus readers of what is on it, independent of the code under test: window
// properties through xprop, placement through xwininfo, and pixels through an xcb image grab.

#include <QByteArray>
#include <QCryptographicHash>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

class XvfbServer
{
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { stop(); }

    static bool installed() { return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty(); }

    // Starts a server with one screen of `size`; false when Xvfb is missing or did not come up.
    // Works before any Qt application object exists (a test's main sets DISPLAY from it).
    bool start(QSize size)
    {
        // A server that has told its display number but takes no connection is replaced by a
        // fresh one.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!launch(size))
                return false;
            if (acceptsConnections())
                return true;
            stop();
        }
        return false;
    }

    void stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

    bool running() const { return m_pid > 0 && !m_display.isEmpty(); }
    pid_t pid() const { return m_pid; }
    const QByteArray& display() const { return m_display; }

    // `tool` run against this server; its standard output.
    QString run(const QString& tool, const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
        process.setProcessEnvironment(environment);
        process.start(tool, arguments);
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    QString property(quintptr window, const QString& name) const
    {
        return run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), name}).trimmed();
    }

    // Where the window is on the screen (absolute) and whether it is mapped, as xwininfo says.
    struct Placement
    {
        QRect rect;
        bool viewable = false;
    };
    Placement placement(quintptr window) const
    {
        const QString text = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
        auto number = [&](const QString& label) {
            const qsizetype at = text.indexOf(label);
            return at < 0 ? -1 : text.mid(at + label.size()).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
        };
        return {QRect(number(QStringLiteral("Absolute upper-left X:")), number(QStringLiteral("Absolute upper-left Y:")),
                      number(QStringLiteral("Width:")), number(QStringLiteral("Height:"))),
                text.contains(QLatin1String("IsViewable"))};
    }

    // The root window's pixels in `area`, read over a connection of the test's own.
    QByteArray pixels(const QRect& area) const
    {
        xcb_connection_t* conn = xcb_connect(m_display.constData(), nullptr);
        QByteArray result;
        if (!xcb_connection_has_error(conn)) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
            auto* reply = xcb_get_image_reply(conn,
                                              xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(area.x()), int16_t(area.y()),
                                                            uint16_t(area.width()), uint16_t(area.height()), ~0u),
                                              nullptr);
            if (reply)
                result = QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(reply)), xcb_get_image_data_length(reply));
            std::free(reply);
        }
        xcb_disconnect(conn);
        return result;
    }
    QByteArray pixelHash(const QRect& area) const { return QCryptographicHash::hash(pixels(area), QCryptographicHash::Md5); }

    // The pixel at `point` as 0xRRGGBB (24-bit screens keep pixels as 32-bit BGRX).
    quint32 pixel(QPoint point) const
    {
        const QByteArray data = pixels(QRect(point, QSize(1, 1)));
        if (data.size() < 4)
            return 0xFFFFFFFF;
        return quint32(quint8(data[2])) << 16 | quint32(quint8(data[1])) << 8 | quint32(quint8(data[0]));
    }

private:
    bool launch(QSize size)
    {
        const QByteArray xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
        if (xvfb.isEmpty())
            return false;
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        const QByteArray screen = QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height()) + "x24";
        const QByteArray fd = QByteArray::number(fds[1]);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            // -noreset: by default the server resets when its last client leaves, and a client
            // that connects meanwhile is turned away.
            ::execl(xvfb.constData(), "Xvfb", "-displayfd", fd.constData(), "-screen", "0", screen.constData(), "-nolisten", "tcp",
                    "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        QByteArray number;
        char c = 0;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (m_pid < 0 || number.isEmpty()) {
            stop();
            return false;
        }
        m_display = ':' + number;
        return true;
    }

    // Whether a client can connect within two seconds.
    bool acceptsConnections() const
    {
        for (int tries = 0; tries < 40; ++tries) {
            xcb_connection_t* conn = xcb_connect(m_display.constData(), nullptr);
            const bool connected = !xcb_connection_has_error(conn);
            xcb_disconnect(conn);
            if (connected)
                return true;
            ::usleep(50 * 1000);
        }
        return false;
    }

    pid_t m_pid = -1;
    QByteArray m_display;
};

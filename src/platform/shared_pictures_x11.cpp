#include "platform/shared_pictures.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLoggingCategory>
#include <QSet>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>

Q_LOGGING_CATEGORY(lcSharedPictures, "zentrove.sharedpictures")

namespace {

// Blocks are memory files the X server maps too (shared-memory extension 1.2, the file handed
// over the connection's socket), so nothing is left behind in the system's shared memory if the
// process dies. The X connection is our own: what it answers never meets Qt's event handling.
class X11SharedPictures final : public SharedPictures
{
public:
    static X11SharedPictures* make()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !qEnvironmentVariableIsEmpty("ZENTROVE_NO_SHARED_PICTURES"))
            return nullptr;
        xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn)) {
            xcb_disconnect(conn);
            return nullptr;
        }
        // Handing over a file needs version 1.2, and a display on this machine, which the first
        // attach proves.
        xcb_shm_query_version_reply_t* version = xcb_shm_query_version_reply(conn, xcb_shm_query_version(conn), nullptr);
        const bool handsOverFiles = version && (version->major_version > 1 || version->minor_version >= 2);
        std::free(version);
        if (!handsOverFiles) {
            xcb_disconnect(conn);
            return nullptr;
        }
        return new X11SharedPictures(conn);
    }

    uchar* allocate(std::size_t bytes) override
    {
        if (bytes == 0)
            return nullptr;
        const int fd = memfd_create("zentrove-picture", MFD_CLOEXEC);
        if (fd < 0)
            return nullptr;
        void* data = ftruncate(fd, off_t(bytes)) == 0 ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
        if (data == MAP_FAILED) {
            close(fd);
            return nullptr;
        }
        auto* block = static_cast<uchar*>(data);
        std::lock_guard lock(m_mutex);
        m_blocks.emplace(block, Block {bytes, fd, 0});
        return block;
    }

    void release(uchar* data) override
    {
        Block block;
        {
            std::lock_guard lock(m_mutex);
            const auto it = m_blocks.find(data);
            if (it == m_blocks.end())
                return;
            block = it->second;
            m_blocks.erase(it);
        }
        munmap(data, block.bytes);
        if (block.fd >= 0)
            close(block.fd);
        // The server lets go of its own mapping; requests of any thread are safe on one connection.
        if (block.segment) {
            xcb_shm_detach(m_conn, block.segment);
            xcb_flush(m_conn);
        }
    }

    bool show(quintptr nativeWindow, const QImage& image) override
    {
        if (m_broken || nativeWindow == 0 || image.isNull() || image.depth() != 32 || image.bytesPerLine() % 4 != 0)
            return false;
        const auto window = xcb_window_t(nativeWindow);
        const uchar* pixels = image.constBits();
        xcb_shm_seg_t segment = 0;
        std::size_t offset = 0;
        if (!segmentOf(pixels, std::size_t(image.sizeInBytes()), segment, offset))
            return false;
        const xcb_gcontext_t gc = contextFor(window);
        if (!gc)
            return false;
        const xcb_void_cookie_t put = xcb_shm_put_image_checked(
            m_conn, window, gc, uint16_t(image.bytesPerLine() / 4), uint16_t(image.height()), 0, 0, uint16_t(image.width()),
            uint16_t(image.height()), 0, 0, 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, uint32_t(offset));
        // The check is a round trip: once it answers, the server has copied the pixels.
        if (xcb_generic_error_t* error = xcb_request_check(m_conn, put)) {
            qCWarning(lcSharedPictures).noquote() << "Zentrove: the X server refused a shared picture, error" << error->error_code;
            std::free(error);
            forget(nativeWindow);
            m_refused.insert(window);
            return false;
        }
        return true;
    }

    void forget(quintptr nativeWindow) override
    {
        const auto window = xcb_window_t(nativeWindow);
        m_refused.remove(window);
        if (const xcb_gcontext_t gc = m_contexts.take(window)) {
            xcb_free_gc(m_conn, gc);
            xcb_flush(m_conn);
        }
    }

private:
    struct Block
    {
        std::size_t bytes = 0;
        int fd = -1;              // until the server has it
        xcb_shm_seg_t segment = 0; // once it has
    };

    explicit X11SharedPictures(xcb_connection_t* conn)
        : m_conn(conn)
    {
    }

    // The server's name for the block holding `bytes` from `pixels`, attaching it the first time.
    bool segmentOf(const uchar* pixels, std::size_t bytes, xcb_shm_seg_t& segment, std::size_t& offset)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_blocks.upper_bound(const_cast<uchar*>(pixels));
        if (it == m_blocks.begin())
            return false;
        --it;
        offset = std::size_t(pixels - it->first);
        if (offset + bytes > it->second.bytes)
            return false;
        Block& block = it->second;
        if (!block.segment) {
            const xcb_shm_seg_t id = xcb_generate_id(m_conn);
            // The call hands the file over and closes our handle to it.
            const xcb_void_cookie_t attach = xcb_shm_attach_fd_checked(m_conn, id, block.fd, 1);
            block.fd = -1;
            if (xcb_generic_error_t* error = xcb_request_check(m_conn, attach)) {
                // A display on another machine cannot map our memory: paint as usual from now on.
                qCInfo(lcSharedPictures).noquote() << "Zentrove: the X server cannot share pictures with this process, error"
                                                   << error->error_code;
                std::free(error);
                m_broken = true;
                return false;
            }
            block.segment = id;
        }
        segment = block.segment;
        return true;
    }

    // A drawing context for a window that holds pictures as they are (24-bit colour), else 0.
    // The server is asked once per window.
    xcb_gcontext_t contextFor(xcb_window_t window)
    {
        if (m_refused.contains(window))
            return 0;
        if (const auto it = m_contexts.constFind(window); it != m_contexts.constEnd())
            return *it;
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr);
        const bool plainColour = geometry && geometry->depth == 24;
        std::free(geometry);
        if (!plainColour) {
            m_refused.insert(window);
            return 0;
        }
        const xcb_gcontext_t gc = xcb_generate_id(m_conn);
        xcb_create_gc(m_conn, gc, window, 0, nullptr);
        m_contexts.insert(window, gc);
        return gc;
    }

    xcb_connection_t* m_conn;
    std::mutex m_mutex;                // guards m_blocks: blocks come and go on the decoding threads
    std::map<uchar*, Block> m_blocks;  // by start address
    QHash<xcb_window_t, xcb_gcontext_t> m_contexts;
    QSet<xcb_window_t> m_refused;
    bool m_broken = false;
};

} // namespace

SharedPictures* SharedPictures::forDisplay()
{
    // One for the process, kept to its end: blocks may still be in flight while it shuts down.
    static SharedPictures* const pictures = X11SharedPictures::make();
    return pictures;
}

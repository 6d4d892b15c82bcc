#include "platform/direct_painter.h"

#include <QEvent>
#include <QImage>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#ifdef TUTOR_HAVE_XCB
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>
#include <sys/ipc.h>
#include <sys/shm.h>
#endif

// The X window the widget lies in and the picture of the widget that parts are put from. The
// picture is a QImage::Format_RGB32 as it lies in memory, so the window's pixels must be 32
// bits of 8-bit red, green and blue in the server's byte order, least significant byte first.
struct DirectPainter::Target {
#ifdef TUTOR_HAVE_XCB
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    xcb_gcontext_t context = 0;
    quint8 depth = 0;
    qsizetype largestImage = 0; // bytes of pixels one plain request can carry
    bool fits = false;
    bool shmOffered = false;

    QImage picture;
    // Open on the picture from one frame to the next: a painter's start costs as much as
    // drawing a small frame.
    QPainter painter;
    // The picture's memory when it is shared with the server.
    xcb_shm_seg_t segment = 0;
    void* shared = nullptr;
    std::vector<uchar> rows; // a part's rows laid end to end, for a plain request

    ~Target() {
        const bool live = connection && !xcb_connection_has_error(connection);
        painter.end();
        picture = QImage();
        dropShared(live);
        if (context && live)
            xcb_free_gc(connection, context);
        if (live)
            xcb_flush(connection);
    }

    // Asks the server once about the window: its depth, its visual and the request limit.
    void check() {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
            return;
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window), nullptr);
        if (geometry && attributes) {
            depth = geometry->depth;
            fits = (depth == 24 || depth == 32) && pixelsFit(setup, attributes->visual);
        }
        std::free(geometry);
        std::free(attributes);
        if (!fits)
            return;
        largestImage = qsizetype(xcb_get_maximum_request_length(connection)) * 4 - 64;
        context = xcb_generate_id(connection);
        const uint32_t noExposures = 0;
        xcb_create_gc(connection, context, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        xcb_shm_query_version_reply_t* shm =
            xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
        shmOffered = shm != nullptr;
        std::free(shm);
    }

    bool pixelsFit(const xcb_setup_t* setup, xcb_visualid_t visual) const {
        bool format = false;
        for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
            if (f.data->depth == depth)
                format = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
        if (!format)
            return false;
        for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
            for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
                for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
                    if (v.data->visual_id == visual)
                        return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                               v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                               v.data->blue_mask == 0xff;
                }
            }
        }
        return false;
    }

    // A picture of `size`, in memory shared with the server where it takes it.
    void makePicture(QSize size) {
        painter.end();
        picture = QImage();
        dropShared(true);
        const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
        if (shmOffered) {
            const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
            void* at = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
            if (at != reinterpret_cast<void*>(-1)) {
                const xcb_shm_seg_t seg = xcb_generate_id(connection);
                xcb_generic_error_t* error = xcb_request_check(
                    connection, xcb_shm_attach_checked(connection, seg, uint32_t(id), 0));
                if (!error) {
                    segment = seg;
                    shared = at;
                } else {
                    std::free(error);
                    shmOffered = false; // a server on another machine, say
                    shmdt(at);
                }
            }
            if (id >= 0)
                shmctl(id, IPC_RMID, nullptr); // goes once both sides have let go of it
        }
        picture = shared ? QImage(static_cast<uchar*>(shared), size.width(), size.height(),
                                  size.width() * 4, QImage::Format_RGB32)
                         : QImage(size, QImage::Format_RGB32);
        // Every page is touched now, at the start, not by the frames one by one.
        picture.fill(Qt::black);
        painter.begin(&picture);
    }

    void dropShared(bool tellServer) {
        if (!shared)
            return;
        if (tellServer)
            xcb_shm_detach(connection, segment);
        shmdt(shared);
        shared = nullptr;
        segment = 0;
    }

    // Puts the picture's part `r` at `at` in the window; false when it is too large to send.
    bool put(const QRect& r, QPoint at) {
        if (shared) {
            xcb_shm_put_image(connection, window, context, uint16_t(picture.width()),
                              uint16_t(picture.height()), uint16_t(r.x()), uint16_t(r.y()),
                              uint16_t(r.width()), uint16_t(r.height()), int16_t(at.x()),
                              int16_t(at.y()), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0);
            return true;
        }
        const qsizetype rowBytes = qsizetype(r.width()) * 4;
        if (rowBytes * r.height() > largestImage)
            return false;
        rows.resize(size_t(rowBytes * r.height()));
        for (int y = 0; y < r.height(); ++y)
            std::memcpy(rows.data() + y * rowBytes,
                        picture.constScanLine(r.y() + y) + qsizetype(r.x()) * 4, size_t(rowBytes));
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, context, uint16_t(r.width()),
                      uint16_t(r.height()), int16_t(at.x()), int16_t(at.y()), 0, depth,
                      uint32_t(rows.size()), rows.data());
        return true;
    }
#endif
};

DirectPainter::DirectPainter(QWidget* widget) : QObject(widget), m_widget(widget) {}

DirectPainter::~DirectPainter() = default;

bool DirectPainter::ready() {
#ifdef TUTOR_HAVE_XCB
    QWidget* top = m_widget->window();
    if (!m_widget->isVisible() || !m_widget->updatesEnabled() || !top->windowHandle() ||
        !top->windowHandle()->isExposed() || m_widget->devicePixelRatioF() != 1.0)
        return false;
    // The application's one connection to the X server, asked for once.
    static xcb_connection_t* const connection = [] {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }();
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const auto window = xcb_window_t(top->winId());
    if (!m_target || m_target->window != window) {
        m_target = std::make_unique<Target>();
        m_target->connection = connection;
        m_target->window = window;
        m_target->check();
    }
    if (m_window != static_cast<QObject*>(top->windowHandle())) {
        if (m_window)
            m_window->removeEventFilter(this);
        m_window = top->windowHandle();
        m_window->installEventFilter(this);
    }
    if (m_target->fits && m_target->picture.size() != m_widget->size())
        m_target->makePicture(m_widget->size());
    return m_target->fits;
#else
    return false;
#endif
}

// What lies over the widget's part `within` or outside its parents: its own shown children,
// and the shown widgets stacked above it or above any of its parents. Only widgets that meet
// `within` count, which for a frame's few small parts is mostly none.
QRegion DirectPainter::covered(const QRect& within) const {
    QRegion hidden;
    const auto addShown = [&hidden, &within](const QObject* o, QPoint origin) {
        if (!o->isWidgetType())
            return;
        const auto* w = static_cast<const QWidget*>(o);
        if (w->isWindow() || !w->isVisible())
            return;
        const QRect r = w->geometry().translated(origin);
        if (r.intersects(within))
            hidden += r;
    };
    for (const QObject* child : m_widget->children())
        addShown(child, QPoint(0, 0));
    QRect over = m_widget->rect();
    for (const QWidget* w = m_widget; !w->isWindow(); w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        const QPoint origin = m_widget->mapFrom(parent, QPoint(0, 0));
        over &= QRect(origin, parent->size());
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i)
            addShown(siblings[i], origin);
    }
    if (!over.contains(within))
        hidden += QRegion(within) - over;
    return hidden;
}

QRegion DirectPainter::paint(const QRegion& region, const Draw& draw) {
#ifdef TUTOR_HAVE_XCB
    if (region.isEmpty() || !ready())
        return region;
    // Beyond the widget's edges nothing shows.
    const QRegion inside = region & m_widget->rect();
    const QRegion blocked = inside & covered(inside.boundingRect());
    const QRegion open = inside - blocked;
    if (open.isEmpty())
        return blocked;
    QPainter& p = m_target->painter;
    for (const QRect& r : open) {
        p.setClipRect(r);
        draw(p, r);
    }
    QRegion left = blocked;
    const QPoint offset = m_widget->mapTo(m_widget->window(), QPoint(0, 0));
    for (const QRect& r : open) {
        if (m_target->put(r, r.topLeft() + offset))
            m_stale |= r;
        else
            left += r;
    }
    xcb_flush(m_target->connection);
    return left;
#else
    Q_UNUSED(draw);
    return region;
#endif
}

// The window shows its own copy of the widget when it is exposed; where that copy may be
// older than the screen, the widget paints it afresh first.
bool DirectPainter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Expose && !m_stale.isEmpty()) {
        m_widget->update(m_stale);
        m_stale = QRect();
    }
    return QObject::eventFilter(watched, event);
}

#include "toolkit/X11Window.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "toolkit/CFrame.h"
#include "toolkit/DesktopScale.h"

namespace vorlatek::toolkit {

namespace {

// The largest clipboard text read or offered.
constexpr std::uint32_t kMaxClipboardBytes = 1 << 20;
// An upload whose completion never comes (a vanished window) stops blocking after this.
constexpr std::uint32_t kUploadTimeout = 250;

template <class Reply>
struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

bool succeeded(xcb_connection_t* c, xcb_void_cookie_t cookie) {
    xcb_generic_error_t* error = xcb_request_check(c, cookie);
    std::free(error);
    return error == nullptr;
}

unsigned buttonBit(std::uint8_t button) {
    switch (button) {
        case 1: return kLButton;
        case 2: return kMButton;
        case 3: return kRButton;
        default: return 0;
    }
}

unsigned heldButtons(std::uint16_t state) {
    unsigned bits = 0;
    if (state & XCB_BUTTON_MASK_1) bits |= kLButton;
    if (state & XCB_BUTTON_MASK_2) bits |= kMButton;
    if (state & XCB_BUTTON_MASK_3) bits |= kRButton;
    return bits | X11Keyboard::modifiers(state);
}

xcb_screen_t* screenOfRoot(xcb_connection_t* c, xcb_window_t root) {
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
        if (it.data->root == root) return it.data;
    return nullptr;
}

// A 24-bit true-colour visual whose pixels are laid out as cairo's: 0x00RRGGBB in 32 bits.
xcb_visualtype_t* findVisual(xcb_connection_t* c, xcb_screen_t* screen, std::uint8_t& depthOut) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    bool fourBytes = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == 24 && f.data->bits_per_pixel == 32) fourBytes = true;
    if (!fourBytes || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return nullptr;
    xcb_visualtype_t* found = nullptr;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
        if (d.data->depth != 24) continue;
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            xcb_visualtype_t* visual = v.data;
            if (visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR || visual->red_mask != 0xFF0000 ||
                visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
                continue;
            if (!found || visual->visual_id == screen->root_visual) found = visual;
        }
    }
    depthOut = 24;
    return found;
}

}  // namespace

std::unique_ptr<X11Window> X11Window::open(std::uint32_t parent, int width, int height, Upload upload) {
    std::unique_ptr<X11Window> window(new X11Window);
    if (!window->create(parent, width, height, upload)) return nullptr;
    return window;
}

bool X11Window::create(std::uint32_t parent, int width, int height, Upload upload) {
    if (parent == 0 || width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) return false;
    parent_ = parent;
    width_ = width;
    height_ = height;

    const Freed<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, parent), nullptr)};
    if (!geometry) return false;
    xcb_screen_t* screen = screenOfRoot(connection_, geometry->root);
    if (!screen) return false;
    xcb_visualtype_t* visual = findVisual(connection_, screen, depth_);
    if (!visual) return false;
    if (visual->visual_id == screen->root_visual) {
        colormap_ = screen->default_colormap;
    } else {
        colormap_ = xcb_generate_id(connection_);
        ownColormap_ = true;
        xcb_create_colormap(connection_, XCB_COLORMAP_ALLOC_NONE, colormap_, screen->root, visual->visual_id);
    }

    window_ = xcb_generate_id(connection_);
    const std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
    const std::uint32_t values[] = {
        0, 0,
        XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
            XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY,
        colormap_};
    if (!succeeded(connection_, xcb_create_window_checked(connection_, depth_, window_, parent, 0, 0,
                                                          std::uint16_t(width), std::uint16_t(height), 0,
                                                          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual->visual_id, mask,
                                                          values))) {
        window_ = 0;
        return false;
    }
    // Told when the host's window goes, so nothing is sent to a window that no longer exists.
    const std::uint32_t parentEvents[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_change_window_attributes(connection_, parent, XCB_CW_EVENT_MASK, parentEvents);

    gc_ = xcb_generate_id(connection_);
    const std::uint32_t gcValues[] = {0};
    xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, gcValues);

    maxRequestBytes_ = xcb_get_maximum_request_length(connection_) * 4;
    const xcb_intern_atom_cookie_t cookies[] = {
        xcb_intern_atom(connection_, 0, 9, "CLIPBOARD"),   xcb_intern_atom(connection_, 0, 11, "UTF8_STRING"),
        xcb_intern_atom(connection_, 0, 7, "TARGETS"),     xcb_intern_atom(connection_, 0, 4, "TEXT"),
        xcb_intern_atom(connection_, 0, 18, "_TOOLKIT_TRANSFER"), xcb_intern_atom(connection_, 0, 4, "INCR")};
    xcb_atom_t* atoms[] = {&clipboardAtom_, &utf8Atom_, &targetsAtom_, &textAtom_, &transferAtom_, &incrAtom_};
    for (int i = 0; i < 6; ++i) {
        const Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(connection_, cookies[i], nullptr)};
        *atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    if (upload == Upload::Auto) setUpSharedMemory();
    keyboard_.setUp(connection_);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
    return !xcb_connection_has_error(connection_);
}

bool X11Window::setUpSharedMemory() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_shm_id);
    if (!extension || !extension->present) return false;
    const Freed<xcb_shm_query_version_reply_t> version{
        xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_), nullptr)};
    if (!version) return false;
    const std::size_t bytes = std::size_t(width_) * height_ * 4;
    shmId_ = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmId_ < 0) return false;
    void* address = shmat(shmId_, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shmId_, IPC_RMID, nullptr);
        shmId_ = -1;
        return false;
    }
    shmSegment_ = xcb_generate_id(connection_);
    const bool attached = succeeded(connection_, xcb_shm_attach_checked(connection_, shmSegment_, shmId_, 0));
    // Marked for removal at once: the segment goes when both sides have detached, even after
    // a crash. A server on another machine cannot attach it; then plain requests are used.
    shmctl(shmId_, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        shmId_ = -1;
        return false;
    }
    shmData_ = static_cast<unsigned char*>(address);
    shmCompletionEvent_ = std::uint8_t(extension->first_event + XCB_SHM_COMPLETION);
    return true;
}

void X11Window::releaseSharedMemory() {
    if (!shmData_) return;
    xcb_shm_detach(connection_, shmSegment_);
    // The server must have let go before the memory is unmapped.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    shmdt(shmData_);
    shmData_ = nullptr;
    shmId_ = -1;
}

X11Window::~X11Window() {
    if (!connection_) return;
    if (!xcb_connection_has_error(connection_)) {
        releaseSharedMemory();
        if (gc_) xcb_free_gc(connection_, gc_);
        if (window_ && !parentDestroyed_) xcb_destroy_window(connection_, window_);
        if (ownColormap_) xcb_free_colormap(connection_, colormap_);
        xcb_flush(connection_);
    } else if (shmData_) {
        shmdt(shmData_);
    }
    xcb_disconnect(connection_);
}

double X11Window::desktopScale() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    double scale = 1.0;
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        if (screen) {
            const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
                c, xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16),
                nullptr)};
            if (reply) {
                const std::string_view text(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                                            std::size_t(xcb_get_property_value_length(reply.reply)));
                if (const auto dpi = dpiFromResources(text)) scale = scaleForDpi(*dpi);
            }
        }
    }
    xcb_disconnect(c);
    return scale;
}

bool X11Window::usable() const { return connection_ && !xcb_connection_has_error(connection_); }

std::uint32_t X11Window::ticks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

// ---- events ----------------------------------------------------------------------------

void X11Window::processEvents(CFrame& frame) {
    if (!usable()) return;
    if (ownTextRequested_) {
        ownTextRequested_ = false;
        frame.clipboardTextArrived(clipboardText_);
    }
    // Of a run of pointer moves only the last counts: a drag follows the pointer, not its path.
    xcb_generic_event_t* move = nullptr;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7F) == XCB_MOTION_NOTIFY) {
            std::free(move);
            move = event;
            continue;
        }
        if (move) {
            handle(frame, move);
            std::free(std::exchange(move, nullptr));
        }
        handle(frame, event);
        std::free(event);
    }
    if (move) {
        handle(frame, move);
        std::free(move);
    }
}

void X11Window::handle(CFrame& frame, xcb_generic_event_t* event) {
    const std::uint8_t type = event->response_type & 0x7F;
    if (shmData_ && type == shmCompletionEvent_) {
        uploadPending_ = false;
        return;
    }
    switch (type) {
        case XCB_EXPOSE: {
            const auto* e = reinterpret_cast<xcb_expose_event_t*>(event);
            if (e->window == window_) frame.windowExposed(Rect::fromSize(e->x, e->y, e->width, e->height));
            break;
        }
        case XCB_BUTTON_PRESS: {
            const auto* e = reinterpret_cast<xcb_button_press_event_t*>(event);
            lastEventTime_ = e->time;
            if (e->detail == 4 || e->detail == 5)
                frame.windowMouseWheel(e->event_x, e->event_y, e->detail == 4 ? 1.0f : -1.0f, heldButtons(e->state));
            else if (buttonBit(e->detail))
                frame.windowMouseDown(e->event_x, e->event_y, heldButtons(e->state) | buttonBit(e->detail));
            break;
        }
        case XCB_BUTTON_RELEASE: {
            const auto* e = reinterpret_cast<xcb_button_release_event_t*>(event);
            lastEventTime_ = e->time;
            if (buttonBit(e->detail))
                frame.windowMouseUp(e->event_x, e->event_y, heldButtons(e->state) & ~buttonBit(e->detail));
            break;
        }
        case XCB_MOTION_NOTIFY: {
            const auto* e = reinterpret_cast<xcb_motion_notify_event_t*>(event);
            frame.windowMouseMoved(e->event_x, e->event_y, heldButtons(e->state));
            break;
        }
        case XCB_KEY_PRESS: {
            const auto* e = reinterpret_cast<xcb_key_press_event_t*>(event);
            lastEventTime_ = e->time;
            for (const KeyEvent& key : keyboard_.translate(e->detail, e->state)) frame.windowKeyDown(key);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* e = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
            if (e->window == parent_ || e->window == window_) parentDestroyed_ = true;
            break;
        }
        case XCB_SELECTION_CLEAR: ownsClipboard_ = false; break;
        case XCB_SELECTION_REQUEST:
            answerSelectionRequest(*reinterpret_cast<xcb_selection_request_event_t*>(event));
            break;
        case XCB_SELECTION_NOTIFY:
            readSelection(frame, *reinterpret_cast<xcb_selection_notify_event_t*>(event));
            break;
        default: break;  // errors included: nothing we send is worth stopping for
    }
}

// ---- drawing ---------------------------------------------------------------------------

bool X11Window::readyToPresent(std::uint32_t now) {
    if (!usable() || parentDestroyed_) return false;
    if (uploadPending_ && now - lastPresent_ > kUploadTimeout) uploadPending_ = false;
    return !uploadPending_ && (!presentedOnce_ || now - lastPresent_ >= kPresentInterval);
}

void X11Window::putRect(const unsigned char* pixels, int stride, const Rect& r) {
    const int rowBytes = r.width() * 4;
    const int header = 32;
    const int rowsPerRequest = std::max(1, int((maxRequestBytes_ - header) / std::uint32_t(rowBytes)));
    std::vector<unsigned char> band;
    for (int y = r.top; y < r.bottom; y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, r.bottom - y);
        band.resize(std::size_t(rowBytes) * rows);
        for (int k = 0; k < rows; ++k)
            std::memcpy(band.data() + std::size_t(k) * rowBytes, pixels + std::size_t(y + k) * stride + r.left * 4,
                        std::size_t(rowBytes));
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, std::uint16_t(r.width()),
                      std::uint16_t(rows), std::int16_t(r.left), std::int16_t(y), 0, depth_,
                      std::uint32_t(band.size()), band.data());
    }
}

void X11Window::present(cairo_surface_t* image, const Rect* rects, int count) {
    if (!usable() || parentDestroyed_ || count <= 0) return;
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    if (!pixels || cairo_image_surface_get_width(image) != width_ || cairo_image_surface_get_height(image) != height_)
        return;
    for (int i = 0; i < count; ++i) {
        const Rect r = rects[i].intersect({0, 0, width_, height_});
        if (r.isEmpty()) continue;
        if (!shmData_) {
            putRect(pixels, stride, r);
            continue;
        }
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(shmData_ + (std::size_t(y) * width_ + r.left) * 4, pixels + std::size_t(y) * stride + r.left * 4,
                        std::size_t(r.width()) * 4);
        const bool last = i == count - 1;
        xcb_shm_put_image(connection_, window_, gc_, std::uint16_t(width_), std::uint16_t(height_),
                          std::uint16_t(r.left), std::uint16_t(r.top), std::uint16_t(r.width()),
                          std::uint16_t(r.height()), std::int16_t(r.left), std::int16_t(r.top), depth_,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, last ? 1 : 0, shmSegment_, 0);
        if (last) uploadPending_ = true;
    }
    xcb_flush(connection_);
    lastPresent_ = ticks();
    presentedOnce_ = true;
}

// ---- keyboard focus and clipboard ----------------------------------------------------

void X11Window::setKeyboardFocus(bool textField) {
    if (!usable() || parentDestroyed_) return;
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, textField ? window_ : parent_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

void X11Window::setClipboardText(std::string_view text) {
    if (!usable() || parentDestroyed_) return;
    clipboardText_.assign(text.substr(0, kMaxClipboardBytes));
    xcb_set_selection_owner(connection_, window_, clipboardAtom_, lastEventTime_);
    ownsClipboard_ = true;
    xcb_flush(connection_);
}

void X11Window::requestClipboardText() {
    if (!usable() || parentDestroyed_) return;
    if (ownsClipboard_) {
        ownTextRequested_ = true;
        return;
    }
    askedForString_ = false;
    xcb_convert_selection(connection_, window_, clipboardAtom_, utf8Atom_, transferAtom_, lastEventTime_);
    xcb_flush(connection_);
}

void X11Window::answerSelectionRequest(const xcb_selection_request_event_t& request) {
    xcb_selection_notify_event_t reply{};
    reply.response_type = XCB_SELECTION_NOTIFY;
    reply.time = request.time;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.property = XCB_ATOM_NONE;
    const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    if (ownsClipboard_ && request.selection == clipboardAtom_) {
        if (request.target == targetsAtom_) {
            const xcb_atom_t targets[] = {targetsAtom_, utf8Atom_, XCB_ATOM_STRING, textAtom_};
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32, 4,
                                targets);
            reply.property = property;
        } else if (request.target == utf8Atom_ || request.target == textAtom_ || request.target == XCB_ATOM_STRING) {
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                request.target == XCB_ATOM_STRING ? xcb_atom_t(XCB_ATOM_STRING) : utf8Atom_, 8,
                                std::uint32_t(clipboardText_.size()), clipboardText_.data());
            reply.property = property;
        }
    }
    xcb_send_event(connection_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&reply));
    xcb_flush(connection_);
}

void X11Window::readSelection(CFrame& frame, const xcb_selection_notify_event_t& notify) {
    if (notify.requestor != window_ || notify.selection != clipboardAtom_) return;
    if (notify.property == XCB_ATOM_NONE) {
        if (!askedForString_) {  // an owner that knows only the old Latin-1 text
            askedForString_ = true;
            xcb_convert_selection(connection_, window_, clipboardAtom_, XCB_ATOM_STRING, transferAtom_, lastEventTime_);
            xcb_flush(connection_);
        }
        return;
    }
    const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 1, window_, notify.property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxClipboardBytes / 4),
        nullptr)};
    if (!reply || reply->type == incrAtom_ || reply->format != 8) return;
    frame.clipboardTextArrived(std::string_view(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                                                std::size_t(xcb_get_property_value_length(reply.reply))));
}

}  // namespace vorlatek::toolkit

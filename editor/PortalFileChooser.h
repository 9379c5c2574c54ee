#pragma once
// The desktop portal's file chooser (org.freedesktop.portal.FileChooser), reached over the
// session bus on a private connection of the request's own. Nothing waits on the bus: start()
// queues Hello, the match for the answer and the OpenFile or SaveFile call in one go, and
// poll() reads whatever has arrived. The portal answers the call with a Request object and
// later sends that object's Response signal with the chosen file's URI. A bus that cannot be
// reached, no portal, or no reply to the call within a few seconds hands over to the next way
// of asking; cancelling closes the request and the connection.
//
// The message building and reading are free functions, so that they can be checked without
// a bus.

#include <dbus/dbus.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/FileDialogBackEnd.h"

namespace vorlatek::editor {

namespace portal {

inline constexpr const char* kService = "org.freedesktop.portal.Desktop";
inline constexpr const char* kObjectPath = "/org/freedesktop/portal/desktop";
inline constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
inline constexpr const char* kRequest = "org.freedesktop.portal.Request";

// "x11:<hex id>" for the editor's window, or an empty text without one.
std::string parentWindow(std::uint32_t window);
// The Request object the portal makes for a caller with bus name `uniqueName` and `token`.
std::string requestPath(std::string_view uniqueName, std::string_view token);
// The OpenFile or SaveFile call for `request` (the caller owns the message): the parent
// window, the title, and the options: the handle token, modal, the filters (the file type,
// then any file), the file type's filter as the current one, and the initial folder.
DBusMessage* buildCall(const FileDialogRequest& request, std::uint32_t window, std::string_view token);
// What a Response signal says: the first URI's path for response 0, a cancel for 1, and a
// failure for anything else or a malformed message.
FileDialogAnswer readResponse(DBusMessage* response);
// The local path of a "file://" URI, percent-decoded; empty for anything else.
std::string fileUriToPath(std::string_view uri);
// The entries of a bus address that connect to a socket ("unix:"), joined again; other kinds
// (autolaunch, which would start programs inside the host) are dropped.
std::string usableBusAddress(std::string_view address);

}  // namespace portal

class PortalFileChooser : public FileDialogBackEnd {
public:
    static constexpr std::chrono::milliseconds kReplyTimeout{5000};

    // The session bus of `environment`: DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus
    // when that socket exists, else an empty text.
    static std::string sessionBusAddress(const std::vector<std::string>& environment);

    explicit PortalFileChooser(std::string busAddress, std::chrono::milliseconds replyTimeout = kReplyTimeout);
    ~PortalFileChooser() override;

    const char* name() const override { return "portal"; }
    bool start(const FileDialogRequest& request, const FileDialogParent& parent) override;
    FileDialogAnswer poll() override;
    void cancel() override;

private:
    // Reads one message; true when it settled the request (then `answer` holds the result).
    bool handle(DBusMessage* message, FileDialogAnswer& answer);
    void disconnect();

    std::string busAddress_;
    std::chrono::milliseconds replyTimeout_;
    DBusConnection* connection_ = nullptr;
    dbus_uint32_t helloSerial_ = 0;
    dbus_uint32_t callSerial_ = 0;
    bool callAnswered_ = false;
    std::string expectedPath_;  // from our bus name and the token
    std::string handlePath_;    // as the portal's reply gives it
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace vorlatek::editor

#include "editor/PortalFileChooser.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <utility>

#include "editor/ChildProcess.h"
#include "toolkit/Utf8.h"

namespace vorlatek::editor {

namespace portal {

namespace {

constexpr std::string_view kRequestFolder = "/org/freedesktop/portal/desktop/request/";
constexpr std::uint32_t kGlobPattern = 0;

// D-Bus strings must be valid UTF-8 without NUL bytes; libdbus would refuse anything else.
void appendString(DBusMessageIter* iter, std::string_view text) {
    const std::string valid = toolkit::utf8::sanitize(text);
    const char* pointer = valid.c_str();
    dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &pointer);
}

// One filter: (name, [(0, pattern)]).
void appendFilter(DBusMessageIter* iter, std::string_view filterName, std::string_view pattern) {
    DBusMessageIter filter, patterns, entry;
    dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &filter);
    appendString(&filter, filterName);
    dbus_message_iter_open_container(&filter, DBUS_TYPE_ARRAY, "(us)", &patterns);
    dbus_message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_UINT32, &kGlobPattern);
    appendString(&entry, pattern);
    dbus_message_iter_close_container(&patterns, &entry);
    dbus_message_iter_close_container(&filter, &patterns);
    dbus_message_iter_close_container(iter, &filter);
}

// Opens a dictionary entry `key` holding a variant of `signature`; `fill` writes the value.
template <class Fill>
void appendOption(DBusMessageIter* options, const char* key, const char* signature, Fill&& fill) {
    DBusMessageIter entry, variant;
    dbus_message_iter_open_container(options, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
    fill(&variant);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(options, &entry);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string parentWindow(std::uint32_t window) {
    if (window == 0) return {};
    char text[16];
    std::snprintf(text, sizeof text, "x11:%x", unsigned(window));
    return text;
}

std::string requestPath(std::string_view uniqueName, std::string_view token) {
    std::string sender(uniqueName.starts_with(':') ? uniqueName.substr(1) : uniqueName);
    for (char& c : sender)
        if (c == '.') c = '_';
    return std::string(kRequestFolder) + sender + "/" + std::string(token);
}

DBusMessage* buildCall(const FileDialogRequest& request, std::uint32_t window, std::string_view token) {
    const bool save = request.mode == FileDialogMode::Save;
    DBusMessage* message = dbus_message_new_method_call(kService, kObjectPath, kFileChooser, save ? "SaveFile" : "OpenFile");
    if (!message) return nullptr;
    DBusMessageIter args, options;
    dbus_message_iter_init_append(message, &args);
    appendString(&args, parentWindow(window));
    appendString(&args, request.title);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &options);
    appendOption(&options, "handle_token", "s", [&](DBusMessageIter* v) { appendString(v, token); });
    appendOption(&options, "modal", "b", [](DBusMessageIter* v) {
        const dbus_bool_t yes = TRUE;
        dbus_message_iter_append_basic(v, DBUS_TYPE_BOOLEAN, &yes);
    });
    appendOption(&options, "filters", "a(sa(us))", [&](DBusMessageIter* v) {
        DBusMessageIter filters;
        dbus_message_iter_open_container(v, DBUS_TYPE_ARRAY, "(sa(us))", &filters);
        appendFilter(&filters, request.type.filterName(), request.type.pattern());
        appendFilter(&filters, kAnyFileFilterName, "*");
        dbus_message_iter_close_container(v, &filters);
    });
    appendOption(&options, "current_filter", "(sa(us))",
                 [&](DBusMessageIter* v) { appendFilter(v, request.type.filterName(), request.type.pattern()); });
    if (!request.initialFolder.empty()) {
        // A path is bytes, sent with its terminating NUL.
        appendOption(&options, "current_folder", "ay", [&](DBusMessageIter* v) {
            DBusMessageIter bytes;
            dbus_message_iter_open_container(v, DBUS_TYPE_ARRAY, "y", &bytes);
            const char* data = request.initialFolder.c_str();
            dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &data, int(request.initialFolder.size() + 1));
            dbus_message_iter_close_container(v, &bytes);
        });
    }
    dbus_message_iter_close_container(&args, &options);
    return message;
}

FileDialogAnswer readResponse(DBusMessage* response) {
    DBusMessageIter args;
    if (!response || !dbus_message_iter_init(response, &args) || dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_UINT32)
        return FileDialogAnswer::failed();
    dbus_uint32_t code = 0;
    dbus_message_iter_get_basic(&args, &code);
    if (code == 1) return FileDialogAnswer::cancelled();
    if (code != 0) return FileDialogAnswer::failed();
    if (!dbus_message_iter_next(&args) || dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY)
        return FileDialogAnswer::failed();
    DBusMessageIter results;
    for (dbus_message_iter_recurse(&args, &results); dbus_message_iter_get_arg_type(&results) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&results)) {
        DBusMessageIter entry, variant, uris;
        dbus_message_iter_recurse(&results, &entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
        const char* key = nullptr;
        dbus_message_iter_get_basic(&entry, &key);
        if (std::string_view(key) != "uris" || !dbus_message_iter_next(&entry) ||
            dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT)
            continue;
        dbus_message_iter_recurse(&entry, &variant);
        if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY) continue;
        dbus_message_iter_recurse(&variant, &uris);
        if (dbus_message_iter_get_arg_type(&uris) != DBUS_TYPE_STRING) break;
        const char* uri = nullptr;
        dbus_message_iter_get_basic(&uris, &uri);
        std::string path = fileUriToPath(uri);
        return path.empty() ? FileDialogAnswer::failed() : FileDialogAnswer::chosen(std::move(path));
    }
    // Success without a file: nothing was chosen.
    return FileDialogAnswer::cancelled();
}

std::string fileUriToPath(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (uri.size() < scheme.size()) return {};
    for (std::size_t i = 0; i < scheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != scheme[i]) return {};
    std::string_view rest = uri.substr(scheme.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") return {};
    rest = rest.substr(slash);
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return {};
        const int high = hexValue(rest[i + 1]);
        const int low = hexValue(rest[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return {};
        path += char(high * 16 + low);
        i += 2;
    }
    return path;
}

std::string usableBusAddress(std::string_view address) {
    std::string result;
    while (!address.empty()) {
        const std::size_t end = address.find(';');
        const std::string_view entry = address.substr(0, end);
        if (entry.starts_with("unix:")) {
            if (!result.empty()) result += ';';
            result += entry;
        }
        if (end == std::string_view::npos) break;
        address.remove_prefix(end + 1);
    }
    return result;
}

}  // namespace portal

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kResponseMatch =
    "type='signal',sender='org.freedesktop.portal.Desktop',interface='org.freedesktop.portal.Request',"
    "member='Response'";
// One request per connection, so one token does: the bus name makes the path unique.
constexpr std::string_view kToken = "vorlatek";

}  // namespace

std::string PortalFileChooser::sessionBusAddress(const std::vector<std::string>& environment) {
    const std::string_view address = ChildProcess::lookUp(environment, "DBUS_SESSION_BUS_ADDRESS");
    if (!address.empty()) return portal::usableBusAddress(address);
    const std::string_view runtime = ChildProcess::lookUp(environment, "XDG_RUNTIME_DIR");
    if (runtime.empty() || runtime.front() != '/') return {};
    const std::string socketPath = std::string(runtime) + "/bus";
    struct stat info;
    if (stat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return {};
    // Escaping as bus addresses want it: everything but a few safe characters as %XX.
    std::string escaped;
    for (unsigned char c : socketPath) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.') {
            escaped += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02x", c);
            escaped += hex;
        }
    }
    return "unix:path=" + escaped;
}

PortalFileChooser::PortalFileChooser(std::string busAddress, std::chrono::milliseconds replyTimeout)
    : busAddress_(std::move(busAddress)), replyTimeout_(replyTimeout) {}

PortalFileChooser::~PortalFileChooser() { disconnect(); }

bool PortalFileChooser::start(const FileDialogRequest& request, const FileDialogParent& parent) {
    if (connection_ || busAddress_.empty()) return false;
    DBusError error;
    dbus_error_init(&error);
    connection_ = dbus_connection_open_private(busAddress_.c_str(), &error);
    dbus_error_free(&error);
    if (!connection_) return false;
    dbus_connection_set_exit_on_disconnect(connection_, FALSE);

    // Queued in order; the bus handles them in order once the connection is authenticated.
    DBusMessage* hello = dbus_message_new_method_call(kBusService, kBusPath, kBusService, "Hello");
    DBusMessage* match = dbus_message_new_method_call(kBusService, kBusPath, kBusService, "AddMatch");
    DBusMessage* call = portal::buildCall(request, parent.window, kToken);
    bool queued = hello && match && call;
    if (queued) {
        const char* rule = kResponseMatch;
        dbus_message_append_args(match, DBUS_TYPE_STRING, &rule, DBUS_TYPE_INVALID);
        dbus_message_set_no_reply(match, TRUE);
        queued = dbus_connection_send(connection_, hello, &helloSerial_) && dbus_connection_send(connection_, match, nullptr) &&
                 dbus_connection_send(connection_, call, &callSerial_);
    }
    for (DBusMessage* m : {hello, match, call})
        if (m) dbus_message_unref(m);
    if (!queued) {
        disconnect();
        return false;
    }
    callAnswered_ = false;
    expectedPath_.clear();
    handlePath_.clear();
    deadline_ = std::chrono::steady_clock::now() + replyTimeout_;
    return true;
}

bool PortalFileChooser::handle(DBusMessage* message, FileDialogAnswer& answer) {
    const int type = dbus_message_get_type(message);
    const dbus_uint32_t replyTo = dbus_message_get_reply_serial(message);
    if (type == DBUS_MESSAGE_TYPE_ERROR && (replyTo == helloSerial_ || replyTo == callSerial_)) {
        // No bus of the usual kind, or no portal with a file chooser.
        answer = FileDialogAnswer::failed();
        return true;
    }
    if (type == DBUS_MESSAGE_TYPE_METHOD_RETURN && replyTo == helloSerial_) {
        const char* name = nullptr;
        if (dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID))
            expectedPath_ = portal::requestPath(name, kToken);
    } else if (type == DBUS_MESSAGE_TYPE_METHOD_RETURN && replyTo == callSerial_) {
        const char* path = nullptr;
        if (dbus_message_get_args(message, nullptr, DBUS_TYPE_OBJECT_PATH, &path, DBUS_TYPE_INVALID)) handlePath_ = path;
        callAnswered_ = true;
    } else if (type == DBUS_MESSAGE_TYPE_SIGNAL && dbus_message_is_signal(message, portal::kRequest, "Response")) {
        const char* path = dbus_message_get_path(message);
        if (path && ((!expectedPath_.empty() && expectedPath_ == path) || (!handlePath_.empty() && handlePath_ == path))) {
            answer = portal::readResponse(message);
            return true;
        }
    }
    return false;
}

FileDialogAnswer PortalFileChooser::poll() {
    if (!connection_) return FileDialogAnswer::failed();
    FileDialogAnswer answer;
    bool settled = false;
    const bool connected = dbus_connection_read_write(connection_, 0);
    while (!settled) {
        DBusMessage* message = dbus_connection_pop_message(connection_);
        if (!message) break;
        settled = handle(message, answer);
        dbus_message_unref(message);
    }
    if (!settled && (!connected || !dbus_connection_get_is_connected(connection_))) {
        answer = FileDialogAnswer::failed();
        settled = true;
    }
    // Once the portal has the request the user may take as long as they like; until then a
    // silent bus means there is nobody to ask.
    if (!settled && !callAnswered_ && std::chrono::steady_clock::now() > deadline_) {
        cancel();
        return FileDialogAnswer::failed();
    }
    if (settled) disconnect();
    return answer;
}

void PortalFileChooser::cancel() {
    if (!connection_) return;
    const std::string& path = !handlePath_.empty() ? handlePath_ : expectedPath_;
    if (!path.empty() && dbus_connection_get_is_connected(connection_)) {
        if (DBusMessage* close = dbus_message_new_method_call(portal::kService, path.c_str(), portal::kRequest, "Close")) {
            dbus_message_set_no_reply(close, TRUE);
            dbus_connection_send(connection_, close, nullptr);
            dbus_message_unref(close);
            // Written now if the socket takes it; never waited for. The portal also closes
            // the requests of a caller that leaves the bus.
            dbus_connection_read_write(connection_, 0);
        }
    }
    disconnect();
}

void PortalFileChooser::disconnect() {
    if (!connection_) return;
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
    connection_ = nullptr;
}

}  // namespace vorlatek::editor

// The desktop portal's file chooser: the call and the answer as messages, and whole requests
// over a private bus (a dbus-daemon of the test's own) with a fake portal on it.

#include "editor/PortalFileChooser.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "FileDialogTestSupport.h"
#include "editor/ChildProcess.h"
#include "editor/FileDialog.h"

namespace vorlatek::editor::testing {
namespace {

using Status = FileDialogAnswer::Status;

// Any D-Bus value as text: strings quoted, arrays in [], structs in (), entries as {k: v},
// variants in <>, byte arrays as b"..." with \0 for NUL.
std::string describe(DBusMessageIter* iter) {
    std::string out;
    for (bool first = true; dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_INVALID; dbus_message_iter_next(iter), first = false) {
        if (!first) out += ", ";
        const int type = dbus_message_iter_get_arg_type(iter);
        DBusMessageIter inner;
        if (type == DBUS_TYPE_STRING || type == DBUS_TYPE_OBJECT_PATH) {
            const char* s;
            dbus_message_iter_get_basic(iter, &s);
            out += "\"" + std::string(s) + "\"";
        } else if (type == DBUS_TYPE_UINT32) {
            dbus_uint32_t v;
            dbus_message_iter_get_basic(iter, &v);
            out += std::to_string(v);
        } else if (type == DBUS_TYPE_BOOLEAN) {
            dbus_bool_t v;
            dbus_message_iter_get_basic(iter, &v);
            out += v ? "true" : "false";
        } else if (type == DBUS_TYPE_ARRAY && dbus_message_iter_get_element_type(iter) == DBUS_TYPE_BYTE) {
            dbus_message_iter_recurse(iter, &inner);
            const char* bytes;
            int n = 0;
            dbus_message_iter_get_fixed_array(&inner, &bytes, &n);
            std::string text;
            for (int i = 0; i < n; ++i) text += bytes[i] ? std::string(1, bytes[i]) : std::string("\\0");
            out += "b\"" + text + "\"";
        } else {
            dbus_message_iter_recurse(iter, &inner);
            const std::string body = describe(&inner);
            if (type == DBUS_TYPE_ARRAY) out += "[" + body + "]";
            if (type == DBUS_TYPE_STRUCT) out += "(" + body + ")";
            if (type == DBUS_TYPE_VARIANT) out += "<" + body + ">";
            if (type == DBUS_TYPE_DICT_ENTRY) {
                // {"key": value}: the key is a string without quotes inside.
                const std::size_t keyEnd = body.find('"', 1) + 1;
                out += "{" + body.substr(0, keyEnd) + ":" + body.substr(keyEnd + 1) + "}";
            }
        }
    }
    return out;
}

std::string describe(DBusMessage* message) {
    DBusMessageIter iter;
    return dbus_message_iter_init(message, &iter) ? describe(&iter) : std::string();
}

// A Response signal: `code` and, unless empty, results {"uris": <[uris...]>} after `other`
// results given as a first entry {"choices": <[]>}.
DBusMessage* response(dbus_uint32_t code, std::vector<std::string> uris, bool otherEntry = false) {
    DBusMessage* message = dbus_message_new_signal("/org/freedesktop/portal/desktop/request/1_7/t", portal::kRequest, "Response");
    DBusMessageIter args, results, entry, variant, array;
    dbus_message_iter_init_append(message, &args);
    dbus_message_iter_append_basic(&args, DBUS_TYPE_UINT32, &code);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &results);
    auto openEntry = [&](const char* key, const char* signature) {
        dbus_message_iter_open_container(&results, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
    };
    auto closeEntry = [&] {
        dbus_message_iter_close_container(&entry, &variant);
        dbus_message_iter_close_container(&results, &entry);
    };
    if (otherEntry) {
        openEntry("choices", "u");
        const dbus_uint32_t zero = 0;
        dbus_message_iter_append_basic(&variant, DBUS_TYPE_UINT32, &zero);
        closeEntry();
    }
    if (!uris.empty()) {
        openEntry("uris", "as");
        dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &array);
        for (const std::string& uri : uris) {
            const char* s = uri.c_str();
            dbus_message_iter_append_basic(&array, DBUS_TYPE_STRING, &s);
        }
        dbus_message_iter_close_container(&variant, &array);
        closeEntry();
    }
    dbus_message_iter_close_container(&args, &results);
    return message;
}

FileDialogAnswer readAndFree(DBusMessage* message) {
    const FileDialogAnswer answer = portal::readResponse(message);
    dbus_message_unref(message);
    return answer;
}

TEST(FileDialogPortalTest, TheCallCarriesParentTitleTokenFiltersAndFolder) {
    EXPECT_EQ(portal::parentWindow(0x2a00001), "x11:2a00001");
    EXPECT_EQ(portal::parentWindow(0), "");
    EXPECT_EQ(portal::requestPath(":1.42", "vorlatek"), "/org/freedesktop/portal/desktop/request/1_42/vorlatek");

    DBusMessage* save = portal::buildCall({FileDialogMode::Save, "Save Extended Patterns", fileTypes::kExtendedPattern, "/music/pat"},
                                          0x2a00001, "vorlatek");
    ASSERT_TRUE(save);
    EXPECT_STREQ(dbus_message_get_member(save), "SaveFile");
    EXPECT_STREQ(dbus_message_get_interface(save), "org.freedesktop.portal.FileChooser");
    EXPECT_STREQ(dbus_message_get_destination(save), "org.freedesktop.portal.Desktop");
    EXPECT_STREQ(dbus_message_get_path(save), "/org/freedesktop/portal/desktop");
    EXPECT_STREQ(dbus_message_get_signature(save), "ssa{sv}");
    EXPECT_EQ(describe(save),
              "\"x11:2a00001\", \"Save Extended Patterns\", [{\"handle_token\": <\"vorlatek\">}, {\"modal\": <true>}, "
              "{\"filters\": <[(\"Vorlatek Extended Pattern (*.vep)\", [(0, \"*.vep\")]), (\"All Files (*)\", [(0, \"*\")])]>}, "
              "{\"current_filter\": <(\"Vorlatek Extended Pattern (*.vep)\", [(0, \"*.vep\")])>}, "
              "{\"current_folder\": <b\"/music/pat\\0\">}]");
    dbus_message_unref(save);

    // Without a window or folder; a title that is no UTF-8 is made valid rather than refused.
    DBusMessage* open = portal::buildCall({FileDialogMode::Load, "Load \xff", fileTypes::kPreset, ""}, 0, "t");
    ASSERT_TRUE(open);
    EXPECT_STREQ(dbus_message_get_member(open), "OpenFile");
    const std::string described = describe(open);
    EXPECT_EQ(described.substr(0, described.find('[')), "\"\", \"Load \xEF\xBF\xBD\", ");
    EXPECT_EQ(described.find("current_folder"), std::string::npos);
    dbus_message_unref(open);
}

TEST(FileDialogPortalTest, ResponsesAndUrisAreReadStrictly) {
    EXPECT_EQ(readAndFree(response(0, {"file:///home/u/My%20Groove%25.vep"})).path, "/home/u/My Groove%.vep");
    EXPECT_EQ(readAndFree(response(0, {"file:///a/first", "file:///a/second"}, true)).path, "/a/first");
    EXPECT_EQ(readAndFree(response(1, {})).status, Status::Cancelled);
    EXPECT_EQ(readAndFree(response(0, {})).status, Status::Cancelled);
    EXPECT_EQ(readAndFree(response(2, {})).status, Status::Failed);
    EXPECT_EQ(readAndFree(response(0, {"https://example.invalid/a"})).status, Status::Failed);
    DBusMessage* wrong = dbus_message_new_signal("/r", portal::kRequest, "Response");
    const char* text = "0";
    dbus_message_append_args(wrong, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
    EXPECT_EQ(readAndFree(wrong).status, Status::Failed);
    EXPECT_EQ(readAndFree(dbus_message_new_signal("/r", portal::kRequest, "Response")).status, Status::Failed);

    const std::pair<const char*, const char*> uris[] = {
        {"file:///a/b", "/a/b"},         {"FILE://localhost/a", "/a"},    {"file:///caf%C3%A9", "/caf\xC3\xA9"},
        {"file:///%ff", "/\xff"},        {"file://elsewhere/a", ""},       {"file:/a", ""},
        {"file:///a%2", ""},             {"file:///a%zz", ""},             {"file:///a%00b", ""},
        {"", ""},
    };
    for (const auto& [uri, path] : uris) EXPECT_EQ(portal::fileUriToPath(uri), path) << uri;
}

TEST(FileDialogPortalTest, OnlySocketAddressesOfTheSessionBusAreUsed) {
    EXPECT_EQ(portal::usableBusAddress("unix:path=/run/user/1000/bus"), "unix:path=/run/user/1000/bus");
    EXPECT_EQ(portal::usableBusAddress("autolaunch:"), "");
    EXPECT_EQ(portal::usableBusAddress("autolaunch:;unix:abstract=/tmp/d,guid=1;tcp:host=h;unix:path=/b"),
              "unix:abstract=/tmp/d,guid=1;unix:path=/b");

    TemporaryFolder runtime;
    const std::string folder = runtime.makeFolder("run user");
    EXPECT_EQ(PortalFileChooser::sessionBusAddress({"XDG_RUNTIME_DIR=" + folder}), "") << "no socket there";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder + "/bus";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(PortalFileChooser::sessionBusAddress({"XDG_RUNTIME_DIR=" + folder}),
              "unix:path=" + runtime.path() + "/run%20user/bus");
    EXPECT_EQ(PortalFileChooser::sessionBusAddress({"XDG_RUNTIME_DIR=" + folder, "DBUS_SESSION_BUS_ADDRESS=autolaunch:"}), "");
    close(fd);
}

// ---- over a bus --------------------------------------------------------------------------------

// A bus of the test's own and a portal on it that answers as told.
class PortalBusTest : public ::testing::Test {
protected:
    enum class Portal { Absent, Chooses, Silent, NeverReplies };

    void SetUp() override {
        const std::string daemon = ChildProcess::findProgram("dbus-daemon", ChildProcess::currentEnvironment());
        if (daemon.empty()) GTEST_SKIP() << "dbus-daemon is not installed";
        const std::string config = folder.write(
            "bus.conf",
            "<busconfig><type>session</type><listen>unix:tmpdir=" + folder.path() +
                "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        ASSERT_TRUE(bus.start(daemon, {"--config-file=" + config, "--print-address", "--nofork"}, {}));
        for (int i = 0; i < 5000 && bus.output().find('\n') == std::string::npos && !bus.hasEnded(); ++i) {
            bus.poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        address = bus.output().substr(0, bus.output().find('\n'));
        ASSERT_FALSE(address.empty()) << "the bus did not start";
    }
    void TearDown() override {
        if (portalConnection) {
            dbus_connection_close(portalConnection);
            dbus_connection_unref(portalConnection);
        }
    }

    void startPortal(Portal kind) {
        mode = kind;
        if (kind == Portal::Absent) return;
        DBusError error;
        dbus_error_init(&error);
        portalConnection = dbus_connection_open_private(address.c_str(), &error);
        ASSERT_TRUE(portalConnection) << error.message;
        ASSERT_TRUE(dbus_bus_register(portalConnection, &error)) << error.message;
        ASSERT_EQ(dbus_bus_request_name(portalConnection, portal::kService, DBUS_NAME_FLAG_DO_NOT_QUEUE, &error),
                  DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER);
    }

    // What the fake portal does with what has arrived.
    void pumpPortal() {
        if (!portalConnection) return;
        dbus_connection_read_write(portalConnection, 0);
        while (DBusMessage* message = dbus_connection_pop_message(portalConnection)) {
            if (dbus_message_is_method_call(message, portal::kFileChooser, "OpenFile") ||
                dbus_message_is_method_call(message, portal::kFileChooser, "SaveFile")) {
                call = std::string(dbus_message_get_member(message)) + ": " + describe(message);
                const std::string key = "\"handle_token\": <\"";
                const std::size_t token = call.find(key) + key.size();
                requestPath = portal::requestPath(dbus_message_get_sender(message), call.substr(token, call.find('"', token) - token));
                if (mode != Portal::NeverReplies) {
                    DBusMessage* reply = dbus_message_new_method_return(message);
                    const char* path = requestPath.c_str();
                    dbus_message_append_args(reply, DBUS_TYPE_OBJECT_PATH, &path, DBUS_TYPE_INVALID);
                    dbus_connection_send(portalConnection, reply, nullptr);
                    dbus_message_unref(reply);
                }
                if (mode == Portal::Chooses) {
                    DBusMessage* signal = response(0, {"file://" + folder.path() + "/My%20Kit"});
                    dbus_message_set_path(signal, requestPath.c_str());
                    dbus_connection_send(portalConnection, signal, nullptr);
                    dbus_message_unref(signal);
                }
            } else if (dbus_message_is_method_call(message, portal::kRequest, "Close")) {
                closedPath = dbus_message_get_path(message);
            }
            dbus_message_unref(message);
        }
        dbus_connection_flush(portalConnection);
    }

    void build(std::chrono::milliseconds timeout = PortalFileChooser::kReplyTimeout) {
        FileDialog::Chain chain;
        chain.push_back(std::make_unique<PortalFileChooser>(address, timeout));
        chain.push_back(std::make_unique<ScriptedBackEnd>("browser", true, std::vector{FileDialogAnswer::pending()}));
        dialog = std::make_unique<FileDialog>(std::move(chain));
        dialog->setParent({nullptr, 0x2a00001});
    }
    // Polls the dialog and the portal as the editor's idle would, until `done` or ten seconds.
    template <class Done>
    FileDialogResult runUntil(Done done) {
        FileDialogResult result;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            result = dialog->poll();
            pumpPortal();
            if (done(result)) return result;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ADD_FAILURE() << "timed out";
        return result;
    }

    TemporaryFolder folder;
    ChildProcess bus;
    std::string address;
    DBusConnection* portalConnection = nullptr;
    Portal mode = Portal::Absent;
    std::string call;
    std::string requestPath;
    std::string closedPath;
    std::unique_ptr<FileDialog> dialog;
};

TEST_F(PortalBusTest, ThePortalsChoiceComesBackAsACompletedPath) {
    startPortal(Portal::Chooses);
    build();
    ASSERT_TRUE(dialog->start({FileDialogMode::Save, "Save Vorlatek Presets", fileTypes::kPresetBank, ""}));
    EXPECT_EQ(dialog->activeBackEnd(), "portal");
    const FileDialogResult result = runUntil([](const FileDialogResult& r) { return r.status != FileDialogResult::Status::Pending; });
    EXPECT_EQ(result.status, FileDialogResult::Status::Chosen);
    EXPECT_EQ(result.path, folder.path() + "/My Kit.vpb");
    EXPECT_EQ(call.substr(0, call.find('[')), "SaveFile: \"x11:2a00001\", \"Save Vorlatek Presets\", ");
}

TEST_F(PortalBusTest, WithoutAPortalOrAnAnswerTheNextWayAsks) {
    // Nobody owns the portal's name: the bus says so at once.
    startPortal(Portal::Absent);
    build();
    ASSERT_TRUE(dialog->start({}));
    runUntil([&](const FileDialogResult&) { return dialog->activeBackEnd() == "browser"; });

    // A portal that takes the call and never replies is given up after the timeout.
    startPortal(Portal::NeverReplies);
    build(std::chrono::milliseconds(200));
    ASSERT_TRUE(dialog->start({}));
    runUntil([&](const FileDialogResult&) { return dialog->activeBackEnd() == "browser"; });
    EXPECT_FALSE(call.empty());

    // No bus at all: the portal does not even start.
    FileDialog::Chain chain;
    chain.push_back(std::make_unique<PortalFileChooser>("unix:path=" + folder.path() + "/none"));
    chain.push_back(std::make_unique<ScriptedBackEnd>("browser", true, std::vector{FileDialogAnswer::pending()}));
    FileDialog noBus(std::move(chain));
    ASSERT_TRUE(noBus.start({}));
    EXPECT_EQ(noBus.activeBackEnd(), "browser");
}

TEST_F(PortalBusTest, CancellingClosesTheRequestOnThePortal) {
    startPortal(Portal::Silent);
    build();
    ASSERT_TRUE(dialog->start({}));
    runUntil([&](const FileDialogResult&) { return !requestPath.empty(); });
    // Let the reply with the request's path arrive, then cancel as the editor would.
    for (int i = 0; i < 20; ++i) {
        dialog->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    dialog->cancel();
    runUntil([&](const FileDialogResult&) { return !closedPath.empty(); });
    EXPECT_EQ(closedPath, requestPath);
    EXPECT_EQ(dialog->poll().status, FileDialogResult::Status::Idle);
}

}  // namespace
}  // namespace vorlatek::editor::testing

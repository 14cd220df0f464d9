// SPDX-License-Identifier: MIT
// A session manager for tests: it speaks XSMP to its clients the way a
// desktop's session manager does at a checkpoint and at a logout, on
// request, and reports what they answer.
//
//   xsmp_manager < commands > report
//
// It takes one client at a time. It first reports "listening ADDRESS" (the
// value for SESSION_MANAGER), then "registered" when the client joins,
// "interact" when it asks to talk to the user (which is granted), "done
// SUCCESS" when it has saved, "die" once it was told to end, and "closed"
// when its connection ends. Commands, one a line: "checkpoint" asks the
// client to save its data and go on (SaveYourself, then SaveComplete);
// "logout" asks it to save before the session ends (SaveYourself with
// shutdown, then Die). It ends when its input does.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

SmsConn g_client = nullptr;
bool g_logout = false; // Die follows the client's SaveYourselfDone
std::vector<IceConn> g_connections;

void report(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Every local client may connect: the test owns the machine's session.
Bool acceptHost(char *) { return True; }

Status registerClient(SmsConn connection, SmPointer, char *previousId)
{
    std::free(previousId);
    char *id = SmsGenerateClientID(connection);
    const Status status = SmsRegisterClientReply(connection, id);
    std::free(id);
    report("registered");
    return status;
}

void interactRequest(SmsConn connection, SmPointer, int)
{
    report("interact");
    SmsInteract(connection);
}

void saveYourselfDone(SmsConn connection, SmPointer, Bool success)
{
    report("done " + std::to_string(success));
    if (g_logout) {
        SmsDie(connection);
        report("die");
    } else {
        SmsSaveComplete(connection);
    }
}

void closeConnection(SmsConn connection, SmPointer, int count, char **reasons)
{
    SmFreeReasons(count, reasons);
    g_client = nullptr;
    SmsCleanUp(connection);
    report("closed");
}

void setProperties(SmsConn, SmPointer, int count, SmProp **properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char **names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

Status newClient(SmsConn connection, SmPointer, unsigned long *mask, SmsCallbacks *callbacks, char **)
{
    g_client = connection;
    const SmPointer data = nullptr;
    *callbacks = {};
    callbacks->register_client = {registerClient, data};
    callbacks->interact_request = {interactRequest, data};
    callbacks->interact_done = {[](SmsConn, SmPointer, Bool) {}, data};
    callbacks->save_yourself_request = {[](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}, data};
    callbacks->save_yourself_phase2_request = {[](SmsConn c, SmPointer) { SmsSaveYourselfPhase2(c); }, data};
    callbacks->save_yourself_done = {saveYourselfDone, data};
    callbacks->close_connection = {closeConnection, data};
    callbacks->set_properties = {setProperties, data};
    callbacks->delete_properties = {deleteProperties, data};
    callbacks->get_properties = {[](SmsConn c, SmPointer) { SmsReturnProperties(c, 0, nullptr); }, data};
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    return 1;
}

void command(const std::string &line)
{
    g_logout = line == "logout";
    if (g_client != nullptr)
        SmsSaveYourself(g_client, SmSaveBoth, g_logout ? True : False, SmInteractStyleAny, False);
}

} // namespace

int main()
{
    char error[256] = {};
    if (!SmsInitialize("selvaro-test", "1.0", newClient, nullptr, acceptHost, sizeof error, error)) {
        std::fprintf(stderr, "xsmp_manager: %s\n", error);
        return 1;
    }
    int listenCount = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "xsmp_manager: %s\n", error);
        return 1;
    }
    for (int i = 0; i < listenCount; ++i)
        IceSetHostBasedAuthProc(listeners[i], acceptHost);
    char *address = IceComposeNetworkIdList(listenCount, listeners);
    report(std::string("listening ") + address);
    std::free(address);

    std::string input;
    for (;;) {
        std::vector<pollfd> watched = {{STDIN_FILENO, POLLIN, 0}};
        for (int i = 0; i < listenCount; ++i)
            watched.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn connection : g_connections)
            watched.push_back({IceConnectionNumber(connection), POLLIN, 0});
        if (poll(watched.data(), watched.size(), -1) < 0)
            return 1;

        if (watched[0].revents != 0) {
            char chunk[256];
            const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
            if (got <= 0)
                return 0;
            input.append(chunk, static_cast<std::size_t>(got));
            for (std::size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1))
                command(input.substr(0, end));
        }
        for (int i = 0; i < listenCount; ++i) {
            if (watched[static_cast<std::size_t>(i) + 1].revents == 0)
                continue;
            IceAcceptStatus status;
            IceConn connection = IceAcceptConnection(listeners[i], &status);
            if (connection != nullptr && status == IceAcceptSuccess)
                g_connections.push_back(connection);
        }
        const std::size_t first = 1 + static_cast<std::size_t>(listenCount);
        std::vector<IceConn> open;
        for (std::size_t i = 0; i < g_connections.size(); ++i) {
            IceConn connection = g_connections[i];
            if (watched[first + i].revents != 0 &&
                IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) {
                IceSetShutdownNegotiation(connection, False);
                IceCloseConnection(connection);
                continue;
            }
            open.push_back(connection);
        }
        g_connections = open;
    }
}

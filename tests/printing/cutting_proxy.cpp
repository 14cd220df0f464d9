// SPDX-License-Identifier: MIT
#include "cutting_proxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::strncpy(address.sun_path, bytes.constData(), sizeof address.sun_path - 1);
    return address;
}

struct Pair {
    int client;
    int server;
    long uploaded = 0;
};

} // namespace

CuttingProxy::CuttingProxy(const QString &listenPath, const QString &targetPath, long cutAfterBytes,
                           bool goneAfterCut)
    : m_target(targetPath), m_cutAfter(cutAfterBytes), m_goneAfterCut(goneAfterCut)
{
    const sockaddr_un address = addressOf(listenPath);
    ::unlink(address.sun_path);
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(m_listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(m_listener, 8) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_thread = std::thread([this] { relay(); });
}

CuttingProxy::~CuttingProxy()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

void CuttingProxy::relay()
{
    std::vector<Pair> pairs;
    const auto closePair = [&pairs](std::size_t index) {
        ::close(pairs[index].client);
        ::close(pairs[index].server);
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(index));
    };
    while (!m_stop) {
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        for (const Pair &pair : pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), 50) <= 0)
            continue;
        if (watched[0].revents & POLLIN) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_un target = addressOf(m_target);
            if (client >= 0 && !(m_cut && m_goneAfterCut) && ::connect(server, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0) {
                pairs.push_back({client, server});
            } else {
                ::close(client);
                ::close(server);
            }
            continue; // the list of pairs changed under the poll
        }
        for (std::size_t i = pairs.size(); i-- > 0;) {
            const pollfd &fromClient = watched[1 + 2 * i];
            const pollfd &fromServer = watched[2 + 2 * i];
            bool open = true;
            for (const pollfd *side : {&fromClient, &fromServer}) {
                if (!open || !(side->revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buffer[16384];
                const ssize_t got = ::read(side->fd, buffer, sizeof buffer);
                const bool upload = side == &fromClient;
                if (got > 0 && upload)
                    pairs[i].uploaded += got;
                const int to = upload ? pairs[i].server : pairs[i].client;
                const bool cut = !m_cut && pairs[i].uploaded > m_cutAfter && upload != m_goneAfterCut;
                if (got <= 0 || cut) {
                    if (got > 0)
                        m_cut = true;
                    closePair(i);
                    open = false;
                } else if (::write(to, buffer, static_cast<size_t>(got)) != got) {
                    closePair(i);
                    open = false;
                }
            }
        }
    }
    while (!pairs.empty())
        closePair(0);
}

// SPDX-License-Identifier: MIT
#include "relay.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::strncpy(address.sun_path, bytes.constData(), sizeof address.sun_path - 1);
    return address;
}

// A piece of an answer held back until it is due.
struct Held {
    Clock::time_point due;
    QByteArray bytes;
};

struct Pair {
    int client;
    int server;
    long uploaded = 0;
    std::deque<Held> answers;
    bool serverClosed = false; // the client is closed once what is held has gone
};

bool writeAll(int descriptor, const char *data, qsizetype size)
{
    return ::write(descriptor, data, static_cast<size_t>(size)) == size;
}

} // namespace

Relay::Relay(const QString &listenPath, const QString &targetPath, Cut cut)
    : Relay(listenPath, targetPath, cut, std::chrono::milliseconds(0))
{
}

Relay::Relay(const QString &listenPath, const QString &targetPath, std::chrono::milliseconds answerDelay)
    : Relay(listenPath, targetPath, Cut{}, answerDelay)
{
}

Relay::Relay(const QString &listenPath, const QString &targetPath, Cut cut, std::chrono::milliseconds answerDelay)
    : m_target(targetPath), m_cutRule(cut), m_delay(answerDelay)
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

Relay::~Relay()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

void Relay::relay()
{
    std::vector<Pair> pairs;
    const auto closePair = [&pairs](std::size_t index) {
        ::close(pairs[index].client);
        if (!pairs[index].serverClosed)
            ::close(pairs[index].server);
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(index));
    };
    const bool gone = m_cutRule.goneAfterCut;
    while (!m_stop) {
        // Held answers that are due go out first; the poll waits for the next.
        int wait = 50;
        const Clock::time_point now = Clock::now();
        for (std::size_t i = pairs.size(); i-- > 0;) {
            Pair &pair = pairs[i];
            bool open = true;
            while (open && !pair.answers.empty() && pair.answers.front().due <= now) {
                const QByteArray &bytes = pair.answers.front().bytes;
                open = writeAll(pair.client, bytes.constData(), bytes.size());
                pair.answers.pop_front();
            }
            if (!open || (pair.serverClosed && pair.answers.empty())) {
                closePair(i);
                continue;
            }
            if (!pair.answers.empty()) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(pair.answers.front().due - now);
                wait = std::clamp(static_cast<int>(left.count()), 0, wait);
            }
        }
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        for (const Pair &pair : pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.serverClosed ? -1 : pair.server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), wait) <= 0)
            continue;
        if (watched[0].revents & POLLIN) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_un target = addressOf(m_target);
            if (client >= 0 && !(m_cut && gone)
                && ::connect(server, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0) {
                pairs.push_back({.client = client, .server = server, .uploaded = 0, .answers = {}, .serverClosed = false});
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
                Pair &pair = pairs[i];
                char buffer[16384];
                const ssize_t got = ::read(side->fd, buffer, sizeof buffer);
                const bool upload = side == &fromClient;
                if (got > 0 && upload)
                    pair.uploaded += got;
                const bool cut = !m_cut && m_cutRule.afterBytes >= 0 && pair.uploaded > m_cutRule.afterBytes
                                 && upload != gone;
                if (cut) {
                    m_cut = true;
                    closePair(i);
                    open = false;
                } else if (got <= 0 && !upload && !pair.answers.empty()) {
                    // The scheduler has said all it will; the rest of its
                    // answer is still held back.
                    ::close(pair.server);
                    pair.serverClosed = true;
                } else if (got <= 0) {
                    closePair(i);
                    open = false;
                } else if (!upload && m_delay.count() > 0) {
                    const Clock::time_point after =
                        pair.answers.empty() ? Clock::now() : std::max(Clock::now(), pair.answers.back().due);
                    pair.answers.push_back({after + m_delay, QByteArray(buffer, got)});
                } else if (!writeAll(upload ? pair.server : pair.client, buffer, got)) {
                    closePair(i);
                    open = false;
                }
            }
        }
    }
    while (!pairs.empty())
        closePair(0);
}

// SPDX-License-Identifier: MIT
// relay LISTEN_SOCKET TARGET_SOCKET DELAY_MS
//
// The relay of relay.h as a program of its own, for the tests that drive the
// real binary: passes every piece of the scheduler's answers on DELAY_MS
// after the piece before it, until killed.
#include "relay.h"

#include <QString>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s LISTEN_SOCKET TARGET_SOCKET DELAY_MS\n", argv[0]);
        return 2;
    }
    const Relay relay(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                      std::chrono::milliseconds(std::atoi(argv[3])));
    if (!relay.listening())
        return 1;
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    int signal = 0;
    sigwait(&ending, &signal);
    return 0;
}

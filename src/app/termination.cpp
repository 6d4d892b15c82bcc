#include "app/termination.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeEnds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: one byte down the pipe.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}
} // namespace
#endif

Termination::Termination(std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(pipeEnds[0], &byte, 1);
        m_onRequest();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

Termination::~Termination() {
#ifdef Q_OS_UNIX
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, SIG_DFL);
#endif
}

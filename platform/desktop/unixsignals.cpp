#include "unixsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

int g_pair[2] = { -1, -1 }; // [0] written by the handler, [1] read in the event loop

extern "C" void writeSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full socket already has a signal waiting to be read: dropping this one loses nothing.
    [[maybe_unused]] const auto written = ::write(g_pair[0], &number, 1);
    errno = saved;
}

} // namespace

UnixSignals::UnixSignals(std::initializer_list<int> signalNumbers)
    : m_signals(signalNumbers)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pair) != 0)
        return;
    ::fcntl(g_pair[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : m_signals)
        ::sigaction(number, &action, nullptr);
}

UnixSignals::~UnixSignals()
{
    for (int number : m_signals)
        ::signal(number, SIG_DFL);
    delete m_notifier;
    for (int &fd : g_pair)
        if (fd >= 0)
            ::close(std::exchange(fd, -1));
}

void UnixSignals::readSignal()
{
    unsigned char number = 0;
    if (::read(g_pair[1], &number, 1) == 1)
        Q_EMIT received(number);
}

#include "session_end.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <utility>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaly::qt {

namespace {

// A signal handler may do almost nothing: it writes one byte into a pipe
// that the event loop watches. One program, one pair.
int gWakeFds[2] = {-1, -1};

extern "C" void OnEndSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t ignored = ::write(gWakeFds[0], &byte, 1);
    errno = saved;
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> close) : close_(std::move(close)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gWakeFds) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(gWakeFds[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char byte;
        [[maybe_unused]] const ssize_t ignored = ::read(gWakeFds[1], &byte, 1);
        notifier_->setEnabled(false);  // once is enough: the program is ending
        close_();
    });
    struct sigaction action {};
    action.sa_handler = &OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(number, &action, nullptr);
}

SessionEnd::~SessionEnd() {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(number, &fallback, nullptr);
    notifier_.reset();
    for (int& fd : gWakeFds) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace tessaly::qt

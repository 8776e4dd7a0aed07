// The ways a Linux session ends a program that has no window of its own to
// close: SIGTERM (a session ending, systemctl --user stop, kill), SIGINT
// (Ctrl+C in a terminal) and SIGHUP (the terminal gone). Each is turned into
// an ordinary event on the user-interface thread, where the program closes
// as its window's close would: settings saved, icon removed, status 0.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessaly::qt {

class SessionEnd {
public:
    // `close` runs on the user-interface thread once a signal has come.
    explicit SessionEnd(std::function<void()> close);
    ~SessionEnd();
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    std::function<void()> close_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tessaly::qt

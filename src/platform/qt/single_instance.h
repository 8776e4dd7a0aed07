// One running copy per settings file. The first copy listens on a socket in
// the user's private runtime folder ($XDG_RUNTIME_DIR, mode 0700), named
// after its settings file; a second start with the same settings file asks
// it to bring its window up and exits. Another user can neither reach nor
// block the socket; copies with different settings files (two unpacked
// folders) run side by side.
#pragma once

#include <QLocalServer>
#include <QLockFile>

#include <functional>
#include <memory>
#include <string>

namespace tessaly::qt {

class SingleInstance {
public:
    // `runtimeFolder` empty: the desktop's own (QStandardPaths).
    SingleInstance(const std::string& settingsFile, const std::string& runtimeFolder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first copy for the settings file; `open` then
    // runs (on the user-interface thread) whenever a later start asks for
    // the window. False when another copy runs and has been asked to bring
    // its window up, or could not be asked (it is still starting): this
    // copy should end.
    bool Claim(std::function<void()> open);

    // The socket's path, for the tests.
    const QString& Address() const { return address_; }

private:
    QString address_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace tessaly::qt

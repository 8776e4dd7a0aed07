#include "single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>


#include "core/settings_file.h"

namespace tessaly::qt {

namespace {

constexpr int kAskMs = 2000;
constexpr char kOpenRequest[] = "open\n";

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsFile, const std::string& runtimeFolder) {
    QString folder = QFile::decodeName(runtimeFolder.c_str());
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QByteArray absolute =
        QFile::encodeName(QFileInfo(QFile::decodeName(settingsFile.c_str())).absoluteFilePath());
    const QString key = QString::fromStdString(InstanceKey(absolute.toStdString()));
    address_ = QDir(folder).filePath(key);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim(std::function<void()> open) {
    lock_ = std::make_unique<QLockFile>(address_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);  // only a live process keeps the claim
    if (!lock_->tryLock(0)) {
        // Another copy holds the claim: ask it for its window. It may still
        // be starting, so the asking is tried for a while.
        lock_.reset();
        QLocalSocket socket;
        for (int waited = 0; waited < kAskMs; waited += 100) {
            socket.connectToServer(address_);
            if (socket.waitForConnected(100)) {
                socket.write(kOpenRequest);
                socket.waitForBytesWritten(kAskMs);
                socket.disconnectFromServer();
                break;
            }
        }
        return false;
    }
    // A socket left by a copy that crashed is ours to replace.
    QLocalServer::removeServer(address_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(address_)) {
        server_.reset();
        return true;  // run all the same: one copy without the hand-over beats none
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this, open = std::move(open)] {
        while (QLocalSocket* caller = server_->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::readyRead, caller, [caller, open] {
                if (caller->readAll().contains("open")) open();
                caller->disconnectFromServer();
            });
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace tessaly::qt

#include "shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cctype>

#include "core/fs.h"
#include "look.h"
#include "qt/qt_support.h"

namespace tessaly::qt {

namespace {

bool IsUrl(const std::string& target) {
    const auto colon = target.find("://");
    if (colon == std::string::npos || colon == 0) return false;
    return std::all_of(target.begin(), target.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

OpenResult OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url) ? OpenResult::Opened : OpenResult::NoHandler; }

}  // namespace

OpenResult OpenWithDesktop(const std::string& target) {
    if (target.empty()) return OpenResult::NotFound;
    if (IsUrl(target)) return OpenUrl(QUrl(QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size()))));
    const QFileInfo info(ToQt(target));
    if (!info.exists()) return OpenResult::NotFound;
    return OpenUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

OpenResult OpenHelpPage(const std::string& helpFolder, int contextId) {
    std::string project;
    if (!fs::ReadWholeFile(fs::JoinPath(helpFolder, {"help.hhp"}), project)) return OpenResult::NotFound;
    const std::string topic = HelpTopic(project, contextId);
    if (topic.empty()) return OpenResult::NotFound;
    const QFileInfo page(ToQt(fs::JoinPath(helpFolder, {topic})));
    if (!page.exists()) return OpenResult::NotFound;
    return OpenUrl(QUrl::fromLocalFile(page.absoluteFilePath()));
}

}  // namespace tessaly::qt

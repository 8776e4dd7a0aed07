#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "look.h"

namespace tessaly::qt {

namespace {

Choice Chosen(const QFileDialog& dialog) {
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {Choice::Kind::Chosen, FromQt(dialog.selectedFiles().front())};
}

}  // namespace

void ShowErrorBox(QWidget* parent, const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, ToQt(title), ToQt(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);  // a path in the text is no markup
    box.exec();
}

Choice ChooseFileIn(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, ToQt(request.title), ToQt(request.folder));
    // Any name may be typed, an existing file or a new one, as the signature
    // may not exist yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        if (filter.patterns.empty()) continue;
        filters << ToQt(filter.description) + QStringLiteral(" (") + ToQt(JoinPatterns(filter, ' ')) + u')';
    }
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.exec();
    return Chosen(dialog);
}

Choice ChooseFolderIn(QWidget* parent, const std::string& prompt) {
    QFileDialog dialog(parent, ToQt(prompt), QDir::homePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));  // as the prompt says
    dialog.exec();
    return Chosen(dialog);
}

}  // namespace tessaly::qt

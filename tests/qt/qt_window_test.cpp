// The Linux edition's window on Qt's offscreen platform (which has no
// notification area): what its Qt layer adds to the shared window logic,
// which tests/window covers headlessly. Widgets, keys, dialogs, colours and
// the tray icon as the user meets them, and what the desktop is asked to open.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

#include "core/settings_file.h"
#include "qt/qt_desktop.h"
#include "support/support.h"

using namespace tessaly::test;
using tessaly::qt::QtDesktop;

// The fixture stands in for the desktop's opener too: Qt hands it what the
// desktop is asked to open.
class QtWindow : public QObject, public ::testing::Test {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened_ << url.toString(); }

protected:
    void SetUp() override {
        stdfs::copy(TESSALY_HELP_SOURCE_DIR, app_.Path("help"));
        app_.Write("template.txt", "Hi quote1!");
        app_.Write("quotes/q.txt", "first\r\nsecond\r\n");
        for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    void TearDown() override {
        for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(scheme);
        if (desktop_) desktop_->Attach(nullptr);
        window_.reset();
        desktop_.reset();
        QApplication::setPalette(ordinaryPalette_);
    }
    std::string Path(const char* name) const { return app_.Path(name); }
    QString Url(const char* name) const { return QUrl::fromLocalFile(QString::fromStdString(Path(name))).toString(); }
    // Paused, with the keyboard's focus in the window.
    void StartPaused(const std::string& quote2 = "") {
        app_.Write("data/data.sfc", tessaly::FormatSettings({{Path("template.txt"), Path("signature.txt"),
                                                               Path("quotes/q.txt"), quote2, "", ""}, 0}));
        desktop_ = std::make_unique<QtDesktop>(tessaly::qt::Locations{app_.Path(), Path("data/data.sfc"), false});
        window_ = tessaly::CreateMainWindow(*desktop_, random_, tessaly::qt::kLinuxConventions);
        desktop_->Attach(window_.get());
        ASSERT_TRUE(desktop_->Start());
        ASSERT_TRUE(QTest::qWaitForWindowActive(desktop_->Window()));
    }
    template <typename W>
    W* Find(const char* name) const { return desktop_->Window()->findChild<W*>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    void KeyOn(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Find<QWidget>(name)->setFocus();
        QTest::keyClick(Find<QWidget>(name), key, modifiers);
    }
    // Answers the next modal dialog once it is up, as the user would.
    static void Answer(std::function<void(QWidget*)> answer) {
        QTimer::singleShot(10, [answer] {
            if (QWidget* up = QApplication::activeModalWidget()) return answer(up);
            Answer(answer);
        });
    }
    QColor Colour(const char* name, QPalette::ColorRole role) { return Find<QWidget>(name)->palette().color(role); }

    ScratchFolder app_;  // the program's folder
    QStringList opened_;  // what the desktop was asked to open
    ScriptedDraws random_;  // the first line, the first file
    const QPalette ordinaryPalette_ = QApplication::palette();
    std::unique_ptr<QtDesktop> desktop_;
    std::unique_ptr<tessaly::IWindowEvents> window_;
};

// F1 on a field, a double-click on one, or Ctrl+O on the picker button
// beside one.
TEST_F(QtWindow, F1DoubleClickAndCtrlOOpenTheTopicOrTheFieldsFile) {
    StartPaused();
    KeyOn("txtQF1", Qt::Key_F1);
    QTest::mouseDClick(Find<QLineEdit>("txtTemplate"), Qt::LeftButton);
    KeyOn("cmdQF1", Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opened_,
              QStringList({Url("help") + "/source_fields.htm", Url("template.txt"), Url("quotes/q.txt")}));
}

TEST_F(QtWindow, AFileThatCannotBeOpenedIsToldInAWarningBox) {
    StartPaused(Path("gone.txt"));
    QString told;
    Answer([&told](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        told = QString("%1 (%2): %3").arg(box->windowTitle()).arg(box->icon()).arg(box->text());
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseDClick(Find<QLineEdit>("txtQF2"), Qt::LeftButton);
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_EQ(told.toStdString(), "Tessaly Error (2): The quote file 2 " + Path("gone.txt") +
                                      " could not be opened (not found).");  // 2: QMessageBox::Warning
}

// A click, Ctrl+L from anywhere, and Space on the focused line.
TEST_F(QtWindow, CreditsLineFollowsItsLinkByMouseAndKeyboard) {
    StartPaused();
    QTest::mouseClick(Find<QLineEdit>("txtCompliments"), Qt::LeftButton);
    KeyOn("txtSignature", Qt::Key_L, Qt::ControlModifier);
    KeyOn("txtCompliments", Qt::Key_Space);
    EXPECT_TRUE(opened_.value(0).startsWith("https://"));
    EXPECT_EQ(opened_, QStringList(3, opened_.value(0)));
}

// A black and white palette, set while the program runs, the way a
// high-contrast theme sets one: the window's own colours give way to it.
TEST_F(QtWindow, HighContrastThemeReplacesTheWindowsColours) {
    StartPaused();
    EXPECT_EQ(Colour("lblStatus", QPalette::WindowText), QColor(0xC0, 0, 0));
    QApplication::setPalette(QPalette(QColor(Qt::white), QColor(Qt::black)));  // window text, window
    QCoreApplication::processEvents();
    EXPECT_EQ(Colour("lblStatus", QPalette::WindowText), QColor(Qt::white));
    // Lit by the pointer, the credits line keeps the palette's colours.
    window_->PointerOver(tessaly::ControlId::CreditsLine);
    EXPECT_EQ(Colour("txtCompliments", QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(Colour("txtCompliments", QPalette::Base), QColor(Qt::black));
}

// Half-typed text is no path: a composition due while a field is typed in
// waits until the focus leaves it. (The text typed is taken back, so the
// path stays good.)
TEST_F(QtWindow, TypingHoldsTheCompositionUntilTheFocusLeaves) {
    StartPaused();
    KeyOn("txtQF1", Qt::Key_X);
    QTest::keyClick(Find<QLineEdit>("txtQF1"), Qt::Key_Backspace);
    window_->Tick(tessaly::ControlId::ComposeTimer);
    EXPECT_FALSE(stdfs::exists(Path("signature.txt")));
    QTest::keyClick(Find<QLineEdit>("txtQF1"), Qt::Key_Tab);
    window_->Tick(tessaly::ControlId::ComposeTimer);
    EXPECT_TRUE(stdfs::exists(Path("signature.txt")));
}

// Qt's own tri-state box would go to its grey state on a click.
TEST_F(QtWindow, AClickTicksTheAutoRunBox) {
    StartPaused();
    Click("chkAS");
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Checked);
}

// With no notification area to come back from, the window is minimised
// where it would hide, and the icon (here the XEmbed tray's double-click)
// brings it back. The tray runs show the icon in a real notification area.
TEST_F(QtWindow, WithoutATrayStartMinimisesAndTheIconBringsTheWindowBack) {
    StartPaused();
    Click("cmdStart");
    EXPECT_TRUE(desktop_->Window()->isMinimized());
    Q_EMIT desktop_->Window()->findChild<QSystemTrayIcon*>()->activated(QSystemTrayIcon::DoubleClick);
    QCoreApplication::processEvents();  // the program hears it once Qt's handler has returned
    EXPECT_FALSE(desktop_->Window()->isMinimized());
}

// Any name may be typed, as the signature may not exist yet. The dialog
// lists its folder in the background and may drop a name given before that
// is done: the name is given again, for up to a second or so.
TEST_F(QtWindow, PickerShowsItsRequestAndTakesAFileThatDoesNotExistYet) {
    StartPaused();
    const QString typed = QString::fromStdString(Path("new.htm"));
    QStringList seen;
    Answer([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        seen = QStringList({files->windowTitle(), files->directory().absolutePath()}) + files->nameFilters();
        for (int tries = 0; tries < 100 && files->isVisible(); ++tries) {
            files->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
            static_cast<QDialog*>(files)->accept();
            QTest::qWait(10);
        }
        if (files->isVisible()) files->reject();  // the name refused: the field keeps its path
    });
    Click("cmdSignature");
    EXPECT_EQ(seen, QStringList({" Select File ", QString::fromStdString(app_.Path()),
                                 "Text ot Html Files(*.txt;*.htm) (*.txt *.htm)", "HTML files (*.htm *.html)",
                                 "All files (*)"}));
    EXPECT_EQ(Find<QLineEdit>("txtSignature")->text(), typed);
}

// Installed read-only under /usr/bin, the program reads /usr/share/tessaly
// and keeps its settings in the user's folder; unpacked, in its own.
TEST(QtLocations, InstalledCopiesWriteOnlyToTheUsersFolder) {
    const auto installed = tessaly::qt::LocateProgram("/usr/bin", false, "/home/u/.config");
    EXPECT_EQ(installed.programFolder, "/usr/share/tessaly");
    EXPECT_EQ(installed.settingsFile, "/home/u/.config/tessaly/data.sfc");
    const auto unpacked = tessaly::qt::LocateProgram("/home/u/tessaly", true, "/home/u/.config");
    EXPECT_EQ(unpacked.programFolder, "/home/u/tessaly");
    EXPECT_EQ(unpacked.settingsFile, "/home/u/tessaly/data/data.sfc");
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "qt_window_test.moc"

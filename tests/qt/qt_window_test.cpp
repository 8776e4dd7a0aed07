// The Linux edition's window on Qt's offscreen platform (which has no
// notification area): what the user sees, the files it leaves, and what the
// desktop is asked to open.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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

// What the desktop was asked to open.
class Opener : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

class QtWindow : public ::testing::Test {
protected:
    void SetUp() override {
        stdfs::copy(TESSALY_HELP_SOURCE_DIR, app_.Path("help"));
        app_.Write("template.txt", "Hi quote1!");
        app_.Write("quotes/q.txt", "first\r\nsecond\r\n");
        for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(scheme, &opener_, "open");
    }
    void TearDown() override {
        for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(scheme);
        if (desktop_) desktop_->Attach(nullptr);
        window_.reset();
        desktop_.reset();
    }
    std::string Path(const char* name) const { return app_.Path(name); }
    QString Url(const char* name) const { return QUrl::fromLocalFile(QString::fromStdString(Path(name))).toString(); }
    // The settings file's bytes for a start-up flag and a template.
    std::string Settings(std::int16_t flag, const std::string& templatePath, const std::string& quote2 = "") const {
        return tessaly::FormatSettings(
            {{templatePath, Path("signature.txt"), Path("quotes/q.txt"), quote2, "", ""}, flag});
    }
    void Start(const std::string& settings) {
        app_.Write("data/data.sfc", settings);
        desktop_ = std::make_unique<QtDesktop>(tessaly::qt::Locations{app_.Path(), Path("data/data.sfc"), false});
        window_ = tessaly::CreateMainWindow(*desktop_, random_, tessaly::qt::kLinuxConventions);
        desktop_->Attach(window_.get());
        ASSERT_TRUE(desktop_->Start());
    }
    // A Paused start with the keyboard's focus in the window.
    void StartPaused() {
        Start(Settings(0, Path("template.txt")));
        ASSERT_TRUE(QTest::qWaitForWindowActive(desktop_->Window()));
    }
    template <typename W>
    W* Find(const char* name) const { return desktop_->Window()->findChild<W*>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    void KeyOn(const char* name, Qt::Key key) {
        Find<QWidget>(name)->setFocus();
        QTest::keyClick(Find<QWidget>(name), key);
    }
    QString Status() const { return Find<QLabel>("lblStatus")->text(); }
    QSystemTrayIcon* Tray() const { return desktop_->Window()->findChild<QSystemTrayIcon*>(); }
    // The tray icon reports an activation; the program hears it once Qt's
    // handler has returned.
    void Activate(QSystemTrayIcon::ActivationReason reason) {
        Q_EMIT Tray()->activated(reason);
        QCoreApplication::processEvents();
    }
    static QStringList Items(const QMenu* menu) {
        QStringList items;
        for (const QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator()) items << action->text();
        }
        return items;
    }
    // The run state as the label, the tray icon's tip and the tray menu show it.
    QStringList Marks() const { return QStringList{Status(), Tray()->toolTip()} + Items(Find<QMenu>("mnuFile")); }
    const QStringList kRunning{"Running!", "Tessaly Running", "Open Tessaly", "Pause", "Refresh", "Help", "Exit"};
    const QStringList kPaused{"Paused!", "Tessaly Paused", "Open Tessaly", "Resume", "Refresh", "Help", "Exit"};
    // Answers the next modal dialog or menu once it is up, as the user would.
    static void Answer(std::function<void(QWidget*)> answer) {
        QTimer::singleShot(10, [answer] {
            QWidget* up = QApplication::activeModalWidget();
            if (up == nullptr) up = QApplication::activePopupWidget();
            if (up != nullptr) return answer(up);
            Answer(answer);
        });
    }

    // Answers the next file dialog: the file named, or Cancel when empty;
    // keeps its title, folder, filters and the status label meanwhile. The
    // dialog lists its folder in the background and may drop a name given
    // before that is done: the name is given again, for up to a second.
    const QStringList kHtmlAndAll{"HTML files (*.htm *.html)", "All files (*)"};
    void Pick(const QString& file, int tries = 100) {
        Answer([this, file, tries](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            seen_ = QStringList({files->windowTitle(), files->directory().absolutePath()}) + files->nameFilters();
            seen_ << Status();
            if (file.isEmpty()) return files->reject();
            auto* name = files->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setFocus();
            name->setText(file);
            static_cast<QDialog*>(files)->accept();
            if (!files->isVisible()) return;
            if (tries > 0) return Pick(file, tries - 1);
            ADD_FAILURE() << "the dialog refused " << file.toStdString();
            files->reject();
        });
    }

    ScratchFolder app_;  // the program's folder
    QStringList seen_;
    Opener opener_;
    ScriptedDraws random_;  // the first line, the first file
    std::unique_ptr<QtDesktop> desktop_;
    std::unique_ptr<tessaly::IWindowEvents> window_;
};

TEST_F(QtWindow, TabFollowsTheTabIndex) {
    StartPaused();
    QStringList tabbed({QApplication::focusWidget()->objectName()});
    for (int i = 0; i < 16; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(tabbed.join(' '), "cmdStart cmdStop cmdCreateS chkAS cmdHelp txtSignature txtQF1 txtQF2 txtQF3 txtQF4 "
                                "txtTemplate cmdQF4 cmdQF3 cmdQF2 cmdQF1 cmdSignature cmdTemplate");
}

TEST_F(QtWindow, F1OpensTheFocusedControlsTopic) {
    StartPaused();
    KeyOn("txtQF1", Qt::Key_F1);
    KeyOn("txtTemplate", Qt::Key_F1);
    EXPECT_EQ(opener_.opened, QStringList({Url("help") + "/source_fields.htm", Url("help") + "/template_field.htm"}));
}

TEST_F(QtWindow, HelpButtonOpensTheOverview) {
    StartPaused();
    Click("cmdHelp");
    EXPECT_EQ(opener_.opened, QStringList({Url("help") + "/overview.htm"}));
}

TEST_F(QtWindow, DoubleClickOpensTheFieldsFile) {
    StartPaused();
    QTest::mouseDClick(Find<QLineEdit>("txtTemplate"), Qt::LeftButton);
    EXPECT_EQ(opener_.opened, QStringList({Url("template.txt")}));
}

TEST_F(QtWindow, ViewingAMissingFileTellsTheUser) {
    Start(Settings(0, Path("template.txt"), Path("gone.txt")));
    QString told;
    Answer([&told](QWidget* dialog) {
        told = dialog->findChild<QLabel*>("qt_msgbox_label")->text();
        qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Ok)->click();
    });
    QTest::mouseDClick(Find<QLineEdit>("txtQF2"), Qt::LeftButton);
    EXPECT_TRUE(opener_.opened.isEmpty());
    EXPECT_EQ(told.toStdString(), "The quote file 2 " + Path("gone.txt") + " could not be opened (not found).");
}

TEST_F(QtWindow, CreditsLineClickOpensTheWebAddress) {
    StartPaused();
    QTest::mouseClick(Find<QLineEdit>("txtCompliments"), Qt::LeftButton);
    ASSERT_EQ(opener_.opened.size(), 1);
    EXPECT_TRUE(opener_.opened[0].startsWith("https://"));
}

TEST_F(QtWindow, CtrlOViewsTheFocusedFieldsFile) {
    StartPaused();
    Find<QWidget>("txtTemplate")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    // From the picker button the key views the field that the button fills;
    // from a button of the tool row it views nothing.
    Find<QWidget>("cmdQF1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    Find<QWidget>("cmdStart")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opener_.opened, QStringList({Url("template.txt"), Url("quotes/q.txt")}));
}

TEST_F(QtWindow, CreditsLinkOpensFromTheKeyboard) {
    StartPaused();
    QTest::keyClick(Find<QWidget>("txtSignature"), Qt::Key_L, Qt::ControlModifier);
    KeyOn("txtCompliments", Qt::Key_Space);
    ASSERT_EQ(opener_.opened.size(), 2);
    EXPECT_TRUE(opener_.opened[0].startsWith("https://"));
    EXPECT_EQ(opener_.opened[1], opener_.opened[0]);
}

// A black and white palette, the way a high-contrast theme sets one.
class QtHighContrast : public QtWindow {
protected:
    void SetUp() override {
        QtWindow::SetUp();
        ordinary_ = QApplication::palette();
    }
    void TearDown() override {
        QtWindow::TearDown();
        QApplication::setPalette(ordinary_);
    }
    static QPalette BlackAndWhite() {
        QPalette palette(QColor(Qt::white), QColor(Qt::black));  // window text, window
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, Qt::white);
        palette.setColor(QPalette::Button, Qt::black);
        palette.setColor(QPalette::ButtonText, Qt::white);
        return palette;
    }
    QColor Colour(const char* name, QPalette::ColorRole role) const { return Find<QWidget>(name)->palette().color(role); }
    QPalette ordinary_;
};

TEST_F(QtHighContrast, StatusAndCreditsTakeThePalettesColours) {
    QApplication::setPalette(BlackAndWhite());
    StartPaused();
    EXPECT_EQ(Colour("lblStatus", QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(Colour("chkAS", QPalette::WindowText), QColor(Qt::white));
    // Lit by the pointer, the credits line keeps the palette's text colour.
    window_->PointerOver(tessaly::ControlId::CreditsLine);
    EXPECT_EQ(Colour("txtCompliments", QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(Colour("txtCompliments", QPalette::Base), QColor(Qt::black));
}

TEST_F(QtHighContrast, ThemeChangedWhileRunningIsFollowed) {
    StartPaused();
    EXPECT_EQ(Colour("lblStatus", QPalette::WindowText), QColor(0xC0, 0, 0));
    QApplication::setPalette(BlackAndWhite());
    QCoreApplication::processEvents();
    EXPECT_EQ(Colour("lblStatus", QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(Colour("txtCompliments", QPalette::Text), QColor(Qt::white));
}

// What the window hears of a path field's edits.
struct EditListener final : tessaly::IWindowEvents {
    QStringList heard;
    void FieldEdited(tessaly::ControlId field) override { heard << "edited " + Name(field); }
    void FieldEditEnded(tessaly::ControlId field) override { heard << "ended " + Name(field); }
    static QString Name(tessaly::ControlId id) { return QString::fromLatin1(tessaly::Row(id).name); }
    void Load() override {}
    void Closing() override {}
    void Pressed(tessaly::ControlId) override {}
    void ViewRequested(tessaly::ControlId) override {}
    void PointerOver(tessaly::ControlId) override {}
    void Tick(tessaly::ControlId) override {}
    void TrayOpenRequested() override {}
    void TrayMenuRequested() override {}
    void HelpRequested(tessaly::ControlId) override {}
    void TrayHostRestarted() override {}
};

TEST_F(QtWindow, TypingIsAnEditThatEndsWhenTheFocusLeaves) {
    StartPaused();
    EditListener listener;
    desktop_->Attach(&listener);
    Find<QLineEdit>("txtQF1")->setText("set by the window");
    KeyOn("txtQF1", Qt::Key_X);
    QTest::keyClick(Find<QLineEdit>("txtQF1"), Qt::Key_Tab);
    EXPECT_EQ(listener.heard, QStringList({"edited txtQF1", "ended txtQF1"}));
}

TEST_F(QtWindow, AutoRunBoxTicksAndClears) {
    StartPaused();
    Click("chkAS");
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Checked);
    Click("chkAS");
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Unchecked);
}

// With no notification area to come back from, the window is minimised
// where it would hide.
TEST_F(QtWindow, StartMinimisesWithoutATray) {
    StartPaused();
    Click("cmdStart");
    EXPECT_EQ(Marks(), kRunning);
    EXPECT_TRUE(desktop_->Window()->isMinimized());
}

TEST_F(QtWindow, TrayDoubleClickOpensTheWindow) {
    StartPaused();
    Click("cmdStart");
    Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(desktop_->Window()->isMinimized());
}

// A host that reports no place for the icon (StatusNotifierItem) sends a
// left click as the only activation.
TEST_F(QtWindow, TrayClickWithoutPlaceOpensTheWindow) {
    StartPaused();
    Click("cmdStart");
    Activate(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(desktop_->Window()->isMinimized());
}

TEST_F(QtWindow, TrayMenuOffersTheStatesItems) {
    StartPaused();
    QStringList offered;
    Answer([&offered](QWidget* popup) {
        offered = Items(qobject_cast<QMenu*>(popup));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(popup, key);
    });
    Activate(QSystemTrayIcon::Context);
    EXPECT_EQ(offered, kPaused.mid(2));
    EXPECT_EQ(Marks(), kRunning);  // Resume, the second item
}

TEST_F(QtWindow, FailedCompositionTellsTheUserAndClearsTheStartUpBox) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Answer([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    Start(Settings(1, Path("missing.txt")));
    EXPECT_EQ(title, "Tessaly Error");
    EXPECT_EQ(text.toStdString(), "File or Path Error. Ensure that all your file paths are correct and that the files "
                                  "exist!\n\ntemplate (Select Template): " + Path("missing.txt") + " (not found)");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Unchecked);
}

// A path that is no valid UTF-8 survives the window untouched.
TEST_F(QtWindow, CancelledPickerKeepsThePathAndSaves) {
    const std::string settings = Settings(1, Path("template.txt"), Path("caf\xE9.txt"));
    Start(settings);
    stdfs::remove(Path("data/data.sfc"));
    Pick("");
    Click("cmdQF1");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(Path("quotes")),
                                  "Text Files (*.txt) (*.txt)", kHtmlAndAll[0], kHtmlAndAll[1], "Paused!"}));
    EXPECT_EQ(Find<QLineEdit>("txtQF1")->text().toStdString(), Path("quotes/q.txt"));
    EXPECT_EQ(ReadBytes(Path("data/data.sfc")), settings);
}

TEST_F(QtWindow, PickerTakesAFileThatDoesNotExistYet) {
    Start(Settings(1, Path("template.txt")));
    Pick(QString::fromStdString(Path("new.htm")));
    Click("cmdSignature");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(app_.Path()),
                                  "Text ot Html Files(*.txt;*.htm) (*.txt *.htm)", kHtmlAndAll[0], kHtmlAndAll[1],
                                  "Paused!"}));
    EXPECT_EQ(Find<QLineEdit>("txtSignature")->text().toStdString(), Path("new.htm"));
    EXPECT_NE(ReadBytes(Path("data/data.sfc")).value_or("").find(Path("new.htm")), std::string::npos);
}

// Installed read-only under /usr/bin, the program reads /usr/share/tessaly
// and keeps its settings, and its first signature, in the user's folder.
TEST(QtLocations, InstalledCopiesWriteOnlyToTheUsersFolder) {
    const auto installed = tessaly::qt::LocateProgram("/usr/bin", false, "/home/u/.config");
    EXPECT_EQ(installed.programFolder, "/usr/share/tessaly");
    EXPECT_EQ(installed.settingsFile, "/home/u/.config/tessaly/data.sfc");
    const auto first = tessaly::qt::FirstRunSettings(installed).paths;
    EXPECT_EQ(first[0], "/usr/share/tessaly/samples/template.htm");
    EXPECT_EQ(first[1], "/home/u/.config/tessaly/signature.htm");
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

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

#include "app/form_events.h"
#include "core/settings_file.h"
#include "platform/qt/qt_platform.h"
#include "support/support.h"

using namespace tessaly::test;
using tessaly::qt::QtPlatform;

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
        form_.reset();
        platform_.reset();
    }
    std::string Path(const char* name) const { return app_.Path(name); }
    // The settings file's bytes for a start-up flag and a template.
    std::string Settings(std::int16_t flag, const std::string& templatePath, const std::string& quote2 = "") const {
        return tessaly::FormatSettings(
            {{templatePath, Path("signature.txt"), Path("quotes/q.txt"), quote2, "", ""}, flag});
    }
    void Start(const std::string& settings) {
        app_.Write("data/data.sfc", settings);
        platform_ = std::make_unique<QtPlatform>(tessaly::qt::Locations{app_.Path(), Path("data/data.sfc"), false});
        form_ = tessaly::CreateMainForm(*platform_, random_);
        platform_->Attach(form_.get());
        ASSERT_TRUE(platform_->Start());
    }
    template <typename W>
    W* Find(const char* name) const { return platform_->Window()->findChild<W*>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    QString Status() const { return Find<QLabel>("lblStatus")->text(); }
    // The run state as the label, the tray icon's tip and the tray menu show it.
    QStringList Marks() const {
        QStringList marks{Status(), platform_->Window()->findChild<QSystemTrayIcon*>()->toolTip()};
        for (const QAction* action : Find<QMenu>("mnuFile")->actions()) {
            if (action->isVisible() && !action->isSeparator()) marks << action->text();
        }
        return marks;
    }
    const QStringList kRunning{"Running!", "Tessaly Running", "Open Tessaly", "Pause", "Refresh", "Help", "Exit"};
    const QStringList kPaused{"Paused!", "Tessaly Paused", "Open Tessaly", "Resume", "Refresh", "Help", "Exit"};
    // Answers the next modal dialog once it is up, as the user would.
    static void Answer(std::function<void(QWidget*)> answer) {
        QTimer::singleShot(10, [answer] {
            if (QWidget* dialog = QApplication::activeModalWidget()) return answer(dialog);
            Answer(answer);
        });
    }

    // Answers the next file dialog: the file named, or Cancel when empty;
    // keeps its title, folder, filters and the status label meanwhile. The
    // dialog lists its folder in the background and may drop a name given
    // before that is done: the name is given again, for up to a second.
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
    std::unique_ptr<QtPlatform> platform_;
    std::unique_ptr<tessaly::IFormEvents> form_;
};

TEST_F(QtWindow, PausedStartHelpViewingCreateNowStartAndStop) {
    const std::string settings = Settings(0, Path("template.txt"));
    Start(settings);
    EXPECT_EQ(ReadBytes(Path("signature.txt")), std::nullopt);
    EXPECT_EQ(Marks(), kPaused);

    // The keys and clicks of a Paused window: tab order, F1's topics, Help,
    // double-clicks that view a field's file, the credits line.
    ASSERT_TRUE(QTest::qWaitForWindowActive(platform_->Window()));
    const QString help = QUrl::fromLocalFile(QString::fromStdString(Path("help"))).toString();

    QStringList tabbed({QApplication::focusWidget()->objectName()});
    for (int i = 0; i < 16; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(tabbed.join(' '), "cmdStart cmdStop cmdCreateS chkAS cmdHelp txtSignature txtQF1 txtQF2 txtQF3 txtQF4 "
                                "txtTemplate cmdQF4 cmdQF3 cmdQF2 cmdQF1 cmdSignature cmdTemplate");

    Find<QLineEdit>("txtQF1")->setFocus();
    QTest::keyClick(Find<QLineEdit>("txtQF1"), Qt::Key_F1);
    Find<QLineEdit>("txtTemplate")->setFocus();
    QTest::keyClick(Find<QLineEdit>("txtTemplate"), Qt::Key_F1);
    Click("cmdHelp");
    EXPECT_EQ(opener_.opened, QStringList({help + "/source_fields.htm", help + "/template_field.htm",
                                           help + "/overview.htm"}));

    opener_.opened.clear();
    QTest::mouseDClick(Find<QLineEdit>("txtTemplate"), Qt::LeftButton);
    QTest::mouseDClick(Find<QLineEdit>("txtQF3"), Qt::LeftButton);  // an empty field opens nothing
    QTest::mouseClick(Find<QLineEdit>("txtCompliments"), Qt::LeftButton);
    ASSERT_EQ(opener_.opened.size(), 2);
    EXPECT_EQ(opener_.opened[0], QUrl::fromLocalFile(QString::fromStdString(Path("template.txt"))).toString());
    EXPECT_TRUE(opener_.opened[1].startsWith("https://"));

    Click("cmdCreateS");
    EXPECT_EQ(ReadBytes(Path("signature.txt")), "Hi first!\n");
    EXPECT_EQ(Marks(), kPaused);

    // With no notification area to come back from, the window is minimised
    // where it would hide.
    Click("cmdStart");
    EXPECT_EQ(Marks(), kRunning);
    EXPECT_TRUE(platform_->Window()->isMinimized());
    Click("cmdStop");
    EXPECT_EQ(Marks(), kPaused);
    EXPECT_EQ(ReadBytes(Path("data/data.sfc")), settings);  // the buttons do not save
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
    EXPECT_EQ(text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Unchecked);
}

TEST_F(QtWindow, RunningStartAndFilePickersThatShowTheirFolderAndFilterAndSaveWhatever) {
    // A path that is no valid UTF-8 survives the window untouched.
    const std::string settings = Settings(1, Path("template.txt"), Path("caf\xE9.txt"));
    Start(settings);
    EXPECT_EQ(ReadBytes(Path("signature.txt")), "Hi first!\n");
    EXPECT_EQ(Marks(), kRunning);
    EXPECT_TRUE(platform_->Window()->isVisible());

    stdfs::remove(Path("data/data.sfc"));
    Pick("");  // Cancel
    Click("cmdQF1");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(Path("quotes")),
                                  "Text Files (*.txt) (*.txt)", "Paused!"}));
    EXPECT_EQ(Find<QLineEdit>("txtQF1")->text().toStdString(), Path("quotes/q.txt"));
    EXPECT_EQ(ReadBytes(Path("data/data.sfc")), settings);

    Pick(QString::fromStdString(Path("new.htm")));  // a signature that does not exist yet
    Click("cmdSignature");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(app_.Path()),
                                  "Text ot Html Files(*.txt;*.htm) (*.txt *.htm)", "Paused!"}));
    EXPECT_EQ(Find<QLineEdit>("txtSignature")->text().toStdString(), Path("new.htm"));
    EXPECT_NE(ReadBytes(Path("data/data.sfc")).value_or("").find(Path("new.htm")), std::string::npos);
}

// Installed read-only under /usr/bin, the program reads /usr/share/tessaly
// and keeps its settings, and its first signature, in the user's folder.
TEST(QtLocations, InstalledCopiesWriteOnlyToTheUsersFolder) {
    const auto installed = tessaly::qt::LocateProgram("/usr/bin", false, "/home/u/.config");
    EXPECT_EQ(installed.appPath, "/usr/share/tessaly");
    EXPECT_EQ(installed.settingsPath, "/home/u/.config/tessaly/data.sfc");
    const auto first = tessaly::qt::FirstRunSettings(installed).paths;
    EXPECT_EQ(first[0], "/usr/share/tessaly/samples/template.htm");
    EXPECT_EQ(first[1], "/home/u/.config/tessaly/signature.htm");
    const auto unpacked = tessaly::qt::LocateProgram("/home/u/tessaly", true, "/home/u/.config");
    EXPECT_EQ(unpacked.appPath, "/home/u/tessaly");
    EXPECT_EQ(unpacked.settingsPath, "/home/u/tessaly/data/data.sfc");
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "qt_window_test.moc"

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

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/form_events.h"
#include "app/settings_file.h"
#include "compose/compose.h"
#include "platform/qt/qt_platform.h"

namespace {

namespace stdfs = std::filesystem;
using tessaly::qt::QtPlatform;

std::string Bytes(const stdfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const stdfs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Always the first line and the first file.
class FirstDraw final : public tessaly::RandomSource {
public:
    float ReseedAndDraw() override { return 0.0f; }
};

}  // namespace

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
        app_ = stdfs::temp_directory_path() / ("tessaly-qt-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        stdfs::remove_all(app_);
        stdfs::create_directories(app_ / "quotes");
        stdfs::create_directories(app_ / "data");
        stdfs::copy(TESSALY_HELP_SOURCE_DIR, app_ / "help");
        Write(app_ / "template.txt", "Hi quote1!");
        Write(app_ / "quotes" / "q.txt", "first\r\nsecond\r\n");
        for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(scheme, &opener_, "open");
    }
    void TearDown() override {
        for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(scheme);
        form_.reset();
        platform_.reset();
        stdfs::remove_all(app_);
    }
    std::string Path(const char* name) const { return (app_ / name).string(); }
    // The settings file's bytes for a start-up flag and a template.
    std::string Settings(int flag, const std::string& templatePath, const std::string& quote2 = "") const {
        tessaly::SettingsValues values;
        values.paths = {templatePath, Path("signature.txt"), Path("quotes/q.txt"), quote2, "", ""};
        values.autoStart = static_cast<std::int16_t>(flag);
        return tessaly::FormatSettings(values);
    }
    void Start(const std::string& settings) {
        Write(app_ / "data" / "data.sfc", settings);
        platform_ = std::make_unique<QtPlatform>(tessaly::qt::Locations{app_.string(), Path("data/data.sfc"), false});
        form_ = tessaly::CreateMainForm(*platform_, random_);
        platform_->Attach(form_.get());
        ASSERT_TRUE(platform_->Start());
    }
    template <typename W>
    W* Find(const char* name) const { return platform_->Window()->findChild<W*>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    QString Status() const { return Find<QLabel>("lblStatus")->text(); }
    QString Tip() const { return platform_->Window()->findChild<QSystemTrayIcon*>()->toolTip(); }
    QStringList MenuItems() const {
        QStringList items;
        for (const QAction* action : Find<QMenu>("mnuFile")->actions()) {
            if (action->isVisible() && !action->isSeparator()) items << action->text();
        }
        return items;
    }
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

    stdfs::path app_;
    QStringList seen_;
    Opener opener_;
    FirstDraw random_;
    std::unique_ptr<QtPlatform> platform_;
    std::unique_ptr<tessaly::IFormEvents> form_;
};

TEST_F(QtWindow, RunningStartComposesOnceAndShowsTheRunMarks) {
    Start(Settings(1, Path("template.txt")));
    EXPECT_EQ(Bytes(app_ / "signature.txt"), "Hi first!\r\n");
    EXPECT_EQ(Status(), "Running!");
    EXPECT_EQ(Tip(), "Tessaly Running");
    EXPECT_EQ(MenuItems(), QStringList({"Open Tessaly", "Pause", "Refresh", "Help", "Exit"}));
    EXPECT_TRUE(platform_->Window()->isVisible());
}

TEST_F(QtWindow, PausedStartCreateNowStartAndStop) {
    const std::string settings = Settings(0, Path("template.txt"));
    Start(settings);
    EXPECT_FALSE(stdfs::exists(app_ / "signature.txt"));
    EXPECT_EQ(Status(), "Paused!");
    EXPECT_EQ(Tip(), "Tessaly Paused");
    EXPECT_EQ(MenuItems(), QStringList({"Open Tessaly", "Resume", "Refresh", "Help", "Exit"}));

    Click("cmdCreateS");
    EXPECT_EQ(Bytes(app_ / "signature.txt"), "Hi first!\r\n");
    EXPECT_EQ(Status(), "Paused!");

    // With no notification area to come back from, the window is minimised
    // where it would hide.
    Click("cmdStart");
    EXPECT_EQ(Status(), "Running!");
    EXPECT_EQ(Tip(), "Tessaly Running");
    EXPECT_TRUE(platform_->Window()->isMinimized());
    Click("cmdStop");
    EXPECT_EQ(Status(), "Paused!");
    EXPECT_EQ(Tip(), "Tessaly Paused");
    EXPECT_EQ(MenuItems(), QStringList({"Open Tessaly", "Resume", "Refresh", "Help", "Exit"}));
    EXPECT_EQ(Bytes(app_ / "data" / "data.sfc"), settings);  // the buttons do not save
}

TEST_F(QtWindow, FailedCompositionTellsTheUserAndPauses) {
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
    EXPECT_EQ(Status(), "Paused!");
    EXPECT_EQ(Tip(), "Tessaly Paused");
    EXPECT_EQ(Find<QCheckBox>("chkAS")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(platform_->Window()->isVisible());
    EXPECT_FALSE(stdfs::exists(app_ / "signature.txt"));
}

TEST_F(QtWindow, FilePickersShowTheirFolderAndFilterAndSaveWhatever) {
    // A path that is no valid UTF-8 survives the window untouched.
    const std::string settings = Settings(1, Path("template.txt"), Path("caf\xE9.txt"));
    Start(settings);
    stdfs::remove(app_ / "data" / "data.sfc");
    Pick("");  // Cancel
    Click("cmdQF1");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(Path("quotes")),
                                  "Text Files (*.txt) (*.txt)", "Paused!"}));
    EXPECT_EQ(Status(), "Running!");
    EXPECT_EQ(Find<QLineEdit>("txtQF1")->text().toStdString(), Path("quotes/q.txt"));
    EXPECT_EQ(Bytes(app_ / "data" / "data.sfc"), settings);

    Pick(QString::fromStdString(Path("new.htm")));  // a signature that does not exist yet
    Click("cmdSignature");
    EXPECT_EQ(seen_, QStringList({" Select File ", QString::fromStdString(app_.string()),
                                  "Text ot Html Files(*.txt;*.htm) (*.txt *.htm)", "Paused!"}));
    EXPECT_EQ(Find<QLineEdit>("txtSignature")->text().toStdString(), Path("new.htm"));
    EXPECT_NE(Bytes(app_ / "data" / "data.sfc").find(Path("new.htm")), std::string::npos);
}

TEST_F(QtWindow, HelpAndViewingOpenWithTheDesktop) {
    Start(Settings(0, Path("template.txt")));
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
    Find<QLineEdit>("txtQF3")->clear();  // an empty field opens nothing
    QTest::mouseDClick(Find<QLineEdit>("txtQF3"), Qt::LeftButton);
    QTest::mouseClick(Find<QLineEdit>("txtCompliments"), Qt::LeftButton);
    ASSERT_EQ(opener_.opened.size(), 2);
    EXPECT_EQ(opener_.opened[0], QUrl::fromLocalFile(QString::fromStdString(Path("template.txt"))).toString());
    EXPECT_TRUE(opener_.opened[1].startsWith("https://"));
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

#include "platform/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <qdrawutil.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

#include "app/tray_icon_data.h"
#include "core/fs.h"

// The artwork's resource registers itself from a static library only when
// asked, and the asking must happen outside any namespace.
static void RegisterArt() { Q_INIT_RESOURCE(art); }

// What the tray is asked and answers, for desktops whose tray misbehaves:
// QT_LOGGING_RULES="tessaly.tray.debug=true" prints it.
Q_LOGGING_CATEGORY(lcTray, "tessaly.tray", QtInfoMsg)

namespace tessaly::qt {

namespace {

constexpr std::size_t kControls = static_cast<std::size_t>(ControlId::frmSignature) + 1;
// ShellExecuteA's answers: above 32 the request was taken.
constexpr std::int32_t kOpened = 42, kFileNotFound = 2, kNoAssociation = 31;
// The state pictures' icon handles, as the tray record carries them.
constexpr std::uint32_t kPausedIcon = 1, kRunningIcon = 2;

// Paths and texts are the file system's bytes; Qt shows them decoded.
QString ToQt(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}
std::string FromQt(const QString& text) { return QFile::encodeName(text).toStdString(); }
// The layout table's own texts.
QString Latin(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// The system colours that the window names (button face, inactive caption
// text) as the desktop's palette has them.
QColor ToQColor(Colour colour, const QPalette& palette) {
    if (colour & 0x80000000u) {
        return (colour & 0xFFu) == 15 ? palette.color(QPalette::Button) : palette.color(QPalette::Midlight);
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// "MS Sans Serif" where the desktop has it, otherwise the desktop's own
// sans-serif face, at the same point size.
QFont ProgramFont(double points, bool bold, bool underline) {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
                                      ? QStringLiteral("MS Sans Serif")
                                      : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// A caption wider than its place (the desktop's face may run wider than the
// one the window was drawn for) is set condensed rather than cut off.
void FitCaption(QWidget* widget, const QString& text, int available) {
    QFont font = widget->font();
    for (const int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
        if (QFontMetrics(font).horizontalAdvance(text) <= available) break;
        font.setStretch(stretch);
    }
    widget->setFont(font);
}

const char* PictureName(ControlId id) {
    switch (id) {
        case ControlId::cmdStart: return "start";
        case ControlId::cmdStop: return "stop";
        case ControlId::cmdCreateS: return "create";
        case ControlId::cmdHelp: return "help";
        default: return nullptr;
    }
}

// The largest drawing (100, 150 or 200 percent) that the screen's scale
// allows, its mask colour left out.
QPixmap Picture(const char* name, double scale, double pixelRatio) {
    const char* size = scale >= 2.0 ? "200" : scale >= 1.5 ? "150" : "100";
    const QString file = QStringLiteral(":/art/%1_%2.bmp").arg(QLatin1String(name), QLatin1String(size));
    QPixmap picture = QPixmap::fromImage(QImage(file));
    if (picture.isNull()) return picture;
    picture.setMask(picture.createMaskFromColor(ToQColor(kButtonMaskColour, {}), Qt::MaskInColor));
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

bool IsUrl(const std::string& target) {
    const auto colon = target.find("://");
    if (colon == std::string::npos || colon == 0) return false;
    return std::all_of(target.begin(), target.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

// --- the window's widgets -----------------------------------------------------

// The ten buttons, drawn in the program's own style: a raised face in the
// button colour, the picture or the bold caption, a focus mark only once the
// keyboard has moved the focus.
class Button final : public QAbstractButton {
public:
    Button(const ControlRow& row, QWidget* parent, double dpi) : QAbstractButton(parent), dpi_(dpi) {
        if (const char* name = PictureName(row.id)) {
            picture_ = Picture(name, dpi * devicePixelRatioF() / 96.0, devicePixelRatioF());
        } else {
            setText(Latin(row.text));
            setFont(ProgramFont(8.25, true, false));
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QBrush face(ToQColor(kButtonBackColour, palette()));
        qDrawWinButton(&painter, rect(), palette(), isDown(), &face);
        const int shift = isDown() ? 1 : 0;
        if (!picture_.isNull()) {
            const QSizeF size = picture_.deviceIndependentSize();
            painter.drawPixmap(QPointF((width() - size.width()) / 2 + shift, (height() - size.height()) / 2 + shift),
                               picture_);
        } else {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(rect().translated(shift, shift), Qt::AlignCenter, text());
        }
        if (hasFocus() && keyboardFocus_) {
            const int inset = TwipsToPixels(60, dpi_);
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect().adjusted(inset, inset, -inset, -inset);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
    void focusInEvent(QFocusEvent* event) override {
        const Qt::FocusReason reason = event->reason();
        keyboardFocus_ = keyboardFocus_ || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        QAbstractButton::focusInEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        // Enter presses the focused button, as in a dialog.
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            animateClick();
            return;
        }
        QAbstractButton::keyPressEvent(event);
    }

private:
    double dpi_;
    QPixmap picture_;
    bool keyboardFocus_ = false;
};

class PathField final : public QLineEdit {
public:
    PathField(ControlId id, QtPlatform& platform, QWidget* parent) : QLineEdit(parent), id_(id), platform_(platform) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QLineEdit::mouseDoubleClickEvent(event);
        platform_.Events().DoubleClick(id_);
    }

private:
    ControlId id_;
    QtPlatform& platform_;
};

// Read-only text that behaves like a link: every move over it and a full
// click (press and release on it) go to the window.
class CreditsLine final : public QLineEdit {
public:
    CreditsLine(QtPlatform& platform, QWidget* parent) : QLineEdit(parent), platform_(platform) {
        setReadOnly(true);
        setFrame(false);
        setMouseTracking(true);
        setCursor(Qt::ArrowCursor);
        setFocusPolicy(Qt::ClickFocus);
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QLineEdit::mouseMoveEvent(event);
        platform_.Events().MouseOver(ControlId::txtCompliments);
    }
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = event->button() == Qt::LeftButton;
        QLineEdit::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLineEdit::mouseReleaseEvent(event);
        const bool click =
            pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        if (click) platform_.Events().Click(ControlId::txtCompliments);
    }

private:
    QtPlatform& platform_;
    bool pressed_ = false;
};

// The user ticks or clears; the grayed state only comes from the settings.
class AutoRunBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

}  // namespace

class MainWindow final : public QWidget {
public:
    explicit MainWindow(QtPlatform& platform) : platform_(platform) {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        setWindowTitle(Latin(kWindowCaption));
        setObjectName(QStringLiteral("frmSignature"));
        const double dpi = logicalDpiX();
        setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));
        for (const ControlRow& row : Layout()) {
            if (row.visible && row.kind != ControlKind::Window) Add(row, dpi);
        }
        OrderForTab();
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        connect(help, &QShortcut::activated, this, [this] { platform_.Events().ContextHelp(FocusedControl()); });
        auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(stop, &QShortcut::activated, this, [this] { platform_.Events().Click(ControlId::cmdStop); });
    }

    QWidget* Control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

    ControlId FocusedControl() const {
        const auto found = std::find(controls_.begin(), controls_.end(), QApplication::focusWidget());
        if (QApplication::focusWidget() == nullptr || found == controls_.end()) return ControlId::frmSignature;
        return static_cast<ControlId>(found - controls_.begin());
    }

    void FocusFirstControl() {
        if (!tabOrder_.empty()) tabOrder_.front()->setFocus(Qt::OtherFocusReason);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        // Closing the window unloads it, and the program ends with it.
        event->ignore();
        platform_.UnloadMainWindow();
    }

private:
    void Add(const ControlRow& row, double dpi) {
        const QString text = Latin(row.text);
        QWidget* widget = nullptr;
        QPalette palette = this->palette();
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::PictureButton: {
                auto* button = new Button(row, this, dpi);
                connect(button, &QAbstractButton::clicked, this, [this, id = row.id] { platform_.Events().Click(id); });
                widget = button;
                break;
            }
            case ControlKind::TextField: {
                auto* field = new PathField(row.id, platform_, this);
                field->setMaxLength(std::numeric_limits<int>::max());
                field->setText(text);
                palette.setColor(QPalette::Base, ToQColor(kPathFieldBackColour, palette));
                widget = field;
                break;
            }
            case ControlKind::CreditsLine: {
                auto* line = new CreditsLine(platform_, this);
                line->setText(text);
                line->setFont(ProgramFont(8.25, false, true));
                palette.setColor(QPalette::Base, ToQColor(kCreditsBackColour, palette));
                palette.setColor(QPalette::Text, ToQColor(kCreditsRestColour, palette));
                widget = line;
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = new AutoRunBox(text, this);
                box->setTristate(true);
                box->setFont(ProgramFont(8.25, true, false));
                palette.setColor(QPalette::WindowText, ToQColor(kCheckBoxForeColour, palette));
                widget = box;
                break;
            }
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                label->setTextFormat(Qt::PlainText);
                label->setFocusPolicy(Qt::NoFocus);
                label->setFont(ProgramFont(9.75, true, false));
                palette.setColor(QPalette::WindowText, ToQColor(kStatusForeColour, palette));
                widget = label;
                break;
            }
            default:
                return;
        }
        widget->setObjectName(Latin(row.name));
        widget->setPalette(palette);
        if (!row.toolTip.empty()) {
            widget->setToolTip(Latin(row.toolTip));
        }
        // Both edges are converted, so that controls which meet in twips
        // meet in pixels at every scale.
        const int left = TwipsToPixels(row.left, dpi), top = TwipsToPixels(row.top, dpi);
        widget->setGeometry(left, top, TwipsToPixels(row.left + row.width, dpi) - left,
                            TwipsToPixels(row.top + row.height, dpi) - top);
        if (row.kind == ControlKind::Button) FitCaption(widget, text, widget->width() - 4);
        if (row.kind == ControlKind::CheckBox) {
            const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                                  style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
            FitCaption(widget, text, std::min(widget->geometry().right(), width()) - left - indicator);
        }
        controls_[static_cast<std::size_t>(row.id)] = widget;
    }

    // Tab visits the controls by their tab index, not by creation order; the
    // label and the credits line take no focus from the Tab key.
    void OrderForTab() {
        std::vector<const ControlRow*> rows;
        for (const ControlRow& row : Layout()) {
            QWidget* widget = Control(row.id);
            if (widget && (widget->focusPolicy() & Qt::TabFocus)) rows.push_back(&row);
        }
        std::stable_sort(rows.begin(), rows.end(),
                         [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
        for (const ControlRow* row : rows) tabOrder_.push_back(Control(row->id));
        for (std::size_t i = 1; i < tabOrder_.size(); ++i) setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
    }

    QtPlatform& platform_;
    std::array<QWidget*, kControls> controls_{};
    std::vector<QWidget*> tabOrder_;
};

namespace {

// --- the controls' wrappers ---------------------------------------------------

class Window final : public IWindow {
public:
    explicit Window(QtPlatform& platform) : platform_(platform) {}
    std::uint32_t Handle() const override { return static_cast<std::uint32_t>(w()->winId()); }
    bool Visible() const override { return w()->isVisible(); }
    void Show() override {
        // Where no tray can bring it back, "hidden" is minimised.
        if (!platform_.TrayAvailable() && w()->isMinimized()) {
            w()->showNormal();
        } else {
            w()->show();
        }
        if (platform_.TakeForegroundRequest()) {
            w()->raise();
            w()->activateWindow();
        }
    }
    void Hide() override {
        if (platform_.TrayAvailable()) {
            w()->hide();
        } else if (w()->isVisible()) {
            w()->showMinimized();
        }
    }
    void Refresh() override { w()->repaint(); }
    void SetIcon(const IImage& picture) override { w()->setWindowIcon(platform_.StateIcon(picture.IconHandle())); }
    void SetWindowState(int state) override {
        switch (state) {
            case 0:
                if (w()->isMinimized() || w()->isMaximized()) w()->showNormal();
                break;
            case 1: w()->showMinimized(); break;
            case 2: w()->showMaximized(); break;
            default: break;
        }
    }
    float Width() const override { return Twips(w()->frameGeometry().width()); }
    float Height() const override { return Twips(w()->frameGeometry().height()); }
    void SetLeft(float twips) override { w()->move(Pixels(twips), w()->y()); }
    void SetTop(float twips) override { w()->move(w()->x(), Pixels(twips)); }
    float Left() const override { return Twips(w()->x()); }
    float Top() const override { return Twips(w()->y()); }

private:
    QWidget* w() const { return platform_.Window(); }
    float Twips(int pixels) const { return static_cast<float>(pixels) * platform_.TwipsPerPixelX(); }
    int Pixels(float twips) const { return TwipsToPixels(twips, platform_.Dpi()); }
    QtPlatform& platform_;
};

class Image final : public IImage {
public:
    explicit Image(std::uint32_t handle) : handle_(handle) {}
    std::uint32_t IconHandle() const override { return handle_; }

private:
    std::uint32_t handle_;
};

// A field keeps the bytes it was given: what the user has not edited is
// handed back exactly, even where the bytes are no valid text.
class TextField final : public ITextField {
public:
    explicit TextField(QLineEdit* edit) : edit_(edit), bytes_(FromQt(edit->text())), shown_(edit->text()) {}
    std::string Text() const override {
        const QString now = edit_->text();
        return now == shown_ ? bytes_ : FromQt(now);
    }
    void SetText(const std::string& text) override {
        bytes_ = text;
        shown_ = ToQt(text);
        edit_->setText(shown_);
    }
    void Select(int start, int length) override { edit_->setSelection(start, length); }
    Colour ForeColor() const override { return colour_; }
    void SetForeColor(Colour colour) override {
        colour_ = colour;
        QPalette palette = edit_->palette();
        palette.setColor(QPalette::Text, ToQColor(colour, palette));
        edit_->setPalette(palette);
    }

private:
    QLineEdit* edit_;
    std::string bytes_;
    QString shown_;
    Colour colour_ = kCreditsRestColour;
};

class CheckBox final : public ICheckBox {
public:
    explicit CheckBox(QCheckBox* box) : box_(box) {}
    int Value() const override {
        switch (box_->checkState()) {
            case Qt::Checked: return 1;
            case Qt::PartiallyChecked: return 2;
            default: return 0;
        }
    }
    void SetValue(int value) override {
        box_->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }

private:
    QCheckBox* box_;
};

class Label final : public ILabel {
public:
    explicit Label(QLabel* label) : label_(label) {}
    std::string Caption() const override { return FromQt(label_->text()); }
    void SetCaption(const std::string& caption) override { label_->setText(ToQt(caption)); }

private:
    QLabel* label_;
};

// Stopped, a timer wakes nobody: while Paused the program sleeps.
class Timer final : public ITimer {
public:
    Timer(FormLink& events, ControlId id, unsigned intervalMs) {
        timer_.setInterval(static_cast<int>(intervalMs));
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [&events, id] { events.Tick(id); });
    }
    bool Enabled() const override { return timer_.isActive(); }
    void SetEnabled(bool enabled) override {
        if (enabled == timer_.isActive()) return;  // a running timer keeps its period
        if (enabled) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }
    unsigned IntervalMs() const override { return static_cast<unsigned>(timer_.interval()); }

private:
    QTimer timer_;
};

class MenuItem final : public IMenuItem {
public:
    explicit MenuItem(QAction* action) : action_(action) {}
    bool Visible() const override { return action_->isVisible(); }
    void SetVisible(bool visible) override { action_->setVisible(visible); }

private:
    QAction* action_;
};

class FileDialog final : public IFileDialog {
public:
    explicit FileDialog(QtPlatform& platform) : platform_(platform) {}
    Result ShowOpen() override {
        QFileDialog dialog(platform_.DialogParent(), ToQt(title_), ToQt(initDir_));
        // Any name may be typed, an existing file or a new one, as the
        // signature may not exist yet.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        QStringList filters;
        for (const std::string& filter : NameFilters(filter_)) filters << ToQt(filter);
        if (!filters.isEmpty()) dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return Result::Cancelled;
        fileName_ = FromQt(dialog.selectedFiles().front());
        return Result::Chosen;
    }

private:
    QtPlatform& platform_;
};

}  // namespace

// --- the platform -------------------------------------------------------------

QtPlatform::QtPlatform(Locations where) : where_(std::move(where)) {
    RegisterArt();
    // The window hides into the tray; only Exit and closing the window end
    // the program.
    QApplication::setQuitOnLastWindowClosed(false);
    stateIcons_ = {QIcon(QStringLiteral(":/art/paused.ico")), QIcon(QStringLiteral(":/art/running.ico"))};
    window_ = std::make_unique<MainWindow>(*this);
    window_->setWindowIcon(stateIcons_[0]);
    BuildMenu();
    tray_ = new QSystemTrayIcon(window_.get());
    tray_->setObjectName(QStringLiteral("tray"));
    // Hosts that show the menu themselves (StatusNotifierItem) take it from
    // here; its items' visibility follows the run state.
    tray_->setContextMenu(menu_);
    // The icon's own widget reports the click from inside its mouse handler,
    // and Exit removes that widget: the report waits until the handler has
    // returned.
    QObject::connect(tray_, &QSystemTrayIcon::activated, window_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         QMetaObject::invokeMethod(
                             window_.get(), [this, reason] { OnTrayActivated(reason); }, Qt::QueuedConnection);
                     });
    // A session that ends quits the loop: the window unloads first, so the
    // settings are saved.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window_.get(), [this] { UnloadMainWindow(); });
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::BuildMenu() {
    menu_ = new QMenu(window_.get());
    menu_->setObjectName(QStringLiteral("mnuFile"));
    bool inFileMenu = false;
    for (const ControlRow& row : Layout()) {
        if (row.id == ControlId::mnuFile) {
            inFileMenu = true;
            continue;
        }
        if (!inFileMenu || (row.kind != ControlKind::MenuItem && row.kind != ControlKind::MenuSeparator)) continue;
        QAction* action = row.kind == ControlKind::MenuSeparator
                              ? menu_->addSeparator()
                              : menu_->addAction(Latin(row.text));
        action->setVisible(row.visible);
        if (row.kind == ControlKind::MenuItem) {
            QObject::connect(action, &QAction::triggered, window_.get(), [this, id = row.id] {
                if (menuAwaited_) {
                    chosen_ = id;
                } else {
                    QMetaObject::invokeMethod(window_.get(), [this, id] { form_.Click(id); }, Qt::QueuedConnection);
                }
            });
        }
        actions_[static_cast<std::size_t>(row.id)] = action;
    }
}

void QtPlatform::OnTrayActivated(int reason) {
    const float twips = TwipsPerPixelX();
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            form_.TrayCallback(515.0f * twips);
            break;
        case QSystemTrayIcon::Trigger:
            // A host that knows where the icon is (the XEmbed tray) reports
            // double-clicks, and a single click does nothing. One that
            // reports only activations (StatusNotifierItem) gets the
            // double-click's path from a left click.
            if (!tray_->geometry().isValid()) form_.TrayCallback(515.0f * twips);
            break;
        case QSystemTrayIcon::Context:
            form_.TrayCallback(517.0f * twips);
            break;
        default:
            break;
    }
}

bool QtPlatform::Start() {
    form_.Load();
    if (!Live() || ending_) return false;
    window_->show();
    window_->FocusFirstControl();
    return true;
}

int QtPlatform::Run() {
    if (!Start() || ending_) return 0;
    return QApplication::exec();
}

QWidget* QtPlatform::Window() const { return window_.get(); }

bool QtPlatform::TrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

QIcon QtPlatform::StateIcon(std::uint32_t handle) const {
    if (handle == kPausedIcon) return stateIcons_[0];
    if (handle == kRunningIcon) return stateIcons_[1];
    return {};
}

double QtPlatform::Dpi() const {
    const double dpi = window_->logicalDpiX();
    return dpi > 0 ? dpi : 96.0;
}

QWidget* QtPlatform::DialogParent() const {
    return window_->isVisible() && !window_->isMinimized() ? window_.get() : nullptr;
}

std::unique_ptr<IWindow> QtPlatform::CreateMainWindow() { return std::make_unique<tessaly::qt::Window>(*this); }

std::unique_ptr<ITextField> QtPlatform::CreateTextField(ControlId id) {
    return std::make_unique<TextField>(static_cast<QLineEdit*>(window_->Control(id)));
}

std::unique_ptr<ICheckBox> QtPlatform::CreateCheckBox(ControlId id) {
    return std::make_unique<CheckBox>(static_cast<QCheckBox*>(window_->Control(id)));
}

std::unique_ptr<ILabel> QtPlatform::CreateLabel(ControlId id) {
    return std::make_unique<Label>(static_cast<QLabel*>(window_->Control(id)));
}

std::unique_ptr<ITimer> QtPlatform::CreateTimer(ControlId id, unsigned intervalMs) {
    return std::make_unique<Timer>(form_, id, intervalMs);
}

std::unique_ptr<IMenuItem> QtPlatform::CreateMenuItem(ControlId id) {
    return std::make_unique<MenuItem>(actions_[static_cast<std::size_t>(id)]);
}

std::unique_ptr<IImage> QtPlatform::CreateImage(ControlId id) {
    return std::make_unique<Image>(id == ControlId::imgRun ? kRunningIcon : kPausedIcon);
}

std::unique_ptr<IFileDialog> QtPlatform::CreateFileDialog() { return std::make_unique<FileDialog>(*this); }

float QtPlatform::ScreenWidth() const {
    return static_cast<float>(window_->screen()->geometry().width()) * TwipsPerPixelX();
}

float QtPlatform::ScreenHeight() const {
    return static_cast<float>(window_->screen()->geometry().height()) * TwipsPerPixelX();
}

float QtPlatform::TwipsPerPixelX() const { return static_cast<float>(1440.0 / Dpi()); }

bool QtPlatform::Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) {
    TrayIconRecord data;
    data.bytes = record;
    if (message == NotifyIconMessage::Delete) {
        const bool shown = tray_->isVisible();
        tray_->hide();
        qCDebug(lcTray) << "delete";
        return shown;
    }
    const std::uint32_t flags = data.Field(12);
    if (flags & 2u) tray_->setIcon(StateIcon(data.Field(20)));  // NIF_ICON
    if (flags & 4u) tray_->setToolTip(ToQt(data.Tip()));          // NIF_TIP
    if (message == NotifyIconMessage::Add) tray_->show();
    qCDebug(lcTray) << (message == NotifyIconMessage::Add ? "add" : "modify") << tray_->toolTip()
                    << "tray available:" << TrayAvailable();
    return message == NotifyIconMessage::Add ? TrayAvailable() : tray_->isVisible();
}

std::int32_t QtPlatform::ShellExecuteA(std::uint32_t, const char*, const std::string& file, const char*,
                                       const char*, int) {
    if (file.empty()) return kFileNotFound;
    // The compiled help is for Windows; here its topics open in the browser.
    if (file == fs::JoinPath(where_.appPath, {"help", "help.chm"})) {
        return OpenHelpTopic(file, 0) ? kOpened : kFileNotFound;
    }
    QUrl url;
    if (IsUrl(file)) {
        url = QUrl(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
    } else {
        const QFileInfo info(ToQt(file));
        if (!info.exists()) return kFileNotFound;
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? kOpened : kNoAssociation;
}

bool QtPlatform::SetForegroundWindow(std::uint32_t) {
    if (!window_->isVisible()) {
        // Brought up by the next Show.
        foregroundWanted_ = true;
        return true;
    }
    window_->raise();
    window_->activateWindow();
    return true;
}

int QtPlatform::MsgBox(const std::string& text, int style, const std::string& title) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
        case 0x10: icon = QMessageBox::Critical; break;
        case 0x20: icon = QMessageBox::Question; break;
        case 0x30: icon = QMessageBox::Warning; break;
        case 0x40: icon = QMessageBox::Information; break;
        default: break;
    }
    const int buttons = style & 0x0F;
    const QMessageBox::StandardButtons offered = buttons == 1   ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : buttons == 4 ? QMessageBox::Yes | QMessageBox::No
                                                                : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(icon, ToQt(title), ToQt(text), offered, DialogParent());
    box.setTextFormat(Qt::PlainText);  // a path in the text is no markup
    switch (box.exec()) {
        case QMessageBox::Ok: return 1;   // IDOK
        case QMessageBox::Yes: return 6;  // IDYES
        case QMessageBox::No: return 7;   // IDNO
        default: return 2;                // IDCANCEL
    }
}

std::optional<ControlId> QtPlatform::PopupMenu() {
    if (!Live()) return std::nullopt;
    foregroundWanted_ = false;
    chosen_.reset();
    menuAwaited_ = true;
    if (menu_->isVisible()) {
        // The tray host has opened the menu already (the XEmbed tray does on
        // the right button's press): wait for it to close. The choice is
        // reported right after the menu hides, so the wait ends after that.
        QEventLoop loop;
        const auto hidden = QObject::connect(menu_, &QMenu::aboutToHide, &loop, [&loop] {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        QObject::disconnect(hidden);
    } else {
        menu_->exec(QCursor::pos());
    }
    menuAwaited_ = false;
    return std::exchange(chosen_, std::nullopt);
}

BrowseResult QtPlatform::BrowseForFolder(std::uint32_t, const std::string& prompt, int) {
    QFileDialog dialog(DialogParent(), ToQt(prompt), QDir::homePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));  // as the prompt says
    BrowseResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.path = FromQt(dialog.selectedFiles().front());
    // The composer adds the separator itself.
    while (result.path.size() > 1 && result.path.back() == '/') result.path.pop_back();
    result.kind = BrowseResult::Kind::Chosen;
    return result;
}

bool QtPlatform::OpenHelpTopic(const std::string& helpFile, int contextId) {
    const auto slash = helpFile.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : helpFile.substr(0, slash);
    std::string project;
    if (!fs::ReadWholeFile(fs::JoinPath(folder, {"help.hhp"}), project)) return false;
    const std::string topic = HelpTopic(project, contextId);
    if (topic.empty()) return false;
    const QFileInfo page(ToQt(fs::JoinPath(folder, {topic})));
    return page.exists() && QDesktopServices::openUrl(QUrl::fromLocalFile(page.absoluteFilePath()));
}

void QtPlatform::ShowHelpContext(const std::string& helpFile, int contextId) { OpenHelpTopic(helpFile, contextId); }

void QtPlatform::UnloadMainWindow() {
    if (unloaded_) return;
    form_.Unload();
    unloaded_ = true;
    window_->hide();
    tray_->hide();
    EndProgram();
}

void QtPlatform::EndProgram() {
    ending_ = true;
    QCoreApplication::quit();
}

}  // namespace tessaly::qt

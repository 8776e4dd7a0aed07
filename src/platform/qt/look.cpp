#include "look.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QWidget>

namespace tessaly::qt {

QString ToQt(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FromQt(const QString& text) { return QFile::encodeName(text).toStdString(); }

QString Latin(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QColor ToQColor(Colour colour, const QPalette& palette) {
    if (const auto rgb = FixedColour(colour)) return QColor(rgb->red, rgb->green, rgb->blue);
    return SystemColourIndex(colour) == 15 ? palette.color(QPalette::Button) : palette.color(QPalette::Midlight);
}

bool IsHighContrast(const QPalette& palette) {
    const QRgb back = palette.color(QPalette::Window).rgb() & 0xFFFFFFu;
    const QRgb fore = palette.color(QPalette::WindowText).rgb() & 0xFFFFFFu;
    return (back == 0u && fore == 0xFFFFFFu) || (back == 0xFFFFFFu && fore == 0u);
}

QFont ProgramFont(const FontSpec& fontStyle) {
    static const QString family = QFontDatabase::hasFamily(Latin(kProgramFontFace))
                                      ? Latin(kProgramFontFace)
                                      : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setPointSizeF(fontStyle.points);
    font.setBold(fontStyle.bold);
    font.setUnderline(fontStyle.underline);
    return font;
}

void FitCaption(QWidget* widget, const QString& text, int available) {
    QFont font = widget->font();
    for (const int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
        if (QFontMetrics(font).horizontalAdvance(text) <= available) break;
        font.setStretch(stretch);
    }
    widget->setFont(font);
}

QPixmap Picture(ControlId id, unsigned dpi, double pixelRatio) {
    const std::string_view name = PictureName(id);
    if (name.empty()) return {};
    // The scale that the device pixels ask for, never rounded up past it.
    const auto deviceDpi = static_cast<unsigned>(dpi * pixelRatio);
    const int percent = kPictureScalePercent[PictureScaleIndex(deviceDpi)];
    const QString file = QStringLiteral(":/art/%1_%2.bmp").arg(Latin(name)).arg(percent);
    QPixmap picture = QPixmap::fromImage(QImage(file));
    if (picture.isNull()) return picture;
    picture.setMask(picture.createMaskFromColor(ToQColor(kButtonMaskColour, {}), Qt::MaskInColor));
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

QIcon StateIcon(RunState state) {
    return QIcon(state == RunState::Running ? QStringLiteral(":/art/running.ico") : QStringLiteral(":/art/paused.ico"));
}

unsigned DpiOf(const QWidget* widget) {
    const int dpi = widget->logicalDpiX();
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

}  // namespace tessaly::qt

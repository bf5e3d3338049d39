#include "common/WindowPlacement.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

#include "common/Twips.h"

namespace keyrack {

namespace {
constexpr int kMinimumOffsetTwips = 100;
constexpr int kStateNormal = 0;
constexpr int kStateMinimised = 1;
constexpr int kStateMaximised = 2;
}  // namespace

void RestoreWindowPlacement(QWidget& form, const QString& applicationName) {
    QSettings settings(applicationName.toUpper());
    settings.beginGroup(QStringLiteral("WINDOW"));
    const int state = settings.value(QStringLiteral("STATE"), kStateNormal).toInt();
    if (state == kStateMaximised) {
        form.setWindowState(Qt::WindowMaximized);
    } else if (state == kStateMinimised) {
        form.setWindowState(Qt::WindowMinimized);
    }
    if (state != kStateNormal) {
        return;
    }
    const QScreen* screen = form.screen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int centredLeft = PixelsToTwipsX((area.width() - form.width()) / 2, form);
    const int centredTop = PixelsToTwipsY((area.height() - form.height()) / 2, form);
    const int left =
        std::max(settings.value(QStringLiteral("LEFT"), centredLeft).toInt(), kMinimumOffsetTwips);
    const int top =
        std::max(settings.value(QStringLiteral("TOP"), centredTop).toInt(), kMinimumOffsetTwips);
    form.move(area.x() + TwipsToPixelsX(left, form), area.y() + TwipsToPixelsY(top, form));
}

int RestoreWindowSize(QWidget& form, const QString& applicationName) {
    QSettings settings(applicationName.toUpper());
    settings.beginGroup(QStringLiteral("WINDOW"));
    const int width = settings.value(QStringLiteral("WIDTH"), 0).toInt();
    const int height = settings.value(QStringLiteral("HEIGHT"), 0).toInt();
    if (width > 0 && height > 0) {
        form.resize(TwipsToPixelsX(width, form), TwipsToPixelsY(height, form));
    }
    return TwipsToPixelsX(std::max(settings.value(QStringLiteral("SPLIT"), 0).toInt(), 0), form);
}

void KeepWindowSize(const QWidget& form, int firstPaneWidth, const QString& applicationName) {
    // A maximised or minimised window keeps the size it has when it is normal again.
    const QSize size = form.windowState() == Qt::WindowNoState || form.normalGeometry().isEmpty()
                           ? form.size()
                           : form.normalGeometry().size();
    QSettings settings(applicationName.toUpper());
    settings.beginGroup(QStringLiteral("WINDOW"));
    settings.setValue(QStringLiteral("WIDTH"), PixelsToTwipsX(size.width(), form));
    settings.setValue(QStringLiteral("HEIGHT"), PixelsToTwipsY(size.height(), form));
    settings.setValue(QStringLiteral("SPLIT"), PixelsToTwipsX(firstPaneWidth, form));
}

}  // namespace keyrack

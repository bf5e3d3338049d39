#include "common/Twips.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace keyrack {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

int TwipsToPixelsX(int twips, const QWidget& widget) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiX() / kTwipsPerInch));
}

int TwipsToPixelsY(int twips, const QWidget& widget) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiY() / kTwipsPerInch));
}

int PixelsToTwipsX(int pixels, const QWidget& widget) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / widget.logicalDpiX()));
}

int PixelsToTwipsY(int pixels, const QWidget& widget) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / widget.logicalDpiY()));
}

void CenterForm(QWidget& form) {
    const QScreen* screen = form.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    form.move(area.x() + (area.width() - form.width()) / 2,
              area.y() + (area.height() - form.height()) / 2);
}

}  // namespace keyrack

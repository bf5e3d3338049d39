#pragma once

class QWidget;

// Sizes and positions of the program's forms are given in twips: 1440 to the inch, 15 to a
// pixel at 96 dpi. These convert at the screen's logical dpi.
namespace keyrack {

int TwipsToPixelsX(int twips, const QWidget& widget);
int TwipsToPixelsY(int twips, const QWidget& widget);
int PixelsToTwipsX(int pixels, const QWidget& widget);
int PixelsToTwipsY(int pixels, const QWidget& widget);

// Centres a form on its screen.
void CenterForm(QWidget& form);

}  // namespace keyrack

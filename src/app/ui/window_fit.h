#pragma once
// Windows that fit the screen they open on: a wanted size bounded by the screen's
// free area (the window scrolls inside where it must), centred, and able to be
// maximised; small fixed dialogs just open centred.
#include <QSize>

class QWidget;

namespace kestrova::ui {

// Sizes the window to `wanted`, or less where the screen is smaller, centres it on the
// screen, lets it be maximised, and once shown moves it back inside the screen should
// the window manager's frame push it out.
void fitToScreen(QWidget *window, QSize wanted);
// Centres the window on its screen's free area whenever it is shown, whatever its
// parent; the size is the window's own.
void centreOnScreen(QWidget *window);

} // namespace kestrova::ui

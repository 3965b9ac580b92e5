// How the program's large windows meet the screen: which screen they open
// on, the frame the window manager adds, and the size they open with.
#pragma once

#include <QMargins>
#include <QSize>

class QScreen;
class QWidget;

namespace forstrix::ui {

// The screen a dialog opens on: its parent's, else its own, else the
// primary screen; nullptr without any screen.
QScreen* dialog_screen(const QWidget* dialog);

// The window manager's frame around `window`. Before it has framed the
// window the frame is not known yet; then a title bar of the style's height
// and a border of its frame width are reckoned with, where the platform
// frames windows at all, so that a button row at the bottom is not pushed
// off the screen.
QMargins window_frame(const QWidget* window);

// The size a dialog opens with: the preferred size, shrunk to the free area
// of the screen less the window frame, but never below what the layout needs.
// On a 1366 × 768 laptop the buttons at the bottom stay on the screen.
QSize fitted_dialog_size(QSize preferred, QSize minimum, QSize available, QSize frame);

}  // namespace forstrix::ui

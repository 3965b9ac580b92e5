// Every menu bar builds, hidden, the button that offers the menus a narrow
// window cannot show, and with it that button's icon. Reading the icon's
// images makes Qt load every image format plugin of the system (SVG, JPEG,
// GIF, ...), with their libraries, before the main window can stand: the
// largest single delay of the program's start that the window does not need.
// The application's style here hands out those icons as promises instead,
// read from the real style when the button is first drawn or measured.
#pragma once

#include <QProxyStyle>

namespace forstrix::ui {

// The style `base` (owned, as by QProxyStyle), unchanged but for the icons of
// the extension buttons of menu and tool bars, which it reads on first use.
class DeferredIconStyle final : public QProxyStyle {
    Q_OBJECT
public:
    explicit DeferredIconStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // The base style's icon, which a deferred one becomes on first use.
    QIcon base_icon(StandardPixmap icon, const QWidget* widget) const;
    // How often a deferred icon has been read from the base style.
    int icons_read() const { return icons_read_; }

private:
    mutable int icons_read_ = 0;
};

// Puts a DeferredIconStyle over the application's style; before the first
// window is built, and only once.
void defer_style_icons();

}  // namespace forstrix::ui

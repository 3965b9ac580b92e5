#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace forstrix::ui {

QScreen* dialog_screen(const QWidget* dialog) {
    QScreen* s = dialog->parentWidget() != nullptr ? dialog->parentWidget()->screen() : dialog->screen();
    return s != nullptr ? s : QGuiApplication::primaryScreen();
}

QMargins window_frame(const QWidget* window) {
    const QWindow* w = window->windowHandle();
    const QMargins known = w != nullptr ? w->frameMargins() : QMargins();
    if (!known.isNull()) return known;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {};
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {border, title + border, border, border};
}

QSize fitted_dialog_size(QSize preferred, QSize minimum, QSize available, QSize frame) {
    return preferred.boundedTo(available - frame).expandedTo(minimum);
}

}  // namespace forstrix::ui

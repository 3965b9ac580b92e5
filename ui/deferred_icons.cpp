#include "ui/deferred_icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QWidget>

namespace forstrix::ui {

namespace {

bool deferred(QStyle::StandardPixmap icon) {
    return icon == QStyle::SP_ToolBarHorizontalExtensionButton || icon == QStyle::SP_ToolBarVerticalExtensionButton;
}

// An icon of the base style that is read when it is first drawn, measured or
// listed. Should the style that promised it be gone by then (the
// application's style was replaced), the style in force gives it.
class DeferredIconEngine final : public QIconEngine {
public:
    DeferredIconEngine(const DeferredIconStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : style_(const_cast<DeferredIconStyle*>(style)), which_(which), widget_(const_cast<QWidget*>(widget)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    // The extension icons are images the styles always have: not null,
    // without reading them.
    bool isNull() override { return read_ && icon_.isNull(); }
    QString key() const override { return QStringLiteral("forstrix_deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!read_) {
            read_ = true;
            if (style_) icon_ = style_->base_icon(which_, widget_);
            else icon_ = QApplication::style()->standardIcon(which_, nullptr, widget_);
        }
        return icon_;
    }

    QPointer<DeferredIconStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<QWidget> widget_;  // passed on as the style was asked
    bool read_ = false;
    QIcon icon_;
};

}  // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    // An option lives only for the call: an icon asked for with one is read now.
    if (!deferred(icon) || option != nullptr) return QProxyStyle::standardIcon(icon, option, widget);
    return QIcon(new DeferredIconEngine(this, icon, widget));
}

QIcon DeferredIconStyle::base_icon(StandardPixmap icon, const QWidget* widget) const {
    ++icons_read_;
    return baseStyle()->standardIcon(icon, nullptr, widget);
}

void defer_style_icons() {
    QStyle* style = QApplication::style();
    if (qobject_cast<DeferredIconStyle*>(style) != nullptr) return;
    // The style in force (the platform's choice, or "-style") stays the one
    // that draws; the proxy takes it over from the application.
    QApplication::setStyle(new DeferredIconStyle(style));
}

}  // namespace forstrix::ui

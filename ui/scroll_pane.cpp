#include "ui/scroll_pane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

namespace forstrix::ui {

namespace {

constexpr int kLine = 10;  // pixels per arrow key, wheel notch and drag step
constexpr int kPage = 50;  // pixels per page key
constexpr int kNotch = 120;

}  // namespace

ScrollPane::ScrollPane(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(kLine);
}

void ScrollPane::set_content(QWidget* content) {
    content_ = content;
    setWidget(content);
    installEventFilter(this);
    viewport()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    content->installEventFilter(this);
    for (QWidget* w : content->findChildren<QWidget*>()) w->installEventFilter(this);
}

void ScrollPane::to_top() {
    end_drag();
    wheel_rest_ = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void ScrollPane::scroll_by(int pixels) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + pixels);  // the bar keeps it within the content
}

bool ScrollPane::scroll_key(int key) {
    switch (key) {
    case Qt::Key_Down: scroll_by(kLine); return true;
    case Qt::Key_Up: scroll_by(-kLine); return true;
    case Qt::Key_PageDown: scroll_by(kPage); return true;
    case Qt::Key_PageUp: scroll_by(-kPage); return true;
    default: return false;
    }
}

void ScrollPane::end_drag() {
    if (!dragging_) return;
    dragging_ = false;
    content_->unsetCursor();
}

bool ScrollPane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // Also on a focused button: the arrow keys scroll, they do not move
        // the focus.
        if (watched == this || qobject_cast<QPushButton*>(watched) != nullptr) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier)
                return scroll_key(key->key());
        }
        break;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int dy = wheel->angleDelta().y();
        if (dy == 0) break;  // sideways: the scroll area's own handling
        // One line per notch; finer wheels add up to a notch first.
        wheel_rest_ += dy;
        while (wheel_rest_ >= kNotch) {
            scroll_by(-kLine);
            wheel_rest_ -= kNotch;
        }
        while (wheel_rest_ <= -kNotch) {
            scroll_by(kLine);
            wheel_rest_ += kNotch;
        }
        wheel->accept();
        return true;
    }
    case QEvent::MouseButtonPress:
        // Presses that no control took (buttons take theirs) start a drag.
        if (watched == content_) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && !dragging_) {
                dragging_ = true;
                drag_y_ = mouse->globalPosition().y();
                content_->setCursor(Qt::SizeVerCursor);
                return true;
            }
        }
        break;
    case QEvent::MouseMove:
        if (watched == content_ && dragging_) {
            // Each move scrolls one line, whatever the distance; moving down
            // scrolls towards the end. Screen coordinates, because the
            // content itself moves under the mouse.
            const double y = static_cast<QMouseEvent*>(event)->globalPosition().y();
            if (y > drag_y_) scroll_by(kLine);
            else if (y < drag_y_) scroll_by(-kLine);
            drag_y_ = y;
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == content_ && dragging_ &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            end_drag();
            return true;
        }
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace forstrix::ui

// A scroll area that moves by fixed steps, as the results dialog scrolls:
// the mouse wheel one line of 10 pixels per notch, the arrow keys 10 pixels
// (also on a focused button inside, where they would move the focus), the
// page keys 50 pixels, and a drag with the left mouse button one line per
// mouse move, downwards towards the end.
#pragma once

#include <QScrollArea>

namespace forstrix::ui {

class ScrollPane final : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollPane(QWidget* parent = nullptr);

    // Shows `content` (owned): keys, wheel and drag are taken before the
    // area's own handling, the wheel wherever the mouse is over the content,
    // also over labels and charts.
    void set_content(QWidget* content);
    // The keys and the wheel on `w`, a control outside the content (a
    // button beneath it), scroll the content as they do inside.
    void scroll_from(QWidget* w) { w->installEventFilter(this); }
    // Scrolls for an arrow or page key; false for any other key.
    bool scroll_key(int key);
    // Back to the top, no drag or wheel turn pending.
    void to_top();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scroll_by(int pixels);
    void end_drag();

    QWidget* content_ = nullptr;
    bool dragging_ = false;
    double drag_y_ = 0.0;  // global vertical mouse position during a drag
    int wheel_rest_ = 0;   // wheel turn not yet a whole notch
};

}  // namespace forstrix::ui

#include "ui/caption_box.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace forstrix::ui {

CaptionBox::CaptionBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void CaptionBox::set_caption_greyed(bool greyed) {
    greyed_ = greyed;
    update();
}

void CaptionBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (greyed_) {
        // The caption in the colour of disabled text; only this painting
        // sees it, so the box's children keep the palette they inherit.
        const QColor grey = option.palette.color(QPalette::Disabled, QPalette::WindowText);
        option.palette.setColor(QPalette::WindowText, grey);
        option.textColor = grey;
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

}  // namespace forstrix::ui

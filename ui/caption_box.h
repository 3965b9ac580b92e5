// A group box whose caption alone can be greyed. A disabled QGroupBox greys
// its caption and everything inside it; a system that does not suit the
// stand is told by its caption, while the texts inside stay in the normal
// colour, as the stand dialog's frames do.
#pragma once

#include <QGroupBox>

namespace forstrix::ui {

class CaptionBox : public QGroupBox {
public:
    explicit CaptionBox(const QString& title, QWidget* parent = nullptr);

    void set_caption_greyed(bool greyed);
    bool caption_greyed() const { return greyed_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool greyed_ = false;
};

}  // namespace forstrix::ui

#include "ui/stand_frames.h"

#include <string>

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "ui/fields.h"

namespace forstrix::ui {

QLabel* text_label(QWidget* parent, const char* text) {
    auto* label = new QLabel(qs(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QComboBox* drop_down(QWidget* parent, const char* id, const QStringList& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(id));
    list->addItems(entries);
    list->setMaxVisibleItems(12);
    return list;
}

QLineEdit* number_field(QWidget* parent, const char* id) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(id));
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return field;
}

QLabel* value_label(QWidget* parent, const char* id) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(id));
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(80);
    return label;
}

void add_rows(QGridLayout* grid, QWidget* parent,
              std::initializer_list<std::pair<const char*, QWidget*>> rows, int first) {
    grid->setHorizontalSpacing(8);
    int row = first;
    for (const auto& [text, control] : rows) {
        auto* label = text_label(parent, text);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row++, 1);
    }
}

QStringList whole_numbers(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i) out << qs(std::to_string(i));
    return out;
}

QGroupBox* BackFrames::add(QWidget* owner, QBoxLayout* column, const char* id, const char* title,
                           QLayout* content) {
    auto* box = new QGroupBox(qs(title), owner);
    box->setObjectName(QLatin1String(id));
    box->lower();
    auto* cell = new QGridLayout;
    cell->setContentsMargins(0, 0, 0, 0);
    cell->addWidget(box, 0, 0);
    cell->addLayout(content, 0, 0);
    column->addLayout(cell);
    frames_.push_back({box, content});
    return box;
}

void BackFrames::fit() {
    for (const Frame& f : frames_) {
        f.box->ensurePolished();
        const QMargins frame = f.box->contentsMargins();
        const QStyle* st = f.box->style();
        f.content->setContentsMargins(
            frame.left() + st->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, f.box),
            frame.top() + st->pixelMetric(QStyle::PM_LayoutTopMargin, nullptr, f.box),
            frame.right() + st->pixelMetric(QStyle::PM_LayoutRightMargin, nullptr, f.box),
            frame.bottom() + st->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, f.box));
    }
}

}  // namespace forstrix::ui

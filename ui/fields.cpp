#include "ui/fields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/checks.h"
#include "core/numtext.h"

namespace forstrix::ui {

std::optional<double> read_field(QLineEdit* field) {
    const QByteArray text = field->text().toUtf8();
    auto value = f_check(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!value) field->selectAll();
    return value;
}

std::optional<double> read_checked(QLineEdit* field, const ValueInfo& info) {
    std::optional<double> value = read_field(field);
    if (value && check_value(info, *value)) {
        field->selectAll();
        return std::nullopt;
    }
    return value;
}

void set_field_text(QLineEdit* field, const std::string& text) {
    const QSignalBlocker block(field);
    field->setText(qs(text));
}

bool is_enter_or_escape(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace forstrix::ui

#include "ui/fields.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include "core/numtext.h"

namespace forstrix::ui {

std::optional<double> read_field(QLineEdit* field) {
    const QByteArray text = field->text().toUtf8();
    auto value = f_check(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!value) field->selectAll();
    return value;
}

void set_field_text(QLineEdit* field, const std::string& text) {
    const QSignalBlocker block(field);
    field->setText(qs(text));
}

}  // namespace forstrix::ui

// What every dialog does with its number fields: read with f_check (a
// rejected text is selected so the user sees which one), fill with the
// display format, and convert between the program's UTF-8 and Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

class QKeyEvent;
class QLineEdit;

namespace forstrix {
struct ValueInfo;
}

namespace forstrix::ui {

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The field's value, or nullopt (and its text selected) when it cannot be read.
std::optional<double> read_field(QLineEdit* field);
// The same, and the value within its range (check_value): a value beyond it
// is refused like an unreadable text.
std::optional<double> read_checked(QLineEdit* field, const ValueInfo& info);
// Sets the text without announcing it as a user edit.
void set_field_text(QLineEdit* field, const std::string& text);

// Enter and Escape, which our dialogs handle themselves rather than leave
// to a default button.
bool is_enter_or_escape(const QKeyEvent* event);

}  // namespace forstrix::ui

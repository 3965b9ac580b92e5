// What the input dialogs share: a white page, the control number as the
// object name of every control, number fields of one width with their
// labels, push buttons that only a click triggers, the row of "OK" and
// "Abbrechen", and Enter and Escape that neither confirm nor close.
#pragma once

#include <functional>
#include <string>

#include <QDialog>

class QGridLayout;
class QHBoxLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace forstrix::ui {

class InputDialog : public QDialog {
    Q_OBJECT
protected:
    // `id` is the dialog's control number, 0 for none.
    InputDialog(QWidget* parent, const QString& title, int id);

    // A push button that is never the default: a forest manager typing a
    // column of numbers presses Enter out of habit, and Enter in a field
    // must not leave the dialog.
    QPushButton* button(const QString& text, int id);
    // "OK" (id + 998, calling `on_ok`) and "Abbrechen" (id + 999, ending
    // the dialog with 0) centred side by side; `ok` receives the OK button.
    QHBoxLayout* ok_cancel_row(QPushButton*& ok, std::function<void()> on_ok);
    // The grid of a column of number fields with their labels.
    static QGridLayout* number_grid();
    // A number field in `row` of `grid`, its label in the column before it.
    QLineEdit* add_number_row(QGridLayout* grid, int row, const QString& label, int id, const std::string& text);

    // What Enter and Escape do instead: the dialogs with live figures
    // re-read their fields.
    virtual void reread() {}
    void keyPressEvent(QKeyEvent* event) override;

private:
    int id_;
};

}  // namespace forstrix::ui

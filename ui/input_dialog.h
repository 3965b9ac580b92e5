// What the input dialogs share: a white page, the control number as the
// object name of every control, number fields of one width with their
// labels, push buttons that Enter does not trigger by default, the row of
// "OK" and "Abbrechen", and the keys of every desktop dialog: Escape does
// what "Abbrechen" does, Enter what "OK" does (or the focused button).
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

    // A push button that is never the default, so that Enter in a field
    // goes to the dialog, which confirms with "OK" as the user expects.
    QPushButton* button(const QString& text, int id);
    // The buttons that Enter and Escape press, where the dialog has its own
    // row (ok_cancel_row registers its two).
    void set_ok_cancel(QPushButton* ok, QPushButton* cancel) {
        ok_ = ok;
        cancel_ = cancel;
    }
    // "OK" (id + 998, calling `on_ok`) and "Abbrechen" (id + 999, ending
    // the dialog with 0) centred side by side; `ok` receives the OK button.
    QHBoxLayout* ok_cancel_row(QPushButton*& ok, std::function<void()> on_ok);
    // The grid of a column of number fields with their labels.
    static QGridLayout* number_grid();
    // A number field in `row` of `grid`, its label in the column before it.
    QLineEdit* add_number_row(QGridLayout* grid, int row, const QString& label, int id, const std::string& text);

    // Before Enter confirms: the dialogs with live figures re-read their fields.
    virtual void reread() {}
    void keyPressEvent(QKeyEvent* event) override;

private:
    int id_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace forstrix::ui

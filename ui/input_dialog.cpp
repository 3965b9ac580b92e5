#include "ui/input_dialog.h"

#include <utility>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include "ui/fields.h"

namespace forstrix::ui {

InputDialog::InputDialog(QWidget* parent, const QString& title, int id) : QDialog(parent), id_(id) {
    setWindowTitle(title);
    if (id != 0) setObjectName(QString::number(id));
    // White dialog; the labels are transparent and so white as well.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

QPushButton* InputDialog::button(const QString& text, int id) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QHBoxLayout* InputDialog::ok_cancel_row(QPushButton*& ok, std::function<void()> on_ok) {
    ok = button(QStringLiteral("OK"), id_ + 998);
    QPushButton* cancel = button(QStringLiteral("Abbrechen"), id_ + 999);
    connect(ok, &QPushButton::clicked, this, std::move(on_ok));
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    set_ok_cancel(ok, cancel);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addSpacing(12);
    row->addWidget(cancel);
    row->addStretch(1);
    return row;
}

QGridLayout* InputDialog::number_grid() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    return grid;
}

QLineEdit* InputDialog::add_number_row(QGridLayout* grid, int row, const QString& label, int id,
                                       const std::string& text) {
    auto* caption = new QLabel(label, this);
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::number(id));
    field->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12);
    set_field_text(field, text);
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    // Every keystroke re-reads the dialog, as its figures depend on all fields.
    connect(field, &QLineEdit::textEdited, this, [this] { reread(); });
    return field;
}

void InputDialog::keyPressEvent(QKeyEvent* event) {
    if (!is_enter_or_escape(event) || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    auto usable = [](QPushButton* b) { return b != nullptr && b->isVisible() && b->isEnabled(); };
    if (event->key() == Qt::Key_Escape) {
        if (usable(cancel_)) cancel_->click();
        return;
    }
    // Enter on a focused button presses that one; inside a text of several
    // lines it is that text's own.
    QWidget* focus = focusWidget();
    if (qobject_cast<QPlainTextEdit*>(focus) != nullptr || qobject_cast<QTextEdit*>(focus) != nullptr) return;
    reread();
    auto* focused = qobject_cast<QPushButton*>(focus);
    if (usable(focused)) focused->click();
    else if (usable(ok_)) ok_->click();
}

}  // namespace forstrix::ui

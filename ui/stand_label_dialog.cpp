#include "ui/stand_label_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace forstrix::ui {

StandLabelDialog::StandLabelDialog(const QString& name, const QString& note, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Bezeichnung und Notiz"));
    setObjectName(QStringLiteral("standlabel"));

    name_ = new QLineEdit(name, this);
    name_->setObjectName(QStringLiteral("bezeichnung"));
    name_->setPlaceholderText(QStringLiteral("z. B. Abteilung 12b, Eichenhang"));
    note_ = new QPlainTextEdit(this);
    note_->setObjectName(QStringLiteral("notiz"));
    note_->setPlainText(note);
    note_->setTabChangesFocus(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Bezeichnung:"), name_);
    form->addRow(QStringLiteral("Notiz:"), note_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(480, 260);
}

QString StandLabelDialog::name() const { return name_->text(); }
QString StandLabelDialog::note() const { return note_->toPlainText(); }

}  // namespace forstrix::ui

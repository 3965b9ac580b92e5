#include "ui/emission_dialog.h"

#include <cstddef>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/emissions.h"
#include "core/numtext.h"
#include "ui/fields.h"

namespace forstrix::ui {

namespace {

constexpr const char* kIntro =
    "Die Faktoren rechnen den Kraftstoffverbrauch der Arbeitssysteme (Liter je Fm)\n"
    "in CO2-Äquivalente um (kg CO2e je Fm).";
constexpr const char* kBasis =
    "Vorgabe: fossiler Kraftstoff ohne Bioanteil, nur die Verbrennung im Motor (Tank-to-Wheel);\n"
    "Faktoren je kg nach DIN EN 16258 (Diesel 3,21, Benzin 3,25 kg CO2e/kg), umgerechnet mit\n"
    "üblichen Dichten (Diesel 0,832 kg/l, Benzin 0,745 kg/l): Diesel 2,67, Benzin 2,42 kg CO2e/l.\n"
    "Das Zweitaktgemisch der Motorsäge wird wie Benzin gerechnet.";
constexpr const char* kRange = "Erlaubt sind Werte größer als 0 bis 10 kg CO2e/l.";

}  // namespace

EmissionDialog::EmissionDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle(qs(kEmissionTitle));
    setObjectName(QString::number(kEmissionDialogId));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* intro = new QLabel(qs(kIntro), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const int field_width = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
    for (std::size_t i = 0; i < kEmissionFactorFields.size(); ++i) {
        const EmissionFactorField& f = kEmissionFactorFields[i];
        working_[i] = state_.*f.value;
        auto* label = new QLabel(qs(f.label), this);
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::number(f.field_id));
        field->setFixedWidth(field_width);
        set_field_text(field, format_comma(working_[i], 2));
        label->setBuddy(field);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(field, static_cast<int>(i), 1);
        fields_[i] = field;
        connect(field, &QLineEdit::textEdited, this, &EmissionDialog::recompute);
    }
    grid->setColumnStretch(0, 1);

    auto* range = new QLabel(qs(kRange), this);
    range->setObjectName(QStringLiteral("range"));
    auto* basis = new QLabel(qs(kBasis), this);
    basis->setObjectName(QStringLiteral("basis"));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QString::number(kEmissionDialogId + 998));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QString::number(kEmissionDialogId + 999));
    // Neither is a default button: Enter in a field must not leave the dialog.
    for (QPushButton* b : {ok_, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(ok_, &QPushButton::clicked, this, &EmissionDialog::ok_clicked);
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addSpacing(12);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(intro);
    outer->addSpacing(6);
    outer->addLayout(grid);
    outer->addWidget(range);
    outer->addSpacing(6);
    outer->addWidget(basis);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

bool EmissionDialog::recompute() {
    bool valid = true;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const auto value = read_field(fields_[i]);  // selects a rejected text
        working_[i] = value.value_or(0.0);
        valid = valid && value && emission_factor_allowed(*value);
    }
    ok_->setEnabled(valid);
    return valid;
}

void EmissionDialog::ok_clicked() {
    // OK stores the values as the fields show them, read once more now.
    if (!recompute()) return;
    for (std::size_t i = 0; i < fields_.size(); ++i) state_.*kEmissionFactorFields[i].value = working_[i];
    done(1);
}

void EmissionDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape neither confirm nor close; they only re-read.
    if (!is_enter_or_escape(event)) {
        QDialog::keyPressEvent(event);
        return;
    }
    recompute();
    event->accept();
}

}  // namespace forstrix::ui

#include "ui/emission_dialog.h"

#include <cstddef>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
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

EmissionDialog::EmissionDialog(State& state, QWidget* parent)
    : InputDialog(parent, qs(kEmissionTitle), kEmissionDialogId), state_(state) {
    auto* intro = new QLabel(qs(kIntro), this);

    QGridLayout* grid = number_grid();
    for (std::size_t i = 0; i < kEmissionFactorFields.size(); ++i) {
        const EmissionFactorField& f = kEmissionFactorFields[i];
        working_[i] = state_.*f.value;
        fields_[i] = add_number_row(grid, static_cast<int>(i), qs(f.label), f.field_id,
                                    format_comma(working_[i], 2));
    }
    grid->setColumnStretch(0, 1);

    auto* range = new QLabel(qs(kRange), this);
    range->setObjectName(QStringLiteral("range"));
    auto* basis = new QLabel(qs(kBasis), this);
    basis->setObjectName(QStringLiteral("basis"));

    QHBoxLayout* buttons = ok_cancel_row(ok_, [this] { ok_clicked(); });

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

}  // namespace forstrix::ui

#include "ui/cost_dialog.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/checks.h"
#include "core/cost_inputs.h"
#include "core/numtext.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/machine_dialog.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

constexpr int kDialogId = 20000;

// The fields in the order of the dialog (CostDialog::Field), shared with
// the result sheet's basics.
using CostField = CostInput;
static_assert(kCostInputCount == CostDialog::FieldCount);
constexpr const std::array<CostField, CostDialog::FieldCount>& kFields = kCostInputs;

// The order in which the fields are read.
constexpr std::array<CostDialog::Field, CostDialog::FieldCount> kReadOrder = {
    CostDialog::Zest, CostDialog::Zmgv, CostDialog::Fw,  CostDialog::Mf,    CostDialog::Nfw,
    CostDialog::Nmf,  CostDialog::Msc,  CostDialog::Ss,  CostDialog::Hab,   CostDialog::Fob,
    CostDialog::Hfsab, CostDialog::Hhb, CostDialog::Hfb, CostDialog::Mskb};

// The registry entry of a field's value, for its range.
const ValueInfo& info_of(const CostField& f) {
    for (const ValueInfo& v : value_registry())
        if ((f.value && v.d == f.value) || (f.level && v.i == f.level)) return v;
    return value_registry().front();  // not reached: every cost input is a named value
}

constexpr const char* kIntro =
    "Die hier hinterlegten Werte können übernommen oder geändert werden. Alternativ können "
    "unter \"Kalkulationsgrundlagen\" (Menüleiste) die Maschinenkosten im Detail hergeleitet "
    "werden.";
constexpr const char* kAbbreviations =
    "PNK = Personalnebenkosten, FSA = Fäller-Sammler-Aggregat,\n"
    "EST = Erweiterter Sortentarif, MGV = Modifiziertes Goldberger Verfahren";

}  // namespace

CostDialog::CostDialog(State& state, QWidget* parent)
    : InputDialog(parent, QStringLiteral("Eingabe Kosten"), kDialogId), state_(state), work_(state) {
    auto* intro = new QLabel(qs(kIntro), this);
    intro->setWordWrap(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    auto value_label = [this](int id) {
        auto* l = new ValueLabel(this);
        l->setObjectName(QString::number(id));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // decimals under each other
        return l;
    };

    // Grid rows of the fields: wages and levels first, then, below the
    // caption and its note, the eight machines.
    constexpr int kMachineCaptionRow = 7;
    auto row_of = [](std::size_t i) { return i < Msc ? static_cast<int>(i) + 1 : static_cast<int>(i) + 3; };

    grid->addWidget(new QLabel(qs("Lohn mit PNK errechnet:"), this), 0, 2, 1, 2);
    auto* machines = new QLabel(qs("Kosten ohne Lohn für:"), this);
    grid->addWidget(machines, kMachineCaptionRow, 0, Qt::AlignBottom);
    auto* optional = new QLabel(qs("(fakultativ; nur Eingabe, wenn bekannt)"), this);
    optional->setEnabled(false);  // greyed
    grid->addWidget(optional, kMachineCaptionRow + 1, 0, 1, 2);
    grid->addWidget(new QLabel(qs("Kosten mit Lohn für:"), this), kMachineCaptionRow, 2, 1, 2, Qt::AlignBottom);
    grid->setRowMinimumHeight(kMachineCaptionRow, fontMetrics().height() + 14);

    // Fields created in dialog order, so that Tab walks down the column.
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const CostField& f = kFields[i];
        // The whole-number performance levels are shown as decimals.
        const double v = f.value ? state_.*f.value : static_cast<double>(state_.*f.level);
        fields_[i] = add_number_row(grid, row_of(i), qs(f.label), f.id,
                                    f.whole ? format_whole(v) : format_comma(v, 2));
        fields_[i]->setAlignment(Qt::AlignRight);
    }
    wage_fw_ = value_label(20100);
    wage_mf_ = value_label(20101);
    grid->addWidget(wage_fw_, row_of(Fw), 2);
    grid->addWidget(new QLabel(qs("Euro/Std."), this), row_of(Fw), 3);
    grid->addWidget(wage_mf_, row_of(Mf), 2);
    grid->addWidget(new QLabel(qs("Euro/Std."), this), row_of(Mf), 3);
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        sums_[k] = value_label(20300 + static_cast<int>(k));
        grid->addWidget(sums_[k], row_of(Ss + k), 2);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);

    auto* abbreviations = new QLabel(qs(kAbbreviations), this);

    QPushButton* to_stand = button(qs("Eingabe Bestandesdaten..."), kDialogId + 997);
    QPushButton* to_results = button(qs("Ergebnis..."), kDialogId + 996);
    QPushButton* ok = button(QStringLiteral("OK"), kDialogId + 998);
    QPushButton* cancel = button(QStringLiteral("Abbrechen"), kDialogId + 999);
    leaving_ = {ok, to_stand, to_results};
    set_ok_cancel(ok, cancel);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {to_stand, to_results, ok, cancel}) buttons->addWidget(b);
    connect(ok, &QPushButton::clicked, this, [this] { leave(InputOk); });
    connect(to_stand, &QPushButton::clicked, this, [this] { leave(InputOtherDialog); });
    connect(to_results, &QPushButton::clicked, this, [this] { leave(InputResults); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(InputCancelled); });

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(intro);
    outer->addSpacing(6);
    outer->addLayout(grid);
    outer->addSpacing(6);
    outer->addWidget(abbreviations);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    // The intro wraps to the width of the grid rather than widening the dialog.
    intro->setMinimumWidth(grid->sizeHint().width());
    intro->setMaximumWidth(grid->sizeHint().width());

    // Read the fields once, as OK would: a stored value with more decimals
    // than its field shows (a PNK of 60.5 shown as 60) must not feed the
    // wages and sums beside it, or the figures would belong to values the
    // user cannot see and would change on the first keystroke or on OK.
    recompute();
}

bool CostDialog::recompute() {
    bool valid = true;
    for (Field f : kReadOrder) {
        const CostField& c = kFields[f];
        // A level is checked when leaving, with its own message.
        const auto value = c.value ? read_checked(fields_[f], info_of(c)) : read_field(fields_[f]);
        if (!value) valid = false;
        if (c.value)
            work_.*c.value = value.value_or(0.0);
        else
            levels_[f - Zest] = value.value_or(0.0);
    }
    const double fw = forest_worker_wage(work_), mf = operator_wage(work_);
    wage_fw_->set_value_text(format_comma(fw, 2));
    wage_mf_->set_value_text(format_comma(mf, 2));
    const std::array<double, 7> sums = costs_with_wage(work_);
    for (std::size_t k = 0; k < sums_.size(); ++k) sums_[k]->set_value_text(format_comma(sums[k], 2));
    // A figure that is no finite number shows "---"; such input is refused.
    valid = valid && all_finite({fw, mf, sums[0], sums[1], sums[2], sums[3], sums[4], sums[5], sums[6]});
    for (QPushButton* b : leaving_) b->setEnabled(valid);
    return valid;
}

void CostDialog::leave(int result) {
    // The values as the fields show them now.
    if (!recompute()) return;
    for (Field f : {Zest, Zmgv}) {
        if (check_value(info_of(kFields[f]), levels_[f - Zest])) {
            message(this, QStringLiteral("Warnung"),
                    qs("Zeitgrad erscheint unplausibel!\nErwartet wird 10 bis 200"), MsgIcon::None);
            return;
        }
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const CostField& f = kFields[i];
        if (f.value)
            state_.*f.value = work_.*f.value;
        else  // a whole number in 10 ... 200, its fraction dropped
            state_.*f.level = static_cast<std::int32_t>(std::trunc(levels_[i - Zest]));
    }
    done(result);
}

}  // namespace forstrix::ui

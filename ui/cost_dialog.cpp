#include "ui/cost_dialog.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
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

// The machines with a cost with wage, ids 20300 ... 20306, in field order.
constexpr std::array<CostDialog::Field, 7> kWithWage = {CostDialog::Ss,  CostDialog::Hab,
                                                         CostDialog::Fob, CostDialog::Hfsab,
                                                         CostDialog::Hhb, CostDialog::Hfb,
                                                         CostDialog::Mskb};

// Performance levels outside this range are refused when leaving.
constexpr double kLevelMin = 10.0;
constexpr double kLevelMax = 200.0;

constexpr const char* kIntro =
    "Die hier hinterlegten Werte können übernommen oder geändert werden. Alternativ können "
    "unter \"Kalkulationsgrundlagen\" (Menüleiste) die Maschinenkosten im Detail hergeleitet "
    "werden.";
constexpr const char* kAbbreviations =
    "PNK = Personalnebenkosten, FSA = Fäller-Sammler-Aggregat,\n"
    "EST = Erweiterter Sortentarif, MGV = Modifiziertes Goldberger Verfahren";

// Wage with ancillary costs: hourly wage raised by the PNK percentage.
double with_pnk(double wage, double pnk) { return (1.0 + 0.01 * pnk) * wage; }

}  // namespace

CostDialog::CostDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Eingabe Kosten"));
    setObjectName(QString::number(kDialogId));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    // Working copies; the whole-number performance levels become decimals.
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const CostField& f = kFields[i];
        working_[i] = f.value ? state_.*f.value : static_cast<double>(state_.*f.level);
    }

    auto* intro = new QLabel(qs(kIntro), this);
    intro->setWordWrap(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    const int field_width = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
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
        auto* label = new QLabel(qs(f.label), this);
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::number(f.id));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(field_width);
        set_field_text(field, f.whole ? format_whole(working_[i]) : format_comma(working_[i], 2));
        label->setBuddy(field);
        grid->addWidget(label, row_of(i), 0);
        grid->addWidget(field, row_of(i), 1);
        fields_[i] = field;
        connect(field, &QLineEdit::textEdited, this, [this] { recompute(); });
    }

    wage_fw_ = value_label(20100);
    wage_mf_ = value_label(20101);
    grid->addWidget(wage_fw_, row_of(Fw), 2);
    grid->addWidget(new QLabel(qs("Euro/Std."), this), row_of(Fw), 3);
    grid->addWidget(wage_mf_, row_of(Mf), 2);
    grid->addWidget(new QLabel(qs("Euro/Std."), this), row_of(Mf), 3);
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        sums_[k] = value_label(20300 + static_cast<int>(k));
        grid->addWidget(sums_[k], row_of(kWithWage[k]), 2);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);

    auto* abbreviations = new QLabel(qs(kAbbreviations), this);

    auto* to_stand = new QPushButton(qs("Eingabe Bestandesdaten..."), this);
    to_stand->setObjectName(QStringLiteral("20997"));
    auto* to_results = new QPushButton(qs("Ergebnis..."), this);
    to_results->setObjectName(QStringLiteral("20996"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("20998"));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("20999"));
    leaving_ = {ok, to_stand, to_results};
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {to_stand, to_results, ok, cancel}) {
        // No default button: Enter in a field must not leave the dialog.
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
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

bool CostDialog::show_computed() {
    const double lk_fw = with_pnk(working_[Fw], working_[Nfw]);
    const double lk_mf = with_pnk(working_[Mf], working_[Nmf]);
    wage_fw_->set_value_text(format_comma(lk_fw, 2));
    wage_mf_->set_value_text(format_comma(lk_mf, 2));
    bool finite = all_finite({lk_fw, lk_mf});
    // A machine operator is paid for 1.25 hours per machine working hour,
    // the skidder's for 1/0.9 of the machine time; the yarder needs two
    // operators and two forest workers.
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        const Field f = kWithWage[k];
        double sum = 0.0;
        if (f == Ss)
            sum = working_[Ss] + 10.0 / 9.0 * lk_mf;
        else if (f == Mskb)
            sum = working_[Mskb] + 2.0 * 1.25 * lk_mf + 2.0 * 1.25 * lk_fw;
        else
            sum = working_[f] + 1.25 * lk_mf;
        sums_[k]->set_value_text(format_comma(sum, 2));
        finite = finite && all_finite({sum});
    }
    return finite;
}

bool CostDialog::recompute() {
    bool valid = true;
    for (Field f : kReadOrder) {
        const auto value = read_field(fields_[f]);  // selects a rejected text
        working_[f] = value.value_or(0.0);
        if (!value) valid = false;
    }
    // Wages and costs near the largest double can add up to infinity; such
    // input is refused like an unreadable field (the figure shows "---").
    if (!show_computed()) valid = false;
    for (QPushButton* b : leaving_) b->setEnabled(valid);
    return valid;
}

void CostDialog::leave(int result) {
    // The values as the fields show them now.
    if (!recompute()) return;
    for (Field f : {Zest, Zmgv}) {
        if (!(working_[f] >= kLevelMin && working_[f] <= kLevelMax)) {
            message(this, QStringLiteral("Warnung"),
                    qs("Zeitgrad erscheint unplausibel!\nErwartet wird 10 bis 200"), MsgIcon::None);
            return;
        }
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const CostField& f = kFields[i];
        if (f.value)
            state_.*f.value = working_[i];
        else  // a whole number in 10 ... 200, its fraction dropped
            state_.*f.level = static_cast<std::int32_t>(std::trunc(working_[i]));
    }
    done(result);
}

void CostDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape neither confirm nor close; they only re-read.
    if (!is_enter_or_escape(event)) {
        QDialog::keyPressEvent(event);
        return;
    }
    recompute();
    event->accept();
}

}  // namespace forstrix::ui

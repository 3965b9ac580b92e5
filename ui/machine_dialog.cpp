#include "ui/machine_dialog.h"

#include <cmath>
#include <cstddef>
#include <string_view>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/calc.h"
#include "core/checks.h"
#include "core/numtext.h"
#include "ui/fields.h"

namespace forstrix::ui {

// ---------------------------------------------------------------- ValueLabel
ValueLabel::ValueLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ValueLabel::set_value_text(const std::string& text) {
    setText(qs(text));
    update();
}

QSize ValueLabel::sizeHint() const {
    // Room for a cost in the hundred thousands; the text itself never counts.
    const QFontMetrics fm = fontMetrics();
    const QMargins m = contentsMargins();
    return {fm.horizontalAdvance(QStringLiteral("000000,00 ")) + m.left() + m.right(),
            fm.height() + m.top() + m.bottom()};
}

QSize ValueLabel::minimumSizeHint() const { return sizeHint(); }

void ValueLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
    // The full figure is at hand in the tooltip exactly while it is cut off.
    setToolTip(shown == text() ? QString() : text());
    style()->drawItemText(&painter, r, static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), shown, foregroundRole());
}

// -------------------------------------------------------------- BasicsDialog
BasicsDialog::BasicsDialog(QWidget* parent, int dialog_id, const QString& title,
                           const QString& cost_caption)
    : InputDialog(parent, title, dialog_id), cost_caption_(cost_caption) {
    cost_ = new ValueLabel(this);
    cost_->setObjectName(QString::number(dialog_id + 100));
}

void BasicsDialog::build(const std::vector<Row>& rows) {
    QGridLayout* grid = number_grid();

    // Created in row order, so Tab walks down the fields and then to the buttons.
    int r = 0;
    for (const Row& row : rows) {
        fields_.push_back(add_number_row(grid, r++, row.label, row.field_id, row.shown));
        working_.push_back(row.value);
        infos_.push_back(row.info);
    }
    grid->addWidget(new QLabel(cost_caption_, this), r, 0);
    grid->addWidget(cost_, r, 1);
    grid->setRowMinimumHeight(r, fontMetrics().height() + 8);
    grid->setColumnStretch(0, 1);

    QHBoxLayout* buttons = ok_cancel_row(ok_, [this] { ok_clicked(); });

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    // Read the fields once, as OK would: the cost shown at opening is the
    // cost of the basics as the fields show them. A basic with more decimals
    // (from "daten.klg") would otherwise give a figure that OK, storing the
    // shown value, does not keep. Basics the formula cannot take (a zero
    // divisor from the file) show "---" with OK disabled, as after any edit.
    recompute();
}

void BasicsDialog::show_total(double total, bool storable) {
    cost_->set_value_text(storable ? format_comma(total, 2) : std::string(kNoFigure));
}

bool BasicsDialog::recompute() {
    bool valid = true;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const auto value = read_field(fields_[i]);  // selects a rejected text
        working_[i] = value.value_or(0.0);
        // A zero where the formula divides or needs a factor, or a value
        // beyond its range, never reaches the formula.
        if (!value || check_value(*infos_[i], *value)) valid = false;
    }
    if (valid) valid = acceptable(working_);
    double total = 0.0;
    if (valid) total = total_of(working_);
    // A negative cost cannot be meant (residual value above the purchase
    // price): it may not be stored.
    const bool storable = valid && std::isfinite(total) && total >= 0.0;
    ok_->setEnabled(storable);
    show_total(total, storable);
    return storable;
}

void BasicsDialog::ok_clicked() {
    // OK stores the values as the fields show them, read once more now.
    if (!recompute()) return;
    store(working_);
    done(1);
}

// ------------------------------------------------------------- MachineDialog
MachineDialog::MachineDialog(State& state, const MachineKind& kind, QWidget* parent)
    : BasicsDialog(parent, kind.dialog_id, qs(kind.title), QStringLiteral("Kosten [Euro/MAS]")),
      state_(state),
      kind_(kind) {
    std::vector<Row> rows;
    for (int i = 0; i < kBasicsPerMachine; ++i) {
        const double v = state_.*kind_.basics[static_cast<std::size_t>(i)];
        const bool whole = kind_.whole_number_rows_44_to_47 && i < 4;
        const std::string name = "gf_" + std::string(kind_.stem) + std::to_string(kFirstBasicRow + i);
        rows.push_back({kind_.field_id(i), qs(kind_.label(i)),
                        whole ? format_whole(v) : format_comma(v, 2), v, find_value(name)});
    }
    build(rows);
}

double MachineDialog::total_of(const std::vector<double>& values) const {
    // The machine's own formula over a copy holding the working values.
    State trial = state_;
    for (std::size_t i = 0; i < kind_.basics.size(); ++i) trial.*kind_.basics[i] = values[i];
    calc_machine(trial, kind_);
    return trial.*kind_.total();
}

void MachineDialog::store(const std::vector<double>& values) {
    for (std::size_t i = 0; i < kind_.basics.size(); ++i) state_.*kind_.basics[i] = values[i];
}

// ------------------------------------------------------------ ChainsawDialog
namespace {
// Position of a chainsaw basic in the dialog's order.
std::size_t chainsaw_index(std::string_view name) {
    for (std::size_t i = 0; i < kChainsawFields.size(); ++i)
        if (kChainsawFields[i].name == name) return i;
    return kChainsawFields.size();
}
}  // namespace

ChainsawDialog::ChainsawDialog(State& state, QWidget* parent)
    : BasicsDialog(parent, kChainsawDialogId, qs(kChainsawTitle), QStringLiteral("Kosten [Euro/BS]")),
      state_(state) {
    std::vector<Row> rows;
    for (const ChainsawField& f : kChainsawFields) {
        const double v = state_.*f.value;
        rows.push_back({f.field_id, qs(f.label),
                        f.format == FieldFormat::Whole ? format_whole(v) : format_comma(v, 2), v,
                        find_value(f.name)});
    }
    build(rows);
}

bool ChainsawDialog::acceptable(const std::vector<double>& values) const {
    // The fuel is priced either from petrol, lubricant and mixing ratio or
    // from a ready-mix price, so one of the two may be 0 but not both (every
    // other basic must be given, a rule of each value alone).
    static const std::size_t kMixingRatio = chainsaw_index("gf_msc21");
    static const std::size_t kReadyMix = chainsaw_index("gf_msc22");
    return values[kMixingRatio] != 0.0 || values[kReadyMix] != 0.0;
}

double ChainsawDialog::total_of(const std::vector<double>& values) const {
    State trial = state_;
    for (std::size_t i = 0; i < kChainsawFields.size(); ++i) trial.*kChainsawFields[i].value = values[i];
    calc_motorsaege(trial);
    return trial.gf_msc37;
}

void ChainsawDialog::store(const std::vector<double>& values) {
    for (std::size_t i = 0; i < kChainsawFields.size(); ++i) state_.*kChainsawFields[i].value = values[i];
}

}  // namespace forstrix::ui

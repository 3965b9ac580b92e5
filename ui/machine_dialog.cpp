#include "ui/machine_dialog.h"

#include <cmath>
#include <cstddef>
#include <string_view>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/calc.h"
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
namespace {

QString id_name(int id) { return QString::number(id); }

// The figure that stands in the cost label while the input cannot be stored.
constexpr const char* kNoCost = "---";

}  // namespace

BasicsDialog::BasicsDialog(QWidget* parent, int dialog_id, const QString& title,
                           const QString& cost_caption)
    : QDialog(parent), dialog_id_(dialog_id) {
    setWindowTitle(title);
    setObjectName(id_name(dialog_id));
    // White dialog; the labels are transparent and so white as well.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    cost_ = new ValueLabel(this);
    cost_->setObjectName(id_name(dialog_id + 100));
    cost_caption_ = cost_caption;
}

void BasicsDialog::build(const std::vector<Row>& rows) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const QFontMetrics fm = fontMetrics();
    const int field_width = fm.horizontalAdvance(QStringLiteral("0000000,00")) + 12;

    // Created in row order, so Tab walks down the fields and then to the buttons.
    int r = 0;
    for (const Row& row : rows) {
        auto* label = new QLabel(row.label, this);
        auto* field = new QLineEdit(this);
        field->setObjectName(id_name(row.field_id));
        field->setFixedWidth(field_width);
        set_field_text(field, row.shown);
        label->setBuddy(field);
        grid->addWidget(label, r, 0);
        grid->addWidget(field, r, 1);
        fields_.push_back(field);
        working_.push_back(row.value);
        // Every keystroke re-reads the whole dialog, as the cost depends on all fields.
        connect(field, &QLineEdit::textEdited, this, [this] { recompute(); });
        ++r;
    }
    grid->addWidget(new QLabel(cost_caption_, this), r, 0);
    grid->addWidget(cost_, r, 1);
    grid->setRowMinimumHeight(r, fm.height() + 8);
    grid->setColumnStretch(0, 1);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(id_name(dialog_id_ + 998));
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel_->setObjectName(id_name(dialog_id_ + 999));
    // Neither is a default button: Enter in a field must not leave the dialog.
    for (QPushButton* b : {ok_, cancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(ok_, &QPushButton::clicked, this, &BasicsDialog::ok_clicked);
    connect(cancel_, &QPushButton::clicked, this, [this] { done(0); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addSpacing(12);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);

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
    cost_->set_value_text(storable ? format_comma(total, 2) : std::string(kNoCost));
}

bool BasicsDialog::recompute() {
    bool valid = true;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const auto value = read_field(fields_[i]);  // selects a rejected text
        working_[i] = value.value_or(0.0);
        if (!value) valid = false;
    }
    // A zero where the formula divides or needs a factor never reaches it.
    if (valid) valid = acceptable(working_);
    double total = 0.0;
    if (valid) total = total_of(working_);
    // A negative cost cannot be meant (residual value above the purchase
    // price), and an infinite one comes only from absurd magnitudes: neither
    // may be stored.
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

void BasicsDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape neither confirm nor close; they only re-read.
    if (!is_enter_or_escape(event)) {
        QDialog::keyPressEvent(event);
        return;
    }
    recompute();
    event->accept();
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
        rows.push_back({kind_.field_id(i), qs(kind_.label(i)),
                        whole ? format_whole(v) : format_comma(v, 2), v});
    }
    build(rows);
}

bool MachineDialog::acceptable(const std::vector<double>& values) const {
    for (int i = 0; i < kBasicsPerMachine; ++i)
        if (values[static_cast<std::size_t>(i)] == 0.0 && !kind_.zero_allowed(i)) return false;
    return true;
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
                        f.format == FieldFormat::Whole ? format_whole(v) : format_comma(v, 2), v});
    }
    build(rows);
}

bool ChainsawDialog::acceptable(const std::vector<double>& values) const {
    // The fuel is priced either from petrol, lubricant and mixing ratio or
    // from a ready-mix price, so one of the two may be 0 but not both;
    // everything else must be given (petrol and lubricant price included).
    static const std::size_t kMixingRatio = chainsaw_index("gf_msc21");
    static const std::size_t kReadyMix = chainsaw_index("gf_msc22");
    if (values[kMixingRatio] == 0.0 && values[kReadyMix] == 0.0) return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (i != kMixingRatio && i != kReadyMix && values[i] == 0.0) return false;
    return true;
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

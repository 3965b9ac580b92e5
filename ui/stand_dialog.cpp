#include "ui/stand_dialog.h"

#include <cmath>
#include <string>
#include <string_view>

#include <QBoxLayout>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QTextDocument>

#include "core/checks.h"
#include "core/numtext.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

// The stem form classes, from full-bodied long boles to strongly tapering
// short ones; the list position is gi_sf.
constexpr std::array<const char*, 4> kFormClasses = {
    "vollholzig/langschäftig", "normal/mittelschäftig", "abholzig/kurzschäftig",
    "stark abholzig/sehr kurzschäftig"};
constexpr std::array<const char*, 6> kWalkability = {
    "keine Behinderung",         "mittlere Behinderung",       "starke Behinderung",
    "sehr starke Behinderung",   "extrem starke Behinderung", "Sonderstandort"};
constexpr std::array<const char*, 3> kCrowns = {"kleine Kronen", "mittelgroße Kronen",
                                                "große Kronen"};
constexpr std::array<const char*, 6> kVerdictTitles = {
    "I) Konv. HE",     "II) Integr. HE", "III) Hochmech. HE befahrbar",
    "IV) Hochmech. HE Hang", "V) Yarding", "VI) Spanholz"};

// Shares of additional assortments in system II: none, or 5 to 85 per cent.
// The list holds 0 and then 5, 6, ... 85, so position p >= 1 means p + 4.
std::uint32_t share_from_position(int pos) {
    return pos <= 0 ? 0u : static_cast<std::uint32_t>(pos) + 4u;
}
int position_from_share(std::uint32_t share) {
    return share < 5u ? 0 : static_cast<int>(share) - 4;
}

QStringList list_of(const auto& texts) {
    QStringList out;
    for (const char* t : texts) out << qs(t);
    return out;
}

QStringList whole_numbers(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i) out << qs(std::to_string(i));
    return out;
}

QLabel* text_label(QWidget* parent, const char* text) {
    auto* label = new QLabel(qs(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QComboBox* drop_down(QWidget* parent, const char* id, const QStringList& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(id));
    list->addItems(entries);
    list->setMaxVisibleItems(12);
    return list;
}

QLineEdit* number_field(QWidget* parent, const char* id) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(id));
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return field;
}

QLabel* value_label(QWidget* parent, const char* id) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(id));
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(80);
    return label;
}

// A label right-aligned against its control, as the stand inputs are laid out.
void add_row(QGridLayout* grid, int row, QWidget* parent, const char* text, QWidget* control) {
    auto* label = text_label(parent, text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setHorizontalSpacing(8);
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
}

// A valid position of `list` for a stored value (the state written by this
// dialog always holds one; anything else falls back to the first entry
// rather than leaving the list without a selection).
void select(QComboBox* list, int pos) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(pos >= 0 && pos < list->count() ? pos : 0);
}

std::uint32_t position(const QComboBox* list) {
    const int pos = list->currentIndex();
    return pos < 0 ? 0u : static_cast<std::uint32_t>(pos);
}

void set_verdict(QLabel* label, std::int32_t suitable) {
    label->setText(qs(suitable == 1 ? "geeignet" : "nicht geeignet"));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, suitable == 1 ? QColor(0, 128, 0) : QColor(255, 0, 0));
    label->setPalette(pal);
}

}  // namespace

StandDialog::StandDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {
    build();
    load();
}

void StandDialog::build() {
    setWindowTitle(qs("Eingabe Bestandesdaten (ausscheidender Bestand)"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* root = new QGridLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);
    root->setHorizontalSpacing(24);

    // ------------------------------------------------ left: the stand itself
    auto* left = new QVBoxLayout;
    auto* inputs = new QGridLayout;
    species_ = drop_down(this, "10001", [] {
        QStringList names;
        for (const std::uint32_t ba : tbk) names << qs(kSpeciesNames[ba]);
        return names;
    }());
    bhd_ = drop_down(this, "10002", whole_numbers(6, 90));
    form_ = drop_down(this, "10003", list_of(kFormClasses));
    slope_ = drop_down(this, "10004", whole_numbers(0, 65));
    spacing_ = drop_down(this, "10005", {qs("bis 20"), qs("> 20")});
    traffic_ = drop_down(this, "10006", {qs("vorhanden"), qs("nicht vorhanden")});
    vab_ = number_field(this, "10008");
    area_ = number_field(this, "10009");
    own_h_ = number_field(this, "10011");
    own_stm_ = number_field(this, "10012");
    add_row(inputs, 0, this, "Hauptbaumart Laubholz", species_);
    add_row(inputs, 1, this, "BHD [cm]", bhd_);
    add_row(inputs, 2, this, "Formigkeit", form_);
    add_row(inputs, 3, this, "Hangneigung [%]", slope_);
    add_row(inputs, 4, this, "Abstand Rückegassen [m]", spacing_);
    add_row(inputs, 5, this, "Befahrbarkeit Rückegassen", traffic_);
    add_row(inputs, 6, this, "Volumen ausscheidender Bestand\nalle Baumarten [EFm/ha]", vab_);
    add_row(inputs, 7, this, "Gesamtfläche der Maßnahme [ha]", area_);
    inputs->addWidget(text_label(this, "Optionale Eingaben:"), 8, 0, 1, 2);
    add_row(inputs, 9, this, "Baumhöhe [m]", own_h_);
    add_row(inputs, 10, this, "Stückvolumen je Baum [EFm]", own_stm_);
    left->addLayout(inputs);

    auto* derived = new QGroupBox(qs("Ihre Bestandesdaten"), this);
    derived->setObjectName(QStringLiteral("10013"));
    auto* derived_grid = new QGridLayout(derived);
    height_ = value_label(derived, "10100");
    mass_full_ = value_label(derived, "10101");
    mass_merch_ = value_label(derived, "10102");
    piece_ = value_label(derived, "10103");
    harvest_ = value_label(derived, "10104");
    add_row(derived_grid, 0, derived, "Baumhöhe [m]", height_);
    add_row(derived_grid, 1, derived, "Stückmasse Vollbaum [t atro]", mass_full_);
    add_row(derived_grid, 2, derived, "Stückmasse Derbholz [t atro]", mass_merch_);
    add_row(derived_grid, 3, derived, "Stückvolumen je Baum [EFm]", piece_);
    add_row(derived_grid, 4, derived, "Gesamt-Hiebsanfall [EFm]", harvest_);
    left->addWidget(derived);
    left->addStretch(1);
    root->addLayout(left, 0, 0);

    // --------------------------- right: extra data of the systems that need it
    auto* right = new QVBoxLayout;
    right->addWidget(text_label(this, "Zusätzliche Bestandesdaten"));

    auto* sys_i = new QGridLayout;
    frame_i_ = add_frame(right, "10900", "I) Konventionelle Holzernte", sys_i);
    walk_ = drop_down(this, "10020", list_of(kWalkability));
    i_rd_ = number_field(this, "10021");
    i_bse_ = number_field(this, "10022");
    add_row(sys_i, 0, this, "Begehbarkeit /\nBehinderungen", walk_);
    add_row(sys_i, 1, this, "Rückedistanz [m]", i_rd_);
    add_row(sys_i, 2, this, "Beiseilentfernung [m]", i_bse_);

    auto* sys_ii = new QGridLayout;
    frame_ii_ = add_frame(right, "10901", "II) Integrierte Holzernte", sys_ii);
    QStringList shares{qs("0")};
    shares << whole_numbers(5, 85);
    ii_vzs_ = drop_down(this, "10023", shares);
    ii_rd_ = value_label(this, "10024");
    add_row(sys_ii, 0, this, "Volumenanteil zusätzl.\nSortimente [%]", ii_vzs_);
    add_row(sys_ii, 1, this, "Rückedistanz [m]", ii_rd_);

    auto* sys_v = new QGridLayout;
    frame_v_ = add_frame(right, "10902", "V) Yarding", sys_v);
    rope_vol_ = drop_down(this, "10010", {qs("nein"), qs("ja")});
    rope_len_ = drop_down(this, "10025",
                          {qs("100"), qs("200"), qs("300"), qs("400"), qs("500")});
    crown_ = drop_down(this, "10026", list_of(kCrowns));
    add_row(sys_v, 0, this, "Mindestvolumen [ > 70 EFm] je Seillinie erreicht", rope_vol_);
    add_row(sys_v, 1, this, "Seillinienlänge [m]", rope_len_);
    add_row(sys_v, 2, this, "Kronenform", crown_);
    right->addStretch(1);

    auto* buttons = new QGridLayout;
    const auto button = [this](const char* id, const char* text) {
        auto* b = new QPushButton(qs(text), this);
        b->setObjectName(QLatin1String(id));
        // Only a click leaves the dialog, never Enter.
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    ok_ = button("10998", "OK");
    cancel_ = button("10999", "Abbrechen");
    costs_ = button("10997", "Eingabe Kosten...");
    results_ = button("10996", "Ergebnis...");
    buttons->addWidget(ok_, 0, 0);
    buttons->addWidget(cancel_, 0, 1);
    buttons->addWidget(costs_, 1, 0);
    buttons->addWidget(results_, 1, 1);
    right->addLayout(buttons);
    root->addLayout(right, 0, 1);

    // ----------------------------------- bottom: the six verdicts side by side
    auto* verdicts = new QHBoxLayout;
    for (std::size_t i = 0; i < verdict_.size(); ++i) {
        auto* box = new QGroupBox(qs(kVerdictTitles[i]), this);
        box->setObjectName(qs(std::to_string(10601 + i)));
        auto* inner = new QVBoxLayout(box);
        verdict_[i] = value_label(box, std::to_string(10201 + i).c_str());
        verdict_[i]->setAlignment(Qt::AlignCenter);
        inner->addWidget(verdict_[i]);
        verdicts->addWidget(box, 1);
        verdict_box_[i] = box;
    }
    root->addLayout(verdicts, 1, 0, 1, 2);

    // ------------- below them: the reasons, one line per unsuitable system
    // Its height is fixed, so that the dialog keeps its size while the
    // verdicts change: a line per system and two for the longest to wrap;
    // more than that scrolls.
    reasons_ = new QPlainTextEdit(this);
    reasons_->setObjectName(QStringLiteral("reasons"));
    reasons_->setReadOnly(true);
    reasons_->setFocusPolicy(Qt::ClickFocus);  // selectable, but not in the tab order
    reasons_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    reasons_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    reasons_->setPlaceholderText(qs("Alle Systeme geeignet."));
    {
        const QFontMetrics fm(reasons_->font());
        const QMargins m = reasons_->contentsMargins();
        reasons_->setFixedHeight(8 * fm.lineSpacing() + m.top() + m.bottom() +
                                 2 * static_cast<int>(reasons_->document()->documentMargin()) + 2);
    }
    root->addWidget(reasons_, 2, 0, 1, 2);

    // Tab order: down the stand inputs, then the extra data, then the buttons.
    const std::array<QWidget*, 21> chain = {
        species_, bhd_,   form_,   slope_,    spacing_,   traffic_, vab_,
        area_,    own_h_, own_stm_, walk_,    i_rd_,      i_bse_,   ii_vzs_,
        rope_vol_, rope_len_, crown_, ok_,    cancel_,    costs_,   results_};
    for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);

    for (QComboBox* list : {species_, bhd_, form_, slope_, spacing_, traffic_, walk_, ii_vzs_,
                            rope_vol_, rope_len_, crown_})
        connect(list, &QComboBox::currentIndexChanged, this, &StandDialog::recompute);
    for (QLineEdit* field : {vab_, area_, own_h_, own_stm_, i_rd_, i_bse_})
        connect(field, &QLineEdit::textEdited, this, &StandDialog::recompute);
    connect(ok_, &QPushButton::clicked, this, [this] { leave(InputOk); });
    connect(costs_, &QPushButton::clicked, this, [this] { leave(InputOtherDialog); });
    connect(results_, &QPushButton::clicked, this, [this] { leave(InputResults); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    fit_frames();
}

// The frames of systems I, II and V are greyed out while their system is not
// suitable, but the data inside stay editable: the user may prepare them
// before the stand qualifies. A disabled Qt widget disables its children, so
// these controls are not children of their frame; they lie over it, in the
// same grid cell, inset by the frame's margins.
QGroupBox* StandDialog::add_frame(QBoxLayout* column, const char* id, const char* title,
                                  QLayout* content) {
    auto* box = new QGroupBox(qs(title), this);
    box->setObjectName(QLatin1String(id));
    box->lower();
    auto* cell = new QGridLayout;
    cell->setContentsMargins(0, 0, 0, 0);
    cell->addWidget(box, 0, 0);
    cell->addLayout(content, 0, 0);
    column->addLayout(cell);
    frames_[frame_count_++] = {box, content};
    return box;
}

void StandDialog::fit_frames() {
    for (std::size_t i = 0; i < frame_count_; ++i) {
        QGroupBox* box = frames_[i].box;
        box->ensurePolished();
        const QMargins frame = box->contentsMargins();
        const QStyle* st = box->style();
        frames_[i].content->setContentsMargins(
            frame.left() + st->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, box),
            frame.top() + st->pixelMetric(QStyle::PM_LayoutTopMargin, nullptr, box),
            frame.right() + st->pixelMetric(QStyle::PM_LayoutRightMargin, nullptr, box),
            frame.bottom() + st->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, box));
    }
}

// Every opening starts from the committed stand; whatever an abandoned edit
// left in the working copies is gone.
void StandDialog::load() {
    ti_ba_ = state_.gi_ba;
    ti_bhd_ = state_.gi_bhd;
    ti_sf_ = state_.gi_sf;
    ti_hn_ = state_.gi_hn;
    ti_ar_ = state_.gi_ar;
    ti_br_ = state_.gi_br;
    ti_hvs_ = state_.gi_hvs;
    ti_i_bb_ = state_.gi_i_bb;
    ti_ii_vzs_ = state_.gi_ii_vzs;
    ti_v_sll_ = state_.gi_v_sll;
    ti_v_kf_ = state_.gi_v_kf;
    tf_vab_ = state_.gf_vab;
    tf_gf_ = state_.gf_gf;
    tf_i_rd_ = state_.gf_i_rd;
    tf_i_bse_ = state_.gf_i_bse;
    tf_ii_rd_ = state_.gf_ii_rd;
    tc_ = {state_.gc_hoehe, state_.gc_stm, state_.gc_stmvoll, state_.gc_stmderb, state_.gc_vhieb};
    t_sys_ = state_.flags();
    // An own height or piece volume belongs to the stand it was measured in:
    // it is not offered again, the model values are shown until the user
    // enters new ones.
    tf_bh_ = 0.0;
    tf_stm_ = 0.0;
    data_valid_ = true;

    select(species_, ti_ba_ < tto.size() ? static_cast<int>(tto[ti_ba_]) : -1);
    t_oldba_ = tbk[position(species_)];
    select(bhd_, static_cast<int>(ti_bhd_) - 6);
    select(form_, static_cast<int>(ti_sf_));
    select(slope_, static_cast<int>(ti_hn_));
    select(spacing_, static_cast<int>(ti_ar_));
    select(traffic_, static_cast<int>(ti_br_));
    select(rope_vol_, static_cast<int>(ti_hvs_));
    select(walk_, static_cast<int>(ti_i_bb_));
    select(ii_vzs_, position_from_share(ti_ii_vzs_));
    select(rope_len_, static_cast<int>(ti_v_sll_));
    select(crown_, static_cast<int>(ti_v_kf_));
    set_field_text(vab_, format_comma(tf_vab_, 2));
    set_field_text(area_, format_comma(tf_gf_, 2));
    set_field_text(own_h_, format_comma(tf_bh_, 2));
    set_field_text(own_stm_, format_comma(tf_stm_, 4));
    set_field_text(i_rd_, format_whole(tf_i_rd_));
    set_field_text(i_bse_, format_whole(tf_i_bse_));
    tf_ii_rd_ = tf_i_rd_;
    ii_rd_->setText(qs(format_whole(tf_ii_rd_)));

    // Derive and judge the stand as shown, so that what the dialog displays
    // and what OK would store belong together from the first moment.
    recompute();
}

std::optional<double> StandDialog::read(QLineEdit* field) {
    // A value too large for a double is refused by the field read itself.
    std::optional<double> value = read_field(field);
    if (!value) data_valid_ = false;
    return value;
}

void StandDialog::recompute() {
    t_sys_.fill(0);
    data_valid_ = true;

    // A new species has its own height curve and volume: an own height or
    // piece volume entered for the previous one no longer applies.
    const std::uint32_t ba = tbk[position(species_)];
    if (ba != t_oldba_) {
        t_oldba_ = ba;
        tf_stm_ = 0.0;
        tf_bh_ = 0.0;
        set_field_text(own_h_, format_comma(0.0, 2));
        set_field_text(own_stm_, format_comma(0.0, 4));
    }
    ti_ba_ = ba;
    ti_bhd_ = position(bhd_) + 6;
    ti_sf_ = position(form_);
    ti_hn_ = position(slope_);
    ti_ar_ = position(spacing_);
    ti_br_ = position(traffic_);

    // The first stand field that cannot be read is named as the reason why
    // no system suits.
    std::string_view unreadable;
    const auto stand_field = [this, &unreadable](QLineEdit* field, std::string_view name) {
        const std::optional<double> v = read(field);
        if (!v && unreadable.empty()) unreadable = name;
        return v.value_or(0.0);
    };
    tf_vab_ = stand_field(vab_, "gf_vab");
    tf_gf_ = stand_field(area_, "gf_gf");
    ti_hvs_ = position(rope_vol_);
    tf_bh_ = stand_field(own_h_, "gf_bh");
    tf_stm_ = stand_field(own_stm_, "gf_stm");

    tc_ = calc_bestand({ti_ba_, ti_sf_, ti_bhd_, tf_bh_, tf_stm_, tf_vab_, tf_gf_});
    // Two readable values can still multiply beyond every double (volume
    // and area to the harvest quantity): such input cannot be used either;
    // the figure shows "---".
    if (!all_finite(tc_)) data_valid_ = false;
    height_->setText(qs(format_comma(tc_.hoehe, 2)));
    piece_->setText(qs(format_comma(tc_.stm, 4)));
    harvest_->setText(qs(format_comma(tc_.vhieb, 2)));

    // Only the stand fields above decide the suitability; the extra data of
    // the single systems below do not.
    const SuitabilityInputs judged{data_valid_, ti_bhd_, ti_hn_, ti_ar_, ti_br_, ti_hvs_, tf_vab_,
                                   tc_.stm, tc_.vhieb};
    t_sys_ = calc_eignung(judged);
    for (std::size_t i = 0; i < verdict_.size(); ++i) set_verdict(verdict_[i], t_sys_[i]);
    show_reasons(unsuitability_reasons(judged, unreadable));

    // The masses matter only for chipwood (system VI).
    const bool chipwood = t_sys_[5] == 1;
    mass_full_->setText(chipwood ? qs(format_comma(tc_.stmvoll, 2)) : qs("---"));
    mass_merch_->setText(chipwood ? qs(format_comma(tc_.stmderb, 2)) : qs("---"));

    ti_i_bb_ = position(walk_);
    if (const auto rd = read(i_rd_)) {
        // System II skids over the same distance as system I.
        tf_i_rd_ = *rd;
        tf_ii_rd_ = *rd;
        ii_rd_->setText(qs(format_whole(tf_ii_rd_)));
    } else {
        tf_i_rd_ = 0.0;
    }
    tf_i_bse_ = read(i_bse_).value_or(0.0);

    ti_ii_vzs_ = share_from_position(ii_vzs_->currentIndex());
    ti_v_sll_ = position(rope_len_);
    ti_v_kf_ = position(crown_);

    frame_i_->setEnabled(t_sys_[0] == 1);
    frame_ii_->setEnabled(t_sys_[1] == 1);
    frame_v_->setEnabled(t_sys_[4] == 1);

    ok_->setEnabled(data_valid_);
    costs_->setEnabled(data_valid_);
    results_->setEnabled(data_valid_);
}

// Each "nicht geeignet" carries its reasons as a tooltip, one per line;
// the area below lists every unsuitable system with its reasons.
void StandDialog::show_reasons(const SystemReasons& reasons) {
    QStringList lines;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        QStringList texts;
        for (const Reason& r : reasons[i]) texts << qs(r.text);
        const QString tip = texts.join(QLatin1Char('\n'));
        verdict_[i]->setToolTip(tip);
        verdict_box_[i]->setToolTip(tip);
        if (!texts.isEmpty()) lines << qs(kVerdictTitles[i]) + QStringLiteral(" – ") + texts.join(QStringLiteral("; "));
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (reasons_->toPlainText() != text) reasons_->setPlainText(text);
}

void StandDialog::leave(int code) {
    if (!data_valid_ || !checks_pass()) return;
    commit();
    done(code);
}

// The checks before the stand is taken over, in this order; the first that
// fails keeps the dialog open and puts the cursor where the data are missing.
bool StandDialog::checks_pass() {
    const auto missing = [this](const char* text, QWidget* where) {
        message(this, qs("Warnung"), qs(text), MsgIcon::Error);
        where->setFocus();
        return false;
    };
    if (tf_vab_ == 0.0)
        return missing("Fehlende Eingabe des\nVolumens des ausscheidenden Bestands", vab_);
    if (tf_gf_ == 0.0)
        return missing("Fehlende Eingabe der\nGesamtfläche der Maßnahe", area_);
    if (t_sys_[0] == 1 && (tf_i_rd_ == 0.0 || tf_i_bse_ == 0.0))
        return missing("Fehlende Zusatzdaten für Konventionelle Holzernte",
                       tf_i_rd_ == 0.0 ? i_rd_ : i_bse_);
    if (t_sys_[1] == 1 && tf_ii_rd_ == 0.0)
        return missing("Fehlende Zusatzdaten für Integrierte Holzernte", i_rd_);

    // An own height or piece volume more than a quarter away from the model
    // is probably a typing error; the user decides.
    const auto doubtful = [this](const char* text, QWidget* where) {
        if (message(this, qs("Warnung"), qs(text), MsgIcon::None, MsgButtons::OkCancel) ==
            MsgAnswer::Ok)
            return false;
        where->setFocus();
        return true;
    };
    const double model_h = calc_hoehe(static_cast<int>(ti_ba_), ti_sf_, ti_bhd_);
    if (tf_bh_ > 0.0 && (tf_bh_ < 0.75 * model_h || tf_bh_ > 1.25 * model_h) &&
        doubtful("Kontrollieren Sie Ihre Höheneingabe", own_h_))
        return false;
    const double model_v = calc_stm(model_h, ti_bhd_);
    if (tf_stm_ > 0.0 && (tf_stm_ < 0.75 * model_v || tf_stm_ > 1.25 * model_v) &&
        doubtful("Kontrollieren Sie Ihre Stückvolumeneingabe", own_stm_))
        return false;
    return true;
}

void StandDialog::commit() {
    state_.gi_ba = ti_ba_;
    state_.gi_bhd = ti_bhd_;
    state_.gi_sf = ti_sf_;
    state_.gi_hn = ti_hn_;
    state_.gi_ar = ti_ar_;
    state_.gi_br = ti_br_;
    state_.gi_hvs = ti_hvs_;
    state_.gi_i_bb = ti_i_bb_;
    state_.gi_ii_vzs = ti_ii_vzs_;
    state_.gi_v_sll = ti_v_sll_;
    state_.gi_v_kf = ti_v_kf_;
    state_.gf_bh = tf_bh_;
    state_.gf_gf = tf_gf_;
    state_.gf_vab = tf_vab_;
    state_.gf_i_rd = tf_i_rd_;
    state_.gf_i_bse = tf_i_bse_;
    state_.gf_ii_rd = tf_ii_rd_;
    state_.gf_stm = tf_stm_;
    store(state_, tc_);
    state_.set_flags(t_sys_);
}

void StandDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape neither confirm nor close.
    if (is_enter_or_escape(event))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

}  // namespace forstrix::ui

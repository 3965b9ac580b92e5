#include "ui/stand_dialog.h"

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <QBoxLayout>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTextDocument>

#include "core/numtext.h"
#include "core/registry.h"
#include "core/scenario.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

constexpr std::array<const char*, 6> kVerdictTitles = {
    "I) Konv. HE",     "II) Integr. HE", "III) Hochmech. HE befahrbar",
    "IV) Hochmech. HE Hang", "V) Yarding", "VI) Spanholz"};

// Shares of additional assortments in system II: none, or 5 to 85 per cent.
// The list holds 0 and then the range, so position p >= 1 means p - 1 + 5.
std::uint32_t share_from_position(int pos) {
    const auto first = static_cast<std::uint32_t>(value_range("gi_ii_vzs").lo);
    return pos <= 0 ? 0u : static_cast<std::uint32_t>(pos) - 1u + first;
}
int position_from_share(std::uint32_t share) {
    const auto first = static_cast<std::uint32_t>(value_range("gi_ii_vzs").lo);
    return share < first ? 0 : static_cast<int>(share - first) + 1;
}

QStringList list_of(const auto& texts) {
    QStringList out;
    for (const char* t : texts) out << qs(t);
    return out;
}

// The whole numbers of a list value's range.
QStringList range_of(const char* name) {
    const ValueRange& r = value_range(name);
    return whole_numbers(static_cast<int>(r.lo), static_cast<int>(r.hi));
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

StandDialog::StandDialog(State& state, QWidget* parent)
    : InputDialog(parent, qs("Eingabe Bestandesdaten (ausscheidender Bestand)"), 0), state_(state) {
    build();
    load();
}

void StandDialog::build() {
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
    add_rows(inputs, this, {
        {"Hauptbaumart Laubholz", species_},
        {"BHD [cm]", bhd_ = drop_down(this, "10002", range_of("gi_bhd"))},
        {"Formigkeit", form_ = drop_down(this, "10003", list_of(kFormClassNames))},
        {"Hangneigung [%]", slope_ = drop_down(this, "10004", range_of("gi_hn"))},
        {"Abstand Rückegassen [m]", spacing_ = drop_down(this, "10005", list_of(kSpacingNames))},
        {"Befahrbarkeit Rückegassen",
         traffic_ = drop_down(this, "10006", list_of(kTrafficabilityNames))},
        {"Volumen ausscheidender Bestand\nalle Baumarten [EFm/ha]", vab_ = number_field(this, "10008")},
        {"Gesamtfläche der Maßnahme [ha]", area_ = number_field(this, "10009")}
    });
    inputs->addWidget(text_label(this, "Optionale Eingaben:"), 8, 0, 1, 2);
    add_rows(inputs, this, {
        {"Baumhöhe [m]", own_h_ = number_field(this, "10011")},
        {"Stückvolumen je Baum [EFm]", own_stm_ = number_field(this, "10012")}
    }, 9);
    left->addLayout(inputs);

    auto* derived = new QGroupBox(qs("Ihre Bestandesdaten"), this);
    derived->setObjectName(QStringLiteral("10013"));
    auto* derived_grid = new QGridLayout(derived);
    add_rows(derived_grid, derived, {
        {"Baumhöhe [m]", height_ = value_label(derived, "10100")},
        {"Stückmasse Vollbaum [t atro]", mass_full_ = value_label(derived, "10101")},
        {"Stückmasse Derbholz [t atro]", mass_merch_ = value_label(derived, "10102")},
        {"Stückvolumen je Baum [EFm]", piece_ = value_label(derived, "10103")},
        {"Gesamt-Hiebsanfall [EFm]", harvest_ = value_label(derived, "10104")}
    });
    left->addWidget(derived);
    left->addStretch(1);
    root->addLayout(left, 0, 0);

    // --------------------------- right: extra data of the systems that need it
    auto* right = new QVBoxLayout;
    right->addWidget(text_label(this, "Zusätzliche Bestandesdaten"));

    auto* sys_i = new QGridLayout;
    frame_i_ = frames_.add(this, right, "10900", "I) Konventionelle Holzernte", sys_i);
    add_rows(sys_i, this, {
        {"Begehbarkeit /\nBehinderungen", walk_ = drop_down(this, "10020", list_of(kObstacleNames))},
        {"Rückedistanz [m]", i_rd_ = number_field(this, "10021")},
        {"Beiseilentfernung [m]", i_bse_ = number_field(this, "10022")}
    });

    auto* sys_ii = new QGridLayout;
    frame_ii_ = frames_.add(this, right, "10901", "II) Integrierte Holzernte", sys_ii);
    QStringList shares{qs("0")};
    shares << range_of("gi_ii_vzs");
    add_rows(sys_ii, this, {
        {"Volumenanteil zusätzl.\nSortimente [%]", ii_vzs_ = drop_down(this, "10023", shares)},
        {"Rückedistanz [m]", ii_rd_ = value_label(this, "10024")}
    });

    auto* sys_v = new QGridLayout;
    frame_v_ = frames_.add(this, right, "10902", "V) Yarding", sys_v);
    add_rows(sys_v, this, {
        {"Mindestvolumen [ > 70 EFm] je Seillinie erreicht",
         rope_vol_ = drop_down(this, "10010", list_of(kRopeVolumeNames))},
        {"Seillinienlänge [m]",
         rope_len_ = drop_down(this, "10025", {qs("100"), qs("200"), qs("300"), qs("400"), qs("500")})},
        {"Kronenform", crown_ = drop_down(this, "10026", list_of(kCrownNames))}
    });
    right->addStretch(1);

    auto* buttons = new QGridLayout;
    ok_ = button(qs("OK"), 10998);
    cancel_ = button(qs("Abbrechen"), 10999);
    costs_ = button(qs("Eingabe Kosten..."), 10997);
    results_ = button(qs("Ergebnis..."), 10996);
    set_ok_cancel(ok_, cancel_);
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

    lists_ = {{{bhd_, &State::gi_bhd, static_cast<std::uint32_t>(value_range("gi_bhd").lo)},
               {form_, &State::gi_sf, 0},
               {slope_, &State::gi_hn, 0},
               {spacing_, &State::gi_ar, 0},
               {traffic_, &State::gi_br, 0},
               {rope_vol_, &State::gi_hvs, 0},
               {walk_, &State::gi_i_bb, 0},
               {rope_len_, &State::gi_v_sll, 0},
               {crown_, &State::gi_v_kf, 0}}};
    frames_.fit();
}

// Every opening starts from the committed stand; whatever an abandoned edit
// left in the working copy is gone.
void StandDialog::load() {
    work_ = state_;
    // An own height or piece volume belongs to the stand it was measured in:
    // it is not offered again, the model values are shown until the user
    // enters new ones.
    work_.gf_bh = 0.0;
    work_.gf_stm = 0.0;
    data_valid_ = true;

    select(species_, work_.gi_ba < tto.size() ? static_cast<int>(tto[work_.gi_ba]) : -1);
    old_ba_ = tbk[position(species_)];
    for (const ListValue& l : lists_)
        select(l.list, static_cast<int>(work_.*l.value) - static_cast<int>(l.first));
    select(ii_vzs_, position_from_share(work_.gi_ii_vzs));
    set_field_text(vab_, format_comma(work_.gf_vab, 2));
    set_field_text(area_, format_comma(work_.gf_gf, 2));
    set_field_text(own_h_, format_comma(work_.gf_bh, 2));
    set_field_text(own_stm_, format_comma(work_.gf_stm, 4));
    set_field_text(i_rd_, format_whole(work_.gf_i_rd));
    set_field_text(i_bse_, format_whole(work_.gf_i_bse));
    work_.gf_ii_rd = work_.gf_i_rd;
    ii_rd_->setText(qs(format_whole(work_.gf_ii_rd)));

    // Derive and judge the stand as shown, so that what the dialog displays
    // and what OK would store belong together from the first moment.
    recompute();
}

// The field's value into the working copy (0 when it cannot be used): a
// text that does not read, or a value beyond its range, makes the input
// unusable.
std::optional<double> StandDialog::read(QLineEdit* field, double State::*value) {
    const ValueInfo* info = nullptr;
    for (const ValueInfo& v : value_registry())
        if (v.d == value) info = &v;
    std::optional<double> v = read_checked(field, *info);
    if (!v) data_valid_ = false;
    work_.*value = v.value_or(0.0);
    return v;
}

void StandDialog::recompute() {
    data_valid_ = true;

    // A new species has its own height curve and volume: an own height or
    // piece volume entered for the previous one no longer applies.
    const std::uint32_t ba = tbk[position(species_)];
    if (ba != old_ba_) {
        old_ba_ = ba;
        set_field_text(own_h_, format_comma(0.0, 2));
        set_field_text(own_stm_, format_comma(0.0, 4));
    }
    work_.gi_ba = ba;
    for (const ListValue& l : lists_) work_.*l.value = position(l.list) + l.first;
    work_.gi_ii_vzs = share_from_position(ii_vzs_->currentIndex());

    // The first stand field that cannot be used is named as the reason why
    // no system suits.
    std::string_view unreadable;
    for (const auto& [field, value, name] :
         {std::tuple{vab_, &State::gf_vab, "gf_vab"}, std::tuple{area_, &State::gf_gf, "gf_gf"},
          std::tuple{own_h_, &State::gf_bh, "gf_bh"}, std::tuple{own_stm_, &State::gf_stm, "gf_stm"}})
        if (!read(field, value) && unreadable.empty()) unreadable = name;

    store(work_, calc_bestand(stand_inputs(work_)));
    height_->setText(qs(format_comma(work_.gc_hoehe, 2)));
    piece_->setText(qs(format_comma(work_.gc_stm, 4)));
    harvest_->setText(qs(format_comma(work_.gc_vhieb, 2)));

    // Only the stand fields above decide the suitability; the extra data of
    // the single systems below do not.
    const SuitabilityInputs judged = suitability_inputs(work_, data_valid_);
    work_.set_flags(calc_eignung(judged));
    const std::array<std::int32_t, 6> flags = work_.flags();
    for (std::size_t i = 0; i < verdict_.size(); ++i) set_verdict(verdict_[i], flags[i]);
    show_reasons(unsuitability_reasons(judged, unreadable));

    // The masses matter only for chipwood (system VI).
    const bool chipwood = flags[5] == 1;
    mass_full_->setText(chipwood ? qs(format_comma(work_.gc_stmvoll, 2)) : qs("---"));
    mass_merch_->setText(chipwood ? qs(format_comma(work_.gc_stmderb, 2)) : qs("---"));

    // System II skids over the same distance as system I.
    if (read(i_rd_, &State::gf_i_rd)) {
        work_.gf_ii_rd = work_.gf_i_rd;
        ii_rd_->setText(qs(format_whole(work_.gf_ii_rd)));
    }
    read(i_bse_, &State::gf_i_bse);

    frame_i_->setEnabled(flags[0] == 1);
    frame_ii_->setEnabled(flags[1] == 1);
    frame_v_->setEnabled(flags[4] == 1);

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
    if (!data_valid_) return;
    // The stand goes through the whole computation of a scenario, over the
    // committed costs: what it refuses keeps the dialog open.
    State trial = state_;
    if (!checks_pass(trial)) return;
    for (const ValueInfo& v : value_registry()) {
        if (v.kind == ValueKind::StandInput || v.kind == ValueKind::StandExtra ||
            v.kind == ValueKind::Derived || v.kind == ValueKind::Flag)
            set_value(state_, v, get_value(trial, v));
    }
    done(code);
}

// The checks before the stand is taken over, in this order; the first that
// fails keeps the dialog open and puts the cursor where the data are missing.
bool StandDialog::checks_pass(State& trial) {
    std::vector<Given> given;
    for (const ValueInfo& v : value_registry()) {
        if ((v.kind == ValueKind::StandInput || v.kind == ValueKind::StandExtra) && v.d != &State::gf_ii_rd)
            given.push_back({&v, get_value(work_, v)});
    }
    ScenarioOutcome outcome;
    compute_scenario(trial, given, nullptr, outcome);

    const auto refuse = [this](const QString& text, QWidget* where) {
        message(this, qs("Warnung"), text, MsgIcon::Error);
        where->setFocus();
        return false;
    };
    if (!outcome.ok()) {
        const std::string& name = outcome.problems.front().name;
        if (name == "gf_vab") return refuse(qs("Fehlende Eingabe des\nVolumens des ausscheidenden Bestands"), vab_);
        if (name == "gf_gf") return refuse(qs("Fehlende Eingabe der\nGesamtfläche der Maßnahe"), area_);
        if (name == "gf_ii_rd") return refuse(qs("Fehlende Zusatzdaten für Integrierte Holzernte"), i_rd_);
        return refuse(qs("Fehlende Zusatzdaten für Konventionelle Holzernte"), name == "gf_i_rd" ? i_rd_ : i_bse_);
    }

    // An own height or piece volume more than a quarter away from the model
    // is probably a typing error; the user decides.
    for (const std::string& warning : outcome.warnings) {
        const bool height = warning.starts_with("gf_bh:");
        if (message(this, qs("Warnung"),
                    qs(height ? "Kontrollieren Sie Ihre Höheneingabe" : "Kontrollieren Sie Ihre Stückvolumeneingabe"),
                    MsgIcon::None, MsgButtons::OkCancel) != MsgAnswer::Ok) {
            (height ? own_h_ : own_stm_)->setFocus();
            return false;
        }
    }

    // A stand far outside the one the time models were made from.
    if (const std::optional<Problem> p = check_results_finite(trial))
        return refuse(qs(p->message.substr(p->name.size() + 2)), own_stm_);
    return true;
}

}  // namespace forstrix::ui

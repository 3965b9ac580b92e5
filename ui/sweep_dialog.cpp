#include "ui/sweep_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>

#include "core/registry.h"
#include "draw/page.h"
#include "ui/cost_map.h"
#include "ui/fields.h"
#include "ui/print_preview.h"
#include "ui/screen_fit.h"
#include "ui/sweep_export.h"
#include "ui/sweep_line_chart.h"

namespace forstrix::ui {

namespace {

// A line view has at most this many points; beyond it the chart could no
// longer follow the mouse.
constexpr std::size_t kMaxLinePoints = 5000;
// Cells along a decimal input of the map's default range, and the most
// cells a map shows: more than a screen has pixels would only take time.
constexpr int kMapCells = 60;
constexpr std::size_t kMaxMapCells = 250'000;
// Points of a decimal input's default line.
constexpr int kLinePoints = 200;

// What the texts under the views say while the mouse points at nothing.
constexpr const char* kLinePrompt = "Zeigen Sie mit der Maus in das Diagramm, um die Kosten eines Wertes zu sehen.";
constexpr const char* kMapCaption = "Jede Zelle zeigt das günstigste geeignete System; der Kreis markiert den "
                                    "aktuellen Bestand.";
constexpr const char* kMapPrompt = " Zeigen Sie mit der Maus auf eine Zelle, um ihre Kosten zu sehen.";

QComboBox* input_combo(const char* name) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    for (const SweepInput& in : sweep_inputs()) combo->addItem(qs(in.label), qs(in.name));
    combo->setMaxVisibleItems(static_cast<int>(sweep_inputs().size()));
    return combo;
}

const SweepInput* selected(const QComboBox* combo) {
    return find_sweep_input(combo->currentData().toString().toStdString());
}

// A problem as the window shows it: without the internal name in front,
// since the field it concerns is the one the user is looking at.
QString shown(const Problem& p) {
    std::string_view text = p.message;
    if (!p.name.empty() && text.starts_with(p.name + ": ")) text.remove_prefix(p.name.size() + 2);
    QString out = qs(text);
    if (!out.isEmpty()) out[0] = out[0].toUpper();
    return out;
}

// "von", "bis" and "Schritt" into `row`, named <prefix>From, ...To, ...Step.
RangeEdits range_edits(QWidget* page, QHBoxLayout* row, const QString& prefix, int width) {
    auto field = [&](const char* label, const char* name) {
        auto* edit = new QLineEdit(page);
        edit->setObjectName(prefix + QString::fromLatin1(name));
        edit->setMaximumWidth(width);
        row->addWidget(new QLabel(qs(label), page));
        row->addWidget(edit);
        return edit;
    };
    RangeEdits e;
    e.from = field("von", "From");
    e.to = field("bis", "To");
    e.step = field("Schritt", "Step");
    return e;
}

// The default range of `in` into the fields; false when it has none.
bool set_default_range(const RangeEdits& e, const State& s, const SweepInput& in, int points) {
    const std::optional<RangeTexts> t = default_range(s, in, points);
    e.from->setText(t ? qs(t->from) : QString());
    e.to->setText(t ? qs(t->to) : QString());
    e.step->setText(t ? qs(t->step) : QString());
    return t.has_value();
}

std::optional<SweepRange> read_range(const RangeEdits& e, const SweepInput& in, Problem& problem) {
    return make_range(*find_value(in.name), e.from->text().toStdString(), e.to->text().toStdString(),
                      e.step->text().toStdString(), problem);
}

}  // namespace

SweepDialog::SweepDialog(const State& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Kostenverlauf"));
    setObjectName(QStringLiteral("kostenverlauf"));
    std::vector<Problem> problems;
    sweep_ = Sweep::prepare(state_, cost_dialog_values(state_), problems);
    if (!sweep_ && !problems.empty()) setup_problem_ = shown(problems.front());
    build();
    line_input_changed();
    map_axis_changed(0);
    map_axis_changed(1);
    fit_to_screen();
}

void SweepDialog::fit_to_screen() {
    // The frame is not known before the window is shown; a title bar and a
    // border of this size cover the usual window managers.
    const QSize frame(16, 48);
    const QScreen* s = dialog_screen(this);
    const QSize available = s != nullptr ? s->availableGeometry().size() : QSize(1100, 780) + frame;
    resize(fitted_dialog_size(QSize(1100, 780), minimumSizeHint(), available, frame));
}

QChart* SweepDialog::line_chart() const { return view_->chart(); }

Competition SweepDialog::competition() const {
    Competition c;
    c.unmeasured = unmeasured_->isChecked();
    for (std::size_t k = 0; k < 6; ++k) c.excluded[k] = !compete_[k]->isChecked();
    return c;
}

void SweepDialog::build() {
    auto* layout = new QVBoxLayout(this);

    // Which sums compete, for both views.
    auto* compare = new QGroupBox(qs("Vergleich der Systeme"), this);
    auto* compare_layout = new QVBoxLayout(compare);
    auto* systems = new QHBoxLayout;
    systems->addWidget(new QLabel(qs("Im Vergleich:"), compare));
    for (std::size_t k = 0; k < 6; ++k) {
        compete_[k] = new QCheckBox(qs(kSystemTitles[k]), compare);
        compete_[k]->setObjectName(QStringLiteral("compete") + qs(kSystemNumerals[k]));
        compete_[k]->setChecked(true);
        connect(compete_[k], &QCheckBox::toggled, this, &SweepDialog::competition_changed);
        systems->addWidget(compete_[k]);
    }
    systems->addStretch(1);
    compare_layout->addLayout(systems);
    unmeasured_ = new QCheckBox(qs("I und II ohne Vermessung vergleichen (Summe statt \u201Einklusive "
                                   "Vermessung\u201C)"), compare);
    unmeasured_->setObjectName(QStringLiteral("unmeasured"));
    connect(unmeasured_, &QCheckBox::toggled, this, &SweepDialog::competition_changed);
    compare_layout->addWidget(unmeasured_);
    auto* note = new QLabel(qs("Verglichen werden I und II inklusive Vermessung, III und IV mit Harvestermaß, "
                               "V mit Prozessormaß; VI liefert Vollbäume für Hackschnitzel, unvermessen. "
                               "Eine Summe von 0 Euro/Fm oder weniger gilt nicht als Preis."), compare);
    note->setWordWrap(true);
    compare_layout->addWidget(note);
    layout->addWidget(compare);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("views"));

    // ---- line view
    auto* line_page = new QWidget;
    auto* line_layout = new QVBoxLayout(line_page);
    auto* choose = new QHBoxLayout;
    input_ = input_combo("sweepInput");
    choose->addWidget(new QLabel(qs("Eingabe:"), line_page));
    choose->addWidget(input_, 1);
    const int edit_width = fontMetrics().horizontalAdvance(QStringLiteral("0000000,000")) + 12;
    line_edits_ = range_edits(line_page, choose, QStringLiteral("sweep"), edit_width);
    for (QLineEdit* e : {line_edits_.from, line_edits_.to, line_edits_.step})
        connect(e, &QLineEdit::textEdited, this, &SweepDialog::redraw_line);
    line_layout->addLayout(choose);
    connect(input_, &QComboBox::currentIndexChanged, this, &SweepDialog::line_input_changed);

    line_status_ = new QLabel(line_page);
    line_status_->setObjectName(QStringLiteral("lineStatus"));
    line_status_->setStyleSheet(QStringLiteral("color: #b00000"));
    line_status_->setWordWrap(true);
    line_status_->hide();
    line_layout->addWidget(line_status_);

    auto* chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->legend()->setAlignment(Qt::AlignRight);
    // Line samples in the legend, so that solid and dashed read as there.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new HoverChartView(chart);
    view->setObjectName(QStringLiteral("lineChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(360);
    view->on_hover = [this](double x) { line_hovered(x); };
    view->on_leave = [this] { clear_line_hover(); };
    view_ = view;
    line_layout->addWidget(view_, 1);

    auto* caption = new QLabel(qs("Günstigstes geeignetes System:"), line_page);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    line_layout->addWidget(caption);
    sentence_ = new QLabel(line_page);
    sentence_->setObjectName(QStringLiteral("cheapestText"));
    sentence_->setWordWrap(true);
    sentence_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line_layout->addWidget(sentence_);
    line_info_ = new QLabel(line_page);
    line_info_->setObjectName(QStringLiteral("lineInfo"));
    line_info_->setWordWrap(true);
    line_info_->setText(qs(kLinePrompt));
    line_layout->addWidget(line_info_);
    tabs_->addTab(line_page, qs("Verlauf über eine Eingabe"));

    // ---- map view
    auto* map_page = new QWidget;
    auto* map_layout = new QVBoxLayout(map_page);
    // Each axis in a row of its own: the input, then its range as in the
    // line view.
    const char* axis_names[2] = {"X", "Y"};
    const char* axis_labels[2] = {"waagerecht:", "senkrecht:"};
    const char* axis_inputs[2] = {"gi_bhd", "gi_hn"};
    for (int a = 0; a < 2; ++a) {
        auto* row = new QHBoxLayout;
        QComboBox* combo = input_combo(qPrintable(QStringLiteral("map") + QLatin1String(axis_names[a])));
        combo->setCurrentIndex(combo->findData(QLatin1String(axis_inputs[a])));
        auto* label = new QLabel(qs(axis_labels[a]), map_page);
        label->setMinimumWidth(fontMetrics().horizontalAdvance(qs("waagerecht:")) + 4);
        row->addWidget(label);
        row->addWidget(combo, 1);
        map_edits_[a] = range_edits(map_page, row, QStringLiteral("map") + QLatin1String(axis_names[a]), edit_width);
        map_layout->addLayout(row);
        map_axis_[a] = combo;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, a] { map_axis_changed(a); });
        for (QLineEdit* e : {map_edits_[a].from, map_edits_[a].to, map_edits_[a].step})
            connect(e, &QLineEdit::textEdited, this, &SweepDialog::redraw_map);
    }
    map_status_ = new QLabel(map_page);
    map_status_->setObjectName(QStringLiteral("mapStatus"));
    map_status_->setStyleSheet(QStringLiteral("color: #b00000"));
    map_status_->hide();
    map_layout->addWidget(map_status_);
    map_ = new CostMap(map_page);
    map_->setObjectName(QStringLiteral("costMap"));
    map_layout->addWidget(map_, 1);
    map_info_ = new QLabel(map_page);
    map_info_->setObjectName(QStringLiteral("mapInfo"));
    map_info_->setWordWrap(true);
    map_info_->setText(qs(kMapCaption) + qs(kMapPrompt));
    map_layout->addWidget(map_info_);
    connect(map_, &CostMap::hovered, this, [this](const QString& text) {
        map_info_->setText(text.isEmpty() ? qs(kMapCaption) + qs(kMapPrompt) : text);
    });
    tabs_->addTab(map_page, qs("Karte über zwei Eingaben"));
    layout->addWidget(tabs_, 1);

    // ---- buttons
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, const char* name) {
        auto* b = new QPushButton(qs(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* image = button("Bild speichern...", "saveImage");
    QPushButton* table = button("Tabelle speichern...", "saveTable");
    QPushButton* print = button("Drucken...", "print");
    buttons->addStretch(1);
    QPushButton* close = button("Schließen", "close");
    layout->addLayout(buttons);
    connect(image, &QPushButton::clicked, this, &SweepDialog::export_image);
    connect(table, &QPushButton::clicked, this, &SweepDialog::export_table);
    connect(print, &QPushButton::clicked, this, &SweepDialog::print_view);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void SweepDialog::line_input_changed() {
    line_input_ = selected(input_);
    if (line_input_ == nullptr) return;
    const bool has_default = set_default_range(line_edits_, state_, *line_input_, kLinePoints);
    redraw_line();
    if (!has_default) {
        line_status_->setText(qs(no_default_range(*line_input_, current_value(state_, *line_input_))));
        line_status_->show();
    }
}

void SweepDialog::redraw_line() {
    clear_line_chart(*view_->chart());
    hover_line_ = nullptr;
    line_info_->setText(qs(kLinePrompt));
    line_points_.clear();
    line_range_.reset();
    sentence_->clear();

    auto refuse = [this](const QString& text) {
        line_status_->setText(text);
        line_status_->show();
    };
    if (!sweep_) return refuse(setup_problem_);
    if (line_input_ == nullptr) return;
    Problem problem;
    std::optional<SweepRange> r = read_range(line_edits_, *line_input_, problem);
    if (!r) return refuse(shown(problem));
    if (r->count > kMaxLinePoints)
        return refuse(qs("Der Bereich ergibt " + std::to_string(r->count) + " Punkte; das Diagramm zeigt höchstens " +
                         std::to_string(kMaxLinePoints) + ". Bitte den Schritt vergrößern."));
    line_status_->hide();
    line_range_ = r;
    line_points_ = sweep_->line(*r);
    const Competition c = competition();

    const DrawnLine drawn = draw_line_chart(*view_->chart(), *line_input_, *r, line_points_, c,
                                            current_value(state_, *line_input_));
    y_max_ = drawn.y_max;
    hover_line_ = drawn.hover_line;
    sentence_->setText(qs(cheapest_sentence(*line_input_, *r, line_points_, c)));
}

QString SweepDialog::line_point_text(std::size_t k) const {
    if (!line_range_ || k >= line_points_.size() || line_input_ == nullptr) return {};
    const std::pair<const SweepInput*, double> at[] = {{line_input_, line_range_->value(k)}};
    return qs(point_text(at, line_points_[k], competition()));
}

void SweepDialog::line_hovered(double x) {
    if (!line_range_ || line_points_.empty()) return;
    const std::size_t k = line_range_->nearest(x);
    line_info_->setText(line_point_text(k));
    if (hover_line_ != nullptr) {
        const double v = line_range_->value(k);
        hover_line_->replace(QList<QPointF>{{v, 0.0}, {v, y_max_}});
    }
}

void SweepDialog::clear_line_hover() {
    if (hover_line_ != nullptr) hover_line_->clear();
    line_info_->setText(qs(kLinePrompt));
}

void SweepDialog::without_hover(const std::function<void()>& draw) const {
    // The hover line belongs to the screen only: a picture or a page shows
    // what the range yields, not where the mouse happened to be.
    const QList<QPointF> shown = hover_line_ != nullptr ? hover_line_->points() : QList<QPointF>{};
    if (hover_line_ != nullptr) hover_line_->clear();
    draw();
    if (hover_line_ != nullptr) hover_line_->replace(shown);
}

void SweepDialog::map_axis_changed(int axis) {
    const SweepInput* in = selected(map_axis_[axis]);
    if (in == nullptr) return;
    const bool has_default = set_default_range(map_edits_[axis], state_, *in, kMapCells);
    redraw_map();
    if (!has_default) {
        map_status_->setText(qs(no_default_range(*in, current_value(state_, *in))));
        map_status_->show();
    }
}

void SweepDialog::redraw_map() {
    const SweepInput* ix = selected(map_axis_[0]);
    const SweepInput* iy = selected(map_axis_[1]);
    map_status_->hide();
    map_info_->setText(qs(kMapCaption) + qs(kMapPrompt));
    auto refuse = [this](const QString& text) {
        map_status_->setText(text);
        map_status_->show();
        map_->set_data({});
    };
    if (!sweep_) return refuse(setup_problem_);
    if (ix == nullptr || iy == nullptr) return;
    if (ix == iy) return refuse(qs("Bitte zwei verschiedene Eingaben wählen."));
    Problem problem;
    std::optional<SweepRange> x = read_range(map_edits_[0], *ix, problem);
    if (!x) return refuse(qs("waagerecht: ") + shown(problem));
    std::optional<SweepRange> y = read_range(map_edits_[1], *iy, problem);
    if (!y) return refuse(qs("senkrecht: ") + shown(problem));
    if (x->count * y->count > kMaxMapCells)
        return refuse(qs("Die Bereiche ergeben " + std::to_string(x->count * y->count) +
                         " Zellen; die Karte zeigt höchstens " + std::to_string(kMaxMapCells) +
                         ". Bitte die Schritte vergrößern."));
    MapData d;
    d.in_x = ix;
    d.in_y = iy;
    d.x = *x;
    d.y = *y;
    d.cells = sweep_->map(*x, *y);
    d.competition = competition();
    d.current_x = current_value(state_, *ix);
    d.current_y = current_value(state_, *iy);
    map_->set_data(std::move(d));
}

void SweepDialog::competition_changed() {
    redraw_line();
    MapData d = map_->data();
    d.competition = competition();
    map_->set_data(std::move(d));
}

void SweepDialog::export_image() {
    const bool line = tabs_->currentIndex() == 0;
    const QString file =
        ask_export_file(this, qs("Bild speichern"), line, "png", qs("PNG-Bild (*.png);;SVG-Grafik (*.svg)"));
    if (file.isEmpty()) return;
    const QSize size = line ? view_->size() : map_->size();
    // Under the view, what it was drawn for: the stand and the inputs held.
    QString notes = held_note();
    if (!stand_name_.isEmpty()) notes = qs("Bestand: ") + stand_name_ + QLatin1Char('\n') + notes;
    const int below = notes_height(notes, font(), size.width());
    save_picture(this, file, QSize(size.width(), size.height() + below), [&](QPainter& p) {
        if (line) without_hover([this, &p] { view_->render(&p); });
        else map_->paint(p, size);
        paint_notes(p, notes, font(), size.height(), size.width());
    });
}

void SweepDialog::export_table() {
    const bool line = tabs_->currentIndex() == 0;
    const QString file = ask_export_file(this, qs("Tabelle speichern"), line, "csv", qs("CSV-Tabelle (*.csv)"));
    if (file.isEmpty()) return;
    if (line && !line_range_) return;
    if (!line && map_->data().cells.empty()) return;
    const Competition c = competition();
    const std::vector<const SweepInput*> swept = swept_inputs();
    const std::string head = table_head(stand_name_.toStdString(), held_inputs(state_, swept), swept, c.unmeasured);
    save_table(this, file, line ? line_table(head, *line_input_, *line_range_, line_points_, c)
                                : map_table(head, map_->data(), c));
}

void SweepDialog::paint_page(QPainter& p, const QRectF& page) const {
    const bool line = tabs_->currentIndex() == 0;
    draw::PicturePage what;
    what.title = QStringLiteral("Kostenverlauf");
    what.stand_name = stand_name_.toStdString();
    what.caption = (line ? sentence_->text() + QLatin1Char('.') : qs(kMapCaption)) + QLatin1Char(' ') + held_note();
    without_hover([&] { paint_view_page(p, page, what, line ? view_->chart() : nullptr, *map_); });
}

std::vector<const SweepInput*> SweepDialog::swept_inputs() const {
    if (tabs_->currentIndex() == 0) return {line_input_};
    return {map_->data().in_x, map_->data().in_y};
}

QString SweepDialog::held_note() const {
    return qs("Festgehaltene Eingaben \u2013 " + held_text(held_inputs(state_, swept_inputs())));
}

void SweepDialog::print_view() {
    // Across the paper: the chart and the map are wider than high.
    show_print_preview(this, QStringLiteral("Kostenverlauf"), QPageLayout::Landscape, [this](QPrinter& printer) {
        draw::print_pages(printer, 1, [this](QPainter& p, const QRectF& paper, int) { paint_page(p, paper); });
    });
}

}  // namespace forstrix::ui

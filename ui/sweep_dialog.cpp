#include "ui/sweep_dialog.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include <QBuffer>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "core/registry.h"
#include "draw/sheet.h"
#include "files/atomic_write.h"
#include "ui/cost_map.h"
#include "ui/fields.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

// A line view has at most this many points; beyond it the chart could no
// longer follow the mouse.
constexpr std::size_t kMaxLinePoints = 5000;
// Cells along a decimal input of the map.
constexpr int kMapCells = 60;
// Points of a decimal input's default line.
constexpr int kLinePoints = 200;

// The chart view that reports the value under the mouse.
class HoverChartView final : public QChartView {
public:
    explicit HoverChartView(QChart* chart) : QChartView(chart) { setMouseTracking(true); }
    std::function<void(double)> on_hover;

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QChartView::mouseMoveEvent(event);
        if (!on_hover || chart()->series().isEmpty()) return;
        const QPointF pos = event->position();
        if (!chart()->plotArea().contains(pos)) return;
        on_hover(chart()->mapToValue(pos, chart()->series().front()).x());
    }
};

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

// A tick interval of 1, 2 or 5 times a power of ten that gives about ten ticks.
double nice_interval(double span, bool whole) {
    if (!(span > 0.0)) return 1.0;
    const double raw = span / 10.0;
    const double pow = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / pow;
    const double nice = (m <= 1.0 ? 1.0 : m <= 2.0 ? 2.0 : m <= 5.0 ? 5.0 : 10.0) * pow;
    return whole ? std::max(1.0, std::round(nice)) : nice;
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

std::optional<SweepRange> default_sweep_range(const State& s, const SweepInput& in, int points, Problem& problem) {
    const RangeTexts t = default_range(s, in, points);
    return make_range(*find_value(in.name), t.from, t.to, t.step, problem);
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
    redraw_map();
    fit_to_screen();
}

QSize fitted_dialog_size(QSize preferred, QSize minimum, QSize available, QSize frame) {
    return preferred.boundedTo(available - frame).expandedTo(minimum);
}

void SweepDialog::fit_to_screen() {
    // The frame is not known before the window is shown; a title bar and a
    // border of this size cover the usual window managers.
    const QSize frame(16, 48);
    QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    if (s == nullptr) s = QGuiApplication::primaryScreen();
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
    auto field = [&](const char* label, const char* name) {
        auto* edit = new QLineEdit(line_page);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000,000")) + 12);
        choose->addWidget(new QLabel(qs(label), line_page));
        choose->addWidget(edit);
        connect(edit, &QLineEdit::textEdited, this, &SweepDialog::redraw_line);
        return edit;
    };
    from_ = field("von", "sweepFrom");
    to_ = field("bis", "sweepTo");
    step_ = field("Schritt", "sweepStep");
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
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new HoverChartView(chart);
    view->setObjectName(QStringLiteral("lineChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(360);
    view->on_hover = [this](double x) { line_hovered(x); };
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
    line_info_->setText(qs("Zeigen Sie mit der Maus in das Diagramm, um die Kosten eines Wertes zu sehen."));
    line_layout->addWidget(line_info_);
    tabs_->addTab(line_page, qs("Verlauf über eine Eingabe"));

    // ---- map view
    auto* map_page = new QWidget;
    auto* map_layout = new QVBoxLayout(map_page);
    auto* axes = new QHBoxLayout;
    map_x_ = input_combo("mapX");
    map_y_ = input_combo("mapY");
    map_x_->setCurrentIndex(map_x_->findData(QStringLiteral("gi_bhd")));
    map_y_->setCurrentIndex(map_y_->findData(QStringLiteral("gi_hn")));
    axes->addWidget(new QLabel(qs("waagerecht:"), map_page));
    axes->addWidget(map_x_, 1);
    axes->addWidget(new QLabel(qs("senkrecht:"), map_page));
    axes->addWidget(map_y_, 1);
    map_layout->addLayout(axes);
    connect(map_x_, &QComboBox::currentIndexChanged, this, &SweepDialog::redraw_map);
    connect(map_y_, &QComboBox::currentIndexChanged, this, &SweepDialog::redraw_map);
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
    map_info_->setText(qs("Jede Zelle zeigt das günstigste geeignete System; der Kreis markiert den "
                          "aktuellen Bestand. Zeigen Sie mit der Maus auf eine Zelle, um ihre Kosten zu sehen."));
    map_layout->addWidget(map_info_);
    connect(map_, &CostMap::hovered, this, [this](const QString& text) {
        if (!text.isEmpty()) map_info_->setText(text);
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
    const RangeTexts t = default_range(state_, *line_input_, kLinePoints);
    from_->setText(qs(t.from));
    to_->setText(qs(t.to));
    step_->setText(qs(t.step));
    redraw_line();
}

void SweepDialog::add_series(QLineSeries* series, bool in_legend) {
    QChart* chart = view_->chart();
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes()) series->attachAxis(axis);
    if (!in_legend)
        for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

void SweepDialog::redraw_line() {
    QChart* chart = view_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    hover_line_ = nullptr;
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
    std::optional<SweepRange> r = make_range(*find_value(line_input_->name), from_->text().toStdString(),
                                             to_->text().toStdString(), step_->text().toStdString(), problem);
    if (!r) return refuse(shown(problem));
    if (r->count > kMaxLinePoints)
        return refuse(qs("Der Bereich ergibt " + std::to_string(r->count) + " Punkte; das Diagramm zeigt höchstens " +
                         std::to_string(kMaxLinePoints) + ". Bitte den Schritt vergrößern."));
    line_status_->hide();
    line_range_ = r;
    line_points_ = sweep_->line(*r);
    const Competition c = competition();

    // The cost axis reaches a little above the dearest competing sum, so
    // that the choice between the suitable systems fills the chart; the
    // figures of unsuitable systems may leave it at the top.
    double top = 0.0, top_any = 0.0;
    for (const PointCosts& p : line_points_) {
        if (!p.computed) continue;
        for (int k = 0; k < 6; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (c.excluded[i]) continue;
            const double v = competing_sum(p.sums, k, c.unmeasured);
            if (!std::isfinite(v) || v <= 0.0) continue;
            top_any = std::max(top_any, v);
            if (p.flags[i] != 0) top = std::max(top, v);
        }
    }
    if (top <= 0.0) top = std::min(top_any, 200.0);
    top = std::max(10.0, top * 1.1);

    const bool whole = find_value(line_input_->name)->type != ValueType::Double;
    const double x0 = r->from(), x1 = r->count > 1 ? r->last() : r->from() + 1.0;
    QAbstractAxis* xaxis = nullptr;
    if (!line_input_->classes.empty()) {
        auto* cat = new QCategoryAxis;
        cat->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        for (std::size_t k = 0; k < r->count; ++k)
            cat->append(qs(value_text(*line_input_, r->value(k))), r->value(k));
        cat->setRange(x0 - 0.15, x1 + 0.15);
        xaxis = cat;
    } else {
        auto* val = new QValueAxis;
        val->setRange(x0, x1);
        val->setTickType(QValueAxis::TicksDynamic);
        val->setTickAnchor(0.0);
        val->setTickInterval(nice_interval(x1 - x0, whole));
        val->setLabelFormat(whole ? QStringLiteral("%.0f") : QStringLiteral("%g"));
        val->setMinorTickCount(0);
        xaxis = val;
    }
    xaxis->setTitleText(qs(line_input_->label));
    auto* yaxis = new QValueAxis;
    yaxis->setRange(0.0, top);
    yaxis->applyNiceNumbers();
    yaxis->setLabelFormat(QStringLiteral("%.0f"));
    yaxis->setTitleText(qs("Kosten [Euro/Fm]"));
    chart->addAxis(xaxis, Qt::AlignBottom);
    chart->addAxis(yaxis, Qt::AlignLeft);
    y_max_ = yaxis->max();

    // Each system: solid where it suits, faint and dashed where it does not
    // (joined to the neighbouring suitable points), broken where the checks
    // refused the point.
    for (int k = 0; k < 6; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (c.excluded[i]) continue;
        const QColor colour = rgb(kSystemColours[i]);
        QColor faint = colour;
        faint.setAlpha(150);
        const QPen solid(colour, 2.5);
        QPen dashed(faint, 1.5, Qt::DashLine);
        auto state = [&](std::size_t n) {
            const PointCosts& p = line_points_[n];
            // A sum of 0 or less is no price (VI's harvester past BHD 86, V's
            // yarder for tiny pieces): the line breaks there.
            const double v = competing_sum(p.sums, k, c.unmeasured);
            if (!p.computed || !std::isfinite(v) || !(v > 0.0)) return 0;
            return p.flags[i] != 0 ? 1 : 2;
        };
        auto* legend = new QLineSeries;
        legend->setName(qs(system_legend(k, c.unmeasured)));
        legend->setPen(solid);
        add_series(legend, true);
        for (std::size_t a = 0; a < line_points_.size();) {
            const int st = state(a);
            std::size_t b = a + 1;
            while (b < line_points_.size() && state(b) == st) ++b;
            if (st != 0) {
                std::size_t lo = a, hi = b;  // [lo, hi)
                if (st == 2) {
                    if (lo > 0 && state(lo - 1) == 1) --lo;
                    if (hi < line_points_.size() && state(hi) == 1) ++hi;
                }
                auto* s = new QLineSeries;
                s->setPen(st == 1 ? solid : dashed);
                QList<QPointF> pts;
                pts.reserve(static_cast<qsizetype>(hi - lo));
                for (std::size_t n = lo; n < hi; ++n)
                    pts.append({r->value(n), competing_sum(line_points_[n].sums, k, c.unmeasured)});
                s->append(pts);
                add_series(s, false);
            }
            a = b;
        }
    }
    auto* unsuitable = new QLineSeries;
    unsuitable->setName(qs("gestrichelt: für diesen Wert ungeeignet"));
    unsuitable->setPen(QPen(QColor(0x80, 0x80, 0x80), 1.5, Qt::DashLine));
    add_series(unsuitable, true);

    // The stand's current value.
    const double current = current_value(state_, *line_input_);
    auto* marker = new QLineSeries;
    marker->setName(qs("aktueller Wert: " + value_with_word(*line_input_, current)));
    marker->setObjectName(QStringLiteral("currentValue"));
    marker->setPen(QPen(Qt::black, 1.5, Qt::DashDotLine));
    marker->append(current, 0.0);
    marker->append(current, y_max_);
    add_series(marker, true);

    hover_line_ = new QLineSeries;
    hover_line_->setObjectName(QStringLiteral("hoverLine"));
    hover_line_->setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    add_series(hover_line_, false);

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

void SweepDialog::redraw_map() {
    const SweepInput* ix = selected(map_x_);
    const SweepInput* iy = selected(map_y_);
    map_status_->hide();
    auto refuse = [this](const QString& text) {
        map_status_->setText(text);
        map_status_->show();
        map_->set_data({});
    };
    if (!sweep_) return refuse(setup_problem_);
    if (ix == nullptr || iy == nullptr) return;
    if (ix == iy) return refuse(qs("Bitte zwei verschiedene Eingaben wählen."));
    Problem problem;
    std::optional<SweepRange> x = default_sweep_range(state_, *ix, kMapCells, problem);
    std::optional<SweepRange> y = x ? default_sweep_range(state_, *iy, kMapCells, problem) : std::nullopt;
    if (!x || !y) return refuse(shown(problem));
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
    const QString file = ask_save_file(this, qs("Bild speichern"),
                                       line ? QStringLiteral("kostenverlauf.png") : QStringLiteral("kostenkarte.png"),
                                       qs("PNG-Bild (*.png);;SVG-Grafik (*.svg)"));
    if (file.isEmpty()) return;
    QWidget* source = line ? static_cast<QWidget*>(view_) : static_cast<QWidget*>(map_);
    const QSize size = source->size();
    auto paint = [&](QPainter& p) {
        if (line) view_->render(&p);
        else map_->paint(p, size);
    };
    // Drawn into memory first, then written as every file of the program is
    // written: whole or not at all, and never over a write-protected file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool ok = false;
    if (file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Kostenverlauf"));
        QPainter p(&svg);
        paint(p);
        ok = p.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            paint(p);
        }
        ok = image.save(&buffer, "PNG");
    }
    files::WriteFailure failure;
    ok = ok && files::atomic_write(std::filesystem::path(file.toStdWString()),
                                   std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                   &failure);
    if (!ok) {
        QString text = qs("Bild konnte nicht gespeichert werden!");
        if (!failure.reason.empty()) text += QLatin1Char('\n') + qs(files::describe(failure));
        message(this, QStringLiteral("Fehler"), text, MsgIcon::Error);
    }
}

void SweepDialog::paint_page(QPainter& p, const QRectF& page) const {
    const bool line = tabs_->currentIndex() == 0;
    draw::PicturePage what;
    what.title = QStringLiteral("Kostenverlauf");
    what.stand_name = stand_name_.toStdString();
    what.caption = line ? sentence_->text()
                        : qs("Jede Zelle zeigt das günstigste geeignete System; der Kreis markiert den "
                             "aktuellen Bestand.");
    const QRectF target = draw::draw_picture_page(p, page, what);
    if (target.isEmpty()) return;
    // The picture is laid out for a size of the page's proportions in
    // pixels of a 96 dpi screen, so that its texts come out on paper as
    // large as on a screen, then scaled onto the page in lines and texts.
    QWidget* source = line ? static_cast<QWidget*>(view_) : static_cast<QWidget*>(map_);
    const double paper_mm = page.width() > page.height() ? 297.0 : 210.0;
    const double target_mm = target.width() / page.width() * paper_mm;
    // The chart's legend beside the lines needs some 1000 pixels, or its
    // entries are cut short.
    const double least = line ? 1000.0 : static_cast<double>(source->minimumSizeHint().width());
    const double w = std::max(target_mm * 96.0 / 25.4, least);
    const QSizeF size(w, std::round(w * target.height() / target.width()));
    p.save();
    if (line) {
        QChart* chart = view_->chart();
        const QRectF shown = chart->geometry();
        chart->setGeometry(QRectF(QPointF(0.0, 0.0), size));
        if (chart->layout() != nullptr) chart->layout()->activate();
        chart->scene()->render(&p, target, QRectF(QPointF(0.0, 0.0), size), Qt::KeepAspectRatio);
        chart->setGeometry(shown);
        if (chart->layout() != nullptr) chart->layout()->activate();
    } else {
        p.translate(target.topLeft());
        p.scale(target.width() / size.width(), target.width() / size.width());
        p.setClipRect(QRectF(QPointF(0.0, 0.0), size));
        // The widget's font in its pixels: the printer's own resolution
        // would make the texts many times as large.
        QFont font = map_->font();
        font.setPixelSize(QFontInfo(map_->font()).pixelSize());
        p.setFont(font);
        map_->paint(p, size.toSize());
    }
    p.restore();
}

void SweepDialog::print_view() {
    QPrinter printer(QPrinter::HighResolution);
    // Across the paper: the chart and the map are wider than high.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    printer.setDocName(QStringLiteral("Kostenverlauf"));
    printer.setCreator(QStringLiteral("Forstrix"));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Druckvorschau: Kostenverlauf"));
    if (const QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        preview.resize(std::min(avail.width(), avail.height() * 5 / 4), avail.height() * 9 / 10);
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        QPainter p;
        if (!p.begin(target)) return;
        // The whole paper, whatever margins the printer keeps; the page keeps its own.
        const QRectF paper = target->pageLayout().fullRectPixels(target->logicalDpiX());
        const QRectF paint = target->pageLayout().paintRectPixels(target->logicalDpiX());
        p.translate(-paint.topLeft());
        paint_page(p, paper);
        p.end();
    });
    preview.exec();
}

void SweepDialog::export_table() {
    const bool line = tabs_->currentIndex() == 0;
    const QString file = ask_save_file(this, qs("Tabelle speichern"),
                                       line ? QStringLiteral("kostenverlauf.csv") : QStringLiteral("kostenkarte.csv"),
                                       qs("CSV-Tabelle (*.csv)"));
    if (file.isEmpty()) return;
    // As a German spreadsheet reads it: semicolons and decimal commas.
    std::string text;
    const Competition c = competition();
    if (line) {
        if (!line_range_) return;
        const SweepRange* heads[] = {&*line_range_};
        append_sweep_header(text, heads, ';');
        for (std::size_t k = 0; k < line_points_.size(); ++k) {
            const double at[] = {line_range_->value(k)};
            append_sweep_row(text, at, line_points_[k], c, ';', ',');
        }
    } else {
        const MapData& d = map_->data();
        if (d.cells.empty()) return;
        const SweepRange* heads[] = {&d.x, &d.y};
        append_sweep_header(text, heads, ';');
        for (std::size_t i = 0; i < d.x.count; ++i)
            for (std::size_t j = 0; j < d.y.count; ++j) {
                const double at[] = {d.x.value(i), d.y.value(j)};
                append_sweep_row(text, at, d.cells[i * d.y.count + j], c, ';', ',');
            }
    }
    files::WriteFailure failure;
    if (!files::atomic_write(std::filesystem::path(file.toStdWString()), text, &failure))
        message(this, QStringLiteral("Fehler"),
                qs("Tabelle konnte nicht gespeichert werden!") + QLatin1Char('\n') + qs(files::describe(failure)),
                MsgIcon::Error);
}

}  // namespace forstrix::ui

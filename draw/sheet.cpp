#include "draw/sheet.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>

#include "core/cost_inputs.h"
#include "core/decision.h"
#include "core/emissions.h"
#include "core/numtext.h"
#include "core/result_tables.h"
#include "core/suitability.h"
#include "draw/chart_geometry.h"
#include "draw/chart_paint.h"
#include "draw/page.h"
#include "draw/sheet_text.h"
#include "files/atomic_write.h"
#include "files/report.h"

namespace forstrix::draw {

using namespace paper;

namespace {

// The chart: 42 mm high across the text width. One chart unit is 0.118 mm,
// so the chart is 355 units high: enough that the bars of systems I and II
// and their texts stay apart, as in the results dialog's chart.
constexpr double kChartUnit = 0.118 * kMm;
constexpr double kChartHeight = 42.0 * kMm;
// The gaps between the blocks and the chart's height, tighter step by step,
// that keep a sheet on as many pages as it would need without the decision.
constexpr std::pair<double, double> kSqueezes[] = {
    {1.5 * kMm, kChartHeight}, {1.0 * kMm, kChartHeight}, {1.0 * kMm, 39.0 * kMm}, {1.0 * kMm, 36.0 * kMm}};

// Columns of a system table, from the left margin.
constexpr double kTimeLeft = kLeft + 45.0 * kMm, kTimeRight = kLeft + 56.0 * kMm;
constexpr double kUnitLeft = kLeft + 57.5 * kMm, kUnitRight = kLeft + 68.0 * kMm;
constexpr double kCostLeft = kLeft + 69.0 * kMm, kCostRight = kLeft + 80.0 * kMm;
constexpr double kEuroLeft = kLeft + 81.0 * kMm;
constexpr double kAssortmentLeft = kLeft + 94.0 * kMm;

// A block of the sheet draws itself at `top` (or only measures itself
// without a painter) and answers its height.
using Block = std::function<double(Painter, double top)>;

struct Placed {
    const Block* block;
    double top;
};

}  // namespace

struct ResultSheet::Layout {
    Fonts fonts;
    double chart_height = kChartHeight;
    double gap = kGap;  // between the blocks
    std::vector<Block> blocks;          // in the order of the sheet
    std::vector<std::vector<Placed>> pages;  // the blocks of each page with their tops
};

namespace {

double continued_head(Painter p, const Fonts& fonts, const std::string& name, double top) {
    QString text = QStringLiteral("Zeitbedarf und Kosten der Holzernte");
    if (!name.empty()) text += QStringLiteral(" – ") + qstr(name);
    text += QStringLiteral(" (Fortsetzung)");
    double y = top + paragraph(p, fonts.heading, kLeft, top, kWidth, text);
    y += 1.5 * kMm;
    rule(p, y);
    return y + 0.3 * kMm - top;
}

// The note, wrapped, in at most kNoteLines lines; a longer one ends in "…".
constexpr qsizetype kNoteLines = 3;

QStringList note_lines(const QString& note, const QFont& f, double width) {
    QStringList lines;
    for (const QString& paragraph_text : note.split(QLatin1Char('\n')))
        lines += wrap(paragraph_text.trimmed(), f, width);
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    if (lines.size() <= kNoteLines) return lines;
    lines.resize(kNoteLines);
    const QFontMetricsF fm(f);
    QString& last = lines.back();
    while (!last.isEmpty() && fm.horizontalAdvance(last + QStringLiteral(" …")) > width) last.chop(1);
    last = last.trimmed() + QStringLiteral(" …");
    return lines;
}

// The decision in its words under the head: the cheapest system in bold,
// the measure and the runner-up beneath, then the stand's note.
double decision(Painter p, const Fonts& fonts, const State& s, const std::string& note, double top) {
    const std::vector<std::string> lines = decision_lines(decide(s), s);
    double y = top;
    for (std::size_t i = 0; i < lines.size(); ++i)
        y += paragraph(p, i == 0 ? fonts.body_bold : fonts.body, kLeft, y, kWidth, qstr(lines[i]));
    const QStringList noted = note_lines(qstr(note), fonts.note, kWidth);
    if (!noted.isEmpty()) y += 0.8 * kMm;
    for (const QString& line : noted) {
        text_at(p, fonts.note, kLeft, y, line);
        y += line_height(fonts.note);
    }
    return y - top;
}

// The stand lines of the report under two headings: the stand on the left,
// the additional data of systems I, II and V on the right, each group under
// its system's title (as the stand dialog frames them).
double stand(Painter p, const Fonts& fonts, const State& s, double top) {
    const std::vector<files::ReportLine> lines = files::report_stand_lines(s);
    const std::vector<SystemResults>& systems = system_results();
    std::vector<Pair> left, right;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i < files::kFirstSystemILine) {
            left.push_back({qstr(lines[i].label), qstr(lines[i].value)});
            continue;
        }
        if (i == files::kFirstSystemILine) right.push_back({qstr(systems[0].title), {}, true});
        if (i == files::kFirstSystemIILine) right.push_back({qstr(systems[1].title), {}, true});
        if (i == files::kFirstSystemVLine) right.push_back({qstr(systems[4].title), {}, true});
        right.push_back({qstr(lines[i].label), qstr(lines[i].value)});
    }
    const double half = (kWidth - 6.0 * kMm) / 2.0;
    const PairColumn lc{kLeft, 52.0 * kMm, 54.0 * kMm, half - 54.0 * kMm};
    const PairColumn rc{kLeft + half + 6.0 * kMm, 52.0 * kMm, 54.0 * kMm, half - 54.0 * kMm};
    text_at(p, fonts.heading, lc.x, top, QStringLiteral("Bestandesdaten"));
    text_at(p, fonts.heading, rc.x, top, QStringLiteral("Zusatzdaten"));
    const double y = top + line_height(fonts.heading) + 0.5 * kMm;
    return y - top + std::max(pairs(p, fonts.body, fonts.body_bold, left, lc, y),
                              pairs(p, fonts.body, fonts.body_bold, right, rc, y));
}

double chart(Painter p, const Fonts& fonts, const State& s, double chart_height, double top) {
    if (p != nullptr) {
        const int width = static_cast<int>(kWidth / kChartUnit);
        const int height = static_cast<int>(chart_height / kChartUnit);
        // A chart squeezed for the decision keeps its proportions: its
        // texts shrink with it, so that the bars' texts stay apart.
        QFont font = fonts.chart;
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * chart_height / kChartHeight)));
        const ChartGeometry g = chart_geometry(chart_sums(s), s.flags(), width, height,
                                               measure_with(font, kChartUnit));
        ChartStyle style;
        style.origin = QPointF(kLeft, top);
        style.unit = kChartUnit;
        style.line_width = 0.2 * kMm;
        style.hatch_step = 1.1 * kMm / kChartUnit;
        paint_cost_chart(*p, g, font, style);
    }
    // Below the system axis, which ends 20 units above the chart's bottom,
    // there is nothing to draw.
    return chart_height - 20.0 * kChartUnit;
}

// A suitable system's table as the results dialog shows it: the caption, the
// column heads, a row per worker and machine, the sums with the assortment,
// the fuel and CO2 line, and the further lines given for it.
double system_table(Painter p, const Fonts& fonts, const State& s, int system,
                    const std::vector<std::string>& notes, double top) {
    const SystemResults& sys = system_results()[static_cast<std::size_t>(system)];
    double y = top;
    text_at(p, fonts.heading, kLeft, y, qstr(sys.title) + QStringLiteral(" - geeignet"));
    y += line_height(fonts.heading) + 0.3 * kMm;
    rule(p, y);
    y += 0.6 * kMm;

    const QFont& f = fonts.body;
    const double lh = line_height(f);
    text_at(p, f, kTimeLeft, y, QStringLiteral("Zeitbedarf:"), kGreyText);
    text_at(p, f, kCostLeft, y, QStringLiteral("Kosten:"), kGreyText);
    y += lh;
    auto number = [](double v) { return qstr(format_comma(v, 2)); };
    for (const ResultRow& r : sys.rows) {
        const double h = paragraph(p, f, kLeft, y, kTimeLeft - kLeft - 1.0 * kMm, qstr(r.label));
        text_right(p, f, kTimeRight, y, number(s.*r.time));
        text_at(p, f, kUnitLeft, y, qstr(r.unit));
        text_right(p, f, kCostRight, y, number(s.*r.cost));
        text_at(p, f, kEuroLeft, y, QStringLiteral("Euro/Fm"));
        y += h;
    }
    y += 0.4 * kMm;
    rule(p, y, kCostLeft, kEuroLeft + 10.5 * kMm);
    y += 0.6 * kMm;
    for (const ResultSum& sum : sys.sums) {
        text_right(p, f, kUnitRight, y, qstr(sum.label));
        text_right(p, fonts.body_bold, kCostRight, y, number(s.*sum.cost));
        text_at(p, f, kEuroLeft, y, QStringLiteral("Euro/Fm"));
        // The assortment a size smaller, so that the longest stays on one line.
        const double assortment_top = y + QFontMetricsF(f).ascent() - QFontMetricsF(fonts.small).ascent();
        const double h = paragraph(p, fonts.small, kAssortmentLeft, assortment_top,
                                   kLeft + kWidth - kAssortmentLeft, qstr(sum.assortment));
        y += std::max(lh, h);
    }
    std::vector<std::string> lines{fuel_text(s, system)};
    lines.insert(lines.end(), notes.begin(), notes.end());
    for (const std::string& line : lines) {
        y += 0.2 * kMm;
        y += paragraph(p, fonts.note, kLeft, y, kWidth, qstr(line));
    }
    return y - top;
}

// The unsuitable systems, one line each, the reasons given for it beneath.
double unsuitable(Painter p, const Fonts& fonts, const State& s, const SheetExtras& extras, double top) {
    double y = top;
    const std::vector<SystemResults>& systems = system_results();
    for (std::size_t i = 0; i < systems.size(); ++i) {
        if (s.*systems[i].flag != 0) continue;
        text_at(p, fonts.body_bold, kLeft, y, qstr(systems[i].title) + QStringLiteral(" - ungeeignet"),
                kGreyText);
        y += line_height(fonts.body_bold);
        const std::vector<std::string>& reasons = extras.reasons[i];
        if (reasons.empty()) continue;
        QString text;
        for (const std::string& r : reasons) text += (text.isEmpty() ? QString() : QStringLiteral("; ")) + qstr(r);
        y += paragraph(p, fonts.small, kLeft + 5.0 * kMm, y, kWidth - 5.0 * kMm, text, kGreyText);
        y += 0.5 * kMm;
    }
    return y - top;
}

// The basics of the result: wages, PNK and Zeitgrad as the cost dialog holds
// them, the eight machine-hour costs of the cost dialog, the farm tractor's
// computed cost, which system II uses, and the two emission factors.
double basics(Painter p, const Fonts& fonts, const State& s, double top) {
    auto value_text = [&s](const CostInput& in) {
        const double v = in.value != nullptr ? s.*in.value : static_cast<double>(s.*in.level);
        return qstr(in.whole ? format_whole(v) : format_comma(v, 2));
    };
    std::vector<Pair> wages{{QStringLiteral("Löhne und Zeitgrad"), {}, true}};
    for (int i = 0; i < kFirstMachineCostInput; ++i) {
        const CostInput& in = kCostInputs[static_cast<std::size_t>(i)];
        wages.push_back({qstr(in.label), value_text(in)});
    }
    std::vector<Pair> machines;
    for (int i = kFirstMachineCostInput; i < kCostInputCount; ++i) {
        const CostInput& in = kCostInputs[static_cast<std::size_t>(i)];
        machines.push_back({qstr(in.label), value_text(in)});
    }
    machines.push_back({QStringLiteral("Agrarschlepper (II) [Euro/MAS]"),
                        qstr(format_comma(s.gf_asb75, 2))});
    const std::size_t split = (machines.size() + 1) / 2;
    std::vector<Pair> m1{{QStringLiteral("Kosten ohne Lohn für:"), {}, true}};
    std::vector<Pair> m2{{QStringLiteral(" "), {}, true}};
    m1.insert(m1.end(), machines.begin(), machines.begin() + static_cast<std::ptrdiff_t>(split));
    m2.insert(m2.end(), machines.begin() + static_cast<std::ptrdiff_t>(split), machines.end());

    double y = top;
    text_at(p, fonts.heading, kLeft, y, QStringLiteral("Grundlagen der Rechnung"));
    y += line_height(fonts.heading) + 0.3 * kMm;
    // The wages' labels are the longest: their column is the widest.
    const double value = 11.0 * kMm;
    const std::array<double, 3> widths = {63.0 * kMm, 54.0 * kMm, 50.0 * kMm};
    double x = kLeft;
    double h = 0.0;
    for (std::size_t c = 0; c < 3; ++c) {
        const double label = widths[c] - value - 1.5 * kMm;
        const PairColumn col{x, label, label + 1.5 * kMm, value, true};
        const std::vector<Pair>& items = c == 0 ? wages : c == 1 ? m1 : m2;
        h = std::max(h, pairs(p, fonts.small, fonts.small_bold, items, col, y));
        x += widths[c] + 4.0 * kMm;
    }
    y += h + 0.6 * kMm;

    // The factors that turn the litres of the fuel lines into CO2.
    const QString factors = QStringLiteral("Emissionsfaktoren:");
    text_at(p, fonts.small_bold, kLeft, y, factors);
    QString list;
    for (const EmissionFactorField& f : kEmissionFactorFields)
        list += (list.isEmpty() ? QString() : QStringLiteral("; ")) + qstr(f.label) + QLatin1Char(' ') +
                qstr(format_comma(s.*f.value, 2));
    const double indent = QFontMetricsF(fonts.small_bold).horizontalAdvance(factors + QLatin1Char(' '));
    y += paragraph(p, fonts.small, kLeft + indent, y, kWidth - indent, list);
    return y - top;
}

}  // namespace

ResultSheet::ResultSheet(const State& state, SheetExtras extras, QDate date)
    : state_(state), extras_(std::move(extras)), date_(date) {
    // The reasons of the suitability rules where the caller gave none.
    for (std::size_t i = 0; i < extras_.reasons.size(); ++i) {
        if (!extras_.reasons[i].empty()) continue;
        for (const Reason& r : unsuitability_reasons(state_, static_cast<int>(i)))
            extras_.reasons[i].push_back(r.text);
    }
    auto layout = std::make_unique<Layout>();
    const Fonts& fonts = layout->fonts;
    const State& s = state_;
    const SheetExtras& x = extras_;

    layout->blocks.push_back(
        [&fonts, &s, &x](Painter p, double top) { return decision(p, fonts, s, x.note, top); });
    layout->blocks.push_back([&fonts, &s](Painter p, double top) { return stand(p, fonts, s, top); });
    const double& chart_height = layout->chart_height;
    layout->blocks.push_back([&fonts, &s, &chart_height](Painter p, double top) {
        return chart(p, fonts, s, chart_height, top);
    });
    const std::vector<SystemResults>& systems = system_results();
    for (std::size_t i = 0; i < systems.size(); ++i) {
        if (s.*systems[i].flag == 0) continue;
        const int system = static_cast<int>(i);
        const std::vector<std::string>* notes = &x.notes[i];
        layout->blocks.push_back([&fonts, &s, system, notes](Painter p, double top) {
            return system_table(p, fonts, s, system, *notes, top);
        });
    }
    if (s.g_sys1 == 0 || s.g_sys2 == 0 || s.g_sys3 == 0 || s.g_sys4 == 0 || s.g_sys5 == 0 || s.g_sys6 == 0)
        layout->blocks.push_back(
            [&fonts, &s, &x](Painter p, double top) { return unsuitable(p, fonts, s, x, top); });
    layout->blocks.push_back([&fonts, &s](Painter p, double top) { return basics(p, fonts, s, top); });

    // The blocks in order onto the pages, from block `first` on; a block
    // that does not fit on what is left of a page begins the next one.
    const double first_top = kTop + head(nullptr, fonts, x.stand_name, date_, kTop) + kGap;
    const double next_top = kTop + continued_head(nullptr, fonts, x.stand_name, kTop) + kGap;
    auto paginate = [&](std::size_t first) {
        std::vector<std::vector<Placed>> pages(1);
        double y = first_top;
        for (std::size_t i = first; i < layout->blocks.size(); ++i) {
            const Block& b = layout->blocks[i];
            const double h = b(nullptr, 0.0);
            if (y + h > kBodyBottom && !pages.back().empty()) {
                pages.emplace_back();
                y = next_top;
            }
            pages.back().push_back({&b, y});
            y += h + layout->gap;
        }
        return pages;
    };
    layout->pages = paginate(0);
    // The decision must not cost the sheet a page: the blocks move closer
    // together, then the chart gives up some of its height, as far as its
    // bars and their texts stay apart.
    const std::size_t without = paginate(1).size();
    for (const auto& [gap, chart] : kSqueezes) {
        if (layout->pages.size() <= without) break;
        layout->gap = gap;
        layout->chart_height = chart;
        layout->pages = paginate(0);
    }
    layout_ = std::move(layout);
}

ResultSheet::~ResultSheet() = default;

int ResultSheet::page_count() const { return static_cast<int>(layout_->pages.size()); }

void ResultSheet::draw_page(QPainter& p, const QRectF& page, int index) const {
    if (index < 0 || index >= page_count()) return;
    p.save();
    // The A4 paper scaled into the page, centred across.
    const double scale = std::min(page.width() / kPaperWidth, page.height() / kPaperHeight);
    p.translate(page.left() + (page.width() - kPaperWidth * scale) / 2.0, page.top());
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const Fonts& fonts = layout_->fonts;
    if (index == 0)
        head(&p, fonts, extras_.stand_name, date_, kTop);
    else
        continued_head(&p, fonts, extras_.stand_name, kTop);
    for (const Placed& placed : layout_->pages[static_cast<std::size_t>(index)])
        (*placed.block)(&p, placed.top);
    foot(&p, fonts, index, page_count());
    p.restore();
}

bool print_sheet(const ResultSheet& sheet, QPagedPaintDevice& device) {
    return print_pages(device, sheet.page_count(),
                       [&sheet](QPainter& p, const QRectF& paper, int index) { sheet.draw_page(p, paper, index); });
}

QByteArray sheet_pdf(const ResultSheet& sheet) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly)) return {};
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer.setResolution(1200);
        writer.setTitle(QStringLiteral("Zeitbedarf und Kosten der Holzernte"));
        writer.setCreator(QStringLiteral("Forstrix " FORSTRIX_VERSION));
        if (!print_sheet(sheet, writer)) return {};
    }
    return bytes;
}

files::Outcome write_sheet_pdf(const std::filesystem::path& path, const ResultSheet& sheet) {
    const QByteArray pdf = sheet_pdf(sheet);
    if (pdf.isEmpty()) return {files::Status::WriteFailed, kSheetNotSaved};
    files::WriteFailure failure;
    if (!files::atomic_write(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                             &failure))
        return {files::Status::WriteFailed, kSheetNotSaved, files::describe(failure)};
    return {};
}

}  // namespace forstrix::draw

#include "draw/plan_sheet.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/numtext.h"
#include "core/resources.h"
#include "core/systems.h"
#include "draw/page.h"
#include "draw/sheet_text.h"
#include "files/atomic_write.h"

namespace forstrix::draw {

using namespace paper;

QString grouped(double v, int decimals) {
    const std::string plain = format_comma(v, decimals);
    if (!std::isfinite(v)) return QString::fromStdString(plain);
    const std::size_t sign = plain.front() == '-' ? 1 : 0;
    const std::size_t end = std::min(plain.find(','), plain.size());
    std::string out = plain.substr(0, sign);
    for (std::size_t i = sign; i < end; ++i) {
        if (i > sign && (end - i) % 3 == 0) out += '.';
        out += plain[i];
    }
    out += plain.substr(end);
    return QString::fromStdString(out);
}

std::vector<TotalsLine> totals_lines(const plan::Totals& totals) {
    std::vector<TotalsLine> lines;
    lines.push_back({QStringLiteral("Plan gesamt"), totals.stands - totals.refused - totals.without_system,
                     totals.volume, totals.euro, totals.diesel_l, totals.petrol_l, totals.co2_kg});
    for (int k = 0; k < plan::kSystems; ++k) {
        const plan::SystemTotals& s = totals.systems[static_cast<std::size_t>(k)];
        lines.push_back({qstr(kSystemTitles[static_cast<std::size_t>(k)]), s.stands, s.volume, s.euro, s.diesel_l,
                         s.petrol_l, s.co2_kg});
    }
    return lines;
}

QStringList totals_headings() {
    return {QStringLiteral("Bestände"),    QStringLiteral("Hiebsmenge (EFm)"), QStringLiteral("Kosten (Euro)"),
            QStringLiteral("Euro/Fm"),      QStringLiteral("Diesel (l)"),       QStringLiteral("Benzin (l)"),
            QStringLiteral("CO2 (kg)")};
}

QStringList totals_cells(const TotalsLine& line) {
    if (line.stands == 0) return {QStringLiteral("0"), QString(), QString(), QString(), QString(), QString(), QString()};
    return {grouped(static_cast<double>(line.stands), 0), grouped(line.volume, 0), grouped(line.euro, 0),
            grouped(line.euro_fm(), 2),  grouped(line.diesel_l, 0), grouped(line.petrol_l, 0),
            grouped(line.co2_kg, 0)};
}

QString stands_summary(const plan::Totals& totals) {
    QString text = QStringLiteral("%1 %2").arg(grouped(static_cast<double>(totals.stands), 0),
                                               totals.stands == 1 ? QStringLiteral("Bestand") : QStringLiteral("Bestände"));
    QStringList apart;
    if (totals.refused > 0) apart << QStringLiteral("%1 fehlerhaft").arg(totals.refused);
    if (totals.without_system > 0) apart << QStringLiteral("%1 ohne geeignetes System").arg(totals.without_system);
    if (!apart.isEmpty()) text += QStringLiteral(", davon ") + apart.join(QStringLiteral(" und "));
    return text;
}

QStringList capacity_cells(const SheetCapacity& line) {
    const plan::ResourceInfo& info = plan::resources()[static_cast<std::size_t>(line.resource)];
    const QString unit = QLatin1Char(' ') + qstr(info.unit);
    const double missing = line.needed > line.available ? line.needed - line.available : 0.0;
    return {qstr(info.display),
            std::isfinite(line.available) ? grouped(line.available, 1) + unit : QStringLiteral("unbegrenzt"),
            grouped(line.needed, 1) + unit, missing > 0 ? grouped(missing, 1) + unit : QString()};
}

namespace {

// The paper across, in the sheet's units.
constexpr double kAcrossWidth = kPaperHeight;
constexpr double kAcrossHeight = kPaperWidth;
constexpr double kTextWidth = kAcrossWidth - kLeft - kRight;
constexpr double kBodyEnd = kAcrossHeight - kBottom - kFootHeight;

// The stand lines' columns: a right edge for figures, a left edge for texts.
struct StandColumns {
    double number_right = kLeft + 9.0 * kMm;
    double name_left = kLeft + 12.0 * kMm, name_width = 62.0 * kMm;
    double volume_right = kLeft + 97.0 * kMm;
    double system_centre = kLeft + 109.0 * kMm;
    double euro_fm_right = kLeft + 130.0 * kMm;
    double euro_right = kLeft + 153.0 * kMm;
    double co2_right = kLeft + 173.0 * kMm;
    double note_left = kLeft + 180.0 * kMm, note_width = kTextWidth - 180.0 * kMm;
};

// The totals' columns: the label, then the seven figures' right edges.
constexpr double kTotalsLabelWidth = 90.0 * kMm;
constexpr std::array<double, 7> kTotalsRight = {118.0, 142.0, 166.0, 190.0, 214.0, 238.0, 262.0};

struct Layout {
    double body_top = 0;
    double header_h = 0;  // the stand lines' header
    double row_h = 0;
    double totals_h = 0;
    int per_page = 1;
    int pages = 1;
};

double header_height(const Fonts& f) { return 2.0 * line_height(f.small_bold) + 1.2 * kMm; }

// The capacities' columns: the resource, then three right edges.
constexpr std::array<double, 3> kCapacityRight = {80.0, 110.0, 140.0};

double capacity_height(const Fonts& f, const PlanSheet& sheet, double row_h) {
    if (sheet.capacity.empty()) return 0.0;
    return kGap + line_height(f.heading) + 1.0 * kMm + line_height(f.small_bold) + 1.2 * kMm +
           static_cast<double>(sheet.capacity.size()) * row_h;
}

double totals_height(const Fonts& f, const PlanSheet& sheet, double row_h) {
    return line_height(f.heading) + 1.0 * kMm + header_height(f) + 7.0 * row_h + 1.0 * kMm + line_height(f.body) +
           capacity_height(f, sheet, row_h);
}

Layout layout(const PlanSheet& sheet) {
    const Fonts fonts;
    Layout l;
    l.body_top = kTop + head(nullptr, fonts, sheet.plan_name, sheet.date, kTop, QString(), kTextWidth) + kGap;
    l.header_h = header_height(fonts);
    l.row_h = line_height(fonts.body) + 0.9 * kMm;
    l.totals_h = totals_height(fonts, sheet, l.row_h);
    l.per_page = std::max(1, static_cast<int>((kBodyEnd - l.body_top - l.header_h) / l.row_h));
    const int n = static_cast<int>(sheet.lines.size());
    l.pages = std::max(1, (n + l.per_page - 1) / l.per_page);
    const int on_last = n - (l.pages - 1) * l.per_page;
    const double used = n == 0 ? 0.0 : l.header_h + on_last * l.row_h;
    if (l.body_top + used + kGap + l.totals_h > kBodyEnd) ++l.pages;  // the totals on a page of their own
    return l;
}

// Texts of a stand line: a refused stand keeps its name and says why.
void stand_line(QPainter& p, const Fonts& f, const StandColumns& c, double y, int number,
                const PlanSheetLine& line) {
    const QFontMetricsF fm(f.body);
    text_right(&p, f.body, c.number_right, y, QString::number(number), kGreyText);
    text_at(&p, f.body, c.name_left, y, fm.elidedText(line.name, Qt::ElideRight, c.name_width));
    if (line.computed) text_right(&p, f.body, c.volume_right, y, grouped(line.volume, 1));
    if (line.computed && line.chosen != plan::kNone) {
        const QString numeral = qstr(kSystemNumerals[static_cast<std::size_t>(line.chosen)]);
        text_at(&p, f.body, c.system_centre - fm.horizontalAdvance(numeral) / 2.0, y, numeral);
        text_right(&p, f.body, c.euro_fm_right, y, grouped(line.euro_fm, 2));
        text_right(&p, f.body, c.euro_right, y, grouped(line.euro, 0));
        text_right(&p, f.body, c.co2_right, y, grouped(line.co2_kg, 0));
    }
    const QFontMetricsF small(f.small);
    text_at(&p, f.small, c.note_left, y + (fm.ascent() - small.ascent()),
            small.elidedText(line.note, Qt::ElideRight, c.note_width), kGreyText);
}

void stand_header(QPainter& p, const Fonts& f, const StandColumns& c, double y) {
    const QFont& h = f.small_bold;
    const double lh = line_height(h);
    text_right(&p, h, c.number_right, y + lh, QStringLiteral("Nr."));
    text_at(&p, h, c.name_left, y + lh, QStringLiteral("Bestand"));
    text_right(&p, h, c.volume_right, y, QStringLiteral("Hiebsmenge"));
    text_right(&p, h, c.volume_right, y + lh, QStringLiteral("(EFm)"));
    const QFontMetricsF fm(h);
    const QString system = QStringLiteral("System");
    text_at(&p, h, c.system_centre - fm.horizontalAdvance(system) / 2.0, y + lh, system);
    text_right(&p, h, c.euro_fm_right, y + lh, QStringLiteral("Euro/Fm"));
    text_right(&p, h, c.euro_right, y, QStringLiteral("Kosten"));
    text_right(&p, h, c.euro_right, y + lh, QStringLiteral("(Euro)"));
    text_right(&p, h, c.co2_right, y, QStringLiteral("CO2"));
    text_right(&p, h, c.co2_right, y + lh, QStringLiteral("(kg)"));
    text_at(&p, h, c.note_left, y + lh, QStringLiteral("Bemerkung"));
    rule(&p, y + 2.0 * lh + 0.6 * kMm, kLeft, kLeft + kTextWidth);
}

void totals_block(QPainter& p, const Fonts& f, const PlanSheet& sheet, double y, double row_h) {
    text_at(&p, f.heading, kLeft, y, QStringLiteral("Summen"));
    y += line_height(f.heading) + 1.0 * kMm;
    const QFont& h = f.small_bold;
    const QStringList headings = totals_headings();
    for (qsizetype k = 0; k < headings.size(); ++k) {
        // "Hiebsmenge (EFm)" in two lines: the title above, the unit below.
        const QString& text = headings[k];
        const qsizetype open = text.indexOf(QLatin1Char('('));
        const double right = kLeft + kTotalsRight[static_cast<std::size_t>(k)] * kMm;
        if (open > 0) {
            text_right(&p, h, right, y, text.left(open).trimmed());
            text_right(&p, h, right, y + line_height(h), text.mid(open));
        } else {
            text_right(&p, h, right, y + line_height(h), text);
        }
    }
    y += header_height(f);
    rule(&p, y - 0.6 * kMm, kLeft, kLeft + kTextWidth);
    const std::vector<TotalsLine> lines = totals_lines(sheet.totals);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QFont& font = i == 0 ? f.body_bold : f.body;
        text_at(&p, font, kLeft, y,
                QFontMetricsF(font).elidedText(lines[i].label, Qt::ElideRight, kTotalsLabelWidth));
        const QStringList cells = totals_cells(lines[i]);
        for (qsizetype k = 0; k < cells.size(); ++k)
            text_right(&p, font, kLeft + kTotalsRight[static_cast<std::size_t>(k)] * kMm, y, cells[k]);
        y += row_h;
    }
    y += 1.0 * kMm;
    text_at(&p, f.body, kLeft, y, stands_summary(sheet.totals), kGreyText);
    if (sheet.capacity.empty()) return;

    y += line_height(f.body) + kGap;
    text_at(&p, f.heading, kLeft, y, QStringLiteral("Kapazitäten"));
    y += line_height(f.heading) + 1.0 * kMm;
    text_at(&p, h, kLeft, y, QStringLiteral("Ressource"));
    const QStringList titles{QStringLiteral("verfügbar"), QStringLiteral("benötigt"), QStringLiteral("fehlt")};
    for (qsizetype k = 0; k < titles.size(); ++k)
        text_right(&p, h, kLeft + kCapacityRight[static_cast<std::size_t>(k)] * kMm, y, titles[k]);
    y += line_height(h) + 1.2 * kMm;
    rule(&p, y - 0.6 * kMm, kLeft, kLeft + kCapacityRight.back() * kMm);
    for (const SheetCapacity& line : sheet.capacity) {
        const QStringList cells = capacity_cells(line);
        text_at(&p, f.body, kLeft, y, cells[0]);
        for (qsizetype k = 1; k < cells.size(); ++k)
            text_right(&p, k == 3 ? f.body_bold : f.body,
                       kLeft + kCapacityRight[static_cast<std::size_t>(k - 1)] * kMm, y, cells[k]);
        y += row_h;
    }
}

}  // namespace

int plan_sheet_pages(const PlanSheet& sheet) { return layout(sheet).pages; }

void draw_plan_page(QPainter& p, const QRectF& page, const PlanSheet& sheet, int index) {
    const Layout l = layout(sheet);
    begin_paper(p, page, kAcrossWidth, kAcrossHeight);
    const Fonts fonts;
    head(&p, fonts, sheet.plan_name, sheet.date, kTop, QStringLiteral("Hiebsplan"), kTextWidth);
    foot(&p, fonts, index, l.pages, kAcrossHeight, kTextWidth);

    const StandColumns columns;
    const int n = static_cast<int>(sheet.lines.size());
    const int first = index * l.per_page;
    const int last = std::min(n, first + l.per_page);
    double y = l.body_top;
    if (first < n) {
        stand_header(p, fonts, columns, y);
        y += l.header_h;
        for (int i = first; i < last; ++i) {
            // Every other line on a faint ground, so that a line is followed across.
            if ((i - first) % 2 == 1)
                p.fillRect(QRectF(kLeft, y - 0.45 * kMm, kTextWidth, l.row_h), QColor(243, 243, 243));
            stand_line(p, fonts, columns, y, i + 1, sheet.lines[static_cast<std::size_t>(i)]);
            y += l.row_h;
        }
    }
    if (index == l.pages - 1) totals_block(p, fonts, sheet, first < n ? y + kGap : l.body_top, l.row_h);
    p.restore();
}

bool print_plan_sheet(const PlanSheet& sheet, QPagedPaintDevice& device) {
    return print_pages(device, plan_sheet_pages(sheet), [&sheet](QPainter& p, const QRectF& paper, int index) {
        draw_plan_page(p, paper, sheet, index);
    });
}

QByteArray plan_sheet_pdf(const PlanSheet& sheet) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly)) return {};
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        writer.setResolution(600);
        writer.setTitle(QStringLiteral("Hiebsplan ") + qstr(sheet.plan_name));
        writer.setCreator(QStringLiteral("Forstrix " FORSTRIX_VERSION));
        if (!print_plan_sheet(sheet, writer)) return {};
    }
    return bytes;
}

files::Outcome write_plan_sheet_pdf(const std::filesystem::path& path, const PlanSheet& sheet) {
    const QByteArray pdf = plan_sheet_pdf(sheet);
    if (pdf.isEmpty()) return {files::Status::WriteFailed, kPlanSheetNotSaved};
    files::WriteFailure failure;
    if (!files::atomic_write(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())), &failure))
        return {files::Status::WriteFailed, kPlanSheetNotSaved, files::describe(failure)};
    return {};
}

}  // namespace forstrix::draw

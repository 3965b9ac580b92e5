// The harvest plan on paper: A4 across, the program's head and foot on
// every page, one line per stand (name, Hiebsmenge, chosen system, Euro/Fm,
// Euro, CO2) under a header that every page repeats, and at the end the
// totals of the plan and of each system. The plan window shows the same
// totals in the same words.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QByteArray>

#include <QDate>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "core/plan.h"
#include "files/basics_file.h"  // Outcome

class QPagedPaintDevice;
class QPainter;

namespace forstrix::draw {

// A number with a point between the thousands and a decimal comma, as the
// plan states Hiebsmenge, Euro and litres: "12.345,6"; "---" when not finite.
QString grouped(double v, int decimals);

// One line of the totals: the whole plan or one system.
struct TotalsLine {
    QString label;  // "Plan gesamt", "I) Konventionelle Holzernte", ...
    long stands = 0;
    double volume = 0, euro = 0, diesel_l = 0, petrol_l = 0, co2_kg = 0;
    double euro_fm() const { return volume > 0 ? euro / volume : 0.0; }
};
// The plan's line, then the six systems' lines.
std::vector<TotalsLine> totals_lines(const plan::Totals& totals);
// The titles of the totals' figures, in the order of a line's cells.
QStringList totals_headings();
// A line's cells in words, as headed by totals_headings().
QStringList totals_cells(const TotalsLine& line);
// "120 Bestände, davon 3 fehlerhaft und 5 ohne geeignetes System".
QString stands_summary(const plan::Totals& totals);

struct PlanSheetLine {
    QString name;
    bool computed = false;  // false: refused, `note` says why
    double volume = 0;
    int chosen = plan::kNone;
    double euro_fm = 0, euro = 0, co2_kg = 0;
    QString note;
};

// One crew or machine kind against its capacity (0..6 as core/resources.h
// counts them; hours in its unit; `available` not finite: unlimited).
struct SheetCapacity {
    int resource = 0;
    double available = 0, needed = 0;
};

struct PlanSheet {
    std::string plan_name;  // the file's base name
    QDate date = QDate::currentDate();
    std::vector<PlanSheetLine> lines;
    plan::Totals totals;
    // After the totals, when the plan has capacities: each resource with
    // its hours verfügbar, benötigt and what fehlt.
    std::vector<SheetCapacity> capacity;
};
// A capacity line's cells: resource, verfügbar, benötigt, fehlt
// ("Harvester", "2.000,0 MAS", "2.320,5 MAS", "320,5 MAS"; "unbegrenzt";
// nothing missing: empty).
QStringList capacity_cells(const SheetCapacity& line);

// The number of pages the sheet takes.
int plan_sheet_pages(const PlanSheet& sheet);
// Draws page `index` onto `page` (the whole paper in the painter's
// coordinates, across).
void draw_plan_page(QPainter& p, const QRectF& page, const PlanSheet& sheet, int index);

// Every page onto a printer or PDF writer (its paper across); false when the
// device cannot be painted on.
bool print_plan_sheet(const PlanSheet& sheet, QPagedPaintDevice& device);
// The sheet as a PDF file, fonts embedded; empty when it could not be made.
QByteArray plan_sheet_pdf(const PlanSheet& sheet);
inline constexpr const char* kPlanSheetNotSaved = "Hiebsplan konnte nicht als PDF gespeichert werden!";
// plan_sheet_pdf through the one atomic writer.
files::Outcome write_plan_sheet_pdf(const std::filesystem::path& path, const PlanSheet& sheet);

}  // namespace forstrix::draw

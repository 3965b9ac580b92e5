// The result sheet: one A4 page (two at most) that holds the whole decision
// for a stand, for the printer, the print preview and the PDF alike.
//
//   head      "Zeitbedarf und Kosten der Holzernte", the date, the stand's name
//   decision  the cheapest suitable system, the cost, fuel and CO2 of the
//             whole measure, the runner-up (core/decision.h); the note
//   stand     the stand lines of the report in two columns (the stand; the
//             additional data of systems I, II and V)
//   chart     the cost chart, in the geometry of the results dialog
//   systems   per suitable system its table as the results dialog shows it,
//             its fuel and CO2 line and any further lines given for it; per
//             unsuitable system one line "... - ungeeignet" with its reasons
//   basics    wages, PNK, Zeitgrad, the machine-hour costs used and the
//             emission factors
//   foot      "Alle Angaben ohne Gewähr", program and version, page number
//
// Everything is laid out in millimetres of the paper, from the page rectangle
// the caller passes, never in screen pixels; texts stay texts (a PDF viewer
// can search and copy them) and the chart is drawn in lines.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QRectF>
#include <QString>

#include "core/state.h"
#include "files/basics_file.h"

class QPainter;
class QPagedPaintDevice;

namespace forstrix::draw {

// What the sheet shows besides the computed state. Every part may be empty.
struct SheetExtras {
    // The stand's name, printed under the title (no line when empty).
    std::string stand_name;
    // The stand's note, printed under the decision: at most three lines,
    // the third ending in "…" when the note is longer.
    std::string note;
    // Per system I..VI, why it does not suit the stand: one short German
    // text per failing condition, printed under its "ungeeignet" line. Left
    // empty, the sheet lists the reasons the suitability rules give for the
    // state's stand (core/suitability.h).
    std::array<std::vector<std::string>, 6> reasons;
    // Per system I..VI, further lines printed under the sums and the fuel
    // line of a suitable system.
    std::array<std::vector<std::string>, 6> notes;
};

class ResultSheet {
public:
    // `state` holds the results of the time-and-cost model; the sheet keeps
    // its own copy. `date` is printed in the head.
    explicit ResultSheet(const State& state, SheetExtras extras = {},
                         QDate date = QDate::currentDate());
    ~ResultSheet();
    ResultSheet(const ResultSheet&) = delete;
    ResultSheet& operator=(const ResultSheet&) = delete;

    int page_count() const;
    // Draws page `index` (0-based) of the sheet onto `page`, the whole
    // paper's rectangle in the painter's coordinates. A page of another
    // shape than A4 gets the A4 page scaled to fit, centred across.
    void draw_page(QPainter& p, const QRectF& page, int index) const;

    struct Layout;  // the blocks of the sheet and their places on the pages

private:
    State state_;
    SheetExtras extras_;
    QDate date_;
    std::unique_ptr<const Layout> layout_;
};

// Every page onto a printer or a PDF writer, a new page between them; the
// paper is the device's full page. false when the device cannot be painted on.
bool print_sheet(const ResultSheet& sheet, QPagedPaintDevice& device);

// The sheet as a complete PDF file, A4 portrait, fonts embedded; empty when
// it could not be made.
QByteArray sheet_pdf(const ResultSheet& sheet);

inline constexpr const char* kSheetFileName = "erg.pdf";
inline constexpr const char* kSheetNotSaved = "Ergebnisblatt konnte nicht gespeichert werden!";

// Writes sheet_pdf(sheet) with the files library's atomic writer: made in
// memory first, then replacing the file at once, so a failed write leaves
// the previous file as it was (a write-protected file is refused). On
// failure WriteFailed with kSheetNotSaved and, on a second line, the reason
// and the path.
files::Outcome write_sheet_pdf(const std::filesystem::path& path, const ResultSheet& sheet);

}  // namespace forstrix::draw

// The text of the printed pages: the paper and its margins, the fonts,
// texts placed and wrapped in millimetres, and the head and foot every page
// of the program carries. The result sheet and the picture page are laid
// out with these, so their pages look alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QColor>
#include <QDate>
#include <QFont>
#include <QString>
#include <QStringList>

class QPainter;

namespace forstrix::draw::paper {

// The sheet is laid out in hundredths of a millimetre of the A4 paper; the
// painter is scaled from the caller's page rectangle to these units. Fonts
// are sized in the same units, so the sheet looks alike on every device.
inline constexpr double kMm = 100.0;
inline constexpr double kPaperWidth = 210.0 * kMm;
inline constexpr double kPaperHeight = 297.0 * kMm;
// A left margin wide enough to punch and file the sheet.
inline constexpr double kLeft = 20.0 * kMm;
inline constexpr double kRight = 15.0 * kMm;
inline constexpr double kTop = 10.0 * kMm;
inline constexpr double kBottom = 10.0 * kMm;
inline constexpr double kWidth = kPaperWidth - kLeft - kRight;
inline constexpr double kFootHeight = 6.5 * kMm;  // the foot's rule and line above the bottom margin
inline constexpr double kBodyBottom = kPaperHeight - kBottom - kFootHeight;
inline constexpr double kGap = 2.5 * kMm;  // between the blocks of a page

inline const QColor kRuleColour(150, 150, 150);
inline const QColor kGreyText(96, 96, 96);

QString qstr(std::string_view utf8);

// A font of `points` in the sheet's units.
QFont make_font(double points, bool bold = false, bool italic = false);

struct Fonts {
    QFont title = make_font(14.0, true);
    QFont name = make_font(11.0, true);
    QFont heading = make_font(9.0, true);
    QFont body = make_font(7.5);
    QFont body_bold = make_font(7.5, true);
    QFont small = make_font(7.0);
    QFont small_bold = make_font(7.0, true);
    QFont note = make_font(7.0, false, true);
    QFont chart = make_font(6.0);
};

double line_height(const QFont& f);

// A painter that may be absent: the blocks measure themselves by drawing
// without one, so that measuring and drawing cannot disagree.
using Painter = QPainter*;

// `text` with its top at `top`, from x or ending at `right`.
void text_at(Painter p, const QFont& f, double x, double top, const QString& text,
             const QColor& colour = Qt::black);
void text_right(Painter p, const QFont& f, double right, double top, const QString& text,
                const QColor& colour = Qt::black);
// A thin grey line across the text width, or from x1 to x2.
void rule(Painter p, double top, double x1 = kLeft, double x2 = kLeft + kWidth);

// Words of a text for wrapping: at spaces, and after a slash of a word that
// is too long by itself ("stark abholzig/sehr kurzschäftig").
QStringList wrap(const QString& text, const QFont& f, double width);

// Draws the lines of a wrapped text; returns the height taken.
double paragraph(Painter p, const QFont& f, double x, double top, double width, const QString& text,
                 const QColor& colour = Qt::black);

// A column of label and value pairs, each wrapped in its own width, and
// sub-headings between them.
struct Pair {
    QString label;
    QString value;
    bool heading = false;
};

struct PairColumn {
    double x = 0.0;
    double label_width = 0.0;
    double value_left = 0.0;  // from x
    double value_width = 0.0;
    bool numbers = false;     // values right-aligned, so that the decimal commas line up
};

// Returns the height taken.
double pairs(Painter p, const QFont& f, const QFont& heading, const std::vector<Pair>& items,
             const PairColumn& col, double top);

// The head of a page: the title, the date at the right margin, the stand's
// name under them, a rule; returns its height. `width` is the text width of
// the paper, upright or across.
double head(Painter p, const Fonts& fonts, const std::string& name, const QDate& date, double top,
            const QString& title = QStringLiteral("Zeitbedarf und Kosten der Holzernte"),
            double width = kWidth);

// The foot of page `page` (0-based) of `pages`: "Alle Angaben ohne Gewähr",
// the program and its version, the page number.
void foot(Painter p, const Fonts& fonts, int page, int pages, double paper_height = kPaperHeight,
          double width = kWidth);

}  // namespace forstrix::draw::paper

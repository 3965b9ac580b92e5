#include "draw/sheet_text.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPointF>

namespace forstrix::draw::paper {

QString qstr(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont make_font(double points, bool bold, bool italic) {
    QFont f(QStringLiteral("DejaVu Sans"));
    // Without shaping no ligatures: "fl" stays two letters, so the text of a
    // PDF is found and copied as it reads.
    f.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    f.setPixelSize(static_cast<int>(std::lround(points * 25.4 / 72.0 * kMm)));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

double line_height(const QFont& f) { return QFontMetricsF(f).lineSpacing(); }

void text_at(Painter p, const QFont& f, double x, double top, const QString& text,
             const QColor& colour) {
    if (p == nullptr) return;
    p->setFont(f);
    p->setPen(colour);
    p->drawText(QPointF(x, top + QFontMetricsF(f).ascent()), text);
}

void text_right(Painter p, const QFont& f, double right, double top, const QString& text,
                const QColor& colour) {
    text_at(p, f, right - QFontMetricsF(f).horizontalAdvance(text), top, text, colour);
}

void rule(Painter p, double top, double x1, double x2) {
    if (p == nullptr) return;
    p->setPen(QPen(kRuleColour, 0.2 * kMm));
    p->drawLine(QPointF(x1, top), QPointF(x2, top));
}

QStringList wrap(const QString& text, const QFont& f, double width) {
    const QFontMetricsF fm(f);
    QStringList pieces;  // each with its leading space, if any
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString lead = pieces.isEmpty() ? QString() : QStringLiteral(" ");
        if (fm.horizontalAdvance(word) <= width || !word.contains(QLatin1Char('/'))) {
            pieces << lead + word;
            continue;
        }
        const QStringList parts = word.split(QLatin1Char('/'));
        for (qsizetype i = 0; i < parts.size(); ++i)
            pieces << (i == 0 ? lead : QString()) + parts[i] +
                          (i + 1 < parts.size() ? QStringLiteral("/") : QString());
    }
    QStringList lines;
    QString line;
    for (const QString& piece : pieces) {
        const QString candidate = line + piece;
        if (line.isEmpty() || fm.horizontalAdvance(candidate) <= width) {
            line = line.isEmpty() ? piece.trimmed() : candidate;
        } else {
            lines << line;
            line = piece.trimmed();
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

double paragraph(Painter p, const QFont& f, double x, double top, double width, const QString& text,
                 const QColor& colour) {
    const double lh = line_height(f);
    const QStringList lines = wrap(text, f, width);
    for (qsizetype i = 0; i < lines.size(); ++i)
        text_at(p, f, x, top + static_cast<double>(i) * lh, lines[i], colour);
    return static_cast<double>(lines.size()) * lh;
}

double pairs(Painter p, const QFont& f, const QFont& heading, const std::vector<Pair>& items,
             const PairColumn& col, double top) {
    double y = top;
    for (const Pair& item : items) {
        if (item.heading) {
            if (y > top) y += 0.8 * kMm;
            text_at(p, heading, col.x, y, item.label);
            y += line_height(heading);
            continue;
        }
        const double h1 = paragraph(p, f, col.x, y, col.label_width, item.label);
        double h2 = line_height(f);
        if (col.numbers)
            text_right(p, f, col.x + col.value_left + col.value_width, y, item.value);
        else
            h2 = paragraph(p, f, col.x + col.value_left, y, col.value_width, item.value);
        y += std::max(h1, h2);
    }
    return y - top;
}

double head(Painter p, const Fonts& fonts, const std::string& name, const QDate& date, double top,
            const QString& title, double width) {
    double y = top;
    text_at(p, fonts.title, kLeft, y, title);
    // The date on the title's baseline, at the right margin.
    const double baseline = y + QFontMetricsF(fonts.title).ascent();
    text_right(p, fonts.body, kLeft + width, baseline - QFontMetricsF(fonts.body).ascent(),
               date.toString(QStringLiteral("dd.MM.yyyy")));
    y += line_height(fonts.title);
    if (!name.empty()) {
        y += 0.5 * kMm;
        y += paragraph(p, fonts.name, kLeft, y, width, qstr(name));
    }
    y += 1.5 * kMm;
    rule(p, y, kLeft, kLeft + width);
    return y + 0.3 * kMm - top;
}

void foot(Painter p, const Fonts& fonts, int page, int pages, double paper_height, double width) {
    const double top = paper_height - kBottom - line_height(fonts.small);
    rule(p, top - 1.5 * kMm, kLeft, kLeft + width);
    text_at(p, fonts.small, kLeft, top, QStringLiteral("Alle Angaben ohne Gewähr"));
    const QString program = QStringLiteral("Forstrix " FORSTRIX_VERSION);
    const double w = QFontMetricsF(fonts.small).horizontalAdvance(program);
    text_at(p, fonts.small, kLeft + (width - w) / 2.0, top, program);
    text_right(p, fonts.small, kLeft + width, top,
               QStringLiteral("Seite %1 von %2").arg(page + 1).arg(pages));
}

}  // namespace forstrix::draw::paper

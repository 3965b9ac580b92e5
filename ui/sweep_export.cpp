#include "ui/sweep_export.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include <QBuffer>
#include <QByteArray>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>

#include "files/atomic_write.h"
#include "ui/cost_map.h"
#include "ui/fields.h"
#include "ui/file_path.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

// `bytes` into `file`, confirmed with the full path; false after saying
// why not. `what` names the export: "Bild" or "Tabelle".
bool write_export(QWidget* parent, const QString& file, std::string_view bytes, const QString& what) {
    files::WriteFailure failure;
    if (files::atomic_write(fs_path(file), bytes, &failure)) {
        message(parent, QStringLiteral("Meldung"),
                QStringLiteral("%1 unter \"%2\" gespeichert!").arg(what, full_path(file)), MsgIcon::Information);
        return true;
    }
    message(parent, QStringLiteral("Fehler"),
            QStringLiteral("%1 konnte nicht gespeichert werden!\n").arg(what) + qs(files::describe(failure)),
            MsgIcon::Error);
    return false;
}

}  // namespace

QString ask_export_file(QWidget* parent, const QString& title, bool line, const char* extension,
                        const QString& filter) {
    const QString name = (line ? QStringLiteral("kostenverlauf.") : QStringLiteral("kostenkarte.")) +
                         QString::fromLatin1(extension);
    return ask_save_file(parent, title, name, filter);
}

void save_picture(QWidget* parent, const QString& file, QSize size, const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Kostenverlauf"));
        QPainter p(&svg);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        paint(p);
        drawn = p.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            // Smooth lines and texts, as the window shows them.
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            paint(p);
        }
        drawn = image.save(&buffer, "PNG");
    }
    const QString what = QStringLiteral("Bild");
    if (!drawn) {
        message(parent, QStringLiteral("Fehler"), what + QStringLiteral(" konnte nicht gespeichert werden!"),
                MsgIcon::Error);
        return;
    }
    write_export(parent, file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), what);
}

namespace {
constexpr int kNotesMargin = 8;
constexpr int kNotesFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}  // namespace

int notes_height(const QString& notes, const QFont& font, int width) {
    if (notes.isEmpty()) return 0;
    const QRect r = QFontMetrics(font).boundingRect(QRect(0, 0, width - 2 * kNotesMargin, 1 << 20), kNotesFlags, notes);
    return r.height() + 2 * kNotesMargin;
}

void paint_notes(QPainter& p, const QString& notes, const QFont& font, int top, int width) {
    if (notes.isEmpty()) return;
    p.save();
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(kNotesMargin, top + kNotesMargin, width - 2 * kNotesMargin, 1 << 20), kNotesFlags, notes);
    p.restore();
}

std::string line_table(const std::string& head, const SweepInput& input, const SweepRange& range,
                       std::span<const PointCosts> points, const Competition& c) {
    std::string text = head;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const std::pair<const SweepInput*, double> at[] = {{&input, range.value(k)}};
        text += table_row(at, points[k], c);
    }
    return text;
}

std::string map_table(const std::string& head, const MapData& map, const Competition& c) {
    std::string text = head;
    for (std::size_t i = 0; i < map.x.count; ++i)
        for (std::size_t j = 0; j < map.y.count; ++j) {
            const std::pair<const SweepInput*, double> at[] = {{map.in_x, map.x.value(i)}, {map.in_y, map.y.value(j)}};
            text += table_row(at, map.cells[i * map.y.count + j], c);
        }
    return text;
}

void save_table(QWidget* parent, const QString& file, const std::string& text) {
    write_export(parent, file, text, QStringLiteral("Tabelle"));
}

void paint_view_page(QPainter& p, const QRectF& page, const draw::PicturePage& what, QChart* chart,
                     const CostMap& map) {
    const QRectF target = draw::draw_picture_page(p, page, what);
    if (target.isEmpty()) return;
    // The picture is laid out for a size of the page's proportions in
    // pixels of a 96 dpi screen, so that its texts come out on paper as
    // large as on a screen, then scaled onto the page in lines and texts.
    const double paper_mm = page.width() > page.height() ? 297.0 : 210.0;
    const double target_mm = target.width() / page.width() * paper_mm;
    // The chart's legend beside the lines needs some 1000 pixels, or its
    // entries are cut short.
    const double least = chart != nullptr ? 1000.0 : static_cast<double>(map.minimumSizeHint().width());
    const double w = std::max(target_mm * 96.0 / 25.4, least);
    const QSizeF size(w, std::round(w * target.height() / target.width()));
    p.save();
    if (chart != nullptr) {
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
        QFont font = map.font();
        font.setPixelSize(QFontInfo(map.font()).pixelSize());
        p.setFont(font);
        map.paint(p, size.toSize());
    }
    p.restore();
}

}  // namespace forstrix::ui

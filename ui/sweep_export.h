// What leaves the Kostenverlauf window: the picture of a view as PNG or
// SVG, the points as a CSV table for a German spreadsheet, and the view on
// a printed page in the result sheet's manner.
#pragma once

#include <functional>
#include <span>
#include <string>

#include <QSize>
#include <QString>

#include "core/sweep.h"
#include "ui/sweep_view.h"
#include "draw/page.h"

class QFont;
class QPainter;
class QRectF;
class QWidget;

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace forstrix::ui {

class CostMap;
struct MapData;

// Asks for the file to save to, proposing "kostenverlauf.<extension>" for
// the line view and "kostenkarte.<extension>" for the map; empty when the
// user cancelled.
QString ask_export_file(QWidget* parent, const QString& title, bool line, const char* extension,
                        const QString& filter);

// What `paint` draws on `size`, as an SVG file when the name ends in
// ".svg", else as PNG. Drawn into memory first, then written as every file
// of the program is written: whole or not at all, and never over a
// write-protected file. A failure is said in a message.
void save_picture(QWidget* parent, const QString& file, QSize size, const std::function<void(QPainter&)>& paint);

// What an exported picture says under the view (the stand, the inputs
// held fixed), wrapped to `width` in `font`: its height, and its drawing
// with its top at `top`.
int notes_height(const QString& notes, const QFont& font, int width);
void paint_notes(QPainter& p, const QString& notes, const QFont& font, int top, int width);

// The points of the line over `input` or the cells of the map under the
// head of the table (table_head): semicolons and decimal commas, as a
// German spreadsheet reads them.
std::string line_table(const std::string& head, const SweepInput& input, const SweepRange& range,
                       std::span<const PointCosts> points, const Competition& c);
std::string map_table(const std::string& head, const MapData& map, const Competition& c);
// Written whole or not at all; a failure is said in a message.
void save_table(QWidget* parent, const QString& file, const std::string& text);

// The view on one page: the head and caption of `what`, the picture of the
// line chart (`chart`) or else of the map. `page` is the whole paper in the
// painter's coordinates.
void paint_view_page(QPainter& p, const QRectF& page, const draw::PicturePage& what, QChart* chart,
                     const CostMap& map);

}  // namespace forstrix::ui

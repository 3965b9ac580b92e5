// Pages of the program on paper: a page in the result sheet's manner
// around a picture, and the pages of a printer or PDF writer filled by one
// drawing function, so that the preview, the printer and a PDF show the same.
#pragma once

#include <functional>
#include <string>

#include <QDate>
#include <QRectF>
#include <QString>
#include <QTransform>

class QPainter;
class QPagedPaintDevice;

namespace forstrix::draw {

// A page in the sheet's manner around a picture (a chart, a map): the head
// with `title`, the date and the stand's name, the sheet's foot, and the
// caption in words at the bottom of the body. The paper is A4, upright or
// across as `page` (the whole paper in the painter's coordinates) is taller
// or wider. Returns the rectangle left for the picture, in the painter's
// coordinates, for the caller to draw into.
struct PicturePage {
    QString title;
    std::string stand_name;
    QDate date = QDate::currentDate();
    QString caption;
};
QRectF draw_picture_page(QPainter& p, const QRectF& page, const PicturePage& what);

// Sets the painter up to draw in millimetres on paper `paper_w` × `paper_h`
// shown in `page` (the paper scaled to fit, centred across, at the top),
// with smooth lines and text. Saves the painter: the caller restores it.
// Returns the mapping from millimetres to the painter's coordinates.
QTransform begin_paper(QPainter& p, const QRectF& page, double paper_w, double paper_h);

// `pages` pages onto a printer or a PDF writer, a new page between them:
// `draw` paints page `index` onto `paper`, the whole paper in the painter's
// coordinates, whatever margins the device keeps. false when the device
// cannot be painted on.
bool print_pages(QPagedPaintDevice& device, int pages,
                 const std::function<void(QPainter& p, const QRectF& paper, int index)>& draw);

}  // namespace forstrix::draw

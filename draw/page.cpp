#include "draw/page.h"

#include <algorithm>

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTransform>

#include "draw/sheet_text.h"

namespace forstrix::draw {

using namespace paper;

QTransform begin_paper(QPainter& p, const QRectF& page, double paper_w, double paper_h) {
    const double scale = std::min(page.width() / paper_w, page.height() / paper_h);
    QTransform to_page;
    to_page.translate(page.left() + (page.width() - paper_w * scale) / 2.0, page.top());
    to_page.scale(scale, scale);
    p.save();
    p.setTransform(to_page, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    return to_page;
}

QRectF draw_picture_page(QPainter& p, const QRectF& page, const PicturePage& what) {
    // A4 upright or across, as the page is taller or wider.
    const bool across = page.width() > page.height();
    const double paper_w = across ? kPaperHeight : kPaperWidth;
    const double paper_h = across ? kPaperWidth : kPaperHeight;
    const double width = paper_w - kLeft - kRight;
    const QTransform to_page = begin_paper(p, page, paper_w, paper_h);
    const Fonts fonts;
    const double body_top = kTop + head(&p, fonts, what.stand_name, what.date, kTop, what.title, width) + kGap;
    foot(&p, fonts, 0, 1, paper_h, width);
    // The picture as high as the body allows with the caption under it, but
    // never higher than three quarters of its width: on upright paper a
    // chart stretched to the page's height is hard to read.
    const double body_bottom = paper_h - kBottom - kFootHeight;
    const double caption_h =
        what.caption.isEmpty() ? 0.0 : paragraph(nullptr, fonts.body, kLeft, 0.0, width, what.caption);
    const double picture_h = std::clamp(body_bottom - caption_h - kGap - body_top, 0.0, 0.75 * width);
    if (!what.caption.isEmpty())
        paragraph(&p, fonts.body, kLeft, body_top + picture_h + kGap, width, what.caption);
    p.restore();
    const QRectF picture(kLeft, body_top, width, picture_h);
    return to_page.mapRect(picture);
}

bool print_pages(QPagedPaintDevice& device, int pages,
                 const std::function<void(QPainter& p, const QRectF& paper, int index)>& draw) {
    QPainter p;
    if (!p.begin(&device)) return false;
    // The whole paper, whatever margins the device keeps: the page keeps its own.
    const QRectF whole = device.pageLayout().fullRectPixels(device.logicalDpiX());
    const QRectF paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage()) return false;
        p.save();
        // The painter's origin is the corner of the printable area.
        p.translate(-paint.topLeft());
        draw(p, whole, i);
        p.restore();
    }
    return p.end();
}

}  // namespace forstrix::draw

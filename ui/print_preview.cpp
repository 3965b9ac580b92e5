#include "ui/print_preview.h"

#include <algorithm>

#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

namespace forstrix::ui {

void show_print_preview(QWidget* parent, const QString& document, QPageLayout::Orientation orientation,
                        const std::function<void(QPrinter& printer)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF()));
    printer.setDocName(document);
    printer.setCreator(QStringLiteral("Forstrix"));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Druckvorschau: ") + document);
    // Room to read the page: most of the screen's height, a page's width.
    if (const QScreen* s = parent != nullptr ? parent->screen() : nullptr) {
        const QRect avail = s->availableGeometry();
        const int page_width = orientation == QPageLayout::Landscape ? avail.height() * 5 / 4
                                                                     : avail.height() * 3 / 4;
        preview.resize(std::min(avail.width(), page_width), avail.height() * 9 / 10);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(*target); });
    preview.exec();
}

}  // namespace forstrix::ui

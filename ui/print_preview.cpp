#include "ui/print_preview.h"

#include <algorithm>

#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QWindow>
#include <QWidget>

#include "ui/screen_fit.h"

namespace forstrix::ui {

namespace {

// Room to read the page: the free area's height, a page's width, but at
// least the width of the whole toolbar (its zoom, page and print buttons),
// so that none of it hides behind an extension arrow; and all of it on the
// screen, frame included, also on a laptop of 1366 × 768.
QMargins fit_preview(QPrintPreviewDialog& preview, QPageLayout::Orientation orientation) {
    const QScreen* s = dialog_screen(&preview);
    const QMargins m = window_frame(&preview);
    if (s == nullptr) return m;
    const QRect avail = s->availableGeometry();
    const QSize frame(m.left() + m.right(), m.top() + m.bottom());
    preview.ensurePolished();
    const int toolbar = [&preview] {
        const auto* bar = preview.findChild<QToolBar*>();
        return bar != nullptr ? bar->sizeHint().width() + 2 * bar->contentsMargins().left() + 16 : 0;
    }();
    const int height = avail.height() - frame.height();
    const int page = orientation == QPageLayout::Landscape ? height * 5 / 4 : height * 3 / 4;
    const QSize size = fitted_dialog_size(QSize(std::max(page, toolbar), height), QSize(), avail.size(), frame);
    preview.resize(size);
    // Centred across the free area, from its top.
    preview.move(avail.left() + (avail.width() - size.width() - frame.width()) / 2, avail.top());
    return m;
}

// Fits the preview once more when the window manager has framed it and its
// real frame differs from the one reckoned with.
class RefitWhenFramed final : public QObject {
public:
    RefitWhenFramed(QPrintPreviewDialog& preview, QPageLayout::Orientation orientation)
        : preview_(preview), orientation_(orientation), frame_(fit_preview(preview, orientation)) {
        preview.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Move && event->type() != QEvent::Show) return false;
        const QWindow* w = preview_.windowHandle();
        if (w != nullptr && !w->frameMargins().isNull() && w->frameMargins() != frame_)
            frame_ = fit_preview(preview_, orientation_);
        return false;
    }

private:
    QPrintPreviewDialog& preview_;
    QPageLayout::Orientation orientation_;
    QMargins frame_;
};

}  // namespace

void show_print_preview(QWidget* parent, const QString& document, QPageLayout::Orientation orientation,
                        const std::function<void(QPrinter& printer)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF()));
    printer.setDocName(document);
    printer.setCreator(QStringLiteral("Forstrix"));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Druckvorschau: ") + document);
    const RefitWhenFramed fit(preview, orientation);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(*target); });
    preview.exec();
}

}  // namespace forstrix::ui

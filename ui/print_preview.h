// Printing a page of the program: Qt's print preview over an A4 printer,
// from which the preview's print button opens the print dialog.
#pragma once

#include <functional>

#include <QPageLayout>
#include <QString>

class QPrinter;
class QWidget;

namespace forstrix::ui {

// Shows the preview of `document` ("Druckvorschau: <document>"), on A4
// upright or across without printer margins (the page keeps its own), large
// enough to read a page. `paint` draws the pages onto the printer the
// preview or the print dialog hands it.
void show_print_preview(QWidget* parent, const QString& document, QPageLayout::Orientation orientation,
                        const std::function<void(QPrinter& printer)>& paint);

}  // namespace forstrix::ui

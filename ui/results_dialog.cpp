#include "ui/results_dialog.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include "core/emissions.h"
#include "core/numtext.h"
#include "core/result_tables.h"
#include "core/suitability.h"
#include "ui/caption_box.h"
#include "ui/cost_chart.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/messages.h"
#include "ui/sweep_dialog.h"

namespace forstrix::ui {

namespace {

constexpr int kLine = 10;  // pixels per arrow key, wheel notch and drag step
constexpr int kPage = 50;  // pixels per page key
constexpr int kNotch = 120;
constexpr int kFuelLineId = 50;  // the fuel line of a group: group id + 50

// The rows and sums of each system, shared with the result sheet.
using Row = ResultRow;
using Sum = ResultSum;
using System = SystemResults;
const std::vector<System>& systems() { return system_results(); }

// Dialog units of the arrangement, converted with the dialog's font:
// a quarter of the mean letter width across, an eighth of the line height down.
struct Units {
    explicit Units(const QFontMetrics& fm)
        : bx(fm.horizontalAdvance(QStringLiteral(
                 "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0),
          by(fm.height()) {}
    int x(int units) const { return static_cast<int>(units * bx / 4.0 + 0.5); }
    int y(int units) const { return static_cast<int>(units * by / 8.0 + 0.5); }
    double bx, by;
};

QString number(double v) { return qs(format_comma(v, 2)); }

QLabel* add_text(QGridLayout* grid, const QString& text, int row, int col,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, int span = 1) {
    auto* label = new QLabel(text);
    label->setAlignment(align);
    grid->addWidget(label, row, col, 1, span);
    return label;
}

QLabel* add_value(QGridLayout* grid, int id, int row, int col, int min_width) {
    QLabel* label = add_text(grid, QString(), row, col, Qt::AlignRight | Qt::AlignVCenter);
    label->setObjectName(QString::number(id));
    label->setMinimumWidth(min_width);
    return label;
}

// Columns of a system group: label, time, time unit, cost, "Euro/Fm",
// assortment.
enum Column { ColLabel, ColTime, ColUnit, ColCost, ColEuro, ColAssortment };

// Why an unsuitable system does not suit the stand: one reason beside each
// of its empty rows, where the assortment column has room, in the group's
// normal text colour. Reasons beyond the rows share the last row's label.
void add_reasons(QGridLayout* grid, QGroupBox* box, const std::vector<Reason>& reasons, int rows) {
    const std::size_t labels = std::min(reasons.size(), static_cast<std::size_t>(std::max(rows, 1)));
    for (std::size_t k = 0; k < labels; ++k) {
        QStringList lines{qs(reasons[k].text)};
        if (k + 1 == labels) {
            for (std::size_t rest = labels; rest < reasons.size(); ++rest) lines << qs(reasons[rest].text);
        }
        auto* label = new QLabel(lines.join(QLatin1Char('\n')));
        label->setObjectName(QStringLiteral("reasons") + box->objectName());
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(label, static_cast<int>(k) + 1, ColAssortment);
    }
}

QGroupBox* build_group(const System& sys, const State& state, const Units& u,
                       const std::vector<Reason>& reasons) {
    const bool suitable = state.*sys.flag != 0;
    auto* box = new CaptionBox(qs(sys.title) + (suitable ? QStringLiteral(" - geeignet")
                                                         : QStringLiteral(" - ungeeignet")));
    box->setObjectName(QString::number(sys.id));
    // An unsuitable system stays in its place without values, its caption
    // greyed; the texts inside keep their colour.
    box->set_caption_greyed(!suitable);

    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(u.x(4));
    grid->setVerticalSpacing(u.y(4));
    grid->setColumnMinimumWidth(ColLabel, u.x(152));
    grid->setColumnMinimumWidth(ColTime, u.x(28));
    grid->setColumnMinimumWidth(ColUnit, u.x(44));
    grid->setColumnMinimumWidth(ColCost, u.x(28));
    grid->setColumnMinimumWidth(ColEuro, u.x(28));
    grid->setColumnStretch(ColAssortment, 1);

    add_text(grid, QStringLiteral("Zeitbedarf:"), 0, ColTime, Qt::AlignLeft | Qt::AlignVCenter, 2);
    add_text(grid, QStringLiteral("Kosten:"), 0, ColCost, Qt::AlignLeft | Qt::AlignVCenter, 2);

    int row = 1;
    int id = sys.id + 1;
    for (const Row& r : sys.rows) {
        add_text(grid, qs(r.label), row, ColLabel);
        QLabel* time = add_value(grid, id, row, ColTime, u.x(28));
        add_text(grid, qs(r.unit), row, ColUnit);
        QLabel* cost = add_value(grid, id + 1, row, ColCost, u.x(28));
        add_text(grid, QStringLiteral("Euro/Fm"), row, ColEuro);
        if (suitable) {
            time->setText(number(state.*r.time));
            cost->setText(number(state.*r.cost));
        }
        ++row;
        id += 2;
    }
    const int value_rows = row - 1;
    for (const Sum& s : sys.sums) {
        add_text(grid, qs(s.label), row, ColLabel, Qt::AlignRight | Qt::AlignVCenter, 3);
        QLabel* cost = add_value(grid, s.id, row, ColCost, u.x(28));
        cost->setText(suitable ? number(state.*s.cost) : QStringLiteral("---"));
        add_text(grid, qs(s.assortment), row, ColAssortment);
        ++row;
    }
    if (!suitable) add_reasons(grid, box, reasons, value_rows);
    // Fuel and CO2 per Fm beneath the sums, across the whole group.
    const int system = (sys.id - 25100) / 100;
    QLabel* fuel = add_text(grid, suitable ? qs(fuel_text(state, system)) : QString(), row, ColLabel,
                            Qt::AlignLeft | Qt::AlignVCenter, ColAssortment + 1);
    fuel->setObjectName(QString::number(sys.id + kFuelLineId));
    return box;
}

QPushButton* make_button(const char* text, int id, int width) {
    auto* b = new QPushButton(qs(text));
    b->setObjectName(QString::number(id));
    // Enter must not close the dialog, also not through a focused button.
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(width);
    return b;
}

}  // namespace

ResultsDialog::ResultsDialog(const State& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(qs("Zeitbedarf und Kosten für geeignete und nicht ausgeschlossene Systeme "
                      "(Alle Angaben ohne Gewähr)"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    area_ = new QScrollArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setWidgetResizable(true);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->verticalScrollBar()->setSingleStep(kLine);
    content_ = build_content();
    area_->setWidget(content_);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area_);

    // Keys, wheel and drag are taken before the scroll area's own handling,
    // so that they move by the dialog's line and page. The wheel is taken
    // wherever the mouse is over the content, also over labels and the chart.
    area_->installEventFilter(this);
    area_->viewport()->installEventFilter(this);
    area_->verticalScrollBar()->installEventFilter(this);
    content_->installEventFilter(this);
    for (QWidget* w : content_->findChildren<QWidget*>()) w->installEventFilter(this);

    // The first control to take the focus would be a button at the very
    // bottom, and the scroll area would scroll it into view.
    area_->setFocus();
    fit_to_screen();
}

QWidget* ResultsDialog::build_content() {
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    const Units u(fontMetrics());

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(u.x(4), 0, u.x(4), u.y(6));
    layout->setSpacing(u.y(6));

    auto* chart = new CostChart(chart_sums(state_), state_.flags());
    chart->setObjectName(QStringLiteral("chart"));
    chart->setMinimumWidth(u.x(464));
    // At least 400 pixels high: below that the two bars of system I and
    // those of system II run into each other.
    chart->setFixedHeight(std::max(u.y(200), 400));
    layout->addWidget(chart);

    const SystemReasons reasons = unsuitability_reasons(state_);
    for (std::size_t i = 0; i < systems().size(); ++i)
        layout->addWidget(build_group(systems()[i], state_, u, reasons[i]));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(u.x(20));
    buttons->addStretch(1);
    QPushButton* save = make_button("Ergebnis speichern", 25998, u.x(72));
    QPushButton* ok = make_button("OK", 25999, u.x(24));
    QPushButton* stand = make_button("Bestandesdaten ändern...", 25997, u.x(92));
    QPushButton* print = make_button("Drucken...", 25996, u.x(48));
    QPushButton* pdf = make_button("Als PDF speichern...", 25995, u.x(80));
    buttons->addWidget(save);
    buttons->addWidget(ok);
    buttons->addWidget(stand);
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    // Opens on top of the results and leaves them open.
    QPushButton* curve = make_button("Kostenverlauf...", 0, u.x(64));
    curve->setObjectName(QStringLiteral("kostenverlauf"));
    buttons->addWidget(curve);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, [this] { done(ResultsSave); });
    connect(ok, &QPushButton::clicked, this, [this] { done(ResultsOk); });
    connect(stand, &QPushButton::clicked, this, [this] { done(ResultsChangeStand); });
    connect(print, &QPushButton::clicked, this, &ResultsDialog::print_sheet);
    connect(pdf, &QPushButton::clicked, this, &ResultsDialog::save_sheet_pdf);
    connect(curve, &QPushButton::clicked, this, [this] {
        SweepDialog dialog(state_, this);
        dialog.set_stand_name(QString::fromStdString(sheet_extras_.stand_name));
        dialog.exec();
    });
    return content;
}

void ResultsDialog::reject() { done(ResultsOk); }

void ResultsDialog::print_sheet() {
    const draw::ResultSheet sheet(state_, sheet_extras_);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    printer.setDocName(QStringLiteral("Zeitbedarf und Kosten der Holzernte"));
    printer.setCreator(QStringLiteral("Forstrix"));
    // The preview shows the pages as they will be printed; its print button
    // opens the print dialog.
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Druckvorschau: Zeitbedarf und Kosten der Holzernte"));
    // Room to read the page: most of the screen's height, a page's width.
    if (const QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        preview.resize(std::min(avail.width(), avail.height() * 3 / 4), avail.height() * 9 / 10);
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&sheet](QPrinter* target) { draw::print_sheet(sheet, *target); });
    preview.exec();
}

void ResultsDialog::save_sheet_pdf() {
    const QString path = ask_save_file(this, QStringLiteral("Ergebnisblatt als PDF speichern"),
                                       QDir::current().filePath(QString::fromUtf8(draw::kSheetFileName)),
                                       QStringLiteral("PDF-Dateien (*.pdf)"));
    if (path.isEmpty()) return;
    const draw::ResultSheet sheet(state_, sheet_extras_);
    const files::Outcome saved =
        draw::write_sheet_pdf(std::filesystem::path(QFile::encodeName(path).toStdString()), sheet);
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), qs(saved.message()), MsgIcon::Error);
        return;
    }
    // The name as the user chose it; a file in the current folder by its name alone.
    const QFileInfo file(path);
    const QString shown = file.absolutePath() == QDir::current().absolutePath()
                              ? file.fileName()
                              : QDir::toNativeSeparators(file.absoluteFilePath());
    message(this, QStringLiteral("Meldung"),
            QStringLiteral("Ergebnisblatt unter \"%1\" gespeichert!").arg(shown), MsgIcon::Information);
}

// The whole free area of the screen, wherever the task bar sits: the window
// with its frame fills the available geometry.
void ResultsDialog::fit_to_screen() {
    QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    if (s == nullptr) s = QGuiApplication::primaryScreen();
    if (s == nullptr) return;
    const QRect avail = s->availableGeometry();
    const QMargins frame = frame_margins();
    fitted_frame_ = frame;
    resize(avail.width() - frame.left() - frame.right(),
           avail.height() - frame.top() - frame.bottom());
    move(avail.topLeft());  // the frame's top-left corner
}

// The window manager's frame around the dialog. Before it has framed the
// window the frame is not known yet; then a title bar of the style's height
// and a border of its frame width are reckoned with, where the platform
// frames windows at all, so that the button row is not pushed off the
// screen. Once the real frame is known, the dialog is fitted again.
QMargins ResultsDialog::frame_margins() const {
    const QWindow* w = windowHandle();
    const QMargins known = w != nullptr ? w->frameMargins() : QMargins();
    if (!known.isNull()) return known;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {};
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return {border, title + border, border, border};
}

void ResultsDialog::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    // The window manager has framed the window: fit it with its real frame.
    const QWindow* w = windowHandle();
    if (isVisible() && w != nullptr && !w->frameMargins().isNull() && w->frameMargins() != fitted_frame_)
        fit_to_screen();
}

void ResultsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fit_to_screen();
    end_drag();
    wheel_rest_ = 0;
    area_->verticalScrollBar()->setValue(0);
    area_->horizontalScrollBar()->setValue(0);
}

void ResultsDialog::scroll_by(int pixels) {
    QScrollBar* bar = area_->verticalScrollBar();
    bar->setValue(bar->value() + pixels);  // the bar keeps it within the content
}

bool ResultsDialog::scroll_key(int key) {
    switch (key) {
    case Qt::Key_Down: scroll_by(kLine); return true;
    case Qt::Key_Up: scroll_by(-kLine); return true;
    case Qt::Key_PageDown: scroll_by(kPage); return true;
    case Qt::Key_PageUp: scroll_by(-kPage); return true;
    default: return false;
    }
}

void ResultsDialog::end_drag() {
    if (!dragging_) return;
    dragging_ = false;
    content_->unsetCursor();
}

void ResultsDialog::keyPressEvent(QKeyEvent* event) {
    if (scroll_key(event->key())) return;
    // Only the three buttons and the close box end the dialog.
    if (is_enter_or_escape(event))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

bool ResultsDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // Also on a focused button: the arrow keys scroll, they do not move
        // the focus.
        if (watched == area_ || qobject_cast<QPushButton*>(watched) != nullptr) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier)
                return scroll_key(key->key());
        }
        break;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int dy = wheel->angleDelta().y();
        if (dy == 0) break;  // sideways: the scroll area's own handling
        // One line per notch; finer wheels add up to a notch first.
        wheel_rest_ += dy;
        while (wheel_rest_ >= kNotch) {
            scroll_by(-kLine);
            wheel_rest_ -= kNotch;
        }
        while (wheel_rest_ <= -kNotch) {
            scroll_by(kLine);
            wheel_rest_ += kNotch;
        }
        wheel->accept();
        return true;
    }
    case QEvent::MouseButtonPress:
        // Presses that no control took (buttons take theirs) start a drag.
        if (watched == content_) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && !dragging_) {
                dragging_ = true;
                drag_y_ = mouse->globalPosition().y();
                content_->setCursor(Qt::SizeVerCursor);
                return true;
            }
        }
        break;
    case QEvent::MouseMove:
        if (watched == content_ && dragging_) {
            // Each move scrolls one line, whatever the distance; moving down
            // scrolls towards the end. Screen coordinates, because the
            // content itself moves under the mouse.
            const double y = static_cast<QMouseEvent*>(event)->globalPosition().y();
            if (y > drag_y_) scroll_by(kLine);
            else if (y < drag_y_) scroll_by(-kLine);
            drag_y_ = y;
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == content_ && dragging_ &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            end_drag();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace forstrix::ui

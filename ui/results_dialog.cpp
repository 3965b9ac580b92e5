#include "ui/results_dialog.h"

#include <algorithm>
#include <vector>

#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>
#include <QWindow>

#include "core/decision.h"
#include "core/emissions.h"
#include "core/numtext.h"
#include "core/result_tables.h"
#include "core/suitability.h"
#include "ui/caption_box.h"
#include "ui/cost_chart.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/file_path.h"
#include "ui/messages.h"
#include "ui/print_preview.h"
#include "ui/screen_fit.h"
#include "ui/scroll_pane.h"
#include "ui/sweep_dialog.h"

namespace forstrix::ui {

namespace {

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

// The decision at the top: the cheapest system in bold, the measure and the
// runner-up beneath; one line when no system suits the stand.
QWidget* decision_block(const State& state, const Units& u) {
    auto* block = new QWidget;
    block->setObjectName(QStringLiteral("decision"));
    auto* lines = new QVBoxLayout(block);
    lines->setContentsMargins(0, u.y(6), 0, 0);
    lines->setSpacing(u.y(2));
    const std::vector<std::string> texts = decision_lines(decide(state), state);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* label = new QLabel(qs(texts[i]));
        label->setObjectName(QStringLiteral("decision%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        if (i == 0) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        lines->addWidget(label);
    }
    return block;
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

    area_ = new ScrollPane(this);
    area_->set_content(build_content());

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(area_, 1);
    outer->addLayout(build_buttons());
    for (QPushButton* b : buttons_) area_->scroll_from(b);

    // The keys scroll the content from the start, not move between buttons.
    area_->setFocus();
    fit_to_screen();
}

// The buttons beneath the scrolled content, always in view: one row, or
// two rows of three where the screen is too narrow for one.
QVBoxLayout* ResultsDialog::build_buttons() {
    const Units u(fontMetrics());
    QPushButton* save = make_button("Ergebnis speichern", 25998, u.x(72));
    QPushButton* ok = make_button("OK", 25999, u.x(24));
    QPushButton* stand = make_button("Bestandesdaten ändern...", 25997, u.x(92));
    QPushButton* print = make_button("Drucken...", 25996, u.x(48));
    QPushButton* pdf = make_button("Als PDF speichern...", 25995, u.x(80));
    // Opens on top of the results and leaves them open.
    QPushButton* curve = make_button("Kostenverlauf...", 0, u.x(64));
    curve->setObjectName(QStringLiteral("kostenverlauf"));
    buttons_ = {save, ok, stand, print, pdf, curve};

    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(u.x(4), u.y(4), u.x(4), u.y(6));
    rows->setSpacing(u.y(4));
    one_row_width_ = rows->contentsMargins().left() + rows->contentsMargins().right();
    for (QHBoxLayout*& row : button_rows_) {
        row = new QHBoxLayout;
        row->setSpacing(u.x(20));
        row->addStretch(1);
        row->addStretch(1);
        rows->addLayout(row);
    }
    for (QPushButton* b : buttons_) one_row_width_ += b->sizeHint().width() + u.x(20);
    arrange_buttons(1);

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
    return rows;
}

void ResultsDialog::arrange_buttons(int rows) {
    if (rows == button_row_count_) return;
    button_row_count_ = rows;
    const std::size_t first_row = rows == 1 ? buttons_.size() : buttons_.size() / 2;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        QHBoxLayout* row = button_rows_[i < first_row ? 0 : 1];
        button_rows_[0]->removeWidget(buttons_[i]);
        button_rows_[1]->removeWidget(buttons_[i]);
        row->insertWidget(row->count() - 1, buttons_[i]);  // before the closing stretch
    }
}

QWidget* ResultsDialog::build_content() {
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    const Units u(fontMetrics());

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(u.x(4), 0, u.x(4), u.y(6));
    layout->setSpacing(u.y(6));

    layout->addWidget(decision_block(state_, u));

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

    return content;
}

void ResultsDialog::reject() { done(ResultsOk); }

void ResultsDialog::print_sheet() {
    const draw::ResultSheet sheet(state_, sheet_extras_);
    show_print_preview(this, QStringLiteral("Zeitbedarf und Kosten der Holzernte"), QPageLayout::Portrait,
                       [&sheet](QPrinter& printer) { draw::print_sheet(sheet, printer); });
}

void ResultsDialog::save_sheet_pdf() {
    const QString path = ask_save_file(this, QStringLiteral("Ergebnisblatt als PDF speichern"),
                                       QDir::current().filePath(QString::fromUtf8(draw::kSheetFileName)),
                                       QStringLiteral("PDF-Dateien (*.pdf)"));
    if (path.isEmpty()) return;
    const draw::ResultSheet sheet(state_, sheet_extras_);
    const files::Outcome saved =
        draw::write_sheet_pdf(fs_path(path), sheet);
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), qs(saved.message()), MsgIcon::Error);
        return;
    }
    message(this, QStringLiteral("Meldung"),
            QStringLiteral("Ergebnisblatt unter \"%1\" gespeichert!").arg(full_path(path)), MsgIcon::Information);
}

// The whole free area of the screen, wherever the task bar sits: the window
// with its frame fills the available geometry.
void ResultsDialog::fit_to_screen() {
    const QScreen* s = dialog_screen(this);
    if (s == nullptr) return;
    const QRect avail = s->availableGeometry();
    // Once the window manager has framed the window, it is fitted again with
    // the real frame.
    const QMargins frame = window_frame(this);
    fitted_frame_ = frame;
    const int width = avail.width() - frame.left() - frame.right();
    arrange_buttons(width >= one_row_width_ ? 1 : 2);
    resize(width, avail.height() - frame.top() - frame.bottom());
    move(avail.topLeft());  // the frame's top-left corner
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
    area_->to_top();
}

void ResultsDialog::keyPressEvent(QKeyEvent* event) {
    if (area_->scroll_key(event->key())) return;
    // Escape leaves like "OK", as the close box does; Enter ends nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        done(ResultsOk);
    else if (is_enter_or_escape(event))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

}  // namespace forstrix::ui

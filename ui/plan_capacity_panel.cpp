#include "ui/plan_capacity_panel.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "draw/plan_sheet.h"
#include "ui/fields.h"

namespace forstrix::ui {

namespace {

const QColor kWithin(86, 150, 86);
const QColor kOver(205, 55, 45);
const QColor kTrack(232, 232, 232);
const QColor kQuiet(120, 120, 120);

// "1.234 / 2.000 MAS", or "1.234 MAS" where there is no limit.
QString bar_text(const CapacityLine& l) {
    const std::string_view u = plan::resources()[static_cast<std::size_t>(l.resource)].unit;
    const QString unit = qs(u);
    if (!std::isfinite(l.available)) return draw::grouped(l.needed, 0) + QLatin1Char(' ') + unit;
    return draw::grouped(l.needed, 0) + QStringLiteral(" / ") + draw::grouped(l.available, 0) + QLatin1Char(' ') +
           unit;
}

}  // namespace

CapacityBars::CapacityBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("capacityBars"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int CapacityBars::row_height() const { return fontMetrics().height() + 5; }

QSize CapacityBars::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(QStringLiteral("Hang-Forwarder  ")) + 120 +
                fm.horizontalAdvance(QStringLiteral("  100.000 / 100.000 Std.")),
            plan::kResources * row_height()};
}

void CapacityBars::set_lines(std::vector<CapacityLine> lines) {
    lines_ = std::move(lines);
    update();
}

void CapacityBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetrics fm = fontMetrics();
    const int name_w = fm.horizontalAdvance(QStringLiteral("Hang-Forwarder  "));
    const int text_w = fm.horizontalAdvance(QStringLiteral("  100.000 / 100.000 Std."));
    const int bar_left = name_w;
    const int bar_w = std::max(20, width() - name_w - text_w);
    const int h = row_height();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const CapacityLine& l = lines_[i];
        const int top = static_cast<int>(i) * h;
        const bool unused = l.needed <= 0 && !std::isfinite(l.available);
        const bool over = l.missing() > 0;
        p.setPen(unused ? kQuiet : palette().color(QPalette::WindowText));
        p.drawText(QRect(0, top, name_w, h), Qt::AlignLeft | Qt::AlignVCenter,
                   qs(plan::resources()[static_cast<std::size_t>(l.resource)].display));
        const QRectF track(bar_left, top + 3, bar_w, h - 6);
        if (!std::isfinite(l.available)) {
            // No capacity: nothing to fill, the bar's place says so.
            p.setPen(kQuiet);
            p.drawText(track.toRect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("unbegrenzt"));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(kTrack);
            p.drawRoundedRect(track, 2, 2);
            // Within: the share of the capacity used. Over: the whole bar
            // red, with a mark where the capacity ends.
            const double share = over ? 1.0 : (l.available > 0 ? l.needed / l.available : 0.0);
            p.setBrush(over ? kOver : kWithin);
            if (share > 0)
                p.drawRoundedRect(QRectF(track.left(), track.top(), track.width() * share, track.height()), 2, 2);
            if (over) {
                const double x = track.left() + track.width() * (l.available / l.needed);
                p.setPen(QPen(Qt::black, 2));
                p.drawLine(QPointF(x, track.top() - 2), QPointF(x, track.bottom() + 2));
            }
        }
        p.setPen(over ? kOver : (unused ? kQuiet : palette().color(QPalette::WindowText)));
        p.drawText(QRect(bar_left + bar_w, top, text_w, h), Qt::AlignRight | Qt::AlignVCenter, bar_text(l));
    }
}

CapacityPanel::CapacityPanel(QWidget* parent) : QGroupBox(QStringLiteral("Kapazitäten"), parent) {
    setObjectName(QStringLiteral("capacityPanel"));
    auto* layout = new QVBoxLayout(this);
    bars_ = new CapacityBars(this);
    layout->addWidget(bars_);
    extra_ = new QLabel(this);
    extra_->setObjectName(QStringLiteral("extraCost"));
    layout->addWidget(extra_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("capacityStatus"));
    layout->addWidget(status_);
    layout->addStretch(1);
}

void CapacityPanel::show_plan(std::vector<CapacityLine> lines, double extra_euro,
                              const std::optional<plan::CapacityResult>& result) {
    const QStringList missing = missing_texts(lines);
    const bool limited = std::any_of(lines.begin(), lines.end(), [](const CapacityLine& l) {
        return std::isfinite(l.available);
    });
    bars_->set_lines(std::move(lines));
    extra_->setText(QStringLiteral("Mehrkosten gegenüber der günstigsten Wahl: %1 Euro")
                        .arg(draw::grouped(extra_euro, 0)));
    QStringList status;
    if (!missing.isEmpty()) {
        status << missing;
        if (result) status << QStringLiteral("Keine Wahl der Systeme passt in die Kapazitäten.");
    } else if (limited) {
        status << QStringLiteral("Alle Kapazitäten eingehalten.");
    } else {
        status << QStringLiteral("Keine Kapazitäten angegeben.");
    }
    if (result) status << proof_text(*result);
    status_->setText(status.join(QLatin1Char('\n')));
    QPalette pal = status_->palette();
    pal.setColor(QPalette::WindowText, missing.isEmpty() ? palette().color(QPalette::WindowText) : kOver);
    status_->setPalette(pal);
}

}  // namespace forstrix::ui

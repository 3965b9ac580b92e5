#include "ui/capacity_dialog.h"

#include <cmath>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/numtext.h"
#include "ui/fields.h"
#include "ui/messages.h"
#include "ui/plan_capacity.h"

namespace forstrix::ui {

namespace {

QLabel* right_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

CapacityDialog::CapacityDialog(plan::CapacityOptions& options, const plan::ResourceHours& needed, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName(QStringLiteral("CapacityDialog"));
    setWindowTitle(QStringLiteral("Kapazitäten"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Verfügbare Stunden im Planungszeitraum (leer: unbegrenzt)"), this));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("<b>verfügbar</b>"), this), 0, 1);
    grid->addWidget(right_label(QStringLiteral("<b>benötigt</b>"), this), 0, 3);
    const QFontMetrics fm = fontMetrics();
    for (int r = 0; r < plan::kResources; ++r) {
        const auto k = static_cast<std::size_t>(r);
        const plan::ResourceInfo& info = plan::resources()[k];
        grid->addWidget(new QLabel(qs(info.display) + QLatin1Char(':'), this), r + 1, 0);
        auto* field = new QLineEdit(hours_field_text(options.capacity[k]), this);
        field->setObjectName(QStringLiteral("capacity_%1").arg(r));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000000000,0")));
        field->setPlaceholderText(QStringLiteral("unbegrenzt"));
        fields_[k] = field;
        grid->addWidget(field, r + 1, 1);
        grid->addWidget(new QLabel(qs(info.unit), this), r + 1, 2);
        auto* need = right_label(hours_text(needed[k], r), this);
        need->setObjectName(QStringLiteral("needed_%1").arg(r));
        need->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("1.000.000,0 Std.")));
        grid->addWidget(need, r + 1, 3);
    }
    grid->setColumnMinimumWidth(2, fm.horizontalAdvance(QStringLiteral("Std.__")));
    layout->addLayout(grid);

    auto* time = new QHBoxLayout;
    time->addWidget(new QLabel(QStringLiteral("Rechenzeit der Optimierung höchstens:"), this));
    time_limit_ = new QLineEdit(QString::fromStdString(format_shortest_comma(options.time_limit)), this);
    time_limit_->setObjectName(QStringLiteral("timeLimit"));
    time_limit_->setAlignment(Qt::AlignRight);
    time_limit_->setFixedWidth(fm.horizontalAdvance(QStringLiteral("000000")));
    time->addWidget(time_limit_);
    time->addWidget(new QLabel(QStringLiteral("s"), this));
    time->addStretch(1);
    layout->addLayout(time);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CapacityDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CapacityDialog::reject);
    layout->addWidget(buttons);
}

void CapacityDialog::accept() {
    // The first field that cannot be read keeps the dialog open, selected.
    const auto refuse = [this](QLineEdit* field, const QString& text) {
        message(this, QStringLiteral("Warnung"), text, MsgIcon::Error);
        field->setFocus();
        field->selectAll();
    };
    plan::ResourceHours capacity{};
    for (int r = 0; r < plan::kResources; ++r) {
        const auto k = static_cast<std::size_t>(r);
        const std::optional<double> hours = read_hours(fields_[k]->text());
        if (!hours) {
            const plan::ResourceInfo& info = plan::resources()[k];
            return refuse(fields_[k], QStringLiteral("Ungültige Eingabe der verfügbaren Stunden für %1:\n"
                                                     "Bitte eine Zahl in %2 eingeben oder das Feld leer lassen "
                                                     "(unbegrenzt).")
                                          .arg(qs(info.display), qs(info.unit)));
        }
        capacity[k] = *hours;
    }
    const std::optional<double> limit = read_field(time_limit_);
    if (!limit || !(*limit > 0))
        return refuse(time_limit_, QStringLiteral("Ungültige Eingabe der Rechenzeit:\n"
                                                  "Bitte eine Zahl von Sekunden größer als 0 eingeben."));
    options_.capacity = capacity;
    options_.time_limit = *limit;
    QDialog::accept();
}

}  // namespace forstrix::ui

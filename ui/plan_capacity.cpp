#include "ui/plan_capacity.h"

#include <cmath>

#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>

#include "core/columns.h"
#include "core/numtext.h"
#include "draw/plan_sheet.h"

namespace forstrix::ui {

namespace {

const char* const kOrganization = "forstrix";
const char* const kApplication = "forstrix";
// Beside "hiebsplan_zuordnungen": per plan file, the seven capacities.
const char* const kKey = "hiebsplan_kapazitaeten";

QString unit(int resource) {
    const std::string_view u = plan::resources()[static_cast<std::size_t>(resource)].unit;
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

QString display(int resource) {
    const std::string_view d = plan::resources()[static_cast<std::size_t>(resource)].display;
    return QString::fromUtf8(d.data(), static_cast<qsizetype>(d.size()));
}

}  // namespace

std::optional<double> read_hours(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return plan::kUnlimited;
    const QByteArray bytes = trimmed.toUtf8();
    return f_check(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString hours_field_text(double hours) {
    return std::isfinite(hours) ? QString::fromStdString(format_shortest_comma(hours)) : QString();
}

QString hours_text(double hours, int resource) {
    if (!std::isfinite(hours)) return QStringLiteral("unbegrenzt");
    return draw::grouped(hours, 1) + QLatin1Char(' ') + unit(resource);
}

plan::ResourceHours remembered_capacity(const QString& path) {
    plan::ResourceHours capacity;
    capacity.fill(plan::kUnlimited);
    const QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    const QVariantMap all = settings.value(QString::fromLatin1(kKey)).toMap();
    const QStringList kept = all.value(QFileInfo(path).absoluteFilePath()).toStringList();
    // By the resources' names, so that a list from another version still reads.
    for (qsizetype i = 0; i + 1 < kept.size(); i += 2) {
        const QByteArray name = kept[i].toUtf8();
        const int r = plan::find_resource(std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
        const std::optional<double> hours = read_hours(kept[i + 1]);
        if (r >= 0 && hours) capacity[static_cast<std::size_t>(r)] = *hours;
    }
    return capacity;
}

void remember_capacity(const QString& path, const plan::ResourceHours& capacity) {
    QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    QVariantMap all = settings.value(QString::fromLatin1(kKey)).toMap();
    QStringList kept;
    for (int r = 0; r < plan::kResources; ++r) {
        const double hours = capacity[static_cast<std::size_t>(r)];
        if (!std::isfinite(hours)) continue;
        const std::string_view name = plan::resources()[static_cast<std::size_t>(r)].name;
        kept << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
             << QString::fromStdString(format_shortest(hours));
    }
    all.insert(QFileInfo(path).absoluteFilePath(), kept);
    settings.setValue(QString::fromLatin1(kKey), all);
}

plan::ResourceHours needed_hours(const files::PlanTable& table) {
    plan::ResourceHours needed{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const plan::StandFigures& f = table.row(i).figures;
        if (!f.computed || f.chosen == plan::kNone) continue;
        const plan::ResourceHours h = plan::resource_hours(f, f.chosen);
        for (std::size_t r = 0; r < needed.size(); ++r) needed[r] += h[r];
    }
    return needed;
}

std::optional<double> extra_cost(const plan::StandFigures& f) {
    if (!f.computed || f.chosen == plan::kNone || f.cheapest == plan::kNone) return std::nullopt;
    if (f.chosen == f.cheapest) return 0.0;
    return plan::amounts(f, f.chosen).euro - plan::amounts(f, f.cheapest).euro;
}

double extra_cost(const files::PlanTable& table) {
    double sum = 0;
    for (std::size_t i = 0; i < table.size(); ++i) sum += extra_cost(table.row(i).figures).value_or(0.0);
    return sum;
}

std::vector<CapacityLine> capacity_lines(const plan::ResourceHours& capacity, const plan::ResourceHours& needed) {
    std::vector<CapacityLine> lines;
    for (int r = 0; r < plan::kResources; ++r)
        lines.push_back({r, capacity[static_cast<std::size_t>(r)], needed[static_cast<std::size_t>(r)]});
    return lines;
}

QStringList missing_texts(const std::vector<CapacityLine>& lines) {
    QStringList texts;
    for (const CapacityLine& l : lines)
        if (l.missing() > 0)
            texts << QStringLiteral("%1: es fehlen %2").arg(display(l.resource), hours_text(l.missing(), l.resource));
    return texts;
}

QString proof_text(const plan::CapacityResult& result) {
    if (result.optimal && !result.fits) return QStringLiteral("Ergebnis optimal: bei keiner Wahl fehlt weniger");
    if (result.optimal) return QStringLiteral("Ergebnis optimal");
    return QStringLiteral("Ergebnis höchstens %1 % vom Optimum entfernt (Rechenzeit erreicht)")
        .arg(draw::grouped(result.gap * 100.0, 1));
}

PlanCapacity::Input PlanCapacity::input() const {
    Input in;
    in.stands.reserve(table_.size());
    in.fixed.reserve(table_.size());
    for (std::size_t i = 0; i < table_.size(); ++i) {
        const files::PlanRow& r = table_.row(i);
        in.stands.push_back(r.figures);
        in.fixed.push_back(r.fixed ? r.wanted : plan::kNone);
    }
    return in;
}

void PlanCapacity::apply(const plan::CapacityResult& result) {
    if (!result.solver || result.chosen.size() != table_.size()) return;
    Before before;
    before.wanted.reserve(table_.size());
    for (std::size_t i = 0; i < table_.size(); ++i) before.wanted.push_back(table_.row(i).wanted);
    for (std::size_t i : result.unsuitable_fixed) {
        table_.refuse(i, {std::string(columns::kChosenColumn), plan::unsuitable_fixed_text(table_.row(i).wanted)});
        before.refused.push_back(i);
    }
    for (std::size_t i = 0; i < table_.size(); ++i)
        if (result.chosen[i] != plan::kNone) table_.choose(i, result.chosen[i]);
    undo_ = std::move(before);
    result_ = result;
}

void PlanCapacity::undo() {
    if (!undo_) return;
    // A refused stand is computed again from its cells: its choice follows.
    for (std::size_t i : undo_->refused) table_.compute_row(i);
    for (std::size_t i = 0; i < table_.size() && i < undo_->wanted.size(); ++i) table_.choose(i, undo_->wanted[i]);
    undo_.reset();
    result_.reset();
}

void PlanCapacity::forget() {
    undo_.reset();
    result_.reset();
}

}  // namespace forstrix::ui

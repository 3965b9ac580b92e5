#include "ui/column_mapping_dialog.h"

#include <algorithm>
#include <set>

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/registry.h"
#include "ui/mapping_io.h"
#include "ui/screen_fit.h"

namespace forstrix::ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const QColor kUnknown(255, 222, 222);  // a text without a meaning: the stand would be refused

// The values a column may be read as: the stand's values first, then the
// wages, machine costs, basics and emission factors.
std::vector<const ValueInfo*> choosable_values() {
    std::vector<const ValueInfo*> out;
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::StandInput || v.kind == ValueKind::StandExtra) out.push_back(&v);
    for (const ValueInfo& v : value_registry())
        if (v.settable() && v.kind != ValueKind::StandInput && v.kind != ValueKind::StandExtra) out.push_back(&v);
    return out;
}

QString value_text(const ValueInfo& v) {
    const ValueRange* r = value_range(v);
    return r != nullptr && !r->what.empty() ? qs(v.name) + QStringLiteral(" \u2013 ") + qs(r->what) : qs(v.name);
}

// The number a text reads as without any code of a mapping.
std::optional<double> plain_reading(const ValueInfo& v, const std::string& text) {
    const columns::Column c{columns::Role::Value, &v, nullptr};
    double value = 0;
    Problem problem;
    if (columns::read_cell(c, text, value, problem) == columns::Cell::Value) return value;
    return std::nullopt;
}

QTableWidgetItem* fixed_item(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

}  // namespace

bool needs_mapping(const columns::Header& header) {
    if (!header.problems.empty()) return true;
    return std::any_of(header.columns.begin(), header.columns.end(),
                       [](const columns::Column& c) { return c.role == columns::Role::Carried; });
}

ColumnMappingDialog::ColumnMappingDialog(TablePreview preview, const columns::Mapping& initial, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
    setObjectName(QStringLiteral("columnMapping"));
    setWindowTitle(QStringLiteral("Spalten zuordnen \u2013 ") + preview_.file_name);
    build();
    set_mapping(initial);
    fill_preview();
    if (const QScreen* screen = dialog_screen(this)) {
        const QMargins frame = window_frame(this);
        resize(fitted_dialog_size(QSize(1050, 720), minimumSizeHint(), screen->availableGeometry().size(),
                                  QSize(frame.left() + frame.right(), frame.top() + frame.bottom())));
    }
}

void ColumnMappingDialog::build() {
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Die Tabelle \u201E%1\u201C hat Spalten, die Forstrix nicht als Werte kennt. Geben Sie an, "
                       "welchen Wert jede Spalte enthält, oder übernehmen Sie sie unverändert in den Hiebsplan.")
            .arg(preview_.file_name),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* top = new QHBoxLayout;
    auto* column_box = new QGroupBox(QStringLiteral("Spalten"), this);
    columns_ = new QTableWidget(0, 3, column_box);
    columns_->setObjectName(QStringLiteral("columns"));
    columns_->setHorizontalHeaderLabels({QStringLiteral("Spalte"), QStringLiteral("Beispiel"), QStringLiteral("Wert")});
    columns_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    columns_->verticalHeader()->hide();
    (new QVBoxLayout(column_box))->addWidget(columns_);
    top->addWidget(column_box, 1);

    auto* code_box = new QGroupBox(QStringLiteral("Wörter und Codes der Listenwerte"), this);
    codes_ = new QTableWidget(0, 4, code_box);
    codes_->setObjectName(QStringLiteral("codes"));
    codes_->setHorizontalHeaderLabels(
        {QStringLiteral("Spalte"), QStringLiteral("Eintrag"), QStringLiteral("Bestände"), QStringLiteral("bedeutet")});
    codes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    codes_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    codes_->verticalHeader()->hide();
    (new QVBoxLayout(code_box))->addWidget(codes_);
    top->addWidget(code_box, 1);
    layout->addLayout(top, 3);

    auto* rows_box = new QGroupBox(QStringLiteral("Vorschau (erste Zeilen)"), this);
    rows_ = new QTableWidget(0, 0, rows_box);
    rows_->setObjectName(QStringLiteral("preview"));
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    (new QVBoxLayout(rows_box))->addWidget(rows_);
    layout->addWidget(rows_box, 2);

    problems_ = new QLabel(this);
    problems_->setObjectName(QStringLiteral("problems"));
    problems_->setWordWrap(true);
    problems_->setTextFormat(Qt::PlainText);
    layout->addWidget(problems_);

    auto* buttons = new QHBoxLayout;
    auto* load = new QPushButton(QStringLiteral("Zuordnung &laden..."), this);
    load->setObjectName(QStringLiteral("loadMapping"));
    auto* save = new QPushButton(QStringLiteral("Zuordnung &speichern..."), this);
    save->setObjectName(QStringLiteral("saveMapping"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addWidget(load);
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(load, &QPushButton::clicked, this, &ColumnMappingDialog::load_file);
    connect(save, &QPushButton::clicked, this, &ColumnMappingDialog::save_file);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

const ValueInfo* ColumnMappingDialog::role(std::size_t column) const {
    const QComboBox* box = roles_[column];
    if (box == nullptr) return nullptr;
    const QString name = box->currentData().toString();
    return name.isEmpty() ? nullptr : find_value(name.toStdString());
}

void ColumnMappingDialog::set_mapping(const columns::Mapping& mapping) {
    initial_ = mapping;
    codes_chosen_.clear();
    for (const columns::Mapping::Codes& v : mapping.values)
        for (const auto& [code, number] : v.codes) codes_chosen_[{v.value, code}] = number;
    fill_columns();
    fill_codes();
    update_problems();
}

void ColumnMappingDialog::fill_columns() {
    const columns::Header own = columns::classify(preview_.names, nullptr);
    const columns::Header mapped = columns::classify(preview_.names, &initial_);
    const std::vector<const ValueInfo*> values = choosable_values();
    columns_->setRowCount(static_cast<int>(preview_.names.size()));
    roles_.assign(preview_.names.size(), nullptr);
    for (std::size_t k = 0; k < preview_.names.size(); ++k) {
        const int row = static_cast<int>(k);
        columns_->setItem(row, 0, fixed_item(qs(preview_.names[k])));
        QString example;
        if (!preview_.texts[k].empty()) example = qs(preview_.texts[k].front().first);
        columns_->setItem(row, 1, fixed_item(example));
        // Columns that mean something by their name alone keep it.
        const columns::Role own_role = k < own.columns.size() ? own.columns[k].role : columns::Role::Carried;
        if (own_role != columns::Role::Carried) {
            QString text;
            switch (own_role) {
                case columns::Role::Value: text = value_text(*own.columns[k].info); break;
                case columns::Role::Dropped: text = QStringLiteral("Ergebnis (wird neu berechnet)"); break;
                case columns::Role::Chosen: text = QStringLiteral("gewähltes System"); break;
                default: text = QStringLiteral("fest (übernehmen)"); break;
            }
            columns_->setItem(row, 2, fixed_item(text));
            continue;
        }
        auto* box = new QComboBox(columns_);
        box->setObjectName(QStringLiteral("role_%1").arg(k));
        box->addItem(QStringLiteral("übernehmen"), QString());
        for (const ValueInfo* v : values) box->addItem(value_text(*v), qs(v->name));
        const columns::Column& now = mapped.columns[k];
        if (now.role == columns::Role::Value) box->setCurrentIndex(box->findData(qs(now.info->name)));
        columns_->setCellWidget(row, 2, box);
        roles_[k] = box;
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            fill_codes();
            update_problems();
        });
    }
    columns_->resizeColumnsToContents();
}

void ColumnMappingDialog::fill_codes() {
    codes_->setRowCount(0);
    for (std::size_t k = 0; k < preview_.names.size(); ++k) {
        const ValueInfo* v = role(k);
        if (v == nullptr) continue;
        const auto words = columns::list_words(*v);
        if (words.empty() || preview_.texts[k].size() > kMaxTexts) continue;
        for (const auto& [text, count] : preview_.texts[k]) {
            const int row = codes_->rowCount();
            codes_->insertRow(row);
            codes_->setItem(row, 0, fixed_item(qs(preview_.names[k])));
            codes_->setItem(row, 1, fixed_item(qs(text)));
            auto* count_item = fixed_item(QString::number(count));
            count_item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            codes_->setItem(row, 2, count_item);
            auto* box = new QComboBox(codes_);
            box->setObjectName(QStringLiteral("code_%1").arg(row));
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            box->addItem(QStringLiteral("\u2013 unbekannt \u2013"));
            for (const auto& [word, number] : words) box->addItem(qs(word), number);
            const auto chosen = codes_chosen_.find({std::string(v->name), text});
            const std::optional<double> number =
                chosen != codes_chosen_.end() ? std::optional<double>(chosen->second) : plain_reading(*v, text);
            if (number) box->setCurrentIndex(std::max(0, box->findData(*number)));
            codes_->setCellWidget(row, 3, box);
            auto mark = [this, row, box] {
                const QBrush ground = box->currentIndex() == 0 ? QBrush(kUnknown) : QBrush();
                for (int c = 0; c < 3; ++c) codes_->item(row, c)->setBackground(ground);
            };
            mark();
            connect(box, &QComboBox::currentIndexChanged, this,
                    [this, key = std::make_pair(std::string(v->name), text), box, mark] {
                        if (box->currentIndex() == 0) codes_chosen_.erase(key);
                        else codes_chosen_[key] = box->currentData().toDouble();
                        mark();
                        update_problems();
                    });
        }
    }
}

void ColumnMappingDialog::fill_preview() {
    rows_->setColumnCount(static_cast<int>(preview_.names.size()));
    QStringList headings;
    for (const std::string& n : preview_.names) headings << qs(n);
    rows_->setHorizontalHeaderLabels(headings);
    rows_->setRowCount(static_cast<int>(preview_.rows.size()));
    for (std::size_t r = 0; r < preview_.rows.size(); ++r)
        for (std::size_t k = 0; k < preview_.rows[r].size(); ++k)
            if (preview_.rows[r][k]) rows_->setItem(int(r), int(k), fixed_item(qs(*preview_.rows[r][k])));
    rows_->resizeColumnsToContents();
}

columns::Mapping ColumnMappingDialog::mapping() const {
    columns::Mapping m;
    std::set<std::string> in_table;
    for (std::size_t k = 0; k < preview_.names.size(); ++k) {
        in_table.insert(preview_.names[k]);
        if (const ValueInfo* v = role(k)) m.columns.emplace_back(preview_.names[k], std::string(v->name));
    }
    // A mapping may serve several tables: what it says of columns this
    // table lacks stays.
    for (const auto& pair : initial_.columns)
        if (!in_table.count(pair.first)) m.columns.push_back(pair);
    for (std::size_t k = 0; k < preview_.names.size(); ++k) {
        const ValueInfo* v = role(k);
        if (v == nullptr || columns::list_words(*v).empty()) continue;
        auto it = std::find_if(m.values.begin(), m.values.end(), [&](const auto& c) { return c.value == v->name; });
        if (it == m.values.end()) it = m.values.insert(m.values.end(), {std::string(v->name), {}});
        for (const auto& [text, count] : preview_.texts[k]) {
            const auto chosen = codes_chosen_.find({std::string(v->name), text});
            if (chosen == codes_chosen_.end() || plain_reading(*v, text) == chosen->second) continue;
            auto& codes = it->codes;
            auto same = std::find_if(codes.begin(), codes.end(), [&](const auto& c) { return c.first == text; });
            if (same == codes.end()) codes.emplace_back(text, chosen->second);
            else same->second = chosen->second;
        }
        if (it->codes.empty()) m.values.erase(it);
    }
    // Codes of texts this table does not hold stay too.
    for (const columns::Mapping::Codes& kept : initial_.values) {
        auto it = std::find_if(m.values.begin(), m.values.end(), [&](const auto& c) { return c.value == kept.value; });
        for (const auto& code : kept.codes) {
            if (it != m.values.end() &&
                std::any_of(it->codes.begin(), it->codes.end(), [&](const auto& c) { return c.first == code.first; }))
                continue;
            bool in_this_table = false;
            for (std::size_t k = 0; k < preview_.names.size() && !in_this_table; ++k)
                if (const ValueInfo* v = role(k); v != nullptr && v->name == kept.value)
                    for (const auto& t : preview_.texts[k]) in_this_table = in_this_table || t.first == code.first;
            if (in_this_table) continue;  // the planner's present choice counts
            if (it == m.values.end()) it = m.values.insert(m.values.end(), {kept.value, {}});
            it->codes.push_back(code);
        }
    }
    return m;
}

void ColumnMappingDialog::update_problems() {
    const columns::Mapping now = mapping();
    const columns::Header checked = columns::classify(preview_.names, &now);
    QStringList lines;
    for (const Problem& p : checked.problems) lines << QString::fromStdString(p.message);
    int unknown = 0;
    for (int row = 0; row < codes_->rowCount(); ++row)
        if (static_cast<QComboBox*>(codes_->cellWidget(row, 3))->currentIndex() == 0) ++unknown;
    if (unknown == 1)
        lines << QStringLiteral("1 Eintrag ohne Bedeutung: Bestände mit ihm werden als fehlerhaft markiert.");
    else if (unknown > 1)
        lines << QStringLiteral("%1 Einträge ohne Bedeutung: Bestände mit ihnen werden als fehlerhaft markiert.")
                     .arg(unknown);
    problems_->setText(lines.join(QLatin1Char('\n')));
    QPalette palette = problems_->palette();
    palette.setColor(QPalette::WindowText, checked.problems.empty() ? QColor(120, 80, 0) : QColor(170, 0, 0));
    problems_->setPalette(palette);
    ok_->setEnabled(checked.problems.empty());
}

void ColumnMappingDialog::load_file() {
    columns::Mapping loaded;
    if (load_mapping_file(this, loaded)) set_mapping(loaded);
}

void ColumnMappingDialog::save_file() { save_mapping_file(this, mapping()); }

}  // namespace forstrix::ui

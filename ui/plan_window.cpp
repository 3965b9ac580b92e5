#include "ui/plan_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/registry.h"
#include "core/systems.h"
#include "ui/cost_dialog.h"
#include "ui/dialog_codes.h"
#include "ui/file_path.h"
#include "ui/mapping_io.h"
#include "ui/messages.h"
#include "ui/plan_capacity.h"
#include "ui/plan_capacity_panel.h"
#include "ui/plan_model.h"
#include "ui/plan_open.h"
#include "ui/plan_progress.h"
#include "ui/print_preview.h"
#include "ui/stand_dialog.h"

namespace forstrix::ui {

namespace {

constexpr int kConfirmationMs = 8000;

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The chosen system as a list of the systems that suit the stand.
class ChoiceDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("choice"));
        for (const QVariant& k : index.data(kChoicesRole).toList())
            box->addItem(qs(kSystemTitles[static_cast<std::size_t>(k.toInt())]), k);
        // The choice counts as soon as it is made.
        connect(box, &QComboBox::activated, this, [this, box] {
            emit const_cast<ChoiceDelegate*>(this)->commitData(box);
            emit const_cast<ChoiceDelegate*>(this)->closeEditor(box);
        });
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(std::max(0, box->findData(index.data(Qt::EditRole))));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override {
        editor->setGeometry(option.rect.adjusted(0, 0, 220, 0));  // the titles are long
    }
};

}  // namespace

PlanWindow::PlanWindow(State& base, files::PlanTable table, const QString& source, columns::Mapping mapping,
                       QWidget* parent)
    : QMainWindow(parent), base_(base), table_(std::move(table)), source_(QFileInfo(source).absoluteFilePath()),
      mapping_(std::move(mapping)), capacity_(std::make_unique<PlanCapacity>(table_)) {
    capacity_->options().capacity = remembered_capacity(source_);
    setObjectName(QStringLiteral("planwindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    build();
    build_menu();
    update_totals();
    update_title();
    resize(1280, 760);
}

PlanWindow::~PlanWindow() = default;

void PlanWindow::build() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Anzeigen:"), central));
    filter_ = new QComboBox(central);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->addItem(QStringLiteral("alle Bestände"));
    filter_->addItem(QStringLiteral("Bestände ohne geeignetes System"));
    filter_->addItem(QStringLiteral("fehlerhafte Bestände"));
    top->addWidget(filter_);
    top->addStretch(1);
    summary_ = new QLabel(central);
    summary_->setObjectName(QStringLiteral("summary"));
    top->addWidget(summary_);
    layout->addLayout(top);

    model_ = new PlanModel(this);
    model_->set_table(&table_);
    proxy_ = new PlanProxy(model_, this);
    view_ = new QTableView(central);
    view_->setObjectName(QStringLiteral("stands"));
    view_->setModel(proxy_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(-1, Qt::AscendingOrder);  // the table's own order until a heading is clicked
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setAlternatingRowColors(true);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed);
    view_->setItemDelegateForColumn(ColChosen, new ChoiceDelegate(view_));
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->horizontalHeader()->setSectionResizeMode(ColNote, QHeaderView::Stretch);
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const QFontMetrics fm = view_->fontMetrics();
    view_->setColumnWidth(ColName, fm.horizontalAdvance(QStringLiteral("Abteilung 123 a 4 xx")));
    view_->setColumnWidth(ColVolume, fm.horizontalAdvance(QStringLiteral("Hiebsmenge__")));
    view_->setColumnWidth(ColSuitable, fm.horizontalAdvance(QStringLiteral("I, II, III, IV__")));
    for (int k = 0; k < plan::kSystems; ++k)
        view_->setColumnWidth(ColSystemFirst + k, fm.horizontalAdvance(QStringLiteral("(Euro/Fm)__")));
    view_->setColumnWidth(ColCheapest, fm.horizontalAdvance(QStringLiteral("Günstigstes__")));
    view_->setColumnWidth(ColChosen, fm.horizontalAdvance(QStringLiteral("Gewählt____")));
    view_->setColumnWidth(ColEuro, fm.horizontalAdvance(QStringLiteral("1.000.000.000")));
    view_->setColumnWidth(ColCo2, fm.horizontalAdvance(QStringLiteral("1.000.000.00")));
    view_->setColumnWidth(ColExtra, fm.horizontalAdvance(QStringLiteral("Mehrkosten__")));
    layout->addWidget(view_, 1);

    auto* box = new QGroupBox(QStringLiteral("Summen"), central);
    auto* box_layout = new QVBoxLayout(box);
    totals_ = new QTableWidget(plan::kSystems + 1, 8, box);
    totals_->setObjectName(QStringLiteral("totals"));
    QStringList headings{QString()};
    // The units under the titles, so that the totals keep their width beside the capacities.
    for (const QString& heading : draw::totals_headings())
        headings << QString(heading).replace(QStringLiteral(" ("), QStringLiteral("\n("));
    totals_->setHorizontalHeaderLabels(headings);
    totals_->verticalHeader()->hide();
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totals_->setSelectionMode(QAbstractItemView::NoSelection);
    totals_->setFocusPolicy(Qt::NoFocus);
    totals_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    totals_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    totals_->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    totals_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    totals_->setFixedHeight(totals_->horizontalHeader()->sizeHint().height() +
                            (plan::kSystems + 1) * (fm.height() + 4) + 2 * totals_->frameWidth());
    box_layout->addWidget(totals_);
    box_layout->addStretch(1);  // the totals at the top when the capacities beside need more height
    // The capacities beside the totals, so that the stands keep the height.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(box, 1);
    capacity_panel_ = new CapacityPanel(central);
    bottom->addWidget(capacity_panel_);
    layout->addLayout(bottom);
    setCentralWidget(central);

    connect(filter_, &QComboBox::currentIndexChanged, this,
            [this](int index) { proxy_->set_filter(static_cast<PlanFilter>(index)); });
    connect(model_, &PlanModel::chosen, this, [this] {
        changed_by_hand();
        update_totals();
        set_modified(true);
    });
    connect(view_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid()) edit_stand(static_cast<std::size_t>(proxy_->mapToSource(index).row()));
    });
}

void PlanWindow::build_menu() {
    auto add = [this](QMenu* menu, const QString& text, const QString& name, auto slot,
                      const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    QAction* save = add(file, QStringLiteral("Spei&chern"), QStringLiteral("save"), [this] { this->save(); },
                        QKeySequence::Save);
    add(file, QStringLiteral("Speichern &unter..."), QStringLiteral("saveAs"), [this] { save_as(); },
        QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    file->addSeparator();
    QAction* print = add(file, QStringLiteral("&Drucken..."), QStringLiteral("print"), [this] { this->print(); },
                         QKeySequence::Print);
    add(file, QStringLiteral("Als &PDF speichern..."), QStringLiteral("pdf"), [this] { save_pdf(); });
    file->addSeparator();
    add(file, QStringLiteral("Spalten &zuordnen..."), QStringLiteral("remap"), [this] { remap(); });
    file->addSeparator();
    add(file, QStringLiteral("Schl&ießen"), QStringLiteral("close"), [this] { close(); }, QKeySequence::Close);

    QMenu* calc = menuBar()->addMenu(QStringLiteral("&Berechnung"));
    QAction* basics = add(calc, QStringLiteral("&Grundlagen übernehmen"), QStringLiteral("basics"),
                          [this] { take_basics(); });
    basics->setToolTip(QStringLiteral("Alle Bestände mit den Löhnen, Maschinenkosten und Kalkulationsgrundlagen "
                                      "des Hauptfensters neu berechnen"));
    add(calc, QStringLiteral("&Bestand bearbeiten..."), QStringLiteral("edit"), [this] {
        const QModelIndex index = view_->currentIndex();
        if (index.isValid()) edit_stand(static_cast<std::size_t>(proxy_->mapToSource(index).row()));
    });

    QToolBar* bar = addToolBar(QStringLiteral("Hiebsplan"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(save);
    bar->addAction(print);
    bar->addAction(basics);
    build_capacity_menu();
}

QString PlanWindow::document_name() const {
    return QFileInfo(save_path_.isEmpty() ? source_ : save_path_).completeBaseName();
}

void PlanWindow::update_title() {
    setWindowTitle(document_name() + QStringLiteral("[*] - Hiebsplan - Forstrix"));
    setWindowModified(modified_);
}

void PlanWindow::set_modified(bool modified) {
    modified_ = modified;
    update_title();
}

void PlanWindow::update_totals() {
    const plan::Totals totals = table_.totals();
    const std::vector<draw::TotalsLine> lines = draw::totals_lines(totals);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* label = new QTableWidgetItem(lines[i].label);
        QFont font = totals_->font();
        font.setBold(i == 0);
        label->setFont(font);
        totals_->setItem(row, 0, label);
        const QStringList cells = draw::totals_cells(lines[i]);
        for (qsizetype k = 0; k < cells.size(); ++k) {
            auto* item = new QTableWidgetItem(cells[k]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFont(font);
            totals_->setItem(row, static_cast<int>(k) + 1, item);
        }
    }
    summary_->setText(draw::stands_summary(totals));
    update_capacity();
}

bool PlanWindow::save() { return save_path_.isEmpty() ? save_as() : write_to(save_path_); }

bool PlanWindow::save_as() {
    const QFileInfo source(source_);
    const QString proposed =
        save_path_.isEmpty()
            ? source.dir().filePath(source.completeBaseName() + QStringLiteral("_plan.") + source.suffix())
            : save_path_;
    QString chosen = ask_save_file(this, QStringLiteral("Hiebsplan speichern unter"), proposed, plan_file_filter());
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QLatin1Char('.') + source.suffix();
    // The planner's own table is written over only when asked for.
    if (QFileInfo(chosen).absoluteFilePath() == source_ &&
        message(this, QStringLiteral("Warnung"),
                QStringLiteral("\"%1\" ist die Tabelle, aus der der Hiebsplan gelesen wurde.\n"
                               "Soll sie mit den Ergebnissen überschrieben werden?")
                    .arg(QFileInfo(chosen).fileName()),
                MsgIcon::Warning, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return false;
    return write_to(chosen);
}

bool PlanWindow::write_to(const QString& path) {
    files::Outcome saved;
    const bool done = run_with_progress(this, QStringLiteral("Hiebsplan wird gespeichert ..."),
                                        [&](const files::Progress& progress) {
                                            saved = table_.save(fs_path(path), true, false, progress);
                                        });
    if (!done) return false;
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), naming_file(QString::fromStdString(saved.message()), path),
                MsgIcon::Error);
        return false;
    }
    save_path_ = QFileInfo(path).absoluteFilePath();
    remember_mapping(save_path_, mapping_);  // the saved plan has the same columns
    remember_capacity(save_path_, capacity_->options().capacity);
    set_modified(false);
    statusBar()->showMessage(
        QStringLiteral("Hiebsplan unter \"%1\" gespeichert.").arg(QDir::toNativeSeparators(save_path_)),
        kConfirmationMs);
    emit stored(save_path_);
    return true;
}

draw::PlanSheet PlanWindow::sheet() const {
    draw::PlanSheet sheet;
    sheet.plan_name = document_name().toStdString();
    sheet.totals = table_.totals();
    if (capacity_->options().any_capacity())
        for (const CapacityLine& l : capacity_lines(capacity_->options().capacity, needed_hours(table_)))
            sheet.capacity.push_back({l.resource, l.available, l.needed});
    const int rows = model_->rowCount();
    sheet.lines.reserve(static_cast<std::size_t>(rows));
    // In the order the table is sorted by; the sheet is always the whole
    // plan, so with a filter on, in the table's own order.
    for (int i = 0; i < rows; ++i) {
        const int shown = proxy_->filter() == PlanFilter::All ? proxy_->mapToSource(proxy_->index(i, 0)).row() : i;
        const auto row = static_cast<std::size_t>(shown);
        const files::PlanRow& r = table_.row(row);
        draw::PlanSheetLine line;
        line.name = model_->stand_name(row);
        line.computed = r.figures.computed;
        line.volume = r.figures.volume;
        line.chosen = r.figures.chosen;
        if (line.computed && line.chosen != plan::kNone) {
            const plan::Amounts a = plan::amounts(r.figures, line.chosen);
            line.euro_fm = a.euro_fm;
            line.euro = a.euro;
            line.co2_kg = a.co2_kg;
        }
        if (r.problem) line.note = QString::fromStdString(r.problem->message);
        else if (line.computed && !r.figures.any_suitable()) line.note = QStringLiteral("kein geeignetes System");
        sheet.lines.push_back(std::move(line));
    }
    return sheet;
}

void PlanWindow::print() {
    const draw::PlanSheet plan = sheet();
    show_print_preview(this, QStringLiteral("Hiebsplan ") + document_name(), QPageLayout::Landscape,
                       [&plan](QPrinter& printer) { draw::print_plan_sheet(plan, printer); });
}

bool PlanWindow::save_pdf() {
    const QFileInfo named(save_path_.isEmpty() ? source_ : save_path_);
    const QString path = ask_save_file(this, QStringLiteral("Hiebsplan als PDF speichern"),
                                       named.dir().filePath(named.completeBaseName() + QStringLiteral(".pdf")),
                                       QStringLiteral("PDF-Dateien (*.pdf)"));
    if (path.isEmpty()) return false;
    const files::Outcome saved = draw::write_plan_sheet_pdf(fs_path(path), sheet());
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), naming_file(QString::fromStdString(saved.message()), path),
                MsgIcon::Error);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Hiebsplan unter \"%1\" als PDF gespeichert.").arg(full_path(path)),
                             kConfirmationMs);
    return true;
}

bool PlanWindow::take_basics() {
    // No view reads a stand while the stands are computed on another thread.
    model_->set_table(nullptr);
    bool computed = false;
    const bool done = run_with_progress(this, QStringLiteral("Bestände werden berechnet ..."),
                                        [&](const files::Progress& progress) {
                                            computed = table_.compute(base_, {}, 0, progress);
                                        });
    model_->set_table(&table_);
    if (!done || !computed) return false;
    changed_by_hand();
    update_totals();
    set_modified(true);
    return true;
}

bool PlanWindow::ask_to_save() {
    if (!modified_) return true;
    switch (message(this, QStringLiteral("Warnung"), QStringLiteral("Änderungen am Hiebsplan speichern?"),
                    MsgIcon::Question, MsgButtons::SaveDiscardCancel)) {
        case MsgAnswer::Save: return save();
        case MsgAnswer::Discard: return true;
        default: return false;
    }
}

bool PlanWindow::remap() {
    if (!ask_to_save()) return false;
    const QString path = save_path_.isEmpty() ? source_ : save_path_;
    columns::Mapping mapping = mapping_;
    files::PlanTable table;
    if (!read_plan(base_, path, true, mapping, table, this)) return false;
    model_->set_table(nullptr);
    table_ = std::move(table);
    model_->set_table(&table_);
    mapping_ = std::move(mapping);
    changed_by_hand();
    update_totals();
    set_modified(false);
    return true;
}

void PlanWindow::edit_stand(std::size_t row) {
    const State before = table_.state_of(row);
    State edited = before;
    bool stand_dialog = true;
    for (;;) {
        int result = InputCancelled;
        if (stand_dialog) {
            StandDialog dialog(edited, this);
            dialog.setWindowTitle(dialog.windowTitle() + QStringLiteral(" \u2013 ") + model_->stand_name(row));
            result = dialog.exec();
        } else {
            CostDialog dialog(edited, this);
            result = dialog.exec();
        }
        if (result != InputOtherDialog) break;
        stand_dialog = !stand_dialog;
    }
    // Each value the dialogs changed goes into the stand's own cell.
    bool changed = false;
    for (const ValueInfo& v : value_registry()) {
        if (!v.settable() || get_value(edited, v) == get_value(before, v)) continue;
        table_.set_value(row, v, get_value(edited, v));
        changed = true;
    }
    if (!changed) return;
    changed_by_hand();
    model_->row_changed(row);
    update_totals();
    set_modified(true);
}

void PlanWindow::closeEvent(QCloseEvent* event) {
    if (ask_to_save()) event->accept();
    else event->ignore();
}

}  // namespace forstrix::ui

// The cost-basics dialogs ("Kalkulationsgrundlagen"): the user edits the
// basics of one machine and watches its machine-hour cost change with every
// keystroke. OK writes the basics into the State; "Abbrechen" and the close
// box write nothing. The dialogs never compute into the State themselves:
// after every close the main window runs the machine's computation.
#pragma once

#include <string>
#include <vector>

#include <QLabel>

#include "core/machines.h"
#include "core/registry.h"
#include "core/state.h"
#include "ui/input_dialog.h"

class QLineEdit;
class QPushButton;
class QPaintEvent;

namespace forstrix::ui {

// A computed figure. Its width does not depend on its text: a value too long
// for it (a huge number) is shown cut off with "…" and in full in the
// tooltip, so it can never stretch or overflow its dialog. text() keeps the
// full text. Used by the cost-basics dialogs and the cost dialog.
class ValueLabel : public QLabel {
public:
    explicit ValueLabel(QWidget* parent = nullptr);
    void set_value_text(const std::string& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// What the machine dialogs and the chainsaw dialog share: one column of
// number fields with their labels, the live cost label, OK and "Abbrechen".
// Subclasses say which values there are, when they are acceptable, what
// they cost and where OK stores them.
class BasicsDialog : public InputDialog {
    Q_OBJECT
protected:
    struct Row {
        int field_id;
        QString label;
        std::string shown;  // the value as the field shows it at opening
        double value;
        const ValueInfo* info;  // its range and zero rule (check_value)
    };
    BasicsDialog(QWidget* parent, int dialog_id, const QString& title, const QString& cost_caption);
    // Builds the rows, then reads them back as OK would and shows the cost
    // of the values as shown.
    void build(const std::vector<Row>& rows);

    // All values read and each within its range: a rule over several of
    // them that the formula needs.
    virtual bool acceptable(const std::vector<double>&) const { return true; }
    // The total cost per hour of these values.
    virtual double total_of(const std::vector<double>& values) const = 0;
    virtual void store(const std::vector<double>& values) = 0;

private:
    void reread() override { recompute(); }
    // Re-reads every field, recomputes and shows the cost; enables OK and
    // answers true exactly when the input may be stored.
    bool recompute();
    void ok_clicked();
    void show_total(double total, bool storable);

    std::vector<QLineEdit*> fields_;
    std::vector<const ValueInfo*> infos_;
    std::vector<double> working_;
    QString cost_caption_;
    ValueLabel* cost_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Kalkulationsgrundlagen für ...": the dialog of one of the seven machines,
// everything about the kind (labels, ids, formats, zero rules) taken from
// its MachineKind.
class MachineDialog : public BasicsDialog {
    Q_OBJECT
public:
    MachineDialog(State& state, const MachineKind& kind, QWidget* parent = nullptr);

protected:
    double total_of(const std::vector<double>& values) const override;
    void store(const std::vector<double>& values) override;

private:
    State& state_;
    const MachineKind& kind_;
};

// "Kalkulationsgrundlagen für Motorsägen".
class ChainsawDialog : public BasicsDialog {
    Q_OBJECT
public:
    ChainsawDialog(State& state, QWidget* parent = nullptr);

protected:
    bool acceptable(const std::vector<double>& values) const override;
    double total_of(const std::vector<double>& values) const override;
    void store(const std::vector<double>& values) override;

private:
    State& state_;
};

}  // namespace forstrix::ui

// "Kapazitäten": the hours each crew and machine kind has for the plan's
// season, typed beside the hours the present choice of systems needs, and
// how long the optimisation may search. An empty field is a resource
// without a limit.
#pragma once

#include <array>

#include <QDialog>

#include "core/capacity.h"

class QLineEdit;

namespace forstrix::ui {

class CapacityDialog : public QDialog {
    Q_OBJECT
public:
    // `options` is changed only when the planner confirms with OK.
    CapacityDialog(plan::CapacityOptions& options, const plan::ResourceHours& needed, QWidget* parent = nullptr);

    void accept() override;

private:
    plan::CapacityOptions& options_;
    std::array<QLineEdit*, plan::kResources> fields_{};
    QLineEdit* time_limit_ = nullptr;
};

}  // namespace forstrix::ui

// The pieces the stand dialog is built from: its labelled rows, lists,
// number fields and value labels, and the frames of systems I, II and V
// that are drawn behind controls which are not their children.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include <QStringList>

class QBoxLayout;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QWidget;

namespace forstrix::ui {

QLabel* text_label(QWidget* parent, const char* text);
QComboBox* drop_down(QWidget* parent, const char* id, const QStringList& entries);
QLineEdit* number_field(QWidget* parent, const char* id);
QLabel* value_label(QWidget* parent, const char* id);
// Labels right-aligned against their controls, as the stand inputs are laid
// out, in the rows from `first` on.
void add_rows(QGridLayout* grid, QWidget* parent,
              std::initializer_list<std::pair<const char*, QWidget*>> rows, int first = 0);
// The entries "from" ... "to".
QStringList whole_numbers(int from, int to);

// The frames of systems I, II and V are greyed out while their system is not
// suitable, but the data inside stay editable: the user may prepare them
// before the stand qualifies. A disabled Qt widget disables its children, so
// these controls are not children of their frame; they lie over it, in the
// same grid cell, inset by the frame's margins.
class BackFrames {
public:
    // A frame titled `title` in `column` of `owner`, under `content`.
    QGroupBox* add(QWidget* owner, QBoxLayout* column, const char* id, const char* title, QLayout* content);
    // Insets every content by its frame's margins; once the frames are polished.
    void fit();

private:
    struct Frame {
        QGroupBox* box;
        QLayout* content;
    };
    std::vector<Frame> frames_;
};

}  // namespace forstrix::ui

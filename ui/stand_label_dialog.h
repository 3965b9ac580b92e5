// The stand's name ("Bezeichnung") and a free note ("Notiz"), which the
// stand file keeps beside the values and the window title shows.
#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace forstrix::ui {

class StandLabelDialog : public QDialog {
    Q_OBJECT
public:
    StandLabelDialog(const QString& name, const QString& note, QWidget* parent = nullptr);
    QString name() const;
    QString note() const;

private:
    QLineEdit* name_ = nullptr;
    QPlainTextEdit* note_ = nullptr;
};

}  // namespace forstrix::ui

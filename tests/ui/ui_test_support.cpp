#include "ui_test_support.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace forstrix::ui::test {

ScriptedMessages::ScriptedMessages() { set_message_layer(this); }
ScriptedMessages::~ScriptedMessages() { set_message_layer(nullptr); }

MsgAnswer ScriptedMessages::show(QWidget*, const QString& title, const QString& text,
                                 MsgIcon icon, MsgButtons buttons) {
    shown_.push_back({title, text, icon, buttons});
    if (answers_.empty()) return MsgAnswer::Ok;
    const MsgAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

void save_screenshot(QWidget* widget, const QString& name) {
    const QString dir = QStringLiteral(FORSTRIX_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace forstrix::ui::test

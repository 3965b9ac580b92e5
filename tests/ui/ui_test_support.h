// Support for the UI tests: a scripted answerer for the message boxes and a
// screenshot saver.
#pragma once

#include <deque>
#include <vector>

#include <QString>

#include "ui/messages.h"

class QWidget;

namespace forstrix::ui::test {

struct ShownMessage {
    QString title;
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
};

// Installs itself as the message layer for its lifetime. Answers with the
// queued answers in order, then with Ok; records every box it was shown.
class ScriptedMessages final : public MessageLayer {
public:
    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void answer(MsgAnswer a) { answers_.push_back(a); }
    const std::vector<ShownMessage>& shown() const { return shown_; }
    void clear() { shown_.clear(); answers_.clear(); }

    MsgAnswer show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                   MsgButtons buttons) override;

private:
    std::deque<MsgAnswer> answers_;
    std::vector<ShownMessage> shown_;
};

// Saves `widget` as <build>/screenshots/<name>.png for a reviewer to look at.
void save_screenshot(QWidget* widget, const QString& name);

}  // namespace forstrix::ui::test

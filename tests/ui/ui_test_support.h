// Support for the UI tests: a scripted answerer for the message boxes, a
// script that acts on modal dialogs as they open, and a screenshot saver.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

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

// Acts on modal dialogs as the user would, one step per dialog in the order
// they open: each step receives the dialog and is expected to end it. A
// dialog that opens after the last step is recorded and rejected, so that a
// wrong chain fails the test instead of hanging it.
class DialogScript final : public QObject {
    Q_OBJECT
public:
    using Step = std::function<void(QWidget* dialog)>;
    explicit DialogScript(std::vector<Step> steps);

    // Class names (without namespace) of the dialogs in the order they opened.
    const QStringList& opened() const { return opened_; }
    bool finished() const { return next_ >= steps_.size(); }
    // Processes events until every step ran and no modal dialog is open, then
    // stops watching. false when that does not happen within `timeout_ms`.
    bool wait_until_done(int timeout_ms = 5000);

private:
    void poll();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QStringList opened_;
    QPointer<QWidget> handled_;
    QTimer timer_;
};

// A step that ends the dialog with `code` (QDialog::done).
DialogScript::Step end_with(int code);

// Saves `widget` as <build>/screenshots/<name>.png for a reviewer to look at.
void save_screenshot(QWidget* widget, const QString& name);

}  // namespace forstrix::ui::test

// Stands as files in the desktop program: open, edit, the unsaved-changes
// mark and question, save, reopen, the title, the recent files; and what
// forstrix-cli computes from the desktop's file.
#include <QTest>
#include <QtWidgets>

#include <nlohmann/json.hpp>

#include "core/calc.h"
#include "files/stand_file.h"
#include "ui/dialog_codes.h"
#include "ui/stand_document.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;
using namespace Qt::StringLiterals;

namespace {

// A step that sets the stand dialog's slope and confirms it.
DialogScript::Step stand_ok_with_slope(int slope) {
    return [slope](QWidget* d) {
        d->findChild<QComboBox*>(u"10004"_s)->setCurrentIndex(slope);
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == u"OK"_s) return QTest::mouseClick(b, Qt::LeftButton);
    };
}

// A step that fills the name-and-note dialog and ends it with `button`.
DialogScript::Step label_dialog(const QString& name, const QString& note, const QString& button) {
    return [=](QWidget* d) {
        d->findChild<QLineEdit*>(u"bezeichnung"_s)->setText(name);
        d->findChild<QPlainTextEdit*>(u"notiz"_s)->setPlainText(note);
        if (!note.isEmpty()) save_screenshot(d, u"stand_label_dialog"_s);
        QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
    };
}

enum class Leave { New, Open, Close };

QStringList titles(const ScriptedMessages& boxes) {
    QStringList t;
    for (const AskedFile& f : boxes.asked_files()) t << f.title;
    return t;
}

}  // namespace

class TestStandFiles : public WindowTest {
    Q_OBJECT
    QAction* action(const QString& name) const { return window_->findChild<QAction*>(name); }
    // Triggers the menu entry `name`, the dialogs it opens run by `steps`.
    void run(const QString& name, std::vector<DialogScript::Step> steps) {
        DialogScript script(std::move(steps));
        action(name)->trigger();
        QVERIFY(script.wait_until_done());
    }
    bool modified() const { return window_->isWindowModified(); }
    QStringList recent_menu() const {
        QStringList texts;
        for (QAction* a : window_->findChild<QMenu*>(u"recent"_s)->actions()) texts << a->text();
        return texts;
    }
    // The stand saved as `name` in the test folder by "Speichern unter...";
    // the dialog proposed `proposed`.
    void save_as(const QString& name, const QString& proposed = {}) {
        ScriptedMessages boxes;
        boxes.answer_file(file(name));
        window_->run_command(CmdSaveStandAs);
        QCOMPARE(titles(boxes), QStringList{u"Bestand speichern unter"_s});
        QCOMPARE(boxes.asked_files().front().filter, u"Bestandsdateien (*.forstrix);;Alle Dateien (*)"_s);
        if (!proposed.isEmpty()) QCOMPARE(boxes.asked_files().front().proposed, proposed);
        QVERIFY(boxes.shown().empty());
    }

private slots:
    void init() {
        QSettings(u"forstrix"_s, u"forstrix"_s).clear();
        open_window();
        window_->start_up();
    }
    void cleanup() { close_window(); }

    // Edit, name, save, edit again, reopen: what the title and its mark say at each step.
    void editSaveReopen() {
        QCOMPARE(window_->windowTitle(), u"Forstrix[*]"_s);
        QVERIFY(!modified());

        run(u"201"_s, {stand_ok_with_slope(40)});
        QCOMPARE(int(state_->gi_hn), 40);
        QVERIFY(modified());

        // Cancelled, the name stays as it was.
        run(u"114"_s, {label_dialog(u"Verworfen"_s, u""_s, u"abbrechen"_s)});
        QCOMPARE(window_->stand_name(), QString());

        run(u"114"_s, {label_dialog(u"Abteilung 12b, Eichenhang"_s, u"Zufahrt über\nden Nordweg"_s, u"ok"_s)});
        QCOMPARE(window_->stand_name(), u"Abteilung 12b, Eichenhang"_s);
        QCOMPARE(window_->windowTitle(), u"Abteilung 12b, Eichenhang[*] - Forstrix"_s);

        // The dialog proposes the stand's name; a name without extension gets ".forstrix".
        save_as(u"eichenhäng"_s, file(u"Abteilung 12b, Eichenhang.forstrix"_s));
        const QString path = file(u"eichenhäng.forstrix"_s);
        QVERIFY(!modified());
        const State saved = *state_;
        QCOMPARE(read_file(path).toStdString(),
                 files::stand_text(saved, {"Abteilung 12b, Eichenhang", "Zufahrt über\nden Nordweg"}));

        // A machine dialog cancelled recomputes its machine: a typed cost is a change.
        state_->gf_hab112 = 99.0;
        window_->document()->refresh();
        QVERIFY(modified());
        run(u"303"_s, {[](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); }});
        QVERIFY(!modified());  // back to the saved stand

        // Without a name the title shows the file's name.
        run(u"114"_s, {label_dialog(u""_s, u""_s, u"ok"_s)});
        QCOMPARE(window_->windowTitle(), u"eichenhäng.forstrix[*] - Forstrix"_s);
        QVERIFY(modified());
        window_->run_command(CmdSaveStand);  // to its file, no chooser
        QVERIFY(!modified());

        // A fresh start, then the file again.
        window_->run_command(CmdNewStand);
        QCOMPARE(window_->windowTitle(), u"Forstrix[*]"_s);
        {
            ScriptedMessages boxes;
            boxes.answer_file(path);
            window_->run_command(CmdOpenStand);
            QCOMPARE(titles(boxes), QStringList{u"Bestand öffnen"_s});
        }
        QCOMPARE(files::stand_text(*state_, {}), files::stand_text(saved, {}));
        QCOMPARE(window_->document()->note(), QString());
        QCOMPARE(window_->windowTitle(), u"eichenhäng.forstrix[*] - Forstrix"_s);
        QVERIFY(!modified());
        ScriptedMessages boxes;  // without changes there is nothing to ask
        window_->run_command(CmdNewStand);
        QVERIFY(window_->close() && boxes.shown().empty());
    }

    // "Änderungen speichern?" before Neu, Öffnen and leaving, with each answer.
    // Speichern saves to the stand's file, or asks for one first; without a
    // file there (the chooser cancelled) the stand stays, as with Abbrechen.
    void question_data() {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("has_file");  // the stand was saved before the change
        const std::pair<const char*, Leave> leaves[] = {{"new", Leave::New}, {"open", Leave::Open}, {"close", Leave::Close}};
        for (const auto& [what, leave] : leaves) {
            QTest::addRow("%s, Speichern", what) << leave << MsgAnswer::Save << true;
            QTest::addRow("%s, Verwerfen", what) << leave << MsgAnswer::Discard << true;
            QTest::addRow("%s, Abbrechen", what) << leave << MsgAnswer::Cancel << true;
            QTest::addRow("%s, Speichern without a file, chooser cancelled", what) << leave << MsgAnswer::Save << false;
        }
    }
    void question() {
        QFETCH(Leave, leave);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, has_file);
        const bool saved = answer == MsgAnswer::Save && has_file;  // the change reached the file
        // The new stand, the other file, the window closed.
        const bool goes_on = saved || answer == MsgAnswer::Discard;
        const QString path = file(u"a.forstrix"_s), other = file(u"b.forstrix"_s);
        State b;
        b.gi_bhd = 50;
        write_file(other, QByteArray::fromStdString(files::stand_text(b, {"B", ""})));
        if (has_file) save_as(u"a.forstrix"_s);
        const QByteArray before = read_file(path);

        state_->gi_hn = 33;  // as the stand dialog commits it
        window_->document()->refresh();
        QVERIFY(modified());

        ScriptedMessages boxes;
        boxes.answer(answer);
        if (leave == Leave::Open && goes_on) boxes.answer_file(other);
        bool closed = false;
        switch (leave) {
            case Leave::New: window_->run_command(CmdNewStand); break;
            case Leave::Open: window_->run_command(CmdOpenStand); break;
            case Leave::Close: closed = window_->close(); break;
        }
        QCOMPARE(boxes.shown().size(), std::size_t{1});
        const ShownMessage& asked = boxes.shown().front();
        QCOMPARE(asked.title + u": "_s + asked.text, u"Warnung: Änderungen speichern?"_s);
        QCOMPARE(asked.buttons, MsgButtons::SaveDiscardCancel);

        QCOMPARE(read_file(path).contains("\"gi_hn\": 33,"), saved);
        if (!saved && has_file) QCOMPARE(read_file(path), before);
        if (!has_file && answer == MsgAnswer::Save) QCOMPARE(titles(boxes).front(), u"Bestand speichern unter"_s);
        switch (leave) {
            case Leave::New: QCOMPARE(int(state_->gi_hn), goes_on ? 14 : 33); break;
            case Leave::Open: QCOMPARE(int(state_->gi_bhd), goes_on ? 50 : 20); break;
            case Leave::Close: QCOMPARE(closed, goes_on); break;
        }
        QCOMPARE(modified(), leave == Leave::Close ? !saved : !goes_on);  // a discarded close keeps its mark
        if (goes_on && leave != Leave::Close) QCOMPARE(titles(boxes).size(), qsizetype(leave == Leave::Open));
    }

    // A refused file: the reason in a message, the stand and its file as they were.
    void openRefused() {
        save_as(u"a.forstrix"_s);
        state_->gi_hn = 33;
        const State before = *state_;
        write_file(file(u"neu.forstrix"_s), R"({"format": "forstrix-bestand", "version": 9})");
        ScriptedMessages boxes;
        boxes.answer(MsgAnswer::Discard);
        boxes.answer_file(file(u"neu.forstrix"_s));
        window_->run_command(CmdOpenStand);
        QCOMPARE(boxes.shown().size(), std::size_t{2});
        const ShownMessage& m = boxes.shown()[1];
        QVERIFY(m.title == u"Fehler"_s && m.icon == MsgIcon::Error);
        QVERIFY2(m.text.startsWith(u"Bestandsdatei kann nicht geladen werden!\nDie Datei hat die Version 9"_s),
                 qPrintable(m.text));
        QCOMPARE(files::stand_text(*state_, {}), files::stand_text(before, {}));
        QCOMPARE(window_->document()->path(), file(u"a.forstrix"_s));
        QVERIFY(modified());
        QCOMPARE(recent_menu(), QStringList{u"&1 a.forstrix"_s});
    }

    // Newest first, each file once, at most eight, kept for the next run;
    // a file that has gone is dropped when it fails to open.
    void recentFiles() {
        QVERIFY(!window_->findChild<QMenu*>(u"recent"_s)->isEnabled());
        for (int i = 1; i <= 9; ++i) save_as(QStringLiteral("s%1.forstrix").arg(i));
        save_as(u"s5.forstrix"_s);
        QCOMPARE(recent_menu(), (QStringList{u"&1 s5.forstrix"_s, u"&2 s9.forstrix"_s, u"&3 s8.forstrix"_s,
                                             u"&4 s7.forstrix"_s, u"&5 s6.forstrix"_s, u"&6 s4.forstrix"_s,
                                             u"&7 s3.forstrix"_s, u"&8 s2.forstrix"_s}));

        // The next run finds them.
        restart();
        QCOMPARE(recent_menu().size(), 8);
        QCOMPARE(action(u"recent_2"_s)->data().toString(), file(u"s8.forstrix"_s));

        action(u"recent_2"_s)->trigger();
        QCOMPARE(window_->document()->path(), file(u"s8.forstrix"_s));
        QCOMPARE(recent_menu().first(), u"&1 s8.forstrix"_s);

        QVERIFY(QFile::remove(file(u"s7.forstrix"_s)));
        ScriptedMessages boxes;
        action(u"recent_3"_s)->trigger();
        QVERIFY(boxes.shown().size() == 1 && boxes.shown().front().title == u"Fehler"_s);
        QCOMPARE(window_->document()->path(), file(u"s8.forstrix"_s));
        QVERIFY(!recent_menu().contains(u"&4 s7.forstrix"_s));
        QCOMPARE(recent_menu().size(), 7);
    }

    // What the desktop shows for a stand, forstrix-cli computes from its
    // file alike (both programs read and write the file through one writer).
    void filesOfTheCommandLine() {
        run(u"201"_s, {stand_ok_with_slope(25)});
        state_->gf_hab112 = 99.5;  // typed into the cost dialog
        save_as(u"desktop.forstrix"_s);
        DialogScript results({end_with(ResultsOk)});
        window_->run_command(CmdResults);  // the results as the desktop shows them
        QVERIFY(results.wait_until_done());
        QProcess cli;
        cli.start(QStringLiteral(FORSTRIX_CLI), {u"calc"_s, u"--input"_s, file(u"desktop.forstrix"_s)});
        QVERIFY(cli.waitForFinished(60000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0);
        const auto doc = nlohmann::json::parse(cli.readAllStandardOutput().toStdString());
        QCOMPARE(doc.size(), value_registry().size() + 1);  // every value, then "reasons"
        for (const ValueInfo& v : value_registry())
            QVERIFY2(doc.at(std::string(v.name)).get<double>() == get_value(*state_, v), v.name.data());
    }
};

int main(int argc, char** argv) {
    // The recent list must not touch the user's settings: a folder of its own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    TestStandFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_stand_files.moc"

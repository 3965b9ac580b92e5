// What the program leaves until its window has painted: the menu bar's
// extension icon, read when first drawn, and the stand's computation, which
// whatever comes first finds done as by a start that computes at once.
#include <QMenuBar>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "files/basics_file.h"
#include "files/stand_file.h"
#include "ui/deferred_icons.h"
#include "ui/dialog_codes.h"
#include "ui/help_text.h"
#include "ui/mainwindow.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;

struct TextTrace final : TraceSink {
    std::string text;
    void write(std::string_view t) override { text += t; }
};

class TestStartUp : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<QStyle> plain_;  // the application's kind of style, built apart
    const DeferredIconStyle* style_ = nullptr;

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(dir_.path()));
        plain_.reset(QStyleFactory::create(QApplication::style()->name()));
        const QPalette palette = QApplication::palette();
        defer_style_icons();
        style_ = qobject_cast<DeferredIconStyle*>(QApplication::style());
        QVERIFY(style_ && style_->baseStyle()->name() == plain_->name());
        QCOMPARE(QApplication::palette(), palette);
    }

    // Built: nothing read. Too narrow for its menus: the button shows, read
    // then, with the images of the icon read at once in every mode and scale.
    void extensionIcon() {
        const int before = style_->icons_read();
        QMainWindow window;
        for (int i = 0; i < 12; ++i) window.menuBar()->addMenu(QStringLiteral("Kalkulationsgrundlagen %1").arg(i));
        QCOMPARE(style_->icons_read(), before);
        window.resize(240, 120);
        window.show();
        auto* button = window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QTRY_VERIFY(button && button->isVisible());
        button->grab();
        QCOMPARE(style_->icons_read(), before + 1);
        const QIcon deferred = button->icon(), real = plain_->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            for (qreal scale : {1.0, 2.0})
                for (QSize size : {QSize(8, 8), QSize(16, 16), QSize(32, 32)})
                    QCOMPARE(deferred.pixmap(size, scale, mode).toImage(), real.pixmap(size, scale, mode).toImage());
    }

    void computation_data() {  // what comes first: 0 the paint, 1 a file, else a menu command
        QTest::addColumn<int>("first");
        QTest::newRow("the window paints") << 0;
        QTest::newRow("a file given to open") << 1;
        QTest::newRow("Kalkulationsgrundlagen speichern") << int(CmdSaveBasics);
    }
    void computation() {
        QFETCH(int, first);
        State own, stand, states[2];
        own.gf_asb44 *= 2;  // the user's basics: a dearer skidder
        QVERIFY(files::write_stand("eichenhang.forstrix", stand, {"Eichenhang", ""}).ok());
        test::ScriptedMessages boxes;  // saved basics are confirmed in a box
        TextTrace traces[2];
        std::unique_ptr<MainWindow> windows[2];
        for (int later : {0, 1}) {
            QVERIFY(files::write_basics(files::kBasicsFileName, own).ok());
            windows[later] = std::make_unique<MainWindow>(states[later], &traces[later]);
            MainWindow& w = *windows[later];
            w.start_up(later ? MainWindow::Compute::AfterFirstPaint : MainWindow::Compute::Now);
            QCOMPARE(traces[later].text.empty(), bool(later));
            if (first == 0) QVERIFY(QTest::qWaitForWindowExposed(&w));
            else if (first == 1) QVERIFY(w.open_stand(QStringLiteral("eichenhang.forstrix")));
            else w.run_command(first);
            QTRY_COMPARE(w.help_view()->document()->blockCount(), kHelpLineCount);  // the start is over
        }
        QCOMPARE(traces[1].text, traces[0].text);
        QCOMPARE(files::basics_text(states[1]), files::basics_text(first == 1 ? stand : own));
    }
};

QTEST_MAIN(TestStartUp)
#include "test_start_up.moc"

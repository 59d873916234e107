// The windows by keyboard alone: Tab order, Space and Enter on push buttons and push
// panels, access keys, held keys.
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <functional>

#include "bar/bar_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

using Check = std::function<bool()>;
Q_DECLARE_METATYPE(Check)

namespace {

void key(QEvent::Type type, QKeyCombination combination, bool repeat = false) {
    QKeyEvent event(type, combination.key(), combination.keyboardModifiers(), QString(), repeat);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

template <class T>
bool shown() {
    return Forms::find<T>() && Forms::find<T>()->isVisible();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    // Tab order rows go round with Tab and back with Shift+Tab, in the order of the
    // windows' control lists, over hidden pages and past a button outside the bar. Key rows
    // press on the focused control (pressed look while down, one click however long the
    // key repeats) or an access key on the window.
    // clang-format off
    void keyboard_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<Check>("whileHeld");
        QTest::addColumn<Check>("after");
        const QByteArray threeButtons("[Buttons]\nButton4Caption=&Zed\n[Options]\n3Button=1\nButtonBackground=1\n");
        const QStringList barOrder{"SSPanel1", "SSPanel3", "SSCommand6", "SSCommand7", "SSCommand8", "SSCommand9", "SSPanel2"};
        const Check any = [] { return true; };
        auto tabRow = [&](const char *name, const char *window, const QByteArray &settings, const QStringList &order) {
            QTest::newRow(name) << window << settings << order << QString() << QKeySequence() << any << any;
        };
        auto keyRow = [&](const char *name, const char *window, const QByteArray &settings, const char *focus, QKeySequence keys, Check after, Check held = nullptr) {
            QTest::newRow(name) << window << settings << QStringList() << focus << keys << (held ? held : any) << after;
        };
        tabRow("bar", "bar", {}, barOrder);
        tabRow("bar, three buttons", "bar", threeButtons, QStringList(barOrder).filter(QRegularExpression("^(?!SSCommand9)")));
        tabRow("menu", "menu", {}, {"SSCommand1", "SSCommand4", "SSCommand3", "SSCommand2", "SSCommand6", "SSCommand5"});
        tabRow("options", "options", {}, {"SSPanel12", "SSPanel14", "SSPanel17", "SSPanel13", "Check1", "Check3", "Check2", "Check5", "SSPanel4",
                                           "SSPanel5", "SSPanel6", "SSPanel7", "SSPanel8", "SSPanel9", "Check6", "SSPanel10", "SSCommand2", "SSCommand1"});
        keyRow("Enter on the menu panel", "bar", {}, "SSPanel2", Qt::Key_Return,
               [] { return shown<Form9>() && Forms::find<Form1>()->SSPanel2->BevelOuter() == SSPanel::Raised; });
        keyRow("the menu panel's access key", "bar", {}, "", QKeySequence("Alt+M"), shown<Form9>);
        keyRow("Enter held on a launch button", "bar", {}, "SSCommand6", Qt::Key_Return, [] { return testHost().messages.size() == 1; });
        keyRow("access key of a button outside the bar", "bar", threeButtons, "", QKeySequence("Alt+Z"),
               [] { return !Forms::find<Form1>()->SSCommand9->isDown() && testHost().messages.isEmpty(); });
        keyRow("Space on Options", "menu", {}, "SSCommand1", Qt::Key_Space, shown<Form7>);
        keyRow("Enter on a tab", "options", {}, "SSPanel13", Qt::Key_Return,
               [] { return Forms::find<Form7>()->SSPanel11->isVisible() && !Forms::find<Form7>()->SSPanel1->isVisible(); });
        keyRow("Space held on a colour step", "options", {}, "SSPanel4", Qt::Key_Space,
               [] { return !Forms::find<Form7>()->Timer4->isActive() && Forms::find<Form7>()->SSPanel4->BevelOuter() == SSPanel::Raised; },
               [] { return Forms::find<Form7>()->Label9->Caption().toInt() <= 245; });
    }
    // clang-format on

    void keyboard() {
        QFETCH(QString, window);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, order);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        QFETCH(Check, whileHeld);
        QFETCH(Check, after);
        auto focusName = [] { return QApplication::focusWidget()->objectName(); };
        testHost().freshStart();
        testenv::writeFile(testenv::programFolder() + "/Panel.exe", "#!/bin/sh\n", true);
        testHost().writeSettingsFile(settings);
        Form *form = Forms::get<Form1>();
        QVERIFY(QTest::qWaitForWindowActive(form));
        if (window == "menu") form = Forms::open<Form9>();
        if (window == "options") form = openOptions();
        QVERIFY(QTest::qWaitForWindowActive(form));
        // No focus mark until the keyboard is used.
        QVERIFY(!form->testAttribute(Qt::WA_KeyboardFocusChange));
        if (!order.isEmpty()) {
            QStringList forward{focusName()}, backward{focusName()};
            for (int i = 0; i < order.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                forward << focusName();
            }
            for (int i = 0; i < order.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
                backward.prepend(focusName());
            }
            const int start = order.indexOf(forward.first());
            QVERIFY2(start >= 0, qPrintable(forward.first()));
            QCOMPARE(forward, order.mid(start) + order.mid(0, start + 1));
            QCOMPARE(backward, forward);
        } else if (focus.isEmpty()) {
            QTest::keyClick(form, keys[0].key(), keys[0].keyboardModifiers());
        } else {
            QWidget *target = form->findChild<QWidget *>(focus);
            target->setFocus(Qt::TabFocusReason);
            key(QEvent::KeyPress, keys[0]);
            auto *panel = qobject_cast<SSPanel *>(target);
            QVERIFY(panel ? panel->BevelOuter() == SSPanel::Inset
                          : static_cast<SSCommand *>(target)->isDown());
            for (int repeat = 0; repeat < 3; ++repeat) key(QEvent::KeyPress, keys[0], true);
            QTRY_VERIFY(whileHeld());
            key(QEvent::KeyRelease, keys[0]);
        }
        QTRY_VERIFY(after());
    }
};

TALVENDOK_TEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"

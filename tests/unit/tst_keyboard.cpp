// The windows driven by keyboard alone: tab order, Space and Enter on push buttons and push
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

// The window as the user opens it, active, with the settings file written first.
Form *openWindow(const QString &which, const QByteArray &settings) {
    testHost().writeSettingsFile(settings);
    Form *form = Forms::get<Form1>();
    if (!QTest::qWaitForWindowActive(form)) return nullptr;
    if (which == QLatin1String("menu")) form = Forms::open<Form9>();
    if (which == QLatin1String("options")) form = openOptions();
    return QTest::qWaitForWindowActive(form) ? form : nullptr;
}

QString focusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void key(QWidget *target, QEvent::Type type, QKeyCombination combination, bool repeat = false) {
    QKeyEvent event(type, combination.key(), combination.keyboardModifiers(), QString(), repeat);
    QApplication::sendEvent(target, &event);
}

bool looksPressed(const QWidget *w) {
    if (auto *panel = qobject_cast<const SSPanel *>(w)) return panel->BevelOuter() == SSPanel::Inset;
    return static_cast<const SSCommand *>(w)->isDown();
}

template <class T>
bool shown() {
    return Forms::find<T>() && Forms::find<T>()->isVisible();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testHost().freshStart();
        // The utility panel is there: its button is in the menu's order.
        testenv::writeFile(testenv::programFolder() + QStringLiteral("/Panel.exe"), "#!/bin/sh\n",
                           true);
    }

    // Tab and Shift+Tab go round the controls in the order of their windows' control
    // lists, over hidden pages and past a launch button moved outside the bar.
    // clang-format off
    void tabOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("order");
        const QStringList bar{"SSPanel1", "SSPanel3", "SSCommand6", "SSCommand7", "SSCommand8", "SSCommand9", "SSPanel2"};
        QTest::newRow("bar") << "bar" << QByteArray() << bar;
        QTest::newRow("bar, three buttons") << "bar" << QByteArray("[Options]\n3Button=1\nButtonBackground=1\n")
                                            << QStringList(bar).filter(QRegularExpression("^(?!SSCommand9)"));
        QTest::newRow("menu") << "menu" << QByteArray()
                              << QStringList{"SSCommand1", "SSCommand4", "SSCommand3", "SSCommand2", "SSCommand6", "SSCommand5"};
        QTest::newRow("options") << "options" << QByteArray()
            << QStringList{"SSPanel12", "SSPanel14", "SSPanel17", "SSPanel13", "Check1", "Check3", "Check2", "Check5",
                           "SSPanel4", "SSPanel5", "SSPanel6", "SSPanel7", "SSPanel8", "SSPanel9", "Check6", "SSPanel10",
                           "SSCommand2", "SSCommand1"};
    }
    // clang-format on

    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, order);
        Form *form = openWindow(window, settings);
        QVERIFY(form);
        // No focus mark until the keyboard is used.
        QVERIFY(!form->testAttribute(Qt::WA_KeyboardFocusChange));
        QStringList forward{focusName()};
        for (int i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << focusName();
        }
        QVERIFY(form->testAttribute(Qt::WA_KeyboardFocusChange));
        const int start = order.indexOf(forward.first());
        QVERIFY2(start >= 0, qPrintable(forward.first()));
        QCOMPARE(forward, order.mid(start) + order.mid(0, start) + QStringList{order.at(start)});
        QStringList backward{focusName()};
        for (int i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward << focusName();
        }
        std::reverse(backward.begin(), backward.end());
        QCOMPARE(backward, forward);
    }

    // A key on the focused control, or an access key on the window: pressed look while
    // the key is down, then what a click does, once, however long the key is held.
    // clang-format off
    void keys_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<Check>("whileHeld");
        QTest::addColumn<Check>("after");
        auto bar = [] { return Forms::find<Form1>(); };
        auto options = [] { return Forms::find<Form7>(); };
        const Check any = [] { return true; };
        QTest::newRow("Enter on the menu panel") << "bar" << QByteArray() << "SSPanel2" << QKeySequence(Qt::Key_Return)
            << any << Check([=] { return shown<Form9>() && bar()->SSPanel2->BevelOuter() == SSPanel::Raised; });
        QTest::newRow("the menu panel's access key") << "bar" << QByteArray() << "" << QKeySequence("Alt+M")
            << any << Check(shown<Form9>);
        QTest::newRow("Enter held on a launch button") << "bar" << QByteArray() << "SSCommand6" << QKeySequence(Qt::Key_Return)
            << any << Check([] { return testHost().messages.size() == 1; });
        QTest::newRow("access key of a launch button outside the bar") << "bar"
            << QByteArray("[Buttons]\nButton4Caption=&Zed\n[Options]\n3Button=1\nButtonBackground=1\n") << "" << QKeySequence("Alt+Z")
            << any << Check([=] { return !bar()->SSCommand9->isDown() && testHost().messages.isEmpty(); });
        QTest::newRow("Space on Options") << "menu" << QByteArray() << "SSCommand1" << QKeySequence(Qt::Key_Space)
            << any << Check(shown<Form7>);
        QTest::newRow("Enter on the Miscellaneous tab") << "options" << QByteArray() << "SSPanel13" << QKeySequence(Qt::Key_Return)
            << any << Check([=] { return options()->SSPanel11->isVisible() && !options()->SSPanel1->isVisible(); });
        QTest::newRow("Space held on red down") << "options" << QByteArray() << "SSPanel4" << QKeySequence(Qt::Key_Space)
            << Check([=] { return options()->Label9->Caption().toInt() <= 245; })
            << Check([=] { return !options()->Timer4->isActive() && options()->SSPanel4->BevelOuter() == SSPanel::Raised; });
    }
    // clang-format on

    void keys() {
        QFETCH(QString, window);
        QFETCH(QByteArray, settings);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        QFETCH(Check, whileHeld);
        QFETCH(Check, after);
        Form *form = openWindow(window, settings);
        QVERIFY(form);
        QWidget *target = form;
        if (!focus.isEmpty()) {
            target = form->findChild<QWidget *>(focus);
            target->setFocus(Qt::TabFocusReason);
            key(target, QEvent::KeyPress, keys[0]);
            QVERIFY(looksPressed(target));
            // The key repeats while held: the press is not made again.
            for (int repeat = 0; repeat < 3; ++repeat) key(target, QEvent::KeyPress, keys[0], true);
            QTRY_VERIFY(whileHeld());
            key(target, QEvent::KeyRelease, keys[0]);
        } else {
            QTest::keyClick(form, keys[0].key(), keys[0].keyboardModifiers());
        }
        QTRY_VERIFY(after());
    }
};

TALVENDOK_TEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"

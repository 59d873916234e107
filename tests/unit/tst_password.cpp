#include <QApplication>
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "config/password_info_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const QString kOptions = QStringLiteral("Options");

bool isCentred(Form *form) {
    const QSizeF screen = host().screenSizeTwips();
    return qAbs(form->Left() - (screen.width() - form->Width()) / 2) < 0.01 &&
           qAbs(form->Top() - (screen.height() - form->Height()) / 2) < 0.01;
}

// As the menu opens it while a password is stored.
Form13 *openAccess() {
    Forms::get<Form1>();
    Form13 *access = Forms::get<Form13>();
    access->Show();
    access->SetFocus();
    return access;
}

}  // namespace

class PasswordTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testHost().freshStart();
    }

    void accessWindowLooksAsDesigned() {
        Form13 *access = openAccess();
        QVERIFY(isCentred(access));
        QCOMPARE(access->size(), QSize(217, 114));
        QVERIFY(access->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(access->Text1->echoMode(), QLineEdit::Password);
        QVERIFY(QTest::qWaitForWindowActive(access));
        QCOMPARE(QApplication::focusWidget(), access->Text1);
        // The default button exists but is never seen nor reached with the keyboard.
        QVERIFY(access->Command1->isDefault());
        QVERIFY(!access->rect().intersects(access->Command1->geometry()));
        QCOMPARE(access->Command1->focusPolicy(), Qt::NoFocus);
        QVERIFY(Forms::find<Form3>() && !Forms::find<Form3>()->isVisible());
        QCOMPARE(access->Picture().toImage(), Forms::find<Form3>()->Picture().toImage());
        QVERIFY(!access->Picture().isNull());
    }

    void refusedPasswords_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("letter case") << QStringLiteral("open sesame");
        QTest::newRow("trailing blank") << QStringLiteral("Open Sesame ");
        QTest::newRow("leading blank") << QStringLiteral(" Open Sesame");
        QTest::newRow("other") << QStringLiteral("Sesame");
    }

    void refusedPasswords() {
        QFETCH(QString, typed);
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("Password"), QStringLiteral("Open Sesame"));
        const QByteArray before = testHost().settingsFileContent();
        Form13 *access = openAccess();
        QTest::keyClicks(access->Text1, typed);
        QCOMPARE(access->Text1->Text(), typed);
        bool shownDuringMessage = false;
        testHost().onMessage = [&](const TestHost::Message &) {
            shownDuringMessage = access->isVisible();
        };
        QTest::keyClick(access->Text1, Qt::Key_Return);

        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Password Incorrect"));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(testHost().messages[0].title.isEmpty());
        QVERIFY(shownDuringMessage);
        QVERIFY(!Forms::find<Form13>());
        QVERIFY(!Forms::find<Form7>());
        QCOMPARE(testHost().settingsFileContent(), before);

        // The next opening starts with an empty field.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        access = openAccess();
        QVERIFY(access->Text1->Text().isEmpty());
    }

    void rightPasswordOpensTheOptionsCentred() {
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("Password"), QStringLiteral("Open Sesame"));
        Form13 *access = openAccess();
        QTest::keyClicks(access->Text1, QStringLiteral("Open Sesame"));
        QTest::keyClick(access->Text1, Qt::Key_Enter);
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(!Forms::find<Form13>());
        Form7 *options = Forms::find<Form7>();
        QVERIFY(options);
        QVERIFY(options->isVisible());
        QVERIFY(isCentred(options));
        QCOMPARE(options->Text2->Text(), QStringLiteral("TALVENDOK"));  // loaded
        // The typed password never reaches the options' password fields.
        QVERIFY(options->Text3->Text().isEmpty());
    }

    void emptyFieldMatchesOnlyNoPassword() {
        Form13 *access = openAccess();
        access->Command1_Click();
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(Forms::find<Form7>() && Forms::find<Form7>()->isVisible());
    }

    void informationWindowLeadsBack() {
        Forms::get<Form1>();
        Form7 *options = Forms::get<Form7>();
        options->Show();
        options->centre();
        Form1 *bar = Forms::get<Form1>();
        QTest::mouseClick(options->SSPanel13, Qt::LeftButton);
        options->Check7->setValue(1);
        QTest::mouseClick(options->SSPanel17, Qt::LeftButton);
        QTest::keyClicks(options->Text3, QStringLiteral("old one"));
        QTest::keyClicks(options->Text4, QStringLiteral("new one"));

        QTest::mouseClick(options->SSCommand3, Qt::LeftButton);
        Form12 *info = Forms::find<Form12>();
        QVERIFY(info);
        QVERIFY(info->isVisible());
        QVERIFY(isCentred(info));
        QVERIFY(!options->isVisible() && !bar->isVisible());
        QCOMPARE(Forms::find<Form7>(), options);
        QVERIFY(options->Timer7->Enabled());
        QVERIFY(!info->Picture().isNull());
        QCOMPARE(info->Picture().toImage(), Forms::find<Form3>()->Picture().toImage());

        QTest::mouseClick(info->SSCommand1, Qt::LeftButton);
        QVERIFY(!Forms::find<Form12>());
        QVERIFY(bar->isVisible());
        QVERIFY(options->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(options));
        QCOMPARE(options->Text3->Text(), QStringLiteral("old one"));
        QCOMPARE(options->Text4->Text(), QStringLiteral("new one"));
        QCOMPARE(options->Check7->Value(), 1);
        QVERIFY(!options->SSPanel18->isHidden() && options->SSPanel1->isHidden());
    }

    // The whole text fits its label however deep the settings folder lies: a path too long
    // for it is shortened, never cut at the label's edges.
    void informationNamesWhereThePasswordIsKept_data() {
        QTest::addColumn<QString>("folder");  // of the settings, below the config home
        QTest::newRow("usual") << QString();
        QTest::newRow("many folders deep") << QStringLiteral("/level").repeated(35);
        QTest::newRow("one long folder name") << QLatin1Char('/') + QString(150, QLatin1Char('x'));
    }
    void informationNamesWhereThePasswordIsKept() {
        QFETCH(QString, folder);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           testenv::configHome() + folder);
        testHost().reopenSettings();
        Form12 *info = Forms::get<Form12>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testenv::configHome());
        testHost().reopenSettings();
        const QString text = info->Label2->Caption();
        QVERIFY(text.startsWith(QStringLiteral(
            "Once you enter a password, it will be required to enter the Options section of "
            "TALVENDOK.")));
#ifdef Q_OS_WIN
        QVERIFY(text.contains(QStringLiteral("Windows Registry")));
#else
        QVERIFY(!text.contains(QStringLiteral("Registry")));
        if (folder.isEmpty())
            QVERIFY2(text.contains(QStringLiteral("~/config/TALVENDOK/TALVENDOK.conf")),
                     qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("/TALVENDOK.conf. ")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("\"Password\" line")));
#endif
        const QRect room = info->Label2->contentsRect();
        const QRect needed = info->Label2->fontMetrics().boundingRect(
            room, Qt::TextWordWrap | Qt::AlignHCenter, text);
        QVERIFY2(needed.height() <= room.height() && needed.width() <= room.width(),
                 qPrintable(text));
    }

    void informationWindowResizesButNotBelowItsDesign() {
        Form12 *info = Forms::get<Form12>();
        QVERIFY(!info->windowFlags().testFlag(Qt::Tool));  // it has a task bar entry
        QVERIFY(info->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(info->minimumSize(), QSize(306, 193));
        info->resize(400, 260);
        QCOMPARE(info->size(), QSize(400, 260));
        info->resize(100, 100);
        QCOMPARE(info->size(), QSize(306, 193));
    }
};

TALVENDOK_TEST_MAIN(PasswordTest)
#include "tst_password.moc"

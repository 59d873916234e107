#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <algorithm>

#include "bar/bar_window.h"
#include "config/about_window.h"
#include "config/membrane_chooser_window.h"
#include "config/menu_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

Form2 *openAbout() {
    Form2 *about = Forms::get<Form2>();
    about->Show();
    about->SetFocus();
    return about;
}

// One tick of whichever timer is on; exactly one of them must be.
void tick(Form2 *about) {
    QVERIFY(about->Timer1->Enabled() != about->Timer2->Enabled());
    if (about->Timer1->Enabled()) {
        about->Timer1_Timer();
    } else {
        about->Timer2_Timer();
    }
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testHost().freshStart();
        Form1 *bar = Forms::get<Form1>();
        bar->Show();
        bar->SetFocus();
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }

    void opensCentredWithTheIconAtTheLeftOfItsStrip() {
        Form2 *about = openAbout();
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(about->Left(), (screen.width() - about->Width()) / 2);
        QCOMPARE(about->Top(), (screen.height() - about->Height()) / 2);
        QCOMPARE(about->Label1->Caption(), QStringLiteral("Version 1.8"));
        QCOMPARE(twips::left(about->Picture1), 3730.0);
        QVERIFY(about->Timer1->Enabled());
        QVERIFY(!about->Timer2->Enabled());
        QCOMPARE(about->Timer1->interval(), 50);
        QCOMPARE(about->Timer2->interval(), 50);
        QCOMPARE(about->Picture1->Picture().toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/program.png")).convertToFormat(QImage::Format_ARGB32));
        QVERIFY(!about->Picture().isNull());

        // The timer really drives the icon to the right.
        QTRY_VERIFY(twips::left(about->Picture1) > 3730);
    }

    void theIconSwingsBetween3730And4850() {
        Form2 *about = openAbout();
        about->Timer1->stop();  // ticks are given by hand below
        about->Timer1->setEnabled(true);
        QList<double> positions;
        QList<bool> rightward;
        for (int i = 0; i < 56; ++i) {
            tick(about);
            positions << twips::left(about->Picture1);
            rightward << about->Timer1->Enabled();
        }
        QList<double> swing;
        for (int i = 1; i <= 14; ++i) swing << 3730 + 80 * i;
        for (int i = 1; i <= 14; ++i) swing << 4850 - 80 * i;
        QCOMPARE(positions.mid(0, 28), swing);
        QCOMPARE(positions.mid(28, 28), swing);
        // The turns come on the 14th tick each way.
        for (int i = 0; i < 56; ++i) QCOMPARE(rightward[i], (i % 28) < 13 || (i % 28) == 27);
        QCOMPARE(*std::min_element(positions.begin(), positions.end()), 3730.0);
        QCOMPARE(*std::max_element(positions.begin(), positions.end()), 4850.0);
    }

    void returnShowsTheBarAndTheNextOpeningStartsAfresh() {
        Form1 *bar = Forms::get<Form1>();
        bar->hide();
        QPointer<Form2> about = openAbout();
        for (int i = 0; i < 20; ++i) tick(about);
        QVERIFY(about->Timer2->Enabled());
        about->SSCommand1->click();
        QVERIFY(!Forms::isLoaded(about));
        QVERIFY(!about->Timer1->isActive() && !about->Timer2->isActive());
        QVERIFY(bar->Visible());
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());

        about = openAbout();
        QCOMPARE(twips::left(about->Picture1), 3730.0);
        QVERIFY(about->Timer1->Enabled());
        QVERIFY(!about->Timer2->Enabled());
    }

    void changeMembraneLeavesTheChooserOpenAndTheBarAlone() {
        Form1 *bar = Forms::get<Form1>();
        bar->hide();
        QPointer<Form2> about = openAbout();
        about->SSCommand3->click();
        QVERIFY(!Forms::isLoaded(about));
        Form8 *chooser = Forms::find<Form8>();
        QVERIFY(chooser);
        QVERIFY(chooser->Visible());
        QVERIFY(!bar->Visible());
    }

    void theMenusAboutOpensIt() {
        QPointer<Form9> menu = Forms::get<Form9>();
        menu->Show();
        menu->SetFocus();
        menu->SSCommand2->click();
        QVERIFY(!Forms::isLoaded(menu));
        Form2 *about = Forms::find<Form2>();
        QVERIFY(about && about->Visible());
        QTRY_COMPARE(QGuiApplication::focusWindow(), about->windowHandle());
    }
};

TALVENDOK_TEST_MAIN(AboutTest)
#include "tst_about.moc"

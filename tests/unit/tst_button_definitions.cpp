#include <QFile>
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QImage picture(const QString &path) {
    QPixmap loaded;
    host().loadPicture(path, &loaded, QSize(32, 32));
    return testenv::pixels(loaded);
}

// What one slot of the bar holds, with what its row shows: caption, program, the row's
// program, icon, the row's icon, the button's picture, the row's preview.
QVariantList slotState(int slot) {
    Form1 *bar = Forms::get<Form1>();
    Form3 *form = Forms::get<Form3>();
    Label *const programs[] = {form->Label16, form->Label19, form->Label21, form->Label23};
    Label *const icons[] = {form->Label17, form->Label18, form->Label20, form->Label22};
    Image *const previews[] = {form->Image1, form->Image2, form->Image3, form->Image4};
    return {bar->launchButton(slot)->Caption(),
            bar->programHolder(slot)->Caption(),
            programs[slot - 1]->Caption(),
            bar->iconHolder(slot)->Caption(),
            icons[slot - 1]->Caption(),
            testenv::pixels(bar->launchButton(slot)->Picture()),
            testenv::pixels(previews[slot - 1]->Picture())};
}

QList<QVariantList> otherSlots(int slot) {
    QList<QVariantList> states;
    for (int other = 1; other <= 4; ++other)
        if (other != slot) states << slotState(other);
    return states;
}

}  // namespace

class TestButtonDefinitions : public QObject {
    Q_OBJECT

    QString m_work;  // pictures and programs the user picks, outside the program folder

  private slots:
    void init() {
        testHost().freshStart();
        m_work = testenv::dataHome() + QStringLiteral("/picked");
        // The shipped default icon, where "C:\TALVENDOK\DEFAULT.ICO" finds it.
        QVERIFY(QFile::copy(QFINDTESTDATA("../../resources/program_folder/DEFAULT.ICO"),
                            testenv::programFolder() + QStringLiteral("/DEFAULT.ICO")));
    }

    // Each row takes its slot from the bar, and its caption goes back at each keystroke; an
    // icon that does not load shows no preview and keeps the later slots from nothing.
    void rowsFollowTheBarsSlots() {
        const QString green = m_work + QStringLiteral("/green.ico");
        QVERIFY(testenv::writePicture(green, "png", QSize(32, 32), Qt::green));
        host().saveSetting("Buttons", "Button1Caption", "Mail");
        host().saveSetting("Buttons", "Button2Icon", m_work + "/missing.ico");
        host().saveSetting("Buttons", "Button3Icon", green);
        Form3 *form = Forms::open<Form3>();
        QCOMPARE(form->Text1->text(), QStringLiteral("Mail"));
        QCOMPARE(form->Label18->Caption(), m_work + "/missing.ico");
        QVERIFY(form->Image2->Picture().isNull());
        QCOMPARE(testenv::pixels(form->Image3->Picture()), picture(green));
        Form1 *bar = Forms::get<Form1>();
        form->Text2->selectAll();
        QTest::keyClicks(form->Text2, QStringLiteral("W&"));
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("W&"));
        QTest::keyClick(form->Text2, Qt::Key_Backspace);
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("W"));
        QCOMPARE(bar->launchButton(1)->Caption(), QStringLiteral("Mail"));
    }

    // A cancelled or unloadable icon choice gives an unset slot the default icon at once
    // (kept through the exit); a slot with an icon keeps it. No other slot changes.
    void iconChoiceThatFails_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("hadIcon");
        QTest::newRow("cancelled, unset") << true << false;
        QTest::newRow("not a picture, unset") << false << false;
        QTest::newRow("cancelled, with icon") << true << true;
        QTest::newRow("not a picture, with icon") << false << true;
    }
    void iconChoiceThatFails() {
        QFETCH(bool, cancel);
        QFETCH(bool, hadIcon);
        const QString red = m_work + QStringLiteral("/red.png");
        QVERIFY(testenv::writePicture(red, "png", QSize(32, 32), Qt::red));
        if (hadIcon) host().saveSetting("Buttons", "Button2Icon", red);
        QVERIFY(testenv::writeFile(m_work + "/notes.ico", "notes"));
        const QList<QVariantList> others = otherSlots(2);
        testHost().chooserAnswers = {cancel ? QString() : m_work + "/notes.ico"};
        Forms::get<Form3>()->SSCommand4->click();
        QCOMPARE(testHost().chooserTitles, QStringList{QStringLiteral("Choose Icon")});
        const QString icon = hadIcon ? red : "C:\\TALVENDOK\\DEFAULT.ICO";
        QCOMPARE(slotState(2).mid(3), (QVariantList{icon, icon, picture(icon), picture(icon)}));
        QCOMPARE(otherSlots(2), others);
        Forms::get<Form1>()->SSPanel1_Click();
        QCOMPARE(
            QSettings(testHost().settingsFile(), QSettings::IniFormat).value("Buttons/Button2Icon"),
            icon);
    }

    // Each row's choices reach its slot only; the one chooser keeps its folder between uses.
    void choicesReachTheirSlot_data() {
        QTest::addColumn<int>("slot");
        for (int slot = 1; slot <= 4; ++slot)
            QTest::newRow(qPrintable(QString::number(slot))) << slot;
    }
    void choicesReachTheirSlot() {
        QFETCH(int, slot);
        const QString tool = testenv::writeMarkerScript(m_work + "/bin/tool", m_work + "/marker");
        const QString icon = m_work + QStringLiteral("/icons/tool.ico");
        QVERIFY(testenv::writePicture(icon, "ico", QSize(32, 32), Qt::magenta));
        Form3 *form = Forms::get<Form3>();
        const QList<QVariantList> others = otherSlots(slot);
        const auto button = [form](int n) {
            return form->findChild<SSCommand *>(QStringLiteral("SSCommand%1").arg(n));
        };
        testHost().chooserAnswers = {QString(), tool, icon};
        button(2 * slot - 1)->click();
        QCOMPARE(Forms::get<Form1>()->programHolder(slot)->Caption(), "UNDEFINED");  // cancelled
        button(2 * slot - 1)->click();
        button(2 * slot)->click();
        QCOMPARE(testHost().chooserTitles,
                 QStringList({"Choose EXE", "Choose EXE", "Choose Icon"}));
        QCOMPARE(testHost().chooserInitDirs.last(), QFileInfo(tool).absolutePath());
        QCOMPARE(slotState(slot),
                 (QVariantList{"Undefined", tool, tool, icon, icon, picture(icon), picture(icon)}));
        QCOMPARE(otherSlots(slot), others);
    }

    // The program chooser starts among the applications; an entry chosen names a slot still
    // "Undefined", in the user's language.
    void chosenApplication() {
        const QString entry = m_work + QStringLiteral("/tool.desktop");
        QVERIFY(testenv::writeFile(entry,
                                   "[Desktop Entry]\nType=Application\nName=Tool\n"
                                   "Name[de]=Werkzeug\nExec=/bin/true\n"));
        Form3 *form = Forms::get<Form3>();
        testHost().chooserAnswers = {entry};
        qputenv("LANGUAGE", "de");
        form->SSCommand3->click();
        qunsetenv("LANGUAGE");
        QCOMPARE(testHost().chooserInitDirs, QStringList{"/usr/share/applications"});
        QCOMPARE(slotState(2).mid(0, 4), (QVariantList{"Werkzeug", entry, entry, "UNDEFINED"}));
        QCOMPARE(form->Text2->text(), QStringLiteral("Werkzeug"));
    }
};

TALVENDOK_TEST_MAIN(TestButtonDefinitions)
#include "tst_button_definitions.moc"

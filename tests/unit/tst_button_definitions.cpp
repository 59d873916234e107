#include <QFile>
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/menu_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const QString kDefaultIcon = QStringLiteral("C:\\TALVENDOK\\DEFAULT.ICO");

QImage picture(const QString &path) {
    QPixmap loaded;
    host().loadPicture(path, &loaded, QSize(32, 32));
    return testenv::pixels(loaded);
}

// What one slot of the bar holds, with the preview of its row.
QVariantList slotState(int slot) {
    Form1 *bar = Forms::get<Form1>();
    Form3 *form = Forms::get<Form3>();
    Image *const previews[] = {form->Image1, form->Image2, form->Image3, form->Image4};
    return {bar->launchButton(slot)->Caption(), bar->programHolder(slot)->Caption(),
            bar->iconHolder(slot)->Caption(), testenv::pixels(bar->launchButton(slot)->Picture()),
            testenv::pixels(previews[slot - 1]->Picture())};
}

QString storedValue(const QString &key) {
    QSettings file(testHost().settingsFile(), QSettings::IniFormat);
    return file.value(key).toString();
}

}  // namespace

class TestButtonDefinitions : public QObject {
    Q_OBJECT

    QString m_work;  // pictures and programs the user picks, outside the program folder

  private slots:
    void init() {
        testHost().freshStart();
        m_work = testenv::dataHome() + QStringLiteral("/picked");
        QDir().mkpath(m_work);
        // The shipped default icon, where "C:\TALVENDOK\DEFAULT.ICO" finds it.
        QVERIFY(QFile::copy(QFINDTESTDATA("../../resources/program_folder/DEFAULT.ICO"),
                            testenv::programFolder() + QStringLiteral("/DEFAULT.ICO")));
    }

    // Each row takes its slot from the bar; an icon that does not load shows no preview
    // and keeps the later slots from nothing.
    void rowsShowTheBarsSlots() {
        const QString green = m_work + QStringLiteral("/green.ico");
        QVERIFY(testenv::writePicture(green, "png", QSize(32, 32), Qt::green));
        host().saveSetting("Buttons", "Button1Caption", "Mail");
        host().saveSetting("Buttons", "Button2Icon", m_work + "/missing.ico");
        host().saveSetting("Buttons", "Button3Icon", green);
        Form3 *form = Forms::get<Form3>();
        QCOMPARE(form->Text1->text(), QStringLiteral("Mail"));
        QCOMPARE(form->Text2->text(), QStringLiteral("Undefined"));
        QCOMPARE(form->Label18->Caption(), m_work + "/missing.ico");
        QVERIFY(form->Image2->Picture().isNull());
        QCOMPARE(testenv::pixels(form->Image3->Picture()), picture(green));
    }

    void captionFollowsEachKeystroke() {
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        form->Show();
        form->Text2->selectAll();
        QTest::keyClicks(form->Text2, QStringLiteral("W&"));
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("W&"));
        QTest::keyClick(form->Text2, Qt::Key_Backspace);
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("W"));
        QCOMPARE(bar->launchButton(1)->Caption(), QStringLiteral("Undefined"));
    }

    // A cancelled or unloadable icon choice gives an unset slot the default icon at once
    // (kept through the exit); a slot with an icon keeps it. No other slot changes.
    // clang-format off
    void iconChoiceThatFails_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("hadIcon");
        QTest::newRow("cancelled, unset") << true << false;
        QTest::newRow("not a picture, unset") << false << false;
        QTest::newRow("cancelled, with icon") << true << true;
        QTest::newRow("not a picture, with icon") << false << true;
    }
    // clang-format on

    void iconChoiceThatFails() {
        QFETCH(bool, cancel);
        QFETCH(bool, hadIcon);
        const QString red = m_work + QStringLiteral("/red.png");
        QVERIFY(testenv::writePicture(red, "png", QSize(32, 32), Qt::red));
        if (hadIcon) host().saveSetting("Buttons", "Button2Icon", red);
        QFile text(m_work + "/notes.ico");
        QVERIFY(text.open(QIODevice::WriteOnly));
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        const QVariantList others[] = {slotState(1), slotState(3), slotState(4)};
        testHost().chooserAnswers = {cancel ? QString() : text.fileName()};
        form->SSCommand4->click();
        QCOMPARE(testHost().chooserTitles, QStringList{QStringLiteral("Choose Icon")});
        const QString icon = hadIcon ? red : kDefaultIcon;
        QCOMPARE(bar->iconHolder(2)->Caption(), icon);
        QCOMPARE(form->Label18->Caption(), icon);
        QCOMPARE(testenv::pixels(bar->launchButton(2)->Picture()), picture(icon));
        QCOMPARE(testenv::pixels(form->Image2->Picture()), picture(icon));
        QCOMPARE((QList<QVariantList>{slotState(1), slotState(3), slotState(4)}),
                 (QList<QVariantList>{others[0], others[1], others[2]}));
        bar->SSPanel1_Click();
        QCOMPARE(storedValue("Buttons/Button2Icon"), icon);
    }

    // Slot 3's choices reach slot 3 only; the one chooser keeps its folder between uses.
    void choicesForSlot3() {
        const QString tool = testenv::writeMarkerScript(m_work + "/bin/tool", m_work + "/marker");
        const QString icon = m_work + QStringLiteral("/icons/tool.ico");
        QVERIFY(testenv::writePicture(icon, "ico", QSize(32, 32), Qt::magenta));
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        const QVariantList before[] = {slotState(1), slotState(2), slotState(4)};
        testHost().chooserAnswers = {QString(), tool, icon};
        form->SSCommand5->click();
        QCOMPARE(bar->programHolder(3)->Caption(), QStringLiteral("UNDEFINED"));  // cancelled
        form->SSCommand5->click();
        form->SSCommand6->click();
        QCOMPARE(testHost().chooserTitles,
                 QStringList({"Choose EXE", "Choose EXE", "Choose Icon"}));
        QCOMPARE(testHost().chooserInitDirs.last(), QFileInfo(tool).absolutePath());
        QCOMPARE(bar->programHolder(3)->Caption(), tool);
        QCOMPARE(form->Label21->Caption(), tool);
        QCOMPARE(bar->iconHolder(3)->Caption(), icon);
        QCOMPARE(testenv::pixels(bar->launchButton(3)->Picture()), picture(icon));
        QCOMPARE((QList<QVariantList>{slotState(1), slotState(2), slotState(4)}),
                 (QList<QVariantList>{before[0], before[1], before[2]}));
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
        QCOMPARE(slotState(2).mid(0, 3), (QVariantList{"Werkzeug", entry, "UNDEFINED"}));
        QCOMPARE(form->Text2->text(), QStringLiteral("Werkzeug"));
    }

    // Menu, a changed slot, Return, the exit, and the next start reading the slot back.
    void wholeRoad() {
        const QString marker = m_work + QStringLiteral("/marker");
        const QString editor = testenv::writeMarkerScript(m_work + "/my tools/editor", marker);
        const QString icon = m_work + QStringLiteral("/editor.bmp");
        QVERIFY(testenv::writePicture(icon, "bmp", QSize(32, 32), Qt::darkCyan));
        Forms::get<Form1>();
        Forms::get<Form9>()->SSCommand4_Click();
        Form3 *form = Forms::find<Form3>();
        QVERIFY(form && form->Visible());
        form->Text2->selectAll();
        QTest::keyClicks(form->Text2, "Editor");
        testHost().chooserAnswers = {editor, icon};
        form->SSCommand3->click();
        form->SSCommand4->click();
        form->SSCommand9->click();
        QVERIFY(!Forms::find<Form3>());
        QVERIFY(Forms::get<Form1>()->Visible());
        QVERIFY(!testHost().settingsFileContent().contains("[Buttons]"));
        Forms::get<Form1>()->SSPanel1_Click();
        QCOMPARE(storedValue("Buttons/Button2Caption"), QStringLiteral("Editor"));

        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        testHost().reopenSettings();
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("Editor"));
        QCOMPARE(bar->iconHolder(2)->Caption(), icon);
        QCOMPARE(testenv::pixels(bar->launchButton(2)->Picture()), picture(icon));
        bar->launchButton(2)->click();
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(testHost().messages.isEmpty());
    }
};

TALVENDOK_TEST_MAIN(TestButtonDefinitions)
#include "tst_button_definitions.moc"

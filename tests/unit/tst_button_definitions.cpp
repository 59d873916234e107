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

QImage pixels(const QPixmap &picture) {
    return picture.toImage().convertToFormat(QImage::Format_ARGB32);
}

QPixmap picture(const QString &path) {
    QPixmap loaded;
    host().loadPicture(path, &loaded, QSize(32, 32));
    return loaded;
}

// What one slot of the bar holds, and what the window's row shows of it.
struct SlotState {
    QString caption, program, icon;
    QImage buttonPicture;
    QString rowIconPath, rowProgramPath;
    QImage preview;

    bool operator==(const SlotState &other) const {
        return caption == other.caption && program == other.program && icon == other.icon &&
               buttonPicture == other.buttonPicture && rowIconPath == other.rowIconPath &&
               rowProgramPath == other.rowProgramPath && preview == other.preview;
    }
};

SlotState slotState(int slot) {
    Form1 *bar = Forms::get<Form1>();
    Form3 *form = Forms::get<Form3>();
    Label *const iconLabels[] = {form->Label17, form->Label18, form->Label20, form->Label22};
    Label *const programLabels[] = {form->Label16, form->Label19, form->Label21, form->Label23};
    Image *const previews[] = {form->Image1, form->Image2, form->Image3, form->Image4};
    return {bar->launchButton(slot)->Caption(),   bar->programHolder(slot)->Caption(),
            bar->iconHolder(slot)->Caption(),     pixels(bar->launchButton(slot)->Picture()),
            iconLabels[slot - 1]->Caption(),      programLabels[slot - 1]->Caption(),
            pixels(previews[slot - 1]->Picture())};
}

QString storedValue(const QString &key) {
    QSettings file(testHost().settingsFile(), QSettings::IniFormat);
    return file.value(key).toString();
}

QString writeText(const QString &path, const QByteArray &content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    file.write(content);
    return path;
}

}  // namespace

class TestButtonDefinitions : public QObject {
    Q_OBJECT

  private:
    QString m_work;  // pictures and programs the user picks, outside the program folder

    // The shipped default icon, put where "C:\TALVENDOK\DEFAULT.ICO" finds it.
    QString installDefaultIcon() {
        const QString source = QFINDTESTDATA("../../resources/program_folder/DEFAULT.ICO");
        const QString target = testenv::programFolder() + QStringLiteral("/DEFAULT.ICO");
        QFile::remove(target);
        if (source.isEmpty() || !QFile::copy(source, target)) return {};
        return target;
    }

  private slots:
    void init() {
        testHost().freshStart();
        m_work = testenv::dataHome() + QStringLiteral("/picked");
        QDir(m_work).removeRecursively();
        QDir().mkpath(m_work);
    }

    void layout() {
        Forms::get<Form1>();
        Forms::unload<Form3>();
        Form3 *form = Forms::get<Form3>();
        QCOMPARE(form->size(), QSize(306, 433));
        QCOMPARE(form->Picture().size(), QSize(320, 440));
        QVERIFY(!form->Visible());
        QCOMPARE(form->Left(), 245790.0);
        QCOMPARE(form->Label1->Caption(), QStringLiteral("Button Definition..."));
        QVERIFY(form->Label1->font().italic());
        QCOMPARE(form->Label1->font().pointSizeF(), 15.75);
        QCOMPARE(form->Label3->Caption(), QStringLiteral("Button 1"));
        QCOMPARE(form->Label9->Caption(), QStringLiteral("Button 4 "));
        QCOMPARE(form->Label15->Caption(), QString::fromLatin1(kCreditText));
        QCOMPARE(form->SSCommand9->Caption(), QStringLiteral("&Return"));

        // The path labels are never seen, even with the window on screen.
        form->Show();
        for (Label *path : {form->Label16, form->Label17, form->Label18, form->Label19,
                            form->Label20, form->Label21, form->Label22, form->Label23}) {
            QVERIFY2(!path->isVisible(), qPrintable(path->objectName()));
            QCOMPARE(twips::left(path), 4920.0);
            QVERIFY(twips::left(path) >= form->Width());
        }

        QStringList order;
        QWidget *w = form->Text1;
        order << w->objectName();
        while (order.size() < 13) {
            w = w->nextInFocusChain();
            if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
        }
        QCOMPARE(order, QStringList({"Text1", "SSCommand1", "SSCommand2", "Text2", "SSCommand3",
                                     "SSCommand4", "Text3", "SSCommand5", "SSCommand6", "Text4",
                                     "SSCommand7", "SSCommand8", "SSCommand9"}));
    }

    // Each row takes its slot from the bar; a slot whose icon does not load keeps the later
    // slots from nothing.
    void loadFillsRowsFromBar() {
        const QString broken = writeText(m_work + QStringLiteral("/broken.ico"), "no picture");
        const QString green = m_work + QStringLiteral("/green.ico");
        const QString blue = m_work + QStringLiteral("/blue.bmp");
        QVERIFY(testenv::writePicture(green, "png", QSize(32, 32), Qt::green));
        QVERIFY(testenv::writePicture(blue, "bmp", QSize(32, 32), Qt::blue));
        host().saveSetting("Buttons", "Button1Caption", "Mail");
        host().saveSetting("Buttons", "Button2Icon", broken);
        host().saveSetting("Buttons", "Button3Icon", green);

        Form1 *bar = Forms::get<Form1>();
        Forms::unload<Form3>();
        const QImage builtIn2 = pixels(bar->launchButton(2)->Picture());
        bar->iconHolder(4)->setCaption(blue);  // not loaded by the bar: only the window does
        Form3 *form = Forms::get<Form3>();

        QCOMPARE(form->Text1->text(), QStringLiteral("Mail"));
        QCOMPARE(form->Text2->text(), QStringLiteral("Undefined"));
        QCOMPARE(bar->launchButton(1)->Caption(), QStringLiteral("Mail"));
        QCOMPARE(form->Label17->Caption(), QStringLiteral("UNDEFINED"));
        QCOMPARE(form->Label18->Caption(), broken);
        QCOMPARE(form->Label20->Caption(), green);
        QCOMPARE(form->Label22->Caption(), blue);
        QVERIFY(form->Image1->Picture().isNull());
        QVERIFY(form->Image2->Picture().isNull());
        QCOMPARE(pixels(bar->launchButton(2)->Picture()), builtIn2);
        QCOMPARE(pixels(form->Image3->Picture()), pixels(picture(green)));
        QCOMPARE(pixels(form->Image4->Picture()), pixels(picture(blue)));
        QCOMPARE(pixels(bar->launchButton(4)->Picture()), pixels(picture(blue)));
        QCOMPARE(bar->iconHolder(2)->Caption(), broken);
        QCOMPARE(bar->iconHolder(4)->Caption(), blue);
        QVERIFY(form->Label16->Caption().isEmpty());
        QVERIFY(form->CommonDialog1.CancelError);
        QVERIFY(testHost().messages.isEmpty());
    }

    void captionFollowsEachKeystroke() {
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        form->Show();
        form->Text2->selectAll();
        QString typed;
        for (const QChar c : QStringLiteral("Web & Mail")) {
            QTest::keyClick(form->Text2, c.toLatin1());
            typed += c;
            QCOMPARE(bar->launchButton(2)->Caption(), typed);
        }
        QTest::keyClick(form->Text2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(form->Text2, Qt::Key_Backspace);
        QCOMPARE(form->Text2->text(), QString());
        QCOMPARE(bar->launchButton(2)->Caption(), QString());
        for (int slot : {1, 3, 4})
            QCOMPARE(bar->launchButton(slot)->Caption(), QStringLiteral("Undefined"));
    }

    void iconFailureOnUnsetSlot_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("not a picture") << false;
    }

    // The slot gets the default icon at once, and keeps it through the next exit.
    void iconFailureOnUnsetSlot() {
        QFETCH(bool, cancel);
        QVERIFY(!installDefaultIcon().isEmpty());
        const QString notPicture = writeText(m_work + QStringLiteral("/notes.ico"), "text\n");
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        const SlotState before1 = slotState(1), before3 = slotState(3), before4 = slotState(4);

        testHost().chooserAnswers = {cancel ? QString() : notPicture};
        form->SSCommand4->click();

        QCOMPARE(testHost().chooserTitles, QStringList{QStringLiteral("Choose Icon")});
        QCOMPARE(testHost().chooserFilters, QStringList{QStringLiteral("Icons(*.ico)|*.ico|")});
        QCOMPARE(form->Label18->Caption(), kDefaultIcon);
        QCOMPARE(bar->iconHolder(2)->Caption(), kDefaultIcon);
        const QImage defaultIcon = pixels(picture(kDefaultIcon));
        QVERIFY(!defaultIcon.isNull());
        QCOMPARE(pixels(form->Image2->Picture()), defaultIcon);
        QCOMPARE(pixels(bar->launchButton(2)->Picture()), defaultIcon);
        QVERIFY(slotState(1) == before1 && slotState(3) == before3 && slotState(4) == before4);
        QVERIFY(testHost().messages.isEmpty());

        bar->SSPanel1_Click();
        QCOMPARE(testHost().programEnds, 1);
        QCOMPARE(storedValue("Buttons/Button2Icon"), kDefaultIcon);
        QCOMPARE(storedValue("Buttons/Button1Icon"), QStringLiteral("UNDEFINED"));
    }

    void iconFailureOnSlotWithIcon_data() { iconFailureOnUnsetSlot_data(); }

    void iconFailureOnSlotWithIcon() {
        QFETCH(bool, cancel);
        QVERIFY(!installDefaultIcon().isEmpty());
        const QString red = m_work + QStringLiteral("/red.png");
        const QString yellow = m_work + QStringLiteral("/other.gif");
        QVERIFY(testenv::writePicture(red, "png", QSize(32, 32), Qt::red));
        QVERIFY(testenv::writePicture(yellow, "png", QSize(32, 32), Qt::yellow));
        const QString notPicture = writeText(m_work + QStringLiteral("/empty.ico"), "");
        host().saveSetting("Buttons", "Button3Icon", red);
        host().saveSetting("Buttons", "Button4Icon", yellow);
        Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        QList<SlotState> before;
        for (int slot = 1; slot <= 4; ++slot) before << slotState(slot);
        QCOMPARE(before[2].preview, pixels(picture(red)));

        testHost().chooserAnswers = {cancel ? QString() : notPicture};
        form->SSCommand6_Click();

        QCOMPARE(testHost().chooserTitles.size(), 1);
        for (int slot = 1; slot <= 4; ++slot)
            QVERIFY2(slotState(slot) == before[slot - 1], qPrintable(QString::number(slot)));
        QCOMPARE(Forms::get<Form1>()->iconHolder(3)->Caption(), red);
    }

    // No default icon in the program folder: the path is still taken, nothing fails.
    void iconFallbackThatDoesNotLoad() {
        QFile::remove(testenv::programFolder() + QStringLiteral("/DEFAULT.ICO"));
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        const QImage builtIn = pixels(bar->launchButton(1)->Picture());

        testHost().chooserAnswers = {QString()};
        form->SSCommand2_Click();

        QCOMPARE(form->Label17->Caption(), kDefaultIcon);
        QCOMPARE(bar->iconHolder(1)->Caption(), kDefaultIcon);
        QVERIFY(form->Image1->Picture().isNull());
        QCOMPARE(pixels(bar->launchButton(1)->Picture()), builtIn);
        QVERIFY(testHost().messages.isEmpty());
        QCOMPARE(testHost().programEnds, 0);
        QVERIFY(Forms::find<Form3>() == form);
    }

    // Slot 3's choices reach slot 3 only; the one chooser keeps its folder between uses.
    void choicesForSlot3() {
        const QString tool = testenv::writeMarkerScript(m_work + QStringLiteral("/bin/tool"),
                                                        m_work + QStringLiteral("/marker"));
        const QString icon = m_work + QStringLiteral("/icons/tool.ico");
        QVERIFY(testenv::writePicture(icon, "ico", QSize(32, 32), Qt::magenta));
        const QString red = m_work + QStringLiteral("/red.png");
        QVERIFY(testenv::writePicture(red, "png", QSize(32, 32), Qt::red));
        host().saveSetting("Buttons", "Button2Icon", red);
        host().saveSetting("Buttons", "Button4EXE", "/usr/bin/true");
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        QList<SlotState> before;
        for (int slot = 1; slot <= 4; ++slot) before << slotState(slot);

        testHost().chooserAnswers = {QString()};
        form->SSCommand5->click();
        QCOMPARE(bar->programHolder(3)->Caption(), QStringLiteral("UNDEFINED"));
        QVERIFY(form->Label21->Caption().isEmpty());

        testHost().chooserAnswers = {tool, icon};
        form->SSCommand5->click();
        form->SSCommand6->click();

        QCOMPARE(testHost().chooserTitles,
                 QStringList({"Choose EXE", "Choose EXE", "Choose Icon"}));
        const QString filter = testHost().chooserFilters.first();
        QVERIFY(filter.startsWith(
            "Executables(*.exe)|*.exe|COM Files(*.com)|*.com|Batch Files (*.bat)|*.bat|"));
        const auto entries = FileChooser::parseFilter(filter);
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[1].first, QStringLiteral("COM Files(*.com)"));
        QCOMPARE(entries[3].second, QStringLiteral("*"));
        QCOMPARE(testHost().chooserFilterIndexes.first(), 4);
        QCOMPARE(testHost().chooserInitDirs.last(), QFileInfo(tool).absolutePath());

        QCOMPARE(form->Label21->Caption(), tool);
        QCOMPARE(bar->programHolder(3)->Caption(), tool);
        QCOMPARE(form->Label20->Caption(), icon);
        QCOMPARE(bar->iconHolder(3)->Caption(), icon);
        QCOMPARE(pixels(form->Image3->Picture()), pixels(picture(icon)));
        QCOMPARE(pixels(bar->launchButton(3)->Picture()), pixels(picture(icon)));
        for (int slot : {1, 2, 4})
            QVERIFY2(slotState(slot) == before[slot - 1], qPrintable(QString::number(slot)));
    }

    void returnShowsTheBar() {
        Form1 *bar = Forms::get<Form1>();
        Form3 *form = Forms::get<Form3>();
        form->Show();
        bar->setVisible(false);
        form->SSCommand9->click();
        QVERIFY(!Forms::find<Form3>());
        QVERIFY(bar->Visible());
        QVERIFY(testHost().settingsFileContent().indexOf("[Buttons]") < 0);
    }

    // Menu, a changed slot, the exit, and the next start reading the slot back.
    void wholeRoad() {
        QVERIFY(!installDefaultIcon().isEmpty());
        const QString marker = m_work + QStringLiteral("/marker");
        const QString editor =
            testenv::writeMarkerScript(m_work + QStringLiteral("/my tools/editor"), marker);
        const QString icon = m_work + QStringLiteral("/editor.bmp");
        QVERIFY(testenv::writePicture(icon, "bmp", QSize(32, 32), Qt::darkCyan));

        Forms::get<Form1>();
        Forms::get<Form9>()->SSCommand4_Click();
        Form3 *form = Forms::find<Form3>();
        QVERIFY(form && form->Visible());
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(form->Left(), (screen.width() - form->Width()) / 2);

        form->Text2->selectAll();
        QTest::keyClicks(form->Text2, "Editor");
        testHost().chooserAnswers = {editor, icon, QString()};
        form->SSCommand3->click();
        form->SSCommand4->click();
        form->SSCommand8->click();  // slot 4 cancelled: the default icon
        QCOMPARE(form->Label19->Caption(), editor);
        QCOMPARE(form->Label18->Caption(), icon);
        QCOMPARE(form->Label22->Caption(), kDefaultIcon);
        form->SSCommand9->click();
        QVERIFY(!Forms::find<Form3>());
        QVERIFY(Forms::get<Form1>()->Visible());

        Forms::get<Form1>()->SSPanel1_Click();
        QCOMPARE(testHost().programEnds, 1);
        QCOMPARE(storedValue("Buttons/Button2Caption"), QStringLiteral("Editor"));
        QCOMPARE(storedValue("Buttons/Button2EXE"), editor);
        QCOMPARE(storedValue("Buttons/Button2Icon"), icon);
        QCOMPARE(storedValue("Buttons/Button4Icon"), kDefaultIcon);
        QCOMPARE(storedValue("Buttons/Button1Caption"), QStringLiteral("Undefined"));
        QCOMPARE(storedValue("Buttons/Button3EXE"), QStringLiteral("UNDEFINED"));

        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        testHost().reopenSettings();
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->launchButton(2)->Caption(), QStringLiteral("Editor"));
        QCOMPARE(bar->programHolder(2)->Caption(), editor);
        QCOMPARE(bar->iconHolder(2)->Caption(), icon);
        QCOMPARE(pixels(bar->launchButton(2)->Picture()), pixels(picture(icon)));
        QCOMPARE(pixels(bar->launchButton(4)->Picture()), pixels(picture(kDefaultIcon)));

        bar->launchButton(2)->click();
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(testHost().messages.isEmpty());
    }
};

TALVENDOK_TEST_MAIN(TestButtonDefinitions)
#include "tst_button_definitions.moc"

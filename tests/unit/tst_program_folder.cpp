#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/program_folder.h"
#include "tests/support/test_host.h"

using programfolder::Seeding;
Q_DECLARE_METATYPE(Seeding)

namespace {

// Entries are relative paths; a trailing slash makes a folder, anything else a file.
void create(const QString &root, const QStringList &entries, const QByteArray &content) {
    for (const QString &entry : entries)
        QVERIFY(entry.endsWith('/') ? QDir().mkpath(root + '/' + entry)
                                    : testenv::writeFile(root + '/' + entry, content + entry.toUtf8()));
}

// Everything below `root`, folders with a trailing slash, each file with its content.
QStringList contents(const QString &root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        found << (info.isDir() ? name + '/' : name + '=' + testenv::readFile(info.filePath()));
    }
    found.sort();
    return found;
}

}  // namespace

class ProgramFolderTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStart_data();
    void firstStart();
};

void ProgramFolderTest::firstStart_data() {
    QTest::addColumn<QStringList>("before");  // the user's data folder
    QTest::addColumn<QStringList>("templ");   // the installed template; empty: none
    QTest::addColumn<Seeding>("outcome");
    QTest::addColumn<QStringList>("after");

    const QStringList full{"Help.txt", "DEFAULT.ICO", "Ember.emb"};
    const QString c = "TALVENDOK/drive_c/";
    const QStringList parents{"TALVENDOK/", c};
    QTest::newRow("first start") << QStringList() << full << Seeding::Created
                                 << parents +
                                        QStringList{
                                            c + "TALVENDOK/",
                                            c + "TALVENDOK/DEFAULT.ICO=from template DEFAULT.ICO",
                                            c + "TALVENDOK/Ember.emb=from template Ember.emb",
                                            c + "TALVENDOK/Help.txt=from template Help.txt"};
    QTest::newRow("template missing files")
        << QStringList() << QStringList{"Help.txt"} << Seeding::Created
        << parents + QStringList{c + "TALVENDOK/", c + "TALVENDOK/Help.txt=from template Help.txt"};
    QTest::newRow("no template") << QStringList() << QStringList() << Seeding::NoTemplate
                                 << QStringList();
    QTest::newRow("folder exists empty")
        << QStringList{c + "TALVENDOK/"} << full << Seeding::AlreadyThere
        << parents + QStringList{c + "TALVENDOK/"};
    QTest::newRow("folder in other letter case")
        << QStringList{c + "talvendok/Help.txt"} << full << Seeding::AlreadyThere
        << parents + QStringList{c + "talvendok/",
                                 c + "talvendok/Help.txt=mine " + c + "talvendok/Help.txt"};
    QTest::newRow("file where the folder should be")
        << QStringList{c + "TALVENDOK"} << full << Seeding::AlreadyThere
        << parents + QStringList{c + "TALVENDOK=mine " + c + "TALVENDOK"};
    // Running as root, a read-only folder is writable: a file in the way makes writing fail.
    QTest::newRow("data folder cannot be written")
        << QStringList{"TALVENDOK"} << full << Seeding::Failed
        << QStringList{"TALVENDOK=mine TALVENDOK"};
}

void ProgramFolderTest::firstStart() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, templ);
    QFETCH(Seeding, outcome);
    QFETCH(QStringList, after);

    QTemporaryDir data, installed;
    QVERIFY(data.isValid() && installed.isValid());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    create(data.path(), before, "mine ");
    const QString templateFolder = installed.filePath("share/talvendok");
    if (!templ.isEmpty()) create(templateFolder, templ, "from template ");

    QCOMPARE(programfolder::createFromTemplate(templateFolder), outcome);
    QCOMPARE(contents(data.path()), after);

    // A later start never copies again, even into a folder the user has thinned out.
    const QString help = data.filePath("TALVENDOK/drive_c/TALVENDOK/Help.txt");
    if (outcome == Seeding::Created) QVERIFY(QFile::remove(help));
    const QStringList thinned = contents(data.path());
    const Seeding again = programfolder::createFromTemplate(templateFolder);
    QCOMPARE(again, outcome == Seeding::Created ? Seeding::AlreadyThere : outcome);
    QCOMPARE(contents(data.path()), thinned);
}

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "tst_program_folder.moc"

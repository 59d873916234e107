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

// Entries, separated by blanks, are paths below a root, "%" standing for the program
// folder's place; a trailing slash makes a folder, anything else a file holding `content`
// and its name.
QStringList entries(const QString &text) {
    QStringList list =
        QString(text).replace('%', "TALVENDOK/drive_c/TALVENDOK").split(' ', Qt::SkipEmptyParts);
    list.sort();
    return list;
}

void create(const QString &root, const QString &text, const QString &content) {
    for (const QString &entry : entries(text))
        QVERIFY(entry.endsWith('/')
                    ? QDir().mkpath(root + '/' + entry)
                    : testenv::writeFile(root + '/' + entry,
                                         (content + QFileInfo(entry).fileName()).toUtf8()));
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
    // clang-format off
    void firstStart_data() {
        QTest::addColumn<QString>("before");  // the user's data folder
        QTest::addColumn<QString>("templ");   // the installed template; empty: none
        QTest::addColumn<Seeding>("outcome");
        QTest::addColumn<QString>("after");
        const QString full = "Help.txt DEFAULT.ICO Ember.emb", up = "TALVENDOK/ TALVENDOK/drive_c/ ";
        QTest::newRow("template missing files") << "" << "Help.txt" << Seeding::Created
                                                << up + "%/ %/Help.txt=t:Help.txt";
        QTest::newRow("no template") << "" << "" << Seeding::NoTemplate << "";
        QTest::newRow("folder exists empty") << "%/" << full << Seeding::AlreadyThere << up + "%/";
        QTest::newRow("folder in other letter case")
            << "TALVENDOK/drive_c/talvendok/Help.txt" << full << Seeding::AlreadyThere
            << up + "TALVENDOK/drive_c/talvendok/ TALVENDOK/drive_c/talvendok/Help.txt=mine:Help.txt";
        QTest::newRow("file where the folder should be") << "%" << full << Seeding::AlreadyThere
                                                         << up + "%=mine:TALVENDOK";
        // Running as root, a read-only folder is writable: a file in the way makes writing fail.
        QTest::newRow("data folder cannot be written") << "TALVENDOK" << full << Seeding::Failed
                                                       << "TALVENDOK=mine:TALVENDOK";
    }
    // clang-format on

    void firstStart() {
        QFETCH(QString, before);
        QFETCH(QString, templ);
        QFETCH(Seeding, outcome);
        QFETCH(QString, after);
        QTemporaryDir data, installed;
        QVERIFY(data.isValid() && installed.isValid());
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        create(data.path(), before, "mine:");
        const QString templateFolder = installed.filePath("share/talvendok");
        if (!templ.isEmpty()) create(templateFolder, templ, "t:");
        QCOMPARE(programfolder::createFromTemplate(templateFolder), outcome);
        QCOMPARE(contents(data.path()), entries(after));
        // A later start never copies again, even into a folder the user has thinned out.
        if (outcome == Seeding::Created)
            QVERIFY(QFile::remove(data.filePath("TALVENDOK/drive_c/TALVENDOK/Help.txt")));
        const QStringList thinned = contents(data.path());
        QCOMPARE(programfolder::createFromTemplate(templateFolder),
                 outcome == Seeding::Created ? Seeding::AlreadyThere : outcome);
        QCOMPARE(contents(data.path()), thinned);
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "tst_program_folder.moc"

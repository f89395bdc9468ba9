// Where the program's files live: portable beside the executable or, once
// installed, in the user's data folder with the shipped defaults copied on
// first use; the data layer follows.

#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace brelvo;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

// A tree with an executable folder, a share folder and a user's data folder.
struct Tree {
    QTemporaryDir root;
    QString bin() const { return root.filePath(QStringLiteral("usr/bin")); }
    QString share() const { return root.filePath(QStringLiteral("usr/share/brelvo")); }
    QString data() const { return root.filePath(QStringLiteral("home/.local/share/Brelvo")); }
    Tree()
    {
        QDir().mkpath(bin());
        writeFile(QDir(share()).filePath(QStringLiteral("fabricantes.txt")), "FIAT\nFORD\n");
        writeFile(QDir(share()).filePath(QStringLiteral("Veiculos/imagem.png")), "png");
        QDir().mkpath(data());
    }
    core::ProgramPaths decide() const { return core::decidePaths(bin(), data(), share()); }
};

} // namespace

class TestAppPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qunsetenv("DBBrelvoVendas"); }
    void cleanup() { core::setProgramFolder(QString()); }

    void layoutOfAFolder_data()
    {
        QTest::addColumn<QString>("trace");
        QTest::addColumn<bool>("isDir");
        QTest::addColumn<bool>("portable");
        QTest::newRow("nothing") << QString() << false << false;
        QTest::newRow("marker") << QStringLiteral("brelvo.portatil") << false << true;
        QTest::newRow("working files") << QStringLiteral("lista_saida.txt") << false << true;
        QTest::newRow("PRIV") << QStringLiteral("PRIV") << true << true;
        QTest::newRow("aliases.ini") << QStringLiteral("aliases.ini") << false << true;
        QTest::newRow("dados") << QStringLiteral("dados") << true << true;
        // A shipped file alone says nothing: the package holds them too.
        QTest::newRow("maker list only") << QStringLiteral("fabricantes.txt") << false << false;
    }
    void layoutOfAFolder()
    {
        QFETCH(QString, trace);
        QFETCH(bool, isDir);
        QFETCH(bool, portable);
        Tree t;
        if (!trace.isEmpty()) {
            if (isDir)
                QVERIFY(QDir(t.bin()).mkpath(trace));
            else
                writeFile(QDir(t.bin()).filePath(trace), "");
        }
        const core::ProgramPaths p = t.decide();
        QCOMPARE(p.layout == core::Layout::Portable, portable);
        QCOMPARE(p.executable, QDir::cleanPath(t.bin()));
        QCOMPARE(p.files, portable ? QDir::cleanPath(t.bin()) : QDir::cleanPath(t.data()));
        QCOMPARE(p.shared, portable ? QDir::cleanPath(t.bin()) : QDir::cleanPath(t.share()));
    }

    void readOnlyFolderIsNeverPortable()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        Tree t;
        writeFile(QDir(t.bin()).filePath(QStringLiteral("brelvo.portatil")), "");
        QVERIFY(QFile::setPermissions(t.bin(), QFile::ReadOwner | QFile::ExeOwner));
        const core::ProgramPaths p = t.decide();
        QFile::setPermissions(t.bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(p.layout, core::Layout::Installed);
        QCOMPARE(p.files, QDir::cleanPath(t.data()));
    }

    void installedCopiesDefaultsOnFirstUse()
    {
        Tree t;
        core::usePaths(t.decide());
        QCOMPARE(core::programFolder(), QDir::cleanPath(t.data()));
        QCOMPARE(core::executableFolder(), QDir::cleanPath(t.bin()));
        QCOMPARE(core::workFile(QStringLiteral("cep.ini")), QDir(t.data()).filePath(QStringLiteral("cep.ini")));

        const QString makers = core::sharedFile(QStringLiteral("fabricantes.txt"));
        QCOMPARE(makers, QDir(t.data()).filePath(QStringLiteral("fabricantes.txt")));
        QCOMPARE(readFile(makers), QByteArray("FIAT\nFORD\n"));
        QVERIFY(QFileInfo(makers).isWritable());

        // The user's edits survive: the shipped file is not copied again.
        writeFile(makers, "VOLVO\n");
        QCOMPARE(core::sharedFile(QStringLiteral("fabricantes.txt")), makers);
        QCOMPARE(readFile(makers), QByteArray("VOLVO\n"));
        QCOMPARE(readFile(QDir(t.share()).filePath(QStringLiteral("fabricantes.txt"))), QByteArray("FIAT\nFORD\n"));

        // Pictures below a subfolder get their folder.
        const QString pic = core::sharedFile(QStringLiteral("Veiculos/imagem.png"));
        QCOMPARE(pic, QDir(t.data()).filePath(QStringLiteral("Veiculos/imagem.png")));
        QCOMPARE(readFile(pic), QByteArray("png"));

        // Not shipped: the path in the files folder, nothing created.
        const QString none = core::sharedFile(QStringLiteral("sem_img.jpg"));
        QCOMPARE(none, QDir(t.data()).filePath(QStringLiteral("sem_img.jpg")));
        QVERIFY(!QFile::exists(none));
    }

    void installedNeverCopiesFromOutsideTheShareFolder()
    {
        Tree t;
        writeFile(t.root.filePath(QStringLiteral("usr/share/segredo.txt")), "x");
        core::usePaths(t.decide());
        core::sharedFile(QStringLiteral("../segredo.txt"));
        core::sharedFile(t.root.filePath(QStringLiteral("usr/share/segredo.txt")));
        QVERIFY(!QFile::exists(t.root.filePath(QStringLiteral("home/.local/share/segredo.txt"))));
        QVERIFY(!QFile::exists(QDir(t.data()).filePath(QStringLiteral("segredo.txt"))));
    }

    void installedFallsBackToTheShippedFileWhenItCannotCopy()
    {
        Tree t;
        core::ProgramPaths p = t.decide();
        // The files folder is taken by a plain file: no copy can be made.
        p.files = t.root.filePath(QStringLiteral("ocupado"));
        writeFile(p.files, "");
        core::usePaths(p);
        QCOMPARE(core::sharedFile(QStringLiteral("Veiculos/imagem.png")),
                 QDir(t.share()).filePath(QStringLiteral("Veiculos/imagem.png")));
    }

    void portableNeverCopies()
    {
        Tree t;
        writeFile(QDir(t.bin()).filePath(QStringLiteral("brelvo.portatil")), "");
        core::usePaths(t.decide());
        QCOMPARE(core::sharedFile(QStringLiteral("fabricantes.txt")), QDir(t.bin()).filePath(QStringLiteral("fabricantes.txt")));
        QVERIFY(!QFile::exists(QDir(t.bin()).filePath(QStringLiteral("fabricantes.txt"))));
        QVERIFY(!QFile::exists(QDir(t.data()).filePath(QStringLiteral("fabricantes.txt"))));
    }

    void databaseFollowsTheFilesFolder()
    {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("dados"));
        QCOMPARE(data::Database::aliasFolder(), beside);

        Tree t;
        core::usePaths(t.decide());
        QCOMPARE(data::Database::aliasFolder(), QDir(t.data()).filePath(QStringLiteral("dados")));
        // The alias file is read from the files folder; relative paths are below it.
        writeFile(QDir(t.data()).filePath(QStringLiteral("aliases.ini")), "DBBrelvoVendas=loja\n");
        QCOMPARE(data::Database::aliasFolder(), QDir(t.data()).filePath(QStringLiteral("loja")));

        core::setProgramFolder(QString());
        QCOMPARE(data::Database::aliasFolder(), beside);
        QCOMPARE(core::programFolder(), QCoreApplication::applicationDirPath());
    }

    void helpAndVersionInPortuguese()
    {
        const core::ProgramInfo info{QStringLiteral("Back-Up"), QStringLiteral("Cópia de segurança."),
                                     QStringLiteral("Mais texto.")};
        const QString help = core::helpText(info);
        QVERIFY(help.startsWith(QStringLiteral("Uso: Back-Up [opção]\nCópia de segurança.\n")));
        QVERIFY(help.contains(QStringLiteral("--version  mostra a versão e sai")));
        QVERIFY(help.endsWith(QStringLiteral("\nMais texto.\n")));
        QCOMPARE(core::versionText(info), QStringLiteral("Back-Up versão %1\n").arg(QStringLiteral(BRELVO_TEST_VERSION)));

        char prog[] = "Back-Up", other[] = "-platform", help1[] = "--help";
        char *withHelp[] = {prog, other, help1};
        QCOMPARE(core::answerCommandLine(3, withHelp, info), std::optional<int>(0));
        char *without[] = {prog, other};
        QVERIFY(!core::answerCommandLine(2, without, info));
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "test_apppaths.moc"

#include "TFBackup.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "core/ServerPassword.h"
#include "backup/DatabaseBackup.h"
#include "data/Database.h"
#include "data/DatabaseFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QVBoxLayout>

#include <new>

namespace brelvo::backup {

using brelvo::core::Answer;
using brelvo::core::dialogs;
using brelvo::core::MsgIcon;

namespace {
const QString kProgramTitle = QStringLiteral("Back-Up");
const QString kFilter = QStringLiteral("Back-up (*.bck)");
}

TFBackup::TFBackup(QWidget *parent) : TFBackup(Env(), parent) {}

TFBackup::TFBackup(Env env, QWidget *parent) : QWidget(parent), m_env(std::move(env))
{
    setObjectName(QStringLiteral("FBackup"));
    setWindowTitle(QStringLiteral("Back-up"));

    if (!m_env.databaseFolder)
        m_env.databaseFolder = [] { return brelvo::data::DatabaseFiles::aliasFolder(); };
    if (m_env.toolFolder.isEmpty())
        m_env.toolFolder = core::programFolder();
    if (!m_env.today)
        m_env.today = [] { return QDate::currentDate(); };

    GroupBox1 = new QGroupBox(QStringLiteral("Back-up"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    rbManual = new QRadioButton(QStringLiteral("Manual"), GroupBox1);
    rbManual->setObjectName(QStringLiteral("rbManual"));
    rbAutomatico = new QRadioButton(QStringLiteral("Automático"), GroupBox1);
    rbAutomatico->setObjectName(QStringLiteral("rbAutomatico"));
    rbAutomatico->setChecked(true);
    auto *gl = new QHBoxLayout(GroupBox1);
    gl->addWidget(rbManual);
    gl->addWidget(rbAutomatico);

    btnBackup = new QPushButton(QStringLiteral("&Back-up"), this);
    btnBackup->setObjectName(QStringLiteral("btnBackup"));
    btnRestaura = new QPushButton(QStringLiteral("&Restaura"), this);
    btnRestaura->setObjectName(QStringLiteral("btnRestaura"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnBackup);
    buttons->addWidget(btnRestaura);
    auto *main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    main->addLayout(buttons);
    main->addWidget(ProgressBar1);
    main->addWidget(ListBox1);
    resize(380, 260);

    connect(btnBackup, &QPushButton::clicked, this, &TFBackup::btnBackupClick);
    connect(btnRestaura, &QPushButton::clicked, this, &TFBackup::btnRestauraClick);

    applyToolSettings(BackupFile);
    BackupFile.OnProgress = [this](const QString &, int percent, bool &) { ProgressBar1->setValue(percent); };
    BackupFile.OnError = [this](int, const QString &) {
        dialogs().error(this, QStringLiteral("Atenção"), QStringLiteral("Não foi possível realizar o Back-up."));
    };
    BackupFile.processEvents = [] { QCoreApplication::processEvents(); };

    // The tool never opens the database itself, so it holds no connection
    // that could keep a table of the folder open.
    if (m_env.runAtStart)
        btnBackupClick();
}

TFBackup::~TFBackup() = default;

void TFBackup::installArchiverDialogs()
{
    TBackupFile::setDefaultReport(
        [](const QString &text) { dialogs().error(nullptr, kProgramTitle, text); });
    TBackupFile::setDefaultDiskQuestion([](const QString &text) {
        // The text asks for OK: the box offers "OK" and "Cancelar".
        return dialogs().question(nullptr, kProgramTitle, text, MsgIcon::Information, Answer::Ok) == Answer::Ok;
    });
}

QString TFBackup::automaticArchiveName(int daysBack) const
{
    const QDate day = m_env.today().addDays(-daysBack);
    return QDir(m_env.toolFolder).filePath(day.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".bck"));
}

void TFBackup::setIdle(bool idle)
{
    btnBackup->setEnabled(idle);
    btnRestaura->setEnabled(idle);
}

bool TFBackup::findDatabaseFolder(QString *location, QString *folder)
{
    QString f;
    try {
        *location = m_env.databaseFolder();
        // A server that wants a password gets it asked for once, as Brelvo does.
        for (bool asked = false;; asked = true) {
            try {
                brelvo::data::DatabaseFiles::checkServerLogin(*location);
                break;
            } catch (const brelvo::data::DbError &e) {
                if (e.kind() != brelvo::data::DbError::Kind::PasswordNeeded
                    || !brelvo::data::Database::isServer(*location))
                    throw;
                if (!brelvo::core::askServerPassword(*location, asked)) {
                    dialogs().error(this, kProgramTitle, brelvo::core::noServerPasswordMessage(*location));
                    return false;
                }
            }
        }
        // A server database keeps its plain files (and its dump while a
        // backup runs) in a folder of its own.
        f = brelvo::data::DatabaseFiles::backupFolder(*location);
    } catch (const brelvo::data::DbError &e) {
        dialogs().error(this, kProgramTitle, e.message());
        return false;
    } catch (const std::bad_alloc &e) {
        dialogs().error(this, kProgramTitle, QStringLiteral("Problemas na memória") + QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (f.isEmpty() || !QFileInfo(f).isDir()) {
        dialogs().error(this, kProgramTitle,
                        QStringLiteral("A pasta do banco de dados não foi encontrada: \"%1\"").arg(f));
        return false;
    }
    if (!f.endsWith(u'/'))
        f += u'/';
    *folder = f;
    return true;
}

void TFBackup::btnBackupClick()
{
    setIdle(false);
    QString location, folder;
    if (findDatabaseFolder(&location, &folder)) {
        const QString mask = folder + QStringLiteral("*.*");
        ListBox1->clear();
        ListBox1->addItem(mask);
        if (rbAutomatico->isChecked()) {
            if (dialogs().question(this, QStringLiteral("Back-up Automático"),
                                   QStringLiteral("Realizar Back-up automático?"))
                == Answer::Yes) {
                if (runBackup(location, automaticArchiveName(0)))
                    dialogs().information(this, QStringLiteral("Back-up automático efetuado"),
                                          QStringLiteral("Arquivo gravado em\n\"%1\"").arg(m_env.toolFolder));
            }
        } else {
            QString name = dialogs().saveFile(this, QStringLiteral("Back-up"), QDir::homePath(), kFilter,
                                              QStringLiteral("bck"));
            if (!name.isEmpty()) {
                if (QFileInfo(name).suffix().isEmpty())
                    name += QStringLiteral(".bck");
                if (runBackup(location, name))
                    dialogs().information(this, QStringLiteral("Back-up efetuado"),
                                          QStringLiteral("Back-up efetuado com sucesso."));
            }
        }
    }
    setIdle(true);
}

bool TFBackup::runBackup(const QString &location, const QString &archive)
{
    DatabaseBackup job(BackupFile);
    const DatabaseBackup::Result r = job.backup(location, archive);
    logSkipped(job.skipped());
    if (r == DatabaseBackup::Result::Refused)
        dialogs().error(this, QStringLiteral("Atenção"),
                        QStringLiteral("Não foi possível realizar o Back-up.\n") + job.message());
    return r == DatabaseBackup::Result::Done;
}

void TFBackup::logSkipped(const QStringList &entries)
{
    if (entries.isEmpty())
        return;
    QFile log(QDir(m_env.toolFolder).filePath(QLatin1String(kLogName)));
    const bool open = log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    QTextStream out(&log);
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    for (const QString &e : entries) {
        const QString line = QStringLiteral("Ignorado (não é um arquivo comum): %1").arg(QDir::toNativeSeparators(e));
        ListBox1->addItem(line);
        if (open)
            out << when << "  " << line << "\n";
    }
}

bool TFBackup::runRestore(const QString &archive, const QString &location)
{
    DatabaseBackup job(BackupFile);
    switch (job.restore(archive, location)) {
    case DatabaseBackup::Result::Done:
        dialogs().information(this, QStringLiteral("Back-up Restaurado"),
                              QStringLiteral("Back-up restaurado com sucesso."));
        return true;
    case DatabaseBackup::Result::InUse: {
        QString text = QStringLiteral("O Banco de dados está aberto pelo Brelvo ou por outro programa.\n"
                                      "Feche-o antes de restaurar o Back-up; nada foi alterado.");
        if (!job.connected().isEmpty())
            text += QStringLiteral("\n\nConectados ao banco de dados:\n") + job.connected().join(u'\n');
        dialogs().error(this, QStringLiteral("A Restauração Falhou"), text);
        return true;
    }   // refused and told; no further failure message
    case DatabaseBackup::Result::Refused:
        dialogs().error(this, QStringLiteral("Atenção"), job.message());
        return false;
    case DatabaseBackup::Result::Failed:
        break;
    }
    if (!BackupFile.failureText().isEmpty()) {
        dialogs().error(this, kProgramTitle, BackupFile.failureText());
        return true;
    }
    return false;
}

void TFBackup::btnRestauraClick()
{
    setIdle(false);
    QString location, folder;
    if (findDatabaseFolder(&location, &folder)) {
        if (rbAutomatico->isChecked()) {
            if (dialogs().question(
                    this, QStringLiteral("Realizar Back-up automático?"),
                    QStringLiteral("Se optar por sim o Banco de Dados será restaurado conforme a última versão do "
                                   "Back-up Automático.\nSe você tiver uma versão de Back-up Manual mais recente, "
                                   "é aconselhável restaurá-la ao invés do Automático."))
                == Answer::Yes) {
                if (!runRestore(automaticArchiveName(1), location))
                    dialogs().error(this, QStringLiteral("A Restauração Falhou"),
                                    QStringLiteral("Não foi Possivel restaurar o Banco de dados automaticamente.\n"
                                                   "Tente de forma manual"));
            }
        } else {
            const QString name = dialogs().openFile(this, QStringLiteral("Restaurando Back-up"), QDir::homePath(),
                                                    kFilter);
            if (!name.isEmpty() && !runRestore(name, location))
                dialogs().error(this, QStringLiteral("A Restauração Falhou"),
                                QStringLiteral("Não foi Possivel restaurar o Banco de dados.\n"
                                               "O arquivo de Back-up pode estar corrompido, ou o disco danificado.\n"
                                               "Tente outro arquivo."));
        }
    }
    setIdle(true);
}

} // namespace brelvo::backup

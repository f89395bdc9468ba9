#include "lubricants/TF_ImportaLub.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brelvo::lubricants {

namespace {

const QString kTitle = QStringLiteral("Importar Veículos");

QString cell(const QVariantMap &values, const QString &field)
{
    const QVariant v = values.value(field);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return core::shortNumber(v.toDouble());
    return v.toString();
}

} // namespace

TF_ImportaLub::TF_ImportaLub(const ImportPlan &plan, const QString &fileName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_ImportaLub"));
    setWindowTitle(kTitle);
    resize(900, 520);

    auto *file = new QLabel(QStringLiteral("Arquivo: %1").arg(QDir::toNativeSeparators(fileName)), this);
    file->setObjectName(QStringLiteral("lbArquivo"));

    const QStringList fields = importFields();
    QStringList heads{QStringLiteral("Linha"), QStringLiteral("Situação"), QStringLiteral("Motivo"),
                      QStringLiteral("Fabricante"), QStringLiteral("Carro / Modelo"), QStringLiteral("Modelo"),
                      QStringLiteral("Ano"), QStringLiteral("Combustivel"), QStringLiteral("Lubrificante"),
                      QStringLiteral("Norma API"), QStringLiteral("Litros"), QStringLiteral("Foto")};
    m_grid = new QTableWidget(int(plan.rows.size()), int(heads.size()), this);
    m_grid->setObjectName(QStringLiteral("GridPrevia"));
    m_grid->setHorizontalHeaderLabels(heads);
    core::styleGrid(m_grid);
    for (int r = 0; r < plan.rows.size(); ++r) {
        const ImportRow &row = plan.rows[r];
        QStringList texts{QString::number(row.line), row.accepted() ? QStringLiteral("Adicionar") : QStringLiteral("Recusada"),
                          row.reason};
        for (const QString &f : fields)
            texts << cell(row.values, f);
        for (int c = 0; c < texts.size(); ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (!row.accepted())
                item->setForeground(QColor(170, 0, 0));
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lbResumo"));
    QString text = QStringLiteral("%1 linha(s) serão adicionadas; %2 recusada(s).")
                       .arg(plan.acceptedCount())
                       .arg(plan.refusedCount());
    if (!plan.ignoredColumns.isEmpty())
        text += QStringLiteral("\nColunas ignoradas: %1").arg(plan.ignoredColumns.join(QStringLiteral(", ")));
    m_summary->setText(text);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("Importar"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnImportar"));
    ok->setEnabled(plan.acceptedCount() > 0);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
}

QString TF_ImportaLub::summary() const { return m_summary->text(); }

int importVehicles(QWidget *parent, const data::DatabasePtr &db)
{
    const QString path = core::dialogs().openFile(parent, kTitle, core::programFolder(),
                                                  QStringLiteral("Arquivos CSV (*.csv *.txt);;Todos os arquivos (*)"));
    if (path.isEmpty())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        core::dialogs().error(parent, kTitle,
                              QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString()));
        return 0;
    }
    const QByteArray bytes = file.readAll();

    int added = 0;
    core::guarded(parent, [&] {
        const ImportPlan plan = planImport(bytes, db);
        if (!plan.error.isEmpty()) {
            core::dialogs().warning(parent, kTitle, plan.error);
            return;
        }
        TF_ImportaLub preview(plan, path, parent);
        if (core::dialogs().exec(&preview) != QDialog::Accepted)
            return;
        const ImportResult result = runImport(plan, db);
        added = result.added;
        core::dialogs().information(parent, kTitle,
                                    QStringLiteral("%1 veículo(s) adicionado(s); %2 linha(s) recusada(s).")
                                        .arg(result.added)
                                        .arg(result.refused.size()));
    });
    return added;
}

bool exportVehicles(QWidget *parent, const data::DatabasePtr &db)
{
    const QString title = QStringLiteral("Exportar Veículos");
    const QString path = core::dialogs().saveFile(parent, title, core::workFile(QStringLiteral("lubrificantes.csv")),
                                                  QStringLiteral("Arquivos CSV (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return false;
    bool ok = false;
    core::guarded(parent, [&] {
        const QByteArray bytes = exportCsv(db);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
            core::dialogs().error(parent, title,
                                  QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2")
                                      .arg(QDir::toNativeSeparators(path), out.errorString()));
            return;
        }
        ok = true;
        core::dialogs().information(parent, title,
                                    QStringLiteral("Tabela salva em \"%1\".").arg(QDir::toNativeSeparators(path)));
    });
    return ok;
}

} // namespace brelvo::lubricants

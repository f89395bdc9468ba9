#include "lubricants/TF_Cad_Lub.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "lubricants/LubricantLists.h"
#include "lubricants/TF_ImportaLub.h"
#include "lubricants/VehiclePicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::lubricants {

using data::Dataset;

TF_Cad_Lub::TF_Cad_Lub(data::DatabasePtr db, QWidget *parent)
    : core::RecordWindow(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("TF_Cad_Lub"));
    setWindowTitle(QStringLiteral("Cadastro de Veiculo e seus Lubrificantes"));
    resize(820, 520);

    m_table = new data::Table(std::move(db), QString::fromLatin1(kTable), this);
    m_table->setObjectName(QStringLiteral("Tlubrificante"));
    m_table->setIndexName(QString::fromLatin1(kOrder));
    m_table->open();
    setMainTable(m_table);

    auto *bar = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text, void (TF_Cad_Lub::*slot)()) {
        QPushButton *b = makeButton(QString::fromLatin1(name), text, this);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button("BtNovo", QStringLiteral("Novo"), &TF_Cad_Lub::btnNovoClick);
    button("BtDeletar", QStringLiteral("Deletar"), &TF_Cad_Lub::btnDeletarClick);
    enableWhen(button("BtSalvar", QStringLiteral("Salvar"), &TF_Cad_Lub::btnSalvarClick), When::Editing);
    button("BtAnterior", QStringLiteral("Anterior"), &TF_Cad_Lub::btnAnteriorClick);
    button("BtProxima", QStringLiteral("Proxima"), &TF_Cad_Lub::btnProximaClick);
    bar->addStretch(1);
    button("BtImportar", QStringLiteral("Importar CSV..."), &TF_Cad_Lub::btnImportarClick)
        ->setToolTip(QStringLiteral("Carregar veículos de um arquivo separado por ponto e vírgula"));
    button("BtExportar", QStringLiteral("Exportar CSV..."), &TF_Cad_Lub::btnExportarClick)
        ->setToolTip(QStringLiteral("Salvar a tabela num arquivo separado por ponto e vírgula"));

    auto *form = new QGridLayout;
    int row = 0;
    auto put = [&](const QString &caption, QWidget *box) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box);
        form->addWidget(label, row, 0);
        form->addWidget(box, row, 1);
        ++row;
    };
    auto edit = [&](const char *name, const char *field, core::CharCase c = core::CharCase::Normal) {
        auto *e = new core::DbEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setCharCase(c);
        e->setDataSource(m_table, QString::fromLatin1(field));
        return e;
    };
    auto combo = [&](const char *name, const char *field, const QStringList &items) {
        auto *c = new core::DbComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setItems(items);
        c->setDataSource(m_table, QString::fromLatin1(field));
        return c;
    };
    auto *fabricante = combo("DBFabricante", "Fabricante", editorMakers());
    fabricante->setCharCase(core::CharCase::Upper);
    m_fabricante = fabricante;
    put(QStringLiteral("Fabricante"), fabricante);
    put(QStringLiteral("Carro / Modelo"), edit("DBCarro", "Carro", core::CharCase::Upper));
    put(QStringLiteral("Ano"), edit("DBAno", "Ano"));
    put(QStringLiteral("Combustivel"), combo("DBCombustivel", "Combustivel", fuelChoices()));
    put(QStringLiteral("Lubrificante Recomendado"), edit("DBLubrificante", "Lubrificane"));
    put(QStringLiteral("Norma API"), combo("DBNormaAPI", "NormaAPI", apiClasses()));
    put(QStringLiteral("Qtd. Litros motor"), edit("DBLitros", "Litros_Carter"));
    form->setRowStretch(row, 1);
    form->setColumnStretch(1, 1);

    auto *photoBox = new QGroupBox(QStringLiteral("Foto do veículo"), this);
    auto *photoLayout = new QVBoxLayout(photoBox);
    m_picture = new VehiclePicture(photoBox);
    m_picture->setObjectName(QStringLiteral("ImageCarro"));
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->setToolTip(QStringLiteral("Clique para escolher a foto do veículo"));
    connect(m_picture, &core::ClickLabel::clicked, this, &TF_Cad_Lub::ImageClick);
    photoLayout->addWidget(m_picture);

    auto *body = new QHBoxLayout;
    body->addLayout(form, 3);
    body->addWidget(photoBox, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(body, 1);

    // After each move and each post, the row's picture.
    auto showPicture = [this] { m_picture->showRow(*m_table); };
    connect(m_table, &Dataset::afterScroll, this, showPicture);
    connect(m_table, &data::Table::afterPost, this, showPicture);
    showPicture();
}

bool TF_Cad_Lub::saveRecord()
{
    const QList<QWidget *> bad = core::invalidControls(this);
    if (!bad.isEmpty()) {
        auto *control = dynamic_cast<core::DataControl *>(bad.first());
        core::dialogs().error(this, QStringLiteral("Erro"), control->inputError());
        bad.first()->setFocus();
        return false;
    }
    return core::RecordWindow::saveRecord();
}

void TF_Cad_Lub::move(void (data::Table::*step)())
{
    if (!commitPending())
        return;
    guarded([&] { (m_table->*step)(); });
}

void TF_Cad_Lub::btnNovoClick()
{
    if (!commitPending())
        return;
    guarded([&] {
        m_table->last();
        m_table->append();
    });
    m_fabricante->setFocus();
}

void TF_Cad_Lub::btnAnteriorClick() { move(&data::Table::prior); }

void TF_Cad_Lub::btnProximaClick() { move(&data::Table::next); }

void TF_Cad_Lub::btnDeletarClick()
{
    if (m_table->isEmpty() && !editing())
        return;
    if (core::dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    guarded([&] {
        if (m_table->state() == Dataset::State::Insert)
            m_table->cancel();
        else
            m_table->remove();
    });
}

void TF_Cad_Lub::btnSalvarClick()
{
    if (editing())
        saveRecord();
}

void TF_Cad_Lub::ImageClick()
{
    const QString current = m_table->isEmpty() ? QString() : m_table->asString(QStringLiteral("Image"));
    const QString dir = current.isEmpty() ? QFileInfo(defaultPicturePath()).absolutePath()
                                          : QFileInfo(VehiclePicture::resolve(current)).absolutePath();
    const QString file = core::dialogs().openFile(this, QStringLiteral("Foto do Veículo"), dir, pictureFilter());
    if (file.isEmpty())
        return;
    const QString path = QFileInfo(file).absoluteFilePath();
    if (!QImageReader(path).canRead()) {
        core::dialogs().error(this, QStringLiteral("Erro"),
                              QStringLiteral("Não foi possível abrir a imagem \"%1\".").arg(QDir::toNativeSeparators(path)));
        return;
    }
    const bool stored = guarded([&] {
        if (!editing()) {
            if (m_table->isEmpty())
                m_table->append();
            else
                m_table->edit();
        }
        m_table->setValue(QStringLiteral("Image"), QDir::toNativeSeparators(path));
    });
    if (stored)
        m_picture->showFile(path);
}

void TF_Cad_Lub::btnImportarClick()
{
    if (!commitPending())
        return;
    if (importVehicles(this, m_db) > 0)
        guarded([&] { m_table->refresh(); });
}

void TF_Cad_Lub::btnExportarClick()
{
    if (commitPending())
        exportVehicles(this, m_db);
}

} // namespace brelvo::lubricants

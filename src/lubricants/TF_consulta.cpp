#include "lubricants/TF_consulta.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "lubricants/LubricantLists.h"
#include "lubricants/VehiclePicture.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace brelvo::lubricants {

namespace {

core::DbLabel *valueLabel(QWidget *parent, data::Dataset *table, const char *name, const char *field)
{
    auto *l = new core::DbLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setDataSource(table, QString::fromLatin1(field));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

TF_consulta::TF_consulta(data::DatabasePtr db, QWidget *parent)
    : core::RecordWindow(parent)
{
    setObjectName(QStringLiteral("TF_consulta"));
    setWindowTitle(QStringLiteral("Consulta de Lubrificantes Correto"));
    resize(820, 540);

    m_table = new data::Table(std::move(db), QString::fromLatin1(kTable), this);
    m_table->setObjectName(QStringLiteral("Tlubrificante"));
    m_table->setIndexName(QString::fromLatin1(kOrder));
    m_table->open();
    setMainTable(m_table);

    // Search boxes.
    auto *search = new QGridLayout;
    auto *lbFab = new QLabel(QStringLiteral("Selecione Fabricante:"), this);
    m_fabricante = new QComboBox(this);
    m_fabricante->setObjectName(QStringLiteral("cbFabricante"));
    m_fabricante->setEditable(true);
    m_fabricante->setInsertPolicy(QComboBox::NoInsert);
    m_fabricante->addItems(lookupMakers());
    m_fabricante->setCurrentIndex(-1);
    m_fabricante->setEditText(QStringLiteral("FABRICANTE"));
    m_fabricante->setMinimumWidth(m_fabricante->fontMetrics().horizontalAdvance(QStringLiteral("MERCEDES BENZ")) + 48);
    core::setTypingCase(m_fabricante, core::CharCase::Upper);
    core::EnterMovesFocus::keepEnter(m_fabricante);
    lbFab->setBuddy(m_fabricante);
    connect(m_fabricante, &QComboBox::activated, this,
            [this](int i) { escolherFabricante(m_fabricante->itemText(i)); });
    connect(m_fabricante->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { escolherFabricante(m_fabricante->currentText()); });

    auto *lbBuscar = new QLabel(QStringLiteral("Buscar Carro:"), this);
    m_buscar = new QLineEdit(this);
    m_buscar->setObjectName(QStringLiteral("EditBuscar"));
    core::setTypingCase(m_buscar, core::CharCase::Upper);
    lbBuscar->setBuddy(m_buscar);
    connect(m_buscar, &QLineEdit::textEdited, this, [this] { buscarCarro(m_buscar->text()); });

    search->addWidget(lbFab, 0, 0);
    search->addWidget(m_fabricante, 1, 0);
    search->addWidget(lbBuscar, 0, 1);
    search->addWidget(m_buscar, 1, 1);
    search->setColumnStretch(1, 1);

    // The vehicles of the current restriction.
    auto *listBox = new QGroupBox(QStringLiteral("Selecione Carro / Modelo"), this);
    auto *listLayout = new QVBoxLayout(listBox);
    m_list = core::makeGrid(listBox, m_table, QStringLiteral("GridCarros"),
                            {core::GridColumn::make(QStringLiteral("Carro"), QStringLiteral("Carro"))});
    m_list->horizontalHeader()->hide();
    listLayout->addWidget(m_list);
    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &i) { mostrarCarro(i.row()); });
    connect(m_list, &core::DbGrid::rowChosen, this, &TF_consulta::mostrarCarro);

    // What the workshop needs for the oil change.
    m_detail = new QWidget(this);
    m_detail->setObjectName(QStringLiteral("PanelDetalhe"));
    auto *detailLayout = new QVBoxLayout(m_detail);
    auto *carro = valueLabel(m_detail, m_table, "lbCarro", "Carro");
    QFont big = carro->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    carro->setFont(big);
    carro->setWordWrap(true);
    detailLayout->addWidget(carro);
    auto *facts = new QFormLayout;
    facts->addRow(QStringLiteral("Ano"), valueLabel(m_detail, m_table, "lbAno", "Ano"));
    facts->addRow(QStringLiteral("Combustivel"), valueLabel(m_detail, m_table, "lbCombustivel", "Combustivel"));
    facts->addRow(QStringLiteral("Viscosidade SAE recomendado"),
                  valueLabel(m_detail, m_table, "lbLubrificante", "Lubrificane"));
    facts->addRow(QStringLiteral("Norma API: "), valueLabel(m_detail, m_table, "lbNormaAPI", "NormaAPI"));
    facts->addRow(QStringLiteral("Litros do Cárter do Motor"), valueLabel(m_detail, m_table, "lbLitros", "Litros_Carter"));
    detailLayout->addLayout(facts);
    auto *photoBox = new QGroupBox(QStringLiteral("Foto ilustrativa"), m_detail);
    auto *photoLayout = new QVBoxLayout(photoBox);
    m_picture = new VehiclePicture(photoBox);
    m_picture->setObjectName(QStringLiteral("ImageCarro"));
    photoLayout->addWidget(m_picture);
    detailLayout->addWidget(photoBox, 1);
    m_detail->hide();

    auto *body = new QHBoxLayout;
    body->addWidget(listBox, 2);
    body->addWidget(m_detail, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addLayout(body, 1);

    // The picture follows the current row.
    auto showPicture = [this] { m_picture->showRow(*m_table); };
    connect(m_table, &data::Dataset::afterScroll, this, showPicture);
    connect(m_table, &data::Dataset::dataChanged, this, showPicture);
    showPicture();
}

void TF_consulta::showEvent(QShowEvent *event)
{
    core::RecordWindow::showEvent(event);
    m_buscar->setFocus();
}

void TF_consulta::restrict(const QString &field, const QString &prefix)
{
    m_detail->hide();
    m_list->parentWidget()->show();
    // The typed text is quoted by the data layer's rules; '*' asks for "begins with".
    guarded([&] {
        m_table->setFilter(field + QLatin1Char('=') + data::Table::quoted(prefix + QLatin1Char('*')));
        m_table->setFiltered(true);
        m_table->first();
    });
}

void TF_consulta::escolherFabricante(const QString &maker)
{
    m_buscar->clear();   // the boxes show the restriction in force
    restrict(QStringLiteral("Fabricante"), maker.trimmed());
    m_list->setFocus();
}

void TF_consulta::buscarCarro(const QString &text)
{
    m_fabricante->setCurrentIndex(-1);
    m_fabricante->setEditText(QStringLiteral("FABRICANTE"));
    restrict(QStringLiteral("Carro"), text);
}

void TF_consulta::mostrarCarro(int row)
{
    if (row < 0 || !m_list->datasetModel()->setCurrentRow(row))
        return;
    m_detail->show();
}

} // namespace brelvo::lubricants

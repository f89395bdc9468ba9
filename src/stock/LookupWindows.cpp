#include "stock/LookupWindows.h"

#include "core/DialogService.h"
#include "core/DataControls.h"
#include "core/Widgets.h"
#include "stock/StockUi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::stock {

using data::Dataset;
using data::DbError;

namespace {
QString s(const char *utf8) { return QString::fromUtf8(utf8); }
} // namespace

const TFormLookup::Kind TFormLookup::kMarcas = {"TFormMarcas", "Cadastro Marcas", "Marcas", "tbMarcas.db", "Marca"};
const TFormLookup::Kind TFormLookup::kMedidas = {"TFormMedidas", "Cadastro Medidas", "Medidas", "tbMedidas.db",
                                                 "UnMedida"};
const TFormLookup::Kind TFormLookup::kCategorias = {"TFormCategoria", "Cadastro Categorias", "Categoria",
                                                    "tbCategoria.db", "Categoria"};

TFormLookup::TFormLookup(const Kind &kind, data::DatabasePtr db, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_db(std::move(db))
{
    setObjectName(QString::fromLatin1(kind.className));
    setWindowTitle(s(kind.title));
    resize(420, 420);

    m_table = new data::Table(m_db, QString::fromLatin1(kind.table), this);

    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(s(kind.group), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    outer->addWidget(group);
    auto *gl = new QGridLayout(group);
    m_nome = new QLineEdit(group);
    m_nome->setObjectName(QStringLiteral("EditNome"));
    core::setTypingCase(m_nome, core::CharCase::Upper);
    gl->addWidget(new QLabel(QStringLiteral("Nome:"), group), 0, 0);
    gl->addWidget(m_nome, 0, 1, 1, 3);
    auto mk = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, group);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_adicionar = mk("BtAdicionar", QStringLiteral("Adicionar"));
    m_remover = mk("BtRemover", QStringLiteral("Remover"));
    m_editar = mk("BtEditar", QStringLiteral("Editar"));
    gl->addWidget(m_adicionar, 1, 1);
    gl->addWidget(m_remover, 1, 2);
    gl->addWidget(m_editar, 1, 3);

    auto *cad = new QGroupBox(QStringLiteral("Cadastradas"), group);
    cad->setObjectName(QStringLiteral("GroupCadastradas"));
    auto *cl = new QVBoxLayout(cad);
    m_grid = new QTableWidget(0, 1, cad);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setHorizontalHeaderLabels({QString::fromLatin1(kind.field)});
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cl->addWidget(m_grid);
    m_field = new QLineEdit(cad);
    m_field->setObjectName(QStringLiteral("DBEdit1"));
    core::setTypingCase(m_field, core::CharCase::Upper);
    m_field->hide();
    cl->addWidget(m_field);
    auto *nav = new QWidget(cad);
    nav->setObjectName(QStringLiteral("DBNavigator1"));
    auto *nl = new QHBoxLayout(nav);
    nl->setContentsMargins(0, 0, 0, 0);
    m_post = new QToolButton(nav);
    m_post->setObjectName(QStringLiteral("nbPost"));
    m_post->setText(QString::fromUtf8("\u2714"));
    m_post->setToolTip(QStringLiteral("Gravar"));
    nl->addWidget(m_post);
    nl->addStretch();
    cl->addWidget(nav);
    gl->addWidget(cad, 2, 0, 1, 4);

    connect(m_adicionar, &QPushButton::clicked, this, &TFormLookup::Adicionar);
    connect(m_remover, &QPushButton::clicked, this, &TFormLookup::Remover);
    connect(m_editar, &QPushButton::clicked, this, &TFormLookup::Editar);
    connect(m_post, &QToolButton::clicked, this, &TFormLookup::Post);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_loading || row < 0 || !m_table->isOpen())
            return;
        try {
            if (m_table->state() != Dataset::State::Browse)
                return;
            m_table->moveTo(row);
        } catch (const DbError &e) {
            showError(e.message());
        }
    });

    try {
        m_table->open();
        const int size = m_table->fieldSize(QString::fromLatin1(kind.field));
        if (size > 0) {
            m_nome->setMaxLength(size);
            m_field->setMaxLength(size);
        }
    } catch (const DbError &e) {
        showError(e.message());
    }
    reload();
    m_post->setEnabled(false);
    core::EnterMovesFocus::install(this);
}

TFormLookup::~TFormLookup() = default;

void TFormLookup::showError(const QString &text) { core::dialogs().error(this, QStringLiteral("Erro"), text); }

QStringList TFormLookup::values() const
{
    QStringList out;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        out << m_grid->item(r, 0)->text();
    return out;
}

void TFormLookup::reload()
{
    if (!m_table->isOpen())
        return;
    const QString field = QString::fromLatin1(m_kind.field);
    m_loading = true;
    int current = -1;
    try {
        const data::Bookmark mark = m_table->bookmark();
        QStringList rows;
        m_table->disableControls();
        for (m_table->first(); !m_table->eof(); m_table->next()) {
            if (mark.isValid() && m_table->bookmark().key == mark.key)
                current = int(rows.size());
            rows << m_table->asString(field);
        }
        if (current >= 0)
            m_table->moveTo(current);
        else if (!rows.isEmpty())
            m_table->first();
        m_table->enableControls();
        m_grid->setRowCount(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            m_grid->setItem(r, 0, new QTableWidgetItem(rows.at(r)));
    } catch (const DbError &e) {
        m_table->enableControls();
        showError(e.message());
    }
    m_loading = false;
    selectCurrent();
}

void TFormLookup::selectCurrent()
{
    if (m_table->isEmpty())
        return;
    int row = 0;
    try {
        row = m_table->recNo();
    } catch (const DbError &) {
    }
    m_loading = true;
    if (row >= 0 && row < m_grid->rowCount())
        m_grid->setCurrentCell(row, 0);
    m_loading = false;
}

void TFormLookup::Adicionar()
{
    const QString nome = m_nome->text().trimmed();
    if (nome.isEmpty()) {
        core::dialogs().information(this, QString(), QStringLiteral("Preencha o nome da marca para adicionar!"));
        return;
    }
    try {
        m_table->append();
        m_table->setValue(QString::fromLatin1(m_kind.field), nome);
        m_table->post();
    } catch (const DbError &e) {
        try {
            if (m_table->state() != Dataset::State::Browse)
                m_table->cancel();
        } catch (const DbError &) {
        }
        showError(e.message());
        return;
    }
    m_nome->clear();
    reload();
}

void TFormLookup::Remover()
{
    if (!m_table->isOpen() || m_table->isEmpty())
        return;
    if (core::dialogs().question(this, s("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != core::Answer::Yes)
        return;
    try {
        if (m_table->state() != Dataset::State::Browse)
            m_table->cancel();
        const int row = m_grid->currentRow();
        if (row >= 0)
            m_table->moveTo(row);
        m_table->remove();
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    reload();
}

void TFormLookup::Editar()
{
    if (!m_table->isOpen() || m_table->isEmpty())
        return;
    try {
        const int row = m_grid->currentRow();
        if (row >= 0 && m_table->state() == Dataset::State::Browse)
            m_table->moveTo(row);
        m_table->edit();
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    m_field->setText(m_table->asString(QString::fromLatin1(m_kind.field)));
    m_field->show();
    m_field->setFocus();
    m_editar->setEnabled(false);
    m_adicionar->setEnabled(false);
    m_post->setEnabled(true);
}

void TFormLookup::Post()
{
    if (m_table->state() != Dataset::State::Edit)
        return;
    try {
        m_table->setValue(QString::fromLatin1(m_kind.field), m_field->text().trimmed());
        m_table->post();
    } catch (const DbError &e) {
        showError(e.message());
        return;
    }
    m_editar->setEnabled(true);
    m_adicionar->setEnabled(true);
    m_post->setEnabled(false);
    m_field->hide();
    reload();
}

void TFormLookup::done(int r)
{
    try {
        if (m_table->isOpen() && m_table->state() != Dataset::State::Browse)
            m_table->cancel();
        m_table->close();
    } catch (const DbError &) {
    }
    QDialog::done(r);
}

} // namespace brelvo::stock

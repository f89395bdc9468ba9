#include "core/ValueListWindow.h"

#include "core/DialogService.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::core {

using data::Dataset;
using data::Table;

ValueListWindow::ValueListWindow(data::DatabasePtr db, const Setup &setup, QWidget *parent)
    : RecordWindow(parent), m_setup(setup)
{
    auto *t = new Table(std::move(db), setup.table, this);
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(setup.group, this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    outer->addWidget(group);
    auto *gl = new QGridLayout(group);
    m_nome = new QLineEdit(group);
    m_nome->setObjectName(setup.nameBox);
    setTypingCase(m_nome, CharCase::Upper);
    gl->addWidget(new QLabel(QStringLiteral("Nome:"), group), 0, 0);
    gl->addWidget(m_nome, 0, 1, 1, 3);
    m_add = makeButton(setup.addButton, QStringLiteral("Adicionar"), group);
    QPushButton *remove = makeButton(setup.removeButton, QStringLiteral("Remover"), group);
    m_edit = makeButton(setup.editButton, QStringLiteral("Editar"), group);
    gl->addWidget(m_add, 1, 1);
    gl->addWidget(remove, 1, 2);
    gl->addWidget(m_edit, 1, 3);

    auto *cad = new QGroupBox(QStringLiteral("Cadastradas"), group);
    cad->setObjectName(QStringLiteral("GroupCadastradas"));
    auto *cl = new QVBoxLayout(cad);
    m_grid = makeGrid(cad, t, QStringLiteral("DBGrid1"), {GridColumn::make(setup.field, setup.column)});
    cl->addWidget(m_grid);
    m_value = new QLineEdit(cad);
    m_value->setObjectName(setup.valueBox);
    setTypingCase(m_value, CharCase::Upper);
    m_value->hide();
    cl->addWidget(m_value);
    gl->addWidget(cad, 2, 0, 1, 4);

    connect(m_add, &QPushButton::clicked, this, &ValueListWindow::Adicionar);
    connect(remove, &QPushButton::clicked, this, &ValueListWindow::Remover);
    connect(m_edit, &QPushButton::clicked, this, &ValueListWindow::Editar);

    if (guarded([&] { t->open(); })) {
        const int size = t->fieldSize(setup.field);
        if (size > 0) {
            m_nome->setMaxLength(size);
            m_value->setMaxLength(size);
        }
    }
    setMainTable(t);
    Navigator *nav = makeNavigator(Navigator::Post, QStringLiteral("DBNavigator1"), cad);
    connect(nav, &Navigator::postClicked, this, &ValueListWindow::Post);
    enableWhen(nav->button(QStringLiteral("nbPost")), When::Editing);
    cl->addWidget(nav);
    updateControls();
}

QStringList ValueListWindow::values() const
{
    QStringList out;
    const DatasetModel *model = m_grid->datasetModel();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->data(model->index(r, 0)).toString();
    return out;
}

void ValueListWindow::updateControls()
{
    RecordWindow::updateControls();
    if (!m_value)
        return;
    // Only an edit started by "Editar" shows the box; a row being added does not.
    const bool inPlace = table() && table()->state() == Dataset::State::Edit;
    m_value->setVisible(inPlace);
    m_edit->setEnabled(!inPlace);
    m_add->setEnabled(!inPlace);
}

bool ValueListWindow::mayAdd(const QString &)
{
    return true;
}

bool ValueListWindow::mayRemove()
{
    return true;
}

bool ValueListWindow::mayEdit()
{
    return true;
}

void ValueListWindow::Adicionar()
{
    const QString name = m_nome->text().trimmed();
    if (name.isEmpty()) {
        dialogs().information(this, QString(), m_setup.emptyMessage);
        return;
    }
    if (!table()->isOpen() || !mayAdd(name))
        return;
    const bool ok = guarded([&] {
        if (editing())
            table()->cancel();
        table()->append();
        table()->setValue(m_setup.field, name);
        table()->post();
    });
    if (!ok) {
        discardRecord();
        return;
    }
    m_nome->clear();
}

void ValueListWindow::Remover()
{
    if (!table()->isOpen() || table()->isEmpty() || !mayRemove())
        return;
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"))
        != Answer::Yes)
        return;
    guarded([&] {
        if (editing())
            table()->cancel();
        table()->remove();
    });
}

void ValueListWindow::Editar()
{
    if (!table()->isOpen() || table()->isEmpty() || !mayEdit())
        return;
    if (!guarded([&] { table()->edit(); }))
        return;
    m_value->setText(table()->asString(m_setup.field));
    m_value->setFocus();
}

void ValueListWindow::Post()
{
    if (editing())
        saveRecord();
}

bool ValueListWindow::saveRecord()
{
    if (!editing())
        return true;
    const QString value = table()->state() == Dataset::State::Edit
        ? m_value->text().trimmed()
        : table()->asString(m_setup.field).trimmed();
    if (value.isEmpty()) {
        dialogs().information(this, QString(), m_setup.emptyMessage);
        return false;
    }
    return guarded([&] {
        table()->setValue(m_setup.field, value);
        table()->post();
    });
}

} // namespace brelvo::core

#include "app/MenuPanels.h"

#include "core/DialogService.h"
#include "core/Widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::app {

using core::dialogs;
using data::Dataset;

namespace {
struct PermissionInfo {
    const char *field;
    const char *caption;
};
// Field, caption of its check box.
const PermissionInfo kPermissions[] = {
    {"01", "Botão Relatórios"},
    {"02", "Botão Fornecedores"},
    {"03", "Menu Administrativo"},
    {"04", "Menu Controle de Acesso"},
    {"05", "Menu Configurações"},
    {"06", "Menu Empresa"},
    {"07", "Menu Produtos/ Serviços"},
    {"08", "Cadastrar / Alterar Funcionários"},
    {"09", "Cadastrar / Alterar Fornecedores"},
    {"10", "Cadastro de Categorias"},
    {"11", "Alterar Senha de Acesso"},
    {"12", "Fluxo Caixa"},
    {"14", "Cadastro de Cargo / Função"},
    {"15", "Menu Ferramentas Sistema"},
    {"16", "Menu Backup"},
    {"17", "Ordem de Serviço"},
    {"18", "Menu Caixa Fluxo"},
};

QFrame *styled(QFrame *f, const QString &name)
{
    f->setObjectName(name);
    f->setFrameShape(QFrame::StyledPanel);
    f->setAutoFillBackground(true);
    return f;
}

QPushButton *panelButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Opens a table the panel keeps for the window's life, on its first row.
data::Table *openFirstRow(data::DatabasePtr db, const QString &table, const QString &name, QWidget *parent)
{
    auto *t = new data::Table(std::move(db), table, parent);
    t->setObjectName(name);
    core::guarded(parent, [t] {
        t->open();
        t->first();
    });
    return t;
}
} // namespace

// ---------------------------------------------------------------- permissions

QStringList PermissionPanel::fields()
{
    QStringList f;
    for (const auto &p : kPermissions)
        f << QString::fromLatin1(p.field);
    return f;
}

QString PermissionPanel::caption(const QString &field)
{
    for (const auto &p : kPermissions)
        if (field == QLatin1String(p.field))
            return QString::fromUtf8(p.caption);
    return QString();
}

PermissionPanel::PermissionPanel(data::DatabasePtr db, QWidget *parent) : QFrame(parent)
{
    styled(this, QStringLiteral("PanelPermissao"));
    m_table = openFirstRow(std::move(db), QStringLiteral("Checkbox.db"), QStringLiteral("TabelaCheckbox"), this);
    auto *v = new QVBoxLayout(this);
    v->addWidget(core::heading(this, QStringLiteral("LabelPermissoes"),
                               QStringLiteral("Permissões dos Usuários Secundários"), 1.3));
    auto *groups = new QHBoxLayout;
    auto group = [&](const QString &name, const QString &text, const QStringList &fieldList) {
        auto *g = new QGroupBox(text, this);
        g->setObjectName(name);
        auto *gl = new QVBoxLayout(g);
        for (const QString &field : fieldList) {
            auto *c = new QCheckBox(caption(field), g);
            c->setObjectName(QStringLiteral("chk") + field);
            gl->addWidget(c);
            m_boxes[field] = c;
            connect(c, &QCheckBox::clicked, this, [this, field](bool checked) { toggled(field, checked); });
        }
        gl->addStretch(1);
        groups->addWidget(g);
    };
    group(QStringLiteral("GroupVizualizar"), QStringLiteral("Vizualizar : "),
          {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("04"),
           QStringLiteral("06"), QStringLiteral("05"), QStringLiteral("07"), QStringLiteral("18")});
    group(QStringLiteral("GroupCadastro"), QStringLiteral("Cadastro Permitir:"),
          {QStringLiteral("08"), QStringLiteral("09"), QStringLiteral("10"), QStringLiteral("11"),
           QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("16"),
           QStringLiteral("17")});
    v->addLayout(groups);
    auto *buttons = new QHBoxLayout;
    QPushButton *save = panelButton(this, QStringLiteral("btnSalvarPermissao"), QStringLiteral("Salvar / Testar"));
    QPushButton *leave = panelButton(this, QStringLiteral("btnSairPermissao"), QStringLiteral("Sair"));
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(leave);
    v->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &PermissionPanel::save);
    connect(leave, &QPushButton::clicked, this, &PermissionPanel::left);
    connect(m_table, &data::Table::afterCancel, this, &PermissionPanel::load);
    connect(m_table, &Dataset::dataChanged, this, &PermissionPanel::load);
    load();
    hide();
}

bool PermissionPanel::granted(const QString &field) const
{
    try {
        if (!m_table->isOpen() || m_table->isEmpty())
            return true;
        return m_table->isNull(field) || m_table->asBool(field);
    } catch (const std::exception &) {
        return true;
    }
}

void PermissionPanel::load()
{
    m_loading = true;
    for (auto it = m_boxes.begin(); it != m_boxes.end(); ++it)
        it.value()->setChecked(granted(it.key()));
    m_loading = false;
}

void PermissionPanel::toggled(const QString &field, bool checked)
{
    if (m_loading)
        return;
    const bool ok = core::guarded(this, [&] {
        if (m_table->state() == Dataset::State::Browse) {
            if (m_table->isEmpty())
                m_table->append();
            else
                m_table->edit();
        }
        m_table->setValue(field, checked);
    });
    if (!ok)
        load();
}

void PermissionPanel::save()
{
    const bool ok = core::guarded(this, [&] {
        const auto st = m_table->state();
        if (st == Dataset::State::Edit || st == Dataset::State::Insert)
            m_table->post();
    });
    if (ok)
        Q_EMIT saved();
}

// ---------------------------------------------------------------- logo

LogoPanel::LogoPanel(data::DatabasePtr db, std::function<bool(const QString &)> show, QWidget *parent)
    : QFrame(parent), m_show(std::move(show))
{
    styled(this, QStringLiteral("PanelLogo"));
    setMinimumWidth(520);
    m_table = openFirstRow(std::move(db), QStringLiteral("logo.db"), QStringLiteral("TabelaLogo"), this);
    auto *v = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(core::heading(this, QStringLiteral("LabelLogo"), QStringLiteral("Logo Marca"), 1.0));
    top->addStretch(1);
    QPushButton *x = panelButton(this, QStringLiteral("btnFecharLogo"), QStringLiteral("X"));
    x->setFixedWidth(32);
    top->addWidget(x);
    v->addLayout(top);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("edtLogoCaminho"));
    m_path->setReadOnly(true);
    v->addWidget(m_path);
    auto *row = new QHBoxLayout;
    QPushButton *changeButton = panelButton(this, QStringLiteral("btnAlterarLogo"), QStringLiteral("Alterar Logo Marca"));
    QPushButton *saveClose = panelButton(this, QStringLiteral("btnSalvarFecharLogo"), QStringLiteral("Salvar e Fechar"));
    QPushButton *resetButton = panelButton(this, QStringLiteral("btnDeixarPadrao"), QStringLiteral("Deixar Padrão"));
    for (QPushButton *b : {changeButton, saveClose, resetButton})
        row->addWidget(b);
    v->addLayout(row);
    connect(changeButton, &QPushButton::clicked, this, &LogoPanel::change);
    connect(saveClose, &QPushButton::clicked, this, &LogoPanel::saveAndClose);
    connect(resetButton, &QPushButton::clicked, this, &LogoPanel::reset);
    connect(x, &QPushButton::clicked, this, &LogoPanel::closeMark);
    connect(m_table, &Dataset::fieldChanged, this, &LogoPanel::showPath);
    for (auto sig : {&Dataset::afterScroll, &Dataset::dataChanged})
        connect(m_table, sig, this, &LogoPanel::showPath);
    connect(m_table, &data::Table::afterCancel, this, &LogoPanel::showPath);
    showPath();
    hide();
}

QString LogoPanel::storedPath() const
{
    QString path;
    core::guarded(nullptr, [&] {
        if (m_table->isOpen() && !m_table->isEmpty()) {
            m_table->first();
            path = m_table->asString(QStringLiteral("LogoCaminho"));
        }
    });
    return path;
}

void LogoPanel::showPath()
{
    try {
        m_path->setText(m_table->isOpen() && !m_table->isEmpty() ? m_table->asString(QStringLiteral("LogoCaminho"))
                                                                  : QString());
    } catch (const std::exception &) {
        m_path->clear();
    }
}

bool LogoPanel::editing() const
{
    const auto st = m_table->state();
    return st == Dataset::State::Edit || st == Dataset::State::Insert;
}

void LogoPanel::startEdit()
{
    if (editing())
        return;
    if (m_table->isEmpty())
        m_table->append();
    else
        m_table->edit();
}

void LogoPanel::open()
{
    showPath();
    show();
    raise();
}

void LogoPanel::change()
{
    QStringList patterns;
    for (const QByteArray &fmt : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(fmt);
    const QString file = dialogs().openFile(this, QStringLiteral("Logo Marca"), QString(),
                                            QStringLiteral("Imagens (%1);;Todos (*)").arg(patterns.join(u' ')));
    // An unreadable picture is told and leaves the stored path as it was.
    if (file.isEmpty() || !m_show(file))
        return;
    core::guarded(this, [&] {
        startEdit();
        m_table->setValue(QStringLiteral("LogoCaminho"), file);
    });
    showPath();
}

void LogoPanel::saveAndClose()
{
    if (!editing()) {
        dialogs().information(this, QStringLiteral("Atenção"), QStringLiteral("Não esta em modo de edição!"));
        return;
    }
    if (core::guarded(this, [&] { m_table->post(); }))
        hide();
}

void LogoPanel::reset()
{
    const bool ok = core::guarded(this, [&] {
        startEdit();
        m_table->setValue(QStringLiteral("LogoCaminho"), QVariant());
        hide();
        m_table->post();
    });
    if (!ok)
        return;
    showPath();
    dialogs().information(this, QStringLiteral("Atenção"), QStringLiteral("Reinicie o programa para validar o comando!"));
}

void LogoPanel::closeMark()
{
    if (editing()) {
        dialogs().information(this, QStringLiteral("Atenção"),
                              QStringLiteral("Salve para sair!  clique em salvar e fechar"));
        return;
    }
    hide();
}

} // namespace brelvo::app

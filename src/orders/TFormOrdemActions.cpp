// The order window's actions: the record, customer and car, the lock and its
// supervisor unlock, lines and totals, the discount, finalising, history,
// captions, the search panel and the printouts.

#include "orders/TFormOrdem.h"

#include "core/DataControls.h"
#include "core/DatasetModel.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "core/Widgets.h"
#include "orders/OrderData.h"
#include "orders/OrderRules.h"
#include "orders/OrderTotals.h"
#include "orders/OrderWidgets.h"
#include "orders/TFConsulta.h"
#include "registries/RegistryWindows.h"
#include "stock/StockBalance.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brelvo::orders {

using core::Answer;
using core::dialogs;
using data::Dataset;
using data::Table;

namespace {

const QString kIniciar = QStringLiteral("Atenção! Clique no botão Nova OS para iniciar uma Ordem de Serviço");
const QString kFinalizadaHeader = QStringLiteral("Essa O.S foi finalizada para alterá-la clique no botão alterar abaixo!");
const QString kFinalizadaItens = QStringLiteral("Essa O.S foi finalizada para alterá-la clique no botão alterar O.S abaixo!");
const QString kVendaFinalizada = QStringLiteral("Venda Ja finalizada não é Possivel Modificações!");
const QString kAtencao = QStringLiteral("Atenção");

bool isEditing(const Dataset *d)
{
    return d && (d->state() == Dataset::State::Edit || d->state() == Dataset::State::Insert);
}

} // namespace

// ---------------------------------------------------------------- state

bool TFormOrdem::hasOrder() const
{
    return m_controle->isOpen() && (!m_controle->isEmpty() || m_controle->state() == Dataset::State::Insert);
}

bool TFormOrdem::isFinalised() const
{
    return hasOrder() && m_controle->asString(QStringLiteral("Andamento")) == kFinalizado;
}

bool TFormOrdem::hasPendingChanges() const
{
    return isEditing(m_controle) || isEditing(m_itens);
}

bool TFormOrdem::saveRecord()
{
    if (!hasOrder())
        return true;
    bool ok = true;
    totalizar();
    if (isEditing(m_controle))
        ok = guarded([&] { m_controle->post(); });
    return ok && !hasPendingChanges();
}

void TFormOrdem::discardRecord()
{
    guarded([&] {
        if (isEditing(m_itens))
            m_itens->cancel();
        if (isEditing(m_controle))
            m_controle->cancel();
    });
}

void TFormOrdem::editOrder()
{
    if (m_controle->state() == Dataset::State::Browse)
        m_controle->edit();
}

bool TFormOrdem::ensureOrderStarted()
{
    if (hasOrder())
        return true;
    dialogs().information(this, kAtencao, kIniciar);
    return false;
}

// ---------------------------------------------------------------- toolbar

void TFormOrdem::btnNovoClick()
{
    guarded([&] {
        if (isEditing(m_itens))
            m_itens->post();
        if (isEditing(m_controle))
            m_controle->post();
        m_controle->refresh();
        const bool numbered = !m_controle->isEmpty() && !m_controle->isNull(QStringLiteral("Codigo"));
        if (numbered) {
            // The table numbers the new row: last created + 1, drawn again when it is stored.
            m_controle->last();
            m_controle->append();
        } else if (m_controle->isEmpty()) {
            m_controle->append();
        } else {
            m_controle->edit();
            m_controle->setValue(QStringLiteral("Codigo"), double(firstFreeOrderNumber(m_db, 1)));
        }
        m_controle->setValue(QStringLiteral("Andamento"), kEmAberto);
        m_controle->setValue(QStringLiteral("Data"), QDate::currentDate());
        m_controle->setValue(QStringLiteral("HrOs"), QTime::currentTime());
        m_controle->setValue(QStringLiteral("DataEntrega"), QDate::currentDate());
        m_controle->setValue(QStringLiteral("ForPagamento"), QStringLiteral("DINHEIRO"));
    });
    m_editCodigo->setFocus();
    Os_Finalizadas();
    totalizar();
}

void TFormOrdem::btnGravarClick()
{
    saveRecord();
    Os_Finalizadas();
}

void TFormOrdem::btnCancelarClick()
{
    discardRecord();
    Os_Finalizadas();
}

void TFormOrdem::btnDeletarClick()
{
    if (!hasOrder())
        return;
    if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("Deseja apagar este registro?"))
        != Answer::Yes)
        return;
    guarded([&] {
        if (isEditing(m_itens))
            m_itens->cancel();
        m_controle->remove();   // its lines go with it, in the same transaction
        m_itens->refresh();
    });
    Os_Finalizadas();
}

void TFormOrdem::navigate(int step)
{
    if (!commitPending())
        return;
    guarded([&] {
        m_controle->refresh();
        m_panAlteraOs->hide();
        switch (step) {
        case 0: m_controle->first(); break;
        case 1: m_controle->prior(); break;
        case 2: m_controle->next(); break;
        default: m_controle->last(); break;
        }
    });
    Os_Finalizadas();
}

void TFormOrdem::bt_sairClick()
{
    reject();
}

void TFormOrdem::reject()
{
    // Every way out (the button, the close box, Esc) asks first.
    if (dialogs().question(this, QStringLiteral("SAIR"),
                           QStringLiteral("Deseja mesmo sair da tela de Ordem de Serviço?"))
        != Answer::Yes)
        return;
    RecordWindow::reject();
}

// ---------------------------------------------------------------- activation and keys

bool TFormOrdem::event(QEvent *e)
{
    // The window becomes active again after a message or another window; a
    // list that dropped down and closed does not count.
    if (e->type() == QEvent::WindowDeactivate)
        m_activateRules = QApplication::activePopupWidget() == nullptr;
    if (e->type() == QEvent::WindowActivate && m_activateRules)
        activate();
    return RecordWindow::event(e);
}

void TFormOrdem::activate()
{
    // (The window never puts a range on its order cursor, so there is none to lift.)
    if (m_editCodigo->isEnabled())
        Os_Finalizadas();
    if (!isFinalised())
        m_mskCodigo->setFocus();
}

bool TFormOrdem::userFocus(QEvent *e) const
{
    const Qt::FocusReason r = static_cast<QFocusEvent *>(e)->reason();
    return r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason
        || r == Qt::ShortcutFocusReason;
}

void TFormOrdem::lockedMessage(bool itemGroup)
{
    dialogs().information(this, kAtencao, itemGroup ? kFinalizadaItens : kFinalizadaHeader);
    if (!itemGroup)
        guarded([&] {
            if (isEditing(m_controle))
                m_controle->cancel();
        });
}

bool TFormOrdem::handleKey(QKeyEvent *k)
{
    const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (k->key()) {
        case Qt::Key_F1:
            if (m_panDesconto->isVisible())
                BtDescontoClick();
            else
                LocalizarProdut();
            return true;
        case Qt::Key_F3: pesquisarCliente(); return true;
        case Qt::Key_F4: BtServicosAnteriosresClick(); return true;
        case Qt::Key_F5: btnNovoClick(); return true;
        case Qt::Key_F12: Bt_PagoClick(); return true;
        default: return false;
        }
    }
    if (mods == Qt::ControlModifier) {
        switch (k->key()) {
        case Qt::Key_L: LocalizarProdut(); return true;
        case Qt::Key_G: PersonalizaT(); return true;
        case Qt::Key_A: imprimirOrcamento(true); return true;
        case Qt::Key_B: imprimirOrcamento(false); return true;
        case Qt::Key_F: imprimirCupom(); return true;
        default: return false;
        }
    }
    return false;
}

bool TFormOrdem::eventFilter(QObject *watched, QEvent *e)
{
    // The window's keys come first, except while the items grid has the focus.
    if (e->type() == QEvent::KeyPress && m_keyPreview) {
        auto *w = qobject_cast<QWidget *>(watched);
        // Keys reach a control of this window only while no other window is in front.
        if (w && w->window() == this && handleKey(static_cast<QKeyEvent *>(e)))
            return true;
        return false;
    }
    if (watched == qApp || !qobject_cast<QWidget *>(watched))
        return false;
    auto *w = static_cast<QWidget *>(watched);

    if (e->type() == QEvent::FocusIn && userFocus(e)) {
        if (isFinalised()) {
            if (w == m_editCodigo || w == m_editDefeito || w == m_editObs || w == m_editAtendente
                || m_customerBoxes.contains(qobject_cast<core::DbEdit *>(w)) || w == m_tipo
                || (m_tipo->isAncestorOf(w))) {
                lockedMessage(false);
                return false;
            }
            if (w == m_mskCodigo || w == m_mskQuantidade) {
                lockedMessage(true);
                return false;
            }
        }
        if (w == m_editData && hasOrder() && m_controle->isNull(QStringLiteral("Data"))
            && m_controle->isNull(QStringLiteral("Codigo"))) {
            // VerificaCamposVazio
            dialogs().information(this, kAtencao, kIniciar);
            discardRecord();
            QTimer::singleShot(0, m_mskCodigo, [this] { m_mskCodigo->setFocus(); });
            return false;
        }
        if (w == m_modelos || w == m_placa)
            ListaModelos();
        if (w == m_mskCodigo)
            QTimer::singleShot(0, m_mskCodigo, [this] { m_mskCodigo->selectAll(); });
        if (w == m_mskQuantidade)
            QTimer::singleShot(0, m_mskQuantidade, [this] { m_mskQuantidade->selectAll(); });
    }
    if (e->type() == QEvent::MouseButtonPress && w == m_gbItens && isFinalised()) {
        lockedMessage(true);
        return false;
    }
    if (e->type() == QEvent::FocusOut) {
        if (w == m_modelos)
            modeloEscolhido(false);
        else if (w == m_placa)
            placaEscolhida(false);
        else if (m_recebimento && w == m_valorRecebido && m_recebimento->isVisible()
                 && static_cast<QFocusEvent *>(e)->reason() != Qt::ActiveWindowFocusReason
                 && static_cast<QFocusEvent *>(e)->reason() != Qt::PopupFocusReason) {
            if (!Calcula_Receber())
                QTimer::singleShot(0, m_valorRecebido, [this] { m_valorRecebido->setFocus(); });
        }
    }
    return RecordWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- customer, car, mechanic

void TFormOrdem::EditCodigoEnter()
{
    if (!hasOrder() || !m_editCodigo->isValidInput())
        return;
    const QString typed = m_editCodigo->text().trimmed();
    if (typed.isEmpty())
        return;
    bool ok = false;
    const qint64 code = typed.toLongLong(&ok);
    bool found = false;
    if (ok)
        guarded([&] {
            m_cliente->setIndexName(QStringLiteral("byCodigo"));
            found = m_cliente->findKey({code});
        });
    if (found) {
        guarded([&] {
            editOrder();
            auto copy = [&](const char *from, const char *to) {
                QVariant v = m_cliente->value(QString::fromLatin1(from));
                const int size = m_controle->fieldSize(QString::fromLatin1(to));
                if (!v.isNull() && size > 0)
                    v = v.toString().left(size);
                m_controle->setValue(QString::fromLatin1(to), v);
            };
            m_controle->setValue(QStringLiteral("CodCliente"), double(code));
            copy("Nome", "NomeCliente");
            copy("Fone", "Fone");
            copy("CIC", "CPFCNPJ");
            copy("Celular", "Celular");
        });
        return;
    }
    if (dialogs().question(this, QStringLiteral("Erro"),
                           QStringLiteral("Este código de cliente não foi cadastrado, cadastrar agora?"))
        == Answer::Yes)
        registries::openClientes(this, m_db, m_ctx.isAdmin);
}

void TFormOrdem::bt_localizarClick()
{
    if (!hasOrder()
        || (m_controle->isNull(QStringLiteral("Data")) && m_controle->isNull(QStringLiteral("Codigo")))) {
        dialogs().information(this, kAtencao, kIniciar);
        discardRecord();
        return;
    }
    pesquisarCliente();
}

void TFormOrdem::pesquisarCliente()
{
    if (isFinalised()) {
        lockedMessage(false);
        return;
    }
    registries::pesquisarClienteOS(this, m_db, m_controle);
}

void TFormOrdem::ListaModelos()
{
    const QString typed = m_editCodigo->text().trimmed();
    bool ok = false;
    const qint64 code = typed.toLongLong(&ok);
    if (typed.isEmpty() || !ok) {
        dialogs().information(this, kAtencao,
                              QStringLiteral("Nenhum Cliente Foi Selecionado não é possivel Criar Lista de carros!"));
        return;
    }
    QStringList modelos, placas;
    guarded([&] {
        prepareCars(*m_carros, code);
        m_carros->open();
        for (m_carros->first(); !m_carros->eof(); m_carros->next()) {
            modelos << m_carros->asString(QStringLiteral("Modelo"));
            placas << m_carros->asString(QStringLiteral("Placa"));
        }
    });
    // The lists show the order's own values until one is chosen.
    m_modelos->setItems(modelos);
    m_placa->setItems(placas);
}

void TFormOrdem::copyCar(int carRow)
{
    guarded([&] {
        m_carros->moveTo(carRow);
        editOrder();
        m_controle->setValue(QStringLiteral("Modelo"), m_carros->value(QStringLiteral("Modelo")));
        m_controle->setValue(QStringLiteral("AnoFabrica"), m_carros->value(QStringLiteral("Anofabrica")));
        m_controle->setValue(QStringLiteral("Ano"), m_carros->value(QStringLiteral("AnoModelo")));
        m_controle->setValue(QStringLiteral("Placa"), m_carros->value(QStringLiteral("Placa")));
        m_controle->setValue(QStringLiteral("Combustivel"), m_carros->value(QStringLiteral("Combustivel")));
        m_controle->setValue(QStringLiteral("Fabricante"), m_carros->value(QStringLiteral("Fabricante")));
    });
}

void TFormOrdem::modeloEscolhido(bool moveFocus)
{
    // The model: the same name, in any letter case.
    escolherCarro(m_modelos->currentText().trimmed(), [](const QString &modelo, const QString &typed) {
        return modelo.compare(typed, Qt::CaseInsensitive) == 0;
    }, QStringLiteral("Modelo"), moveFocus);
}

void TFormOrdem::placaEscolhida(bool moveFocus)
{
    // The plate: the first that begins with what was typed.
    escolherCarro(m_placa->currentText().trimmed(), [](const QString &placa, const QString &typed) {
        return placa.startsWith(typed);
    }, QStringLiteral("Placa"), moveFocus);
}

void TFormOrdem::escolherCarro(const QString &typed, const std::function<bool(const QString &, const QString &)> &matches,
                               const QString &field, bool moveFocus)
{
    if (typed.isEmpty() || !hasOrder() || !m_carros->isOpen() || isFinalised())
        return;
    int found = -1;
    guarded([&] {
        int row = 0;
        for (m_carros->first(); !m_carros->eof(); m_carros->next(), ++row)
            if (matches(m_carros->asString(field), typed)) {
                found = row;
                break;
            }
    });
    // What no car of the customer matches is kept as typed; nothing is copied.
    if (found < 0)
        return;
    const bool same = m_controle->asString(QStringLiteral("Placa")) == m_carros->asString(QStringLiteral("Placa"))
                   && m_controle->asString(QStringLiteral("Modelo")) == m_carros->asString(QStringLiteral("Modelo"));
    if (same && !moveFocus)
        return;
    copyCar(found);
    if (moveFocus)
        m_km->setFocus();
}

void TFormOrdem::BuscaTecnico()
{
    if (!hasOrder())
        return;
    if (!m_codMecanico->isValidInput()) {
        // The box told what is wrong. What it wrote while the text still read
        // as a number goes back, and the focus stays.
        if (m_controle->state() == Dataset::State::Edit)
            guarded([&] {
                m_controle->setValue(QStringLiteral("CodVendedor"), m_controle->oldValue(QStringLiteral("CodVendedor")));
            });
        QTimer::singleShot(0, m_codMecanico, [this] { m_codMecanico->setFocus(); });
        return;
    }
    const QString typed = m_codMecanico->text().trimmed();
    if (typed.isEmpty())
        return;
    QString message;
    const auto code = parseWhole(typed, QStringLiteral("o código do mecânico"), &message);
    if (!code) {
        dialogs().warning(this, QStringLiteral("Erro"), message);
        QTimer::singleShot(0, m_codMecanico, [this] { m_codMecanico->setFocus(); });
        return;
    }
    guarded([&] {
        const std::optional<QString> nome = employeeName(m_db, *code);
        editOrder();
        m_controle->setValue(QStringLiteral("Tecnico"), nome ? QVariant(*nome) : QVariant());
    });
}

void TFormOrdem::loadAttendants()
{
    QStringList names;
    guarded([&] {
        for (m_atendente->first(); !m_atendente->eof(); m_atendente->next())
            names << m_atendente->asString(QStringLiteral("Nome"));
    });
    m_editAtendente->setItems(names);
}

// ---------------------------------------------------------------- lock and unlock

void TFormOrdem::Os_Finalizadas()
{
    const bool open = !isFinalised();
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_btnRemover, m_tipo, m_editAtendente, m_editData, m_editCodigo, m_editDataEntrega, m_editPrevisao,
             m_gbVeiculo, m_btnFinalizar, m_editDefeito, m_btLocalizar, m_editObs, m_andamento, m_grid,
             m_gbMecanico})
        w->setEnabled(open);
    m_btAlterar->setVisible(!open);
}

void TFormOrdem::Bt_alterarClick()
{
    if (m_panAlteraOs->isVisible()) {
        m_panAlteraOs->hide();
        m_mskCodigo->setFocus();
        return;
    }
    m_senha->clear();
    m_panAlteraOs->show();
    m_senha->setFocus();
}

void TFormOrdem::senhaOkClick()
{
    const bool match = m_ctx.supervisorMatches && m_ctx.supervisorMatches(core::upper(m_senha->text()));
    if (!match) {
        dialogs().information(this, kAtencao,
                              QStringLiteral("Senha Do Administrador Errada! Digite a Senha do Usuário KOV "
                                             "Corretamente para continuar!"));
        m_senha->clear();
        m_senha->setFocus();
        return;
    }
    guarded([&] {
        editOrder();
        m_controle->setValue(QStringLiteral("Andamento"), kEmAberto);
    });
    m_senha->clear();
    m_panAlteraOs->hide();
    Os_Finalizadas();
}

void TFormOrdem::senhaCancelarClick()
{
    m_senha->clear();
    m_panAlteraOs->hide();
}

// ---------------------------------------------------------------- lines and totals

void TFormOrdem::resetEntry()
{
    m_mskCodigo->clear();
    m_mskCodigo->setFocus();
    m_mskQuantidade->setText(QStringLiteral("01"));
}

void TFormOrdem::finishedMessage()
{
    dialogs().information(this, kAtencao,
                          QStringLiteral("Prezado Operador:\r\nRegistro já finalizada Não Possivel mais "
                                         "Alteração!\r\n     Para Inserir um Novo Tecle (F5)!"));
}

void TFormOrdem::mskCodigoEnter()
{
    if (isFinalised()) {
        finishedMessage();
        m_mskCodigo->clear();
        m_mskCodigo->setFocus();
        return;
    }
    const QString typed = m_mskCodigo->text().trimmed();
    if (typed.isEmpty())
        return;
    if (!ensureOrderStarted())
        return;
    std::optional<ProductForLine> p;
    if (!guarded([&] { p = findProduct(*m_produtos, typed); }))
        return;
    if (!p) {
        dialogs().information(this, kAtencao,
                              QStringLiteral("Codigo ") + typed + QStringLiteral(" não cadastrado digite novamente!"));
        resetEntry();
        m_preco->setText(QStringLiteral("0,00"));
        return;
    }
    m_preco->setText(core::formatMask(QStringLiteral("###,###,##0.00"), p->valor));
    bool allowed = false;
    if (!guarded([&] { allowed = stockAllows(*m_balance, *p); }))
        return;
    if (!allowed) {
        dialogs().information(this, kAtencao,
                              QStringLiteral("Produto Sem Estoque!E o mesmo não permite venda nesta condição!"));
        return;
    }
    // The quantity is read before anything is written.
    QString message;
    const auto qtd = parseTyped(m_mskQuantidade->text(), QStringLiteral("a quantidade"), &message);
    if (!qtd) {
        dialogs().warning(this, QStringLiteral("Erro"), message);
        m_mskQuantidade->setFocus();
        m_mskQuantidade->selectAll();
        return;
    }
    const bool written = guarded([&] {
        if (m_controle->state() == Dataset::State::Insert)
            m_controle->post();
        // A line is added after the current one unless the current one is blank.
        const bool blank = !m_itens->isEmpty() && m_itens->isNull(QStringLiteral("CodBarra"));
        const bool blankInsert = m_itens->state() == Dataset::State::Insert
                                 && m_itens->isNull(QStringLiteral("CodBarra"));
        if (blankInsert) {
            // the new row started by "Inserir Linha"
        } else if (blank) {
            if (m_itens->state() == Dataset::State::Edit)
                m_itens->post();
            m_itens->edit();
        } else {
            if (isEditing(m_itens))
                m_itens->post();
            m_itens->append();
        }
        m_itens->setValue(QStringLiteral("CodBarra"), p->codigo);
        m_itens->setValue(QStringLiteral("Descricao"), p->descricao);
        m_itens->setValue(QStringLiteral("Monitorar"), p->monitorarEstq);
        m_itens->setValue(QStringLiteral("ValorUni"), roundMoney(p->valor));
        m_itens->setValue(QStringLiteral("Qtd"), *qtd);
        m_itens->post();
    });
    if (!written) {
        guarded([&] {
            if (isEditing(m_itens))
                m_itens->cancel();
        });
        return;
    }
    m_preco->setText(core::formatMask(QStringLiteral("########0.00"), p->valor));
    m_mskCodigo->clear();
    m_mskCodigo->setFocus();
    m_mskCodigo->selectAll();
    m_mskQuantidade->setText(QStringLiteral("01"));
    totalizar();
}

void TFormOrdem::BitBtn2Click()
{
    if (isFinalised()) {
        dialogs().information(this, kAtencao, kVendaFinalizada);
        return;
    }
    if (!hasOrder() || (m_itens->isEmpty() && m_itens->state() != Dataset::State::Insert))
        return;
    const QString descricao = m_itens->asString(QStringLiteral("Descricao"));
    if (!descricao.isEmpty()) {
        const double sub = m_itens->asFloat(QStringLiteral("Qtd")) * m_itens->asFloat(QStringLiteral("ValorUni"));
        dialogs().information(this, kAtencao, removalText(descricao, sub));
        if (dialogs().question(this, QStringLiteral("Exclusão"), QStringLiteral("Comfirme a remoção do item!"))
            != Answer::Yes)
            return;
    }
    guarded([&] { m_itens->remove(); });
    m_preco->clear();
    m_mskQuantidade->setText(QStringLiteral("01"));
    totalizar();
}

void TFormOrdem::deletarItemSelecionado()
{
    // The same lock and re-totalling as the remove button; no question.
    if (isFinalised()) {
        dialogs().information(this, kAtencao, kVendaFinalizada);
        return;
    }
    if (!hasOrder() || (m_itens->isEmpty() && m_itens->state() != Dataset::State::Insert))
        return;
    guarded([&] { m_itens->remove(); });
    totalizar();
}

void TFormOrdem::inserirLinha()
{
    if (isFinalised()) {
        dialogs().information(this, kAtencao, kVendaFinalizada);
        return;
    }
    if (!ensureOrderStarted())
        return;
    guarded([&] {
        if (m_controle->state() == Dataset::State::Insert || m_controle->state() == Dataset::State::Edit)
            m_controle->post();
        if (isEditing(m_itens))
            m_itens->post();
        m_itens->append();
    });
    m_grid->setFocus();
}

void TFormOrdem::totalizar()
{
    if (m_totalizing || !hasOrder())
        return;
    m_totalizing = true;
    guarded([&] { m_totals->totalizar(*m_controle, *m_itens); });
    m_totalizing = false;
}

void TFormOrdem::queueTotalizar()
{
    if (m_totalizarQueued)
        return;
    m_totalizarQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_totalizarQueued = false;
        if (!m_grid->editing())
            totalizar();
    });
}

void TFormOrdem::TotalSemDesconto()
{
    if (m_totalizing || !hasOrder())
        return;
    m_totalizing = true;
    guarded([&] { m_totals->totalSemDesconto(*m_controle, *m_itens); });
    m_totalizing = false;
}

void TFormOrdem::LocalizarProdut()
{
    consultarProdutos(this, m_db, QStringLiteral("F1"), m_mskCodigo);
}

void TFormOrdem::btnDescontoClick()
{
    if (isFinalised()) {
        dialogs().information(this, kAtencao, QStringLiteral("Registro já finalizado não sendo possivel alteração!"));
        return;
    }
    if (!ensureOrderStarted())
        return;
    if (m_panDesconto->isVisible()) {
        m_panDesconto->hide();
        totalizar();
        m_mskCodigo->setFocus();
        return;
    }
    m_panDesconto->show();
    TotalSemDesconto();
    m_desconto->setFocus();
    m_desconto->selectAll();
}

void TFormOrdem::BtDescontoClick()
{
    if (!hasOrder())
        return;
    QString message;
    const auto d = parseTyped(m_desconto->text(), QStringLiteral("o valor do desconto"), &message);
    if (!d) {
        dialogs().warning(this, QStringLiteral("Erro"), message);
        m_desconto->setFocus();
        m_desconto->selectAll();
        return;
    }
    std::optional<double> percent;
    guarded([&] {
        m_configs->refresh();
        m_configs->first();
        if (!m_configs->isEmpty() && !m_configs->isNull(QStringLiteral("Desconto")))
            percent = m_configs->asFloat(QStringLiteral("Desconto"));
    });
    if (!percent) {
        dialogs().warning(this, QStringLiteral("Erro"),
                          QStringLiteral("O desconto máximo permitido não foi informado em Configurações > "
                                         "Desconto Permtido."));
        return;
    }
    if (*d >= 0 && discountAllowed(*d, m_totals->lastTotal(), *percent)) {
        guarded([&] {
            editOrder();
            m_controle->setValue(QStringLiteral("Desconto"), *d);
        });
        m_panDesconto->hide();
        totalizar();
        m_mskCodigo->setFocus();
        return;
    }
    dialogs().information(this, kAtencao, QStringLiteral("Prezado Operador: Valor do Desconto não Permitido !"));
    guarded([&] {
        editOrder();
        m_controle->setValue(QStringLiteral("Desconto"), 0.0);
    });
    m_desconto->setText(QStringLiteral("0,00"));
    m_desconto->setFocus();
    m_desconto->selectAll();
}

// ---------------------------------------------------------------- finalising and history

void TFormOrdem::Br_finalizarClick()
{
    buildPayment();
    if (!hasOrder())
        return;
    if (m_controle->state() == Dataset::State::Edit) {
        dialogs().information(this, kAtencao, QStringLiteral("Salve para finalizar!"));
        return;
    }
    const QString kind = m_controle->asString(QStringLiteral("OsOc"));
    if (kind.isEmpty()) {
        dialogs().information(this, kAtencao, QStringLiteral("Selecione se é Orçamento ou Ordem de Serviço"));
        return;
    }
    if (kind == kQuote) {
        const bool ok = guarded([&] {
            editOrder();
            m_controle->setValue(QStringLiteral("Andamento"), kFinalizado);
        });
        if (!ok)
            return;
        totalizar();
        m_btAlterar->show();
        dialogs().information(this, kAtencao, QStringLiteral("Orçamento finalizado com sucesso!"));
        m_btnSairRecebimento->setEnabled(true);
        Os_Finalizadas();
        return;
    }
    if (dialogs().question(this, QStringLiteral("Comfirmar"), QStringLiteral("Deseja Mesmo Finalizar essa O.S?"))
        != Answer::Yes)
        return;
    m_recebimento->show();
    m_valorRecebido->setFocus();
    m_valorRecebido->selectAll();
    if (m_controle->isNull(QStringLiteral("DtOs")))
        guarded([&] {
            editOrder();
            m_controle->setValue(QStringLiteral("DtOs"), QDate::currentDate());
        });
}

void TFormOrdem::valorRecebidoChange(const QString &text)
{
    if (text.isEmpty())
        return;
    const auto received = core::parseNumber(text);
    if (!received) {
        m_troco->clear();
        return;
    }
    m_troco->setText(core::formatMask(QStringLiteral("#####0.00"),
                                      change(*received, m_controle->asFloat(QStringLiteral("VrTotal")))));
}

bool TFormOrdem::Calcula_Receber()
{
    if (!m_valorRecebido)
        return true;
    if (m_controle->isNull(QStringLiteral("VrTotal"))) {
        dialogs().information(this, kAtencao, QStringLiteral("Valor total à pagar da O.S é nulo!"));
        return true;
    }
    if (m_valorRecebido->text().trimmed().isEmpty())
        return true;
    QString message;
    const auto received = parseTyped(m_valorRecebido->text(), QStringLiteral("o valor recebido"), &message);
    if (!received) {
        dialogs().warning(this, QStringLiteral("Erro"), message);
        return false;
    }
    const double troco = change(*received, m_controle->asFloat(QStringLiteral("VrTotal")));
    m_troco->setText(core::formatMask(QStringLiteral("#####0.00"), troco));
    m_valorRecebido->setText(core::formatMask(QStringLiteral("#####0.00"), *received));
    return true;
}

void TFormOrdem::Bt_PagoClick()
{
    buildPayment();
    if (!hasOrder())
        return;
    totalizar();
    const bool ok = guarded([&] {
        editOrder();
        m_btAlterar->show();
        m_controle->setValue(QStringLiteral("Andamento"), kFinalizado);
        m_controle->post();
    });
    if (!ok)
        return;
    dialogs().information(this, kAtencao, QStringLiteral("O.S finalizada com sucesso!"));
    m_btnSairRecebimento->setEnabled(true);
    Os_Finalizadas();
    m_recebimento->hide();
}

void TFormOrdem::BtServicosAnteriosresClick()
{
    const QString plate = m_placa->currentText();
    if (plate.isEmpty()) {
        dialogs().information(this, kAtencao,
                              QStringLiteral("Impossivel Identificar serviços anteriores sem a placa do veículo "
                                             "selecionada!"));
        return;
    }
    if (!m_panDetalhes)
        buildHistory();
    const bool ok = guarded([&] {
        prepareHistory(*m_servAnteriores, plate, m_ontem);
        m_servAnteriores->open();
        m_gridAnteriores->datasetModel()->invalidate();
        m_servAnteriores->first();
    });
    if (!ok)
        return;
    m_panDetalhes->show();
    DetalhesItems();
    m_gridAnteriores->setFocus();
}

void TFormOrdem::DetalhesItems()
{
    if (!m_panDetalhes || !m_servAnteriores->isOpen())
        return;
    const bool any = !m_servAnteriores->isEmpty();
    m_histData->setText(any ? m_servAnteriores->asString(QStringLiteral("Data_OS")) : QString());
    m_histHora->setText(any ? m_servAnteriores->asTime(QStringLiteral("HrOS")).toString(QStringLiteral("HH:mm:ss"))
                            : QString());
    m_histPlaca->setText(any ? m_servAnteriores->asString(QStringLiteral("Placa")) : QString());
    m_histModelo->setText(any ? m_servAnteriores->asString(QStringLiteral("Modelo")) : QString());
    m_histNumero->setText(any ? core::formatMask(QStringLiteral("0000"),
                                                 m_servAnteriores->asFloat(QStringLiteral("Codigo")))
                              : QString());
    guarded([&] {
        prepareDetails(*m_detalhesVendas, any ? m_servAnteriores->asInteger(QStringLiteral("Chave")) : -1);
        m_detalhesVendas->open();
        m_gridExecutados->datasetModel()->invalidate();
    });
    m_gridExecutados->setColumnWidth(0, 265);
    m_gridExecutados->setColumnWidth(2, 80);
    m_gridExecutados->setColumnWidth(3, 100);
}

// ---------------------------------------------------------------- captions

void TFormOrdem::PersonalizaT()
{
    OrderCaptions c;
    guarded([&] {
        m_camposRef->refresh();
        m_camposRef->first();
        c = readCaptions(*m_camposRef);
    });
    if (c.builtIn())
        return;
    m_gbVeiculo->setTitle(c.equipamento);
    m_gbEquipamentoCampo->setTitle(c.equipamento);
    m_lblNSerieCampo->setText(c.nSerie);
    m_lblModelo->setText(c.nSerie);
    m_nSerieCaption = c.nSerie;
    if (m_gridLocalizar) {
        QList<core::GridColumn> cols = m_gridLocalizar->datasetModel()->columns();
        cols[3].caption = c.nSerie;
        m_gridLocalizar->datasetModel()->setColumns(cols);
    }
    m_gbServicosCampo->setTitle(c.previsao);
    m_lblDefeito->setText(c.dadosOS);
    m_lblDadosOSCampo->setText(c.dadosOS);
    m_lblObs->setText(c.obs);
    m_lblObsCampo->setText(c.obs);
}

void TFormOrdem::showPersonalize()
{
    guarded([&] {
        m_camposRef->first();
        if (m_camposRef->isEmpty()) {
            m_camposRef->append();
        }
    });
    m_personalize->show();
}

void TFormOrdem::alterarCamposClick()
{
    const OrderCaptions typed{m_camposRef->asString(QStringLiteral("Equipamento")),
                              m_camposRef->asString(QStringLiteral("NSerie")),
                              m_camposRef->asString(QStringLiteral("DadosOS")),
                              m_camposRef->asString(QStringLiteral("Obs")),
                              m_camposRef->asString(QStringLiteral("Previsao"))};
    if (typed.equipamento.trimmed().isEmpty() || typed.nSerie.trimmed().isEmpty()
        || typed.previsao.trimmed().isEmpty() || typed.dadosOS.trimmed().isEmpty()) {
        dialogs().information(this, kAtencao, QStringLiteral("Nenhum Campo pode ser Vazio Corrija!"));
        guarded([&] {
            if (isEditing(m_camposRef))
                m_camposRef->cancel();
        });
        return;
    }
    guarded([&] {
        if (isEditing(m_camposRef))
            m_camposRef->post();
        m_camposRef->refresh();
    });
    m_btnAlterarCampos->setEnabled(false);
    PersonalizaT();
}

void TFormOrdem::sairPersonalizeClick()
{
    // What was not stored with "Alterar" is dropped: an empty caption never reaches the table.
    guarded([&] {
        if (isEditing(m_camposRef))
            m_camposRef->cancel();
    });
    m_personalize->hide();
}

// ---------------------------------------------------------------- search panel and starting number

void TFormOrdem::showLocalizar()
{
    if (!m_gridLocalizar) {
        using core::GridColumn;
        m_gridLocalizar = core::makeGrid(
            m_localizar, m_controle, QStringLiteral("DBGridLocalizar"),
            {GridColumn::make(QStringLiteral("Data"), QStringLiteral("Data O.S"), 12),
             GridColumn::make(QStringLiteral("Codigo"), QStringLiteral("Nº O.S"), 8, QStringLiteral("000000")),
             GridColumn::make(QStringLiteral("Placa"), QStringLiteral("Placa"), 10),
             GridColumn::make(QStringLiteral("Modelo"), m_nSerieCaption, 20),
             GridColumn::make(QStringLiteral("NomeCliente"), QStringLiteral("NomeCliente"), 30),
             GridColumn::make(QStringLiteral("Fone"), QStringLiteral("Fone"), 14)});
        m_gridLocalizar->setMinimumSize(760, 240);
        m_localizarLayout->insertWidget(m_localizarGridAt, m_gridLocalizar);
    }
    m_rbNumero->setChecked(true);
    m_locNumero->setVisible(true);
    m_locNome->setVisible(false);
    m_locPlaca->setVisible(false);
    m_lblDigite->setText(QStringLiteral("Digite Nº da O.S"));
    m_localizar->show();
    m_locNumero->setFocus();
}

void TFormOrdem::hideLocalizar()
{
    m_localizar->hide();
    delete m_gridLocalizar;
    m_gridLocalizar = nullptr;
}

void TFormOrdem::localizarChange(const QString &text)
{
    if (text.isEmpty() || !sender())
        return;
    if (!commitPending())
        return;
    guarded([&] {
        const data::Bookmark here = m_controle->bookmark();
        m_controle->setIndexName(QStringLiteral("ByChave"));
        bool found = false;
        if (sender() == m_locNumero)
            found = m_controle->locate(QStringLiteral("Codigo"), {text.toDouble()});
        else if (sender() == m_locNome)
            found = m_controle->locate(QStringLiteral("NomeCliente"), {text}, Table::PartialKey);
        else
            found = m_controle->locate(QStringLiteral("Placa"), {text}, Table::PartialKey);
        if (!found && here.isValid())
            m_controle->gotoBookmark(here);
    });
    Os_Finalizadas();
}

void TFormOrdem::showNumeroInicial()
{
    if (!ensureOrderStarted())
        return;
    m_panel5->show();
    m_numeroInicial->setFocus();
    m_numeroInicial->selectAll();
}

void TFormOrdem::gravarNumeroInicialClick()
{
    if (!m_numeroInicial->isValidInput()) {
        dialogs().warning(this, QStringLiteral("Erro"), m_numeroInicial->inputError());
        m_numeroInicial->setFocus();
        return;
    }
    if (!guarded([&] {
            if (isEditing(m_controle))
                m_controle->post();
        }))
        return;
    Os_Finalizadas();
    m_panel5->hide();
}

// ---------------------------------------------------------------- printouts

OrderPrintSource TFormOrdem::printSource() const
{
    OrderPrintSource s;
    s.db = m_db;
    s.order = m_controle;
    s.items = m_itens;
    s.customerCodeText = m_editCodigo->text();
    s.totalize = [this] {
        if (hasOrder())
            m_totals->totalizar(*m_controle, *m_itens);
    };
    return s;
}

void TFormOrdem::btnImprimirOrcamentoClick()
{
    if (!m_impreOrcamento->isHidden()) {
        dialogs().information(this, QString(),
                              QStringLiteral("Já esta aberta! Selecione a opção desejada e clique no botão imprimir!"));
        return;
    }
    m_rbComValores->setChecked(true);
    m_btnImprimirOcV->setVisible(true);
    m_btnImprimirOSs->setVisible(false);
    m_impreOrcamento->show();
    m_impreOrcamento->raise();
}

void TFormOrdem::imprimirOrcamento(bool withValues)
{
    m_impreOrcamento->hide();
    if (!commitPending())
        return;
    printOrderLayout(this, printSource(), withValues ? OrderLayout::QuoteWithValues : OrderLayout::QuoteWithoutValues);
}

void TFormOrdem::imprimirOrdem()
{
    if (!commitPending())
        return;
    printOrderLayout(this, printSource(), OrderLayout::ServiceOrder);
}

void TFormOrdem::imprimirReciboEntrega()
{
    if (!commitPending())
        return;
    printOrderLayout(this, printSource(), OrderLayout::DeliveryReceipt);
}

void TFormOrdem::imprimirCupom()
{
    // The receipt runs totalizar itself (printSource().totalize) before it reads the totals.
    printOrderReceipt(this, printSource());
}

} // namespace brelvo::orders

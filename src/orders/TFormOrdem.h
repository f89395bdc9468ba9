#pragma once
// "Ordem de Serviços / Orçamento": one service order or quote per row of
// TOrdemServico.DB with its lines in tbitemsordem.db. The window numbers new
// orders, takes the customer and the car, the mechanic, attendant and
// progress state, adds lines with the stock test, keeps the totals and the
// discount, finalises with the payment panel, locks finalised orders until
// the supervisor reopens them, shows a car's earlier orders, and applies the
// installation's field captions.

#include "core/RecordWindow.h"
#include "data/Dataset.h"
#include "orders/OrderPrintouts.h"

#include <QDate>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace brelvo::core {
class DbComboBox;
class DbDateEdit;
class DbEdit;
class DbGrid;
class DbLabel;
class DbMaskEdit;
class DbRadioGroup;
}
namespace brelvo::stock {
class StockBalance;
}

namespace brelvo::orders {

class OrderTotals;
class CarListCombo;
class ItemsGrid;

// What the window needs from the program around it.
struct OrderWindowContext {
    // True when the typed text is the supervisor's password (the first user).
    std::function<bool(const QString &typed)> supervisorMatches;
    // The logged-in user is an administrator (the customer window opened from
    // here lets only an administrator delete).
    bool isAdmin = false;
};

class TFormOrdem : public core::RecordWindow {
    Q_OBJECT
public:
    TFormOrdem(data::DatabasePtr db, OrderWindowContext context = {}, QWidget *parent = nullptr);
    ~TFormOrdem() override;

    data::Table *TabelaControle() const { return m_controle; }
    data::Table *TabelaItem() const { return m_itens; }
    data::Query *QServAnteriores() const { return m_servAnteriores; }
    data::Query *QDetalhesVendas() const { return m_detalhesVendas; }
    data::Query *QCarros() const { return m_carros; }
    const OrderTotals &totals() const { return *m_totals; }
    // The current order's Andamento is "FINALIZADO".
    bool isFinalised() const;
    // The window's function keys are seen before its controls (off while the
    // items grid has the focus).
    bool keyPreview() const { return m_keyPreview; }

    bool hasPendingChanges() const override;
    bool saveRecord() override;
    void discardRecord() override;

public Q_SLOTS:
    // Toolbar.
    void btnNovoClick();
    void btnGravarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void navigate(int step);   // 0 first, 1 prior, 2 next, 3 last
    void bt_sairClick();

    // Customer, car, mechanic.
    void EditCodigoEnter();
    void bt_localizarClick();
    void pesquisarCliente();
    void ListaModelos();
    void modeloEscolhido(bool moveFocus);
    void placaEscolhida(bool moveFocus);
    void BuscaTecnico();

    // Lock and supervisor unlock.
    void Os_Finalizadas();
    void Bt_alterarClick();
    void senhaOkClick();
    void senhaCancelarClick();

    // Lines and totals.
    void mskCodigoEnter();
    void BitBtn2Click();
    void deletarItemSelecionado();
    void inserirLinha();
    void totalizar();
    void TotalSemDesconto();
    void LocalizarProdut();
    void btnDescontoClick();
    void BtDescontoClick();

    // Finalising and history.
    void Br_finalizarClick();
    void Bt_PagoClick();
    void valorRecebidoChange(const QString &text);
    bool Calcula_Receber();
    void BtServicosAnteriosresClick();
    void DetalhesItems();

    // Captions, search, starting number.
    void PersonalizaT();
    void showPersonalize();
    void alterarCamposClick();
    void sairPersonalizeClick();
    void showLocalizar();
    void localizarChange(const QString &text);
    void hideLocalizar();
    void showNumeroInicial();
    void gravarNumeroInicialClick();

    // Printouts. "Imprimir Orçamento" opens the quote choice panel; its
    // print buttons (and Ctrl+A / Ctrl+B) print and close it.
    void btnImprimirOrcamentoClick();
    void imprimirOrcamento(bool withValues);
    void imprimirOrdem();
    void imprimirReciboEntrega();
    void imprimirCupom();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    bool event(QEvent *e) override;
    void reject() override;

private:
    void buildToolbar(QVBoxLayout *lay);
    void buildHeader(QVBoxLayout *lay);
    void buildCustomer(QVBoxLayout *lay);
    void buildVehicle(QVBoxLayout *lay);
    void buildItems(QVBoxLayout *lay);
    void buildBottom(QVBoxLayout *lay);
    void buildPanels();
    void buildPayment();
    void buildHistory();
    void buildLocalizar();
    void buildPersonalize();
    void buildImpreOrcamento();
    void activate();
    bool handleKey(QKeyEvent *k);
    void loadAttendants();
    bool hasOrder() const;
    bool ensureOrderStarted();
    // Puts the order in editing (when it is not already).
    void editOrder();
    void lockedMessage(bool itemGroup);
    bool userFocus(QEvent *e) const;
    void finishedMessage();
    void resetEntry();
    void copyCar(int carRow);
    void escolherCarro(const QString &typed, const std::function<bool(const QString &, const QString &)> &matches,
                       const QString &field, bool moveFocus);
    OrderPrintSource printSource() const;
    void queueTotalizar();

    data::DatabasePtr m_db;
    OrderWindowContext m_ctx;
    QDate m_ontem;
    bool m_keyPreview = true;
    bool m_totalizing = false;
    bool m_totalizarQueued = false;
    bool m_activateRules = true;
    QVariant m_shownChave;          // the order the window last showed   // the activation rules run on the next activation

    data::Table *m_controle = nullptr;   // TabelaControle
    data::Table *m_cliente = nullptr;    // TabelaCliente
    data::Table *m_itens = nullptr;      // TabelaItem
    data::Table *m_atendente = nullptr;  // T_Atendente
    data::Table *m_camposRef = nullptr;  // TCamposRef
    data::Table *m_produtos = nullptr;   // TB_Produtos
    data::Table *m_configs = nullptr;    // TbConfigs
    data::Query *m_carros = nullptr;     // QCarros
    data::Query *m_servAnteriores = nullptr;
    data::Query *m_detalhesVendas = nullptr;
    std::unique_ptr<OrderTotals> m_totals;
    std::unique_ptr<stock::StockBalance> m_balance;

    // Toolbar and header.
    QPushButton *m_btnNovo = nullptr;
    QPushButton *m_btnGravar = nullptr;
    QPushButton *m_btnCancelar = nullptr;
    QPushButton *m_btnDeletar = nullptr;
    QPushButton *m_btnDesconto = nullptr;
    QLabel *m_lblNumOrdem = nullptr;
    core::DbLabel *m_numero = nullptr;
    core::DbRadioGroup *m_tipo = nullptr;
    QGroupBox *m_gbMecanico = nullptr;
    core::DbEdit *m_codMecanico = nullptr;
    core::DbComboBox *m_editAtendente = nullptr;
    core::DbComboBox *m_andamento = nullptr;
    // Customer.
    QGroupBox *m_gbCliente = nullptr;
    core::DbDateEdit *m_editData = nullptr;
    core::DbEdit *m_editCodigo = nullptr;
    QPushButton *m_btLocalizar = nullptr;
    QList<core::DbEdit *> m_customerBoxes;   // name, CPF/CNPJ, phone, mobile
    core::DbDateEdit *m_editDataEntrega = nullptr;
    core::DbMaskEdit *m_editPrevisao = nullptr;
    QLabel *m_lblDefeito = nullptr;
    QLabel *m_lblObs = nullptr;
    core::DbEdit *m_editDefeito = nullptr;
    core::DbEdit *m_editObs = nullptr;
    // Vehicle.
    QGroupBox *m_gbVeiculo = nullptr;
    core::DbEdit *m_km = nullptr;
    QLabel *m_lblModelo = nullptr;
    CarListCombo *m_modelos = nullptr;
    CarListCombo *m_placa = nullptr;
    // Lines.
    QGroupBox *m_gbItens = nullptr;
    QLineEdit *m_mskCodigo = nullptr;
    QLineEdit *m_preco = nullptr;
    QLineEdit *m_mskQuantidade = nullptr;
    QPushButton *m_btnF1 = nullptr;
    QPushButton *m_btnRemover = nullptr;
    ItemsGrid *m_grid = nullptr;
    QMenu *m_popup = nullptr;
    // Bottom.
    QPushButton *m_btnFinalizar = nullptr;
    QPushButton *m_btAlterar = nullptr;
    // Panels.
    QFrame *m_panAlteraOs = nullptr;
    QLineEdit *m_senha = nullptr;
    QFrame *m_panel5 = nullptr;
    core::DbEdit *m_numeroInicial = nullptr;
    QFrame *m_panDesconto = nullptr;
    core::DbEdit *m_desconto = nullptr;
    QFrame *m_recebimento = nullptr;
    QLineEdit *m_valorRecebido = nullptr;
    QLineEdit *m_troco = nullptr;
    QPushButton *m_btnSairRecebimento = nullptr;
    QFrame *m_panDetalhes = nullptr;
    core::DbGrid *m_gridAnteriores = nullptr;
    core::DbGrid *m_gridExecutados = nullptr;
    QLabel *m_histData = nullptr;
    QLabel *m_histHora = nullptr;
    QLabel *m_histPlaca = nullptr;
    QLabel *m_histModelo = nullptr;
    QLabel *m_histNumero = nullptr;
    QFrame *m_localizar = nullptr;
    QRadioButton *m_rbNumero = nullptr;
    QRadioButton *m_rbNome = nullptr;
    QRadioButton *m_rbPlaca = nullptr;
    QLabel *m_lblDigite = nullptr;
    QLineEdit *m_locNumero = nullptr;
    QLineEdit *m_locNome = nullptr;
    QLineEdit *m_locPlaca = nullptr;
    core::DbGrid *m_gridLocalizar = nullptr;   // only while the panel is open
    QVBoxLayout *m_localizarLayout = nullptr;
    int m_localizarGridAt = 0;
    QString m_nSerieCaption = QStringLiteral("Equipamento");
    QFrame *m_impreOrcamento = nullptr;
    QRadioButton *m_rbComValores = nullptr;
    QRadioButton *m_rbSemValores = nullptr;
    QPushButton *m_btnImprimirOcV = nullptr;
    QPushButton *m_btnImprimirOSs = nullptr;
    QFrame *m_personalize = nullptr;
    QGroupBox *m_gbEquipamentoCampo = nullptr;
    QLabel *m_lblNSerieCampo = nullptr;
    QGroupBox *m_gbServicosCampo = nullptr;
    QLabel *m_lblDadosOSCampo = nullptr;
    QLabel *m_lblObsCampo = nullptr;
    QPushButton *m_btnAlterarCampos = nullptr;
};

// The captions of the installation (tbCamposRef.db).
struct OrderCaptions {
    QString equipamento, nSerie, dadosOS, obs, previsao;
    // The four captions the window checks are all empty: the built-in ones stay.
    bool builtIn() const;
};
OrderCaptions readCaptions(data::Table &camposRef);

} // namespace brelvo::orders

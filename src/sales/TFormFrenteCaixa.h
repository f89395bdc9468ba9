#pragma once
// The till "Caixa": one sale at a time (tbVendas.db) with its items
// (tbItems.DB), entered by typed or scanned code; payment, discount, change,
// finalising and cancelling; the till receipt and the A4 order form.
// Keyboard-driven: the window sees its function keys before its controls.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace brelvo::core {
class DbEdit;
class DbGrid;
class DbLabel;
class DbRadioGroup;
}
namespace brelvo::stock { class StockBalance; }

namespace brelvo::sales {

class SaleSum;
struct SalePrintSource;

// Compares a typed text with the supervisor password.
using PasswordCheck = std::function<bool(const QString &typed)>;

class TFormFrenteCaixa : public core::RecordWindow {
    Q_OBJECT
public:
    TFormFrenteCaixa(data::DatabasePtr db, const QString &operador, PasswordCheck supervisor,
                     QWidget *parent = nullptr);
    ~TFormFrenteCaixa() override;

    data::Table *TbVendas() const { return m_vendas; }
    data::Table *TbItems() const { return m_items; }

    // Window state: the sale total and the gross total kept by the last
    // totalizar, the last code typed (blanks removed) and its availability.
    double saleTotal() const { return m_total; }
    double grossTotal() const { return m_gross; }
    QString currentCode() const { return m_code; }
    QString availability() const { return m_availability; }

public Q_SLOTS:
    // Showing the window: a new sale, or the open one taken up again.
    void FormShow();
    void NovaVenda();
    // F5: a new sale unless the last one is still open.
    void novaVendaTecla();
    // Title and boxes for the sale now current.
    void Finalizadas();
    // Enter in the code box: look the product up, test the stock, add it.
    void entrarCodigo();
    // Recomputes the sale total from its stored items and stores it. False
    // when the sale could not be changed (finalised; already told).
    bool totalizar();
    void CaculoTroco();
    void excluirItem();
    void localizarVenda();
    // Customer panel.
    void codClienteEnter();
    bool comfirmarCliente();        // F9
    void mostrarCliente(QWidget *focus);
    void buscarCliente();           // F8
    void buscarProduto();           // F3
    // Discount panel.
    void toggleDesconto();          // F1
    void confirmarDesconto();       // "Comfirmar (F1)", Enter in the box
    void fecharDesconto();          // "Fechar (x)"
    // Payment.
    void togglePagamento();         // F2
    void mostrarPagamento();        // F6
    void valorRecebidoEnter();
    void finalizar();               // F11
    void cancelarVenda();           // F4
    // Supervisor cancel of a sale.
    void toggleSenha();             // Ctrl+X
    void confirmarSenha();          // F7
    void cancelarSenha();
    // Printouts.
    void ImprimirCupom();           // Ctrl+P
    void imprimirA4();              // Ctrl+A

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int r) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildMain();
    QWidget *buildInfo();
    QFrame *buildClientePanel();
    QFrame *buildPagamentoPanel();
    QFrame *buildDescontoPanel();
    QFrame *buildSenhaPanel();
    QFrame *buildBottomBar();
    void buildMenu();
    bool handleKey(int key, Qt::KeyboardModifiers mods);
    // A box whose Enter runs its own rule (returnPressed) and goes no further.
    void ownEnter(QLineEdit *box);

    bool finalizada() const;
    // Puts the sale into editing; refuses (and tells) a finalised sale.
    bool editVenda();
    void focusCodigo();
    void setTitulo(const QString &text);
    void resetLinha();
    void hideCliente();
    bool addVendasV(qint64 code, double qtd);
    void addVendaFinal(qint64 code, double qtd);
    void applyDesconto(double value);
    double descontoPermitido() const;
    void tickerStep();
    SalePrintSource printSource();
    void showError(const QString &text, QWidget *focus);

    data::DatabasePtr m_db;
    QString m_operador;
    PasswordCheck m_supervisor;
    data::Table *m_vendas = nullptr;     // TbVendas
    data::Table *m_items = nullptr;      // TbItems
    data::Table *m_produtos = nullptr;   // TB_Produtos
    data::Table *m_clientes = nullptr;   // TbCliente
    data::Table *m_itemWriter = nullptr; // new items of the sale
    std::unique_ptr<stock::StockBalance> m_stock;
    std::unique_ptr<SaleSum> m_sum;

    double m_total = 0;
    double m_gross = 0;
    double m_preco = 0;
    QString m_code;
    QString m_availability;
    QString m_ticker;
    int m_tickerPos = 0;
    bool m_shown = false;
    bool m_confirming = false;

    QLabel *m_label1 = nullptr;
    QTimer *m_timer = nullptr;
    QLineEdit *m_codigo = nullptr;
    QLineEdit *m_quantidade = nullptr;
    QLabel *m_titulo = nullptr;
    QLabel *m_precoUnitario = nullptr;
    QLabel *m_totalSem = nullptr;
    core::DbGrid *m_grid = nullptr;
    core::DbLabel *m_codVenda = nullptr;
    QLabel *m_operadorLabel = nullptr;
    QLineEdit *m_valorRecebido = nullptr;
    QLabel *m_troco = nullptr;
    QFrame *m_cliente = nullptr;
    core::DbEdit *m_codCliente = nullptr;
    core::DbEdit *m_nomeCliente = nullptr;
    core::DbEdit *m_codVendedor = nullptr;
    core::DbEdit *m_obs = nullptr;
    QFrame *m_pagamento = nullptr;
    core::DbRadioGroup *m_forma = nullptr;
    QFrame *m_desconto = nullptr;
    QLineEdit *m_valorDesconto = nullptr;
    QFrame *m_senha = nullptr;
    QLineEdit *m_senhaBox = nullptr;
    QFrame *m_barra = nullptr;
    QPushButton *m_btnDesconto = nullptr;
    QPushButton *m_btnFormaPg = nullptr;
    QMenu *m_menu = nullptr;
    QList<QLineEdit *> m_enterBoxes;
};

} // namespace brelvo::sales

#pragma once
// "Troca & Devoluções": an earlier sale looked up by its number, returned
// items taken off it or the whole sale cancelled, and a purchase voucher
// ("BÔNUS TROCA E DEVOLUÇÕES") printed for the value given back.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace brelvo::core { class DbGrid; }

namespace brelvo::sales {

class SaleSum;

class TFTrocaDev : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TFTrocaDev(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFTrocaDev() override;

    data::Table *TbVendas() const { return m_vendas; }
    data::Table *TbItems() const { return m_items; }

public Q_SLOTS:
    void localizar();           // Enter in "Digite Codigo da Venda: " or "ok"
    void cancelarItem();        // "Cancelar Item Selecionado"
    void cancelarCupom();       // "&Cancelar Cupom"
    void salvar();              // "Sal&var"
    void gerarValeCompra();     // "&Gerar Vale Compra": the voucher panel
    void gerar();               // "Gerar": the voucher in the preview
    void fecharVale();          // "Fechar"
    // The sale total from its stored items, less the discount, stored.
    bool totalizar();

private:
    QWidget *buildSale();
    QFrame *buildVale();
    void valeChanged();

    data::DatabasePtr m_db;
    data::Table *m_vendas = nullptr;
    data::Table *m_items = nullptr;
    std::unique_ptr<SaleSum> m_sum;

    QLineEdit *m_codVenda = nullptr;
    core::DbGrid *m_grid = nullptr;
    QFrame *m_vale = nullptr;
    QLineEdit *m_valorVale = nullptr;
    QLabel *m_valorValeMoney = nullptr;
    QLineEdit *m_nomeVale = nullptr;
    QLineEdit *m_localData = nullptr;
    QRadioButton *m_compras = nullptr;
    QRadioButton *m_dinheiro = nullptr;
    QLabel *m_emWord = nullptr;
    QLineEdit *m_obsVale = nullptr;
};

} // namespace brelvo::sales

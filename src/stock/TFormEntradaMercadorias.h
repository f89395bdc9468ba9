#pragma once
// Replenishment entries ("Entrada de Mercadorias"): the operator records a
// supplier's delivery line by line; each line is a row of tbReposicao.DB and
// raises the product's stored balance. Entries are listed by period and
// product, and a line can be removed.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

#include <memory>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace brelvo::core { class DbGrid; }

namespace brelvo::stock {

class StockBalance;

class TFormEntradaMercadorias : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TFormEntradaMercadorias(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormEntradaMercadorias() override;

    // Looks the typed code up and shows the product; false when there is none.
    bool BuscaProduto();
    // Records the line on screen. False (with a message) when refused.
    bool Lancar();
    // Lists the entries of the period (and product, when one is typed).
    void Pesquisar();
    // Removes the selected entry line after confirmation.
    void ExcluirEntrada();
    // Opens the product picker.
    void Procurar();

    QTableWidget *grid() const { return m_grid; }

private:
    void showError(const QString &text);
    void message(const QString &text);

    data::DatabasePtr m_db;
    std::unique_ptr<StockBalance> m_balance;
    data::Table *m_reposicao = nullptr;
    data::Table *m_produtos = nullptr;
    QComboBox *m_fornecedor = nullptr;
    QLineEdit *m_nfiscal = nullptr;
    QDateEdit *m_data = nullptr;
    QLineEdit *m_codigo = nullptr, *m_qtd = nullptr, *m_preco = nullptr, *m_filtroCodigo = nullptr;
    QLabel *m_descricao = nullptr, *m_estoque = nullptr, *m_total = nullptr;
    QDateEdit *m_de = nullptr, *m_ate = nullptr;
    QTableWidget *m_grid = nullptr;
};

// Product picker used by the entry window: the products by description, the
// search box moving to the nearest one; Enter or a double click in the grid
// (or "Selecionar") chooses the product and returns its code.
class TFPesquisaProduto : public QDialog {
    Q_OBJECT
public:
    explicit TFPesquisaProduto(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFPesquisaProduto() override;
    void search(const QString &text);
    QString chosenCode() const { return m_chosen; }
    // Chooses the grid's current row.
    void choose();
    core::DbGrid *grid() const { return m_grid; }
private:
    data::Table *m_produtos = nullptr;
    QLineEdit *m_text = nullptr;
    core::DbGrid *m_grid = nullptr;
    QString m_chosen;
};

} // namespace brelvo::stock

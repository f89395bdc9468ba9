#pragma once
// Products and services window ("Cadastro").

#include "core/RecordWindow.h"
#include "data/Dataset.h"

#include <QPixmap>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace brelvo::printing { struct PreparedReport; }


namespace brelvo::stock {

class StockBalance;


class TFormProdutos : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TFormProdutos(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormProdutos() override;

    // Named actions of the window.
    void AtualizaEstoque();
    void BuscaImagem();
    void NpermiteAlterar();
    void CalculoVenda();
    void NovoProduto();
    void Localizar();

    // Button handlers (also what the buttons run).
    // Stores the row on screen with the window's checks (required fields,
    // a new code not yet taken, numbers readable); false after telling why.
    bool saveRecord() override;
    void discardRecord() override;
    void BtSalvarClick();
    void AlterarClick();
    void BtCancelarClick();
    void BtExcluirClick();
    void navigate(int how);               // 0 first, 1 prior, 2 next, 3 last
    void openSearch();
    void searchTextChanged();
    void openReport();
    void closeReport();
    void printCadastro();                 // "&Imprimir" of "Cadastro: "
    void printFiltro();                   // "&Imprimir" of "Filtro: "
    void choosePhoto();
    void openGerador();
    void openEntrada();

    // The code box; the barcode generator hands its code here.
    void setCodigoText(const QString &code);
    QString codigoText() const;

    data::Table *produtos() const { return m_produtos; }
    data::Table *listagem() const { return m_entrada; }
    // The listing of the rows of the listing cursor, as the preview shows it.
    printing::PreparedReport prepareListing();
    // Picture file shown for an item without photo.
    static QString placeholderPath();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void buildUi();
    void loadLookups();
    void fillFromRow();
    bool pushToRow();
    void afterRowChange();
    void applyState(const char *event);
    void markEdited();
    void showError(const QString &text);
    void fillCombo(QComboBox *combo, const QString &table, const QString &field);
    void setComboText(QComboBox *combo, const QString &text);
    void afterLookupWindow(int which);

    data::DatabasePtr m_db;
    data::Table *m_produtos = nullptr;   // T_Produtos
    data::Table *m_verifica = nullptr;   // TabelaProduto
    data::Table *m_entrada = nullptr;    // TabelaEntrada
    data::Table *m_reposicao = nullptr;  // TbRepocisao
    std::unique_ptr<StockBalance> m_balance;
    bool m_filling = false;
    QString m_marginOnEnter;

    QTabWidget *m_tabs = nullptr;
    core::Navigator *m_navigator = nullptr;
    core::ClickLabel *m_lblCodigo = nullptr;
    QLineEdit *m_codigo = nullptr, *m_descricao = nullptr, *m_valor = nullptr, *m_custo = nullptr,
              *m_margem = nullptr, *m_estoque = nullptr;
    QComboBox *m_unidade = nullptr, *m_marca = nullptr, *m_categoria = nullptr;
    QCheckBox *m_servico = nullptr;
    core::ClickLabel *m_foto = nullptr;
    QPixmap m_fotoPixmap;
    QPushButton *m_btIncluir = nullptr, *m_btSalvar = nullptr, *m_alterar = nullptr, *m_btCancelar = nullptr,
                *m_btExcluir = nullptr, *m_localizar = nullptr, *m_relatorios = nullptr, *m_sair = nullptr,
                *m_btGeraBarra = nullptr, *m_calcular = nullptr, *m_btEntrada = nullptr;
    // Search panel.
    QFrame *m_panLocalizar = nullptr;
    QLineEdit *m_search = nullptr;
    QRadioButton *m_byNome = nullptr, *m_byCodigo = nullptr;
    core::DbGrid *m_grid = nullptr;   // over T_Produtos itself, in its order
    // Report panel.
    QFrame *m_panel3 = nullptr;
    QRadioButton *m_rbServicos = nullptr, *m_rbProdutos = nullptr, *m_rbTudo = nullptr,
                 *m_rbOrdemCodigo = nullptr, *m_rbOrdemNome = nullptr, *m_rbCategoria = nullptr,
                 *m_rbMarca = nullptr;
    QComboBox *m_cbCategoria = nullptr, *m_cbMarca = nullptr;
};

} // namespace brelvo::stock

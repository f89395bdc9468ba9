#pragma once
// "Relatórios Geral": the management reports of the workshop on five pages,
// with the period at the foot of the window and the function keys F1-F5
// (seen before any control: F1 stock list, F2 till sales, F3 till income by
// day, F4 products out of stock, F5 price list). Every report opens in the
// print preview. Only the stock list writes: it recomputes the stored
// balance of every product first.

#include "core/RecordWindow.h"
#include "data/Database.h"
#include "printing/PageModel.h"
#include "reports/ReportQueries.h"

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;

namespace brelvo::reports {

class TFormRelatorios : public core::RecordWindow {
    Q_OBJECT
public:
    enum Pagina { PaginaGeral = 0, PaginaProdutos = 1, PaginaComissao = 2, PaginaOrdens = 3, PaginaCaixa = 4 };

    explicit TFormRelatorios(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormRelatorios() override;

    void setPagina(Pagina p);
    Pagina pagina() const;

    // What "Relatorios O.S " opens (the order search window). Without one,
    // both buttons stay disabled with the tooltip "Em desenvolvimento".
    void setPesquisaOS(std::function<void(QWidget *parent)> abrir);

    // Period.
    void mesAtualClick();
    void hojeClick();
    void limparClick();

    // Reports (each opens the preview; with an incomplete period nothing happens).
    void tabelaPrecos();            // F5
    void produtosEmFalta();         // F4
    void nuncaVendidos();
    void maisVendidos();
    void vendasCaixa();             // F2
    void entradasOrdens();
    void entradaCaixaDia();         // F3
    void recebimentosOS();
    void comissaoMecanicos();
    void relatoriosOS();
    void vizualizarConsulta();      // commission statement

    // Stock list (F1): recomputes and stores every balance, then lists the
    // monitored products.
    void listaEstoque();
    void imprimirEstoque();
    void sairEstoque();
    bool estoqueVisivel() const;

    // Cash summary page: recomputed when the period choices are clicked, the
    // page changes, on "Recalcular" and before printing. An incomplete
    // period keeps the figures; `avisar` tells of a date that is not valid.
    bool calculoCaixaG(bool avisar = true);
    void imprimirCaixa();
    CaixaGeral caixa() const { return m_caixa; }

    // Commission boxes.
    void codigoVendedorExit();
    void vendedorEscolhido(const QString &nome);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *criarPaginaGeral();
    QWidget *criarPaginaProdutos();
    QWidget *criarPaginaComissao();
    QWidget *criarPaginaOrdens();
    QWidget *criarPaginaCaixa();
    QWidget *criarPainelEstoque();
    QWidget *criarPeriodo();
    QPushButton *botao(QWidget *parent, const QString &name, const QString &text, void (TFormRelatorios::*acao)());
    void preencherVendedores();
    void mostrarCaixa();
    // Reads the period: false when incomplete (silently) or not valid (told).
    bool periodo(Periodo *p, bool avisar = true);
    QString deTexto() const;
    QString ateTexto() const;
    // Runs a report under the error guard with the wait cursor.
    void executar(const std::function<void()> &fn);
    // Runs `texto` in `q` (for the period when asked; nothing with an
    // incomplete one) and shows `impresso` of its rows in the preview.
    void mostrarConsulta(data::Query *q, const QString &texto, bool comPeriodo,
                         const std::function<printing::PreparedReport(data::Dataset *)> &impresso);
    // A printout of a period, titled with the dates as the boxes show them.
    using ImpressoPeriodo = printing::PreparedReport (*)(data::Dataset *, const QString &, const QString &);
    std::function<printing::PreparedReport(data::Dataset *)> comPeriodo(ImpressoPeriodo fn);

    data::DatabasePtr m_db;
    data::Query *QrProdutos = nullptr;
    data::Query *QueryVendas = nullptr;
    data::Query *QrVendasCx = nullptr;
    data::Query *QrVendasOs = nullptr;
    data::Query *QComissaoOS = nullptr;
    data::Query *QrFuncionario = nullptr;
    data::Table *TbFuncionarios = nullptr;
    data::Table *TabelaEntrada = nullptr;

    QTabWidget *PageControl1 = nullptr;
    QStackedWidget *m_geral = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QLineEdit *MaskEdit2 = nullptr;
    QRadioButton *RadioMesAtual = nullptr;
    QRadioButton *RadioHoje = nullptr;
    QLineEdit *Edit1CodVendedor = nullptr;
    QComboBox *ComboVendedor = nullptr;
    QRadioButton *RadioProdutos = nullptr;
    QRadioButton *RadioServicos = nullptr;
    QRadioButton *RadioTodos = nullptr;
    QLabel *LabTotalOS = nullptr;
    QLabel *LabTotalGeral = nullptr;
    QProgressBar *ProgressEstoque = nullptr;
    QLabel *LabProgresso = nullptr;
    QList<QPushButton *> m_botoesPesquisaOS;
    std::function<void(QWidget *)> m_pesquisaOS;
    CaixaGeral m_caixa;
};

} // namespace brelvo::reports

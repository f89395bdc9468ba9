#pragma once
// The customer window: customers of tbCliente.DB with their vehicles, the
// postal-code lookup, the listing by period and the two printouts.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace brelvo::registries {


class TFormCadastro : public core::RecordWindow {
    Q_OBJECT
public:
    TFormCadastro(data::DatabasePtr db, bool isAdmin, QWidget *parent = nullptr);

    data::Table *TabelaCadastro() const { return m_clientes; }
    data::Table *TbCadastroCarros() const { return m_carros; }
    QStringList makers() const { return m_makers; }

    // Run on each activation: the delete permission and the makers' list.
    void activate();

public Q_SLOTS:
    void btnNovoClick();
    void btnGravarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void btnImprimirClick();
    void localizarChange(const QString &text);
    void procurarCodigo();
    // Leaving the CEP box: when the code differs from the one the row had,
    // asks the postal-code service without waiting; the address is filled
    // when the reply comes, if the row and the code are still the same.
    void cepExit();
    // A postal-code request is on its way.
    bool cepPending() const { return m_cepRequest > m_cepAnswered; }
    void emailClick();
    void fabricanteClick();
    void cadastrarVeiculoClick();
    void deletarVeiculoClick();
    void listagemOkClick();
    void imprimirListaClick();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildCadastroPage(QWidget *page);
    void buildListagemPage(QWidget *page);
    void rowDeleted();
    void syncOrder();
    void setOrder(const QString &index);
    void rowChanged();
    void applyCepReply(const QString &cep, quint64 row, const QByteArray &body);

    data::DatabasePtr m_db;
    bool m_isAdmin;
    data::Table *m_clientes = nullptr;
    data::Table *m_carros = nullptr;
    core::Navigator *m_nav = nullptr;
    QTabWidget *m_pages = nullptr;
    QPushButton *m_btnNovo = nullptr, *m_btnGravar = nullptr, *m_btnDeletar = nullptr,
                *m_btnImprimir = nullptr, *m_btnCancelar = nullptr, *m_btnSair = nullptr;
    QRadioButton *m_rbNome = nullptr, *m_rbCodigo = nullptr;
    QLineEdit *m_localizar = nullptr;
    QLineEdit *m_cep = nullptr, *m_endereco = nullptr, *m_bairro = nullptr, *m_cidade = nullptr,
              *m_email = nullptr, *m_nome = nullptr;
    QComboBox *m_uf = nullptr;
    QLineEdit *m_modelo = nullptr, *m_anoFab = nullptr, *m_anoMod = nullptr, *m_cor = nullptr,
              *m_placa = nullptr;
    QComboBox *m_fabricante = nullptr, *m_combustivel = nullptr;
    QLineEdit *m_dataIni = nullptr, *m_dataFim = nullptr;
    QStringList m_makers;
    bool m_makersFailed = false;
    // The CEP the row had (or was last looked up for): leaving an unchanged box asks nothing.
    QVariant m_cepBaseline;
    quint64 m_row = 0;          // bumped whenever the window moves to another row
    quint64 m_cepRequest = 0, m_cepAnswered = 0;
};

} // namespace brelvo::registries

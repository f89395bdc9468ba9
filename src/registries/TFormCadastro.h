#pragma once
// The customer window: customers of tbCliente.DB with their vehicles, the
// postal-code lookup, the listing by period and the two printouts.

#include "data/Dataset.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace brelvo::core { class Navigator; }

namespace brelvo::registries {


class TFormCadastro : public QDialog {
    Q_OBJECT
public:
    TFormCadastro(data::DatabasePtr db, bool isAdmin, QWidget *parent = nullptr);
    ~TFormCadastro() override;

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
    void cepExit();
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
    void editingStarted();
    void editingEnded();
    void rowDeleted();
    void syncOrder();

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
    bool m_inCep = false;
};

} // namespace brelvo::registries

#pragma once
// The supplier register of tbfornecedor.db.

#include "data/Dataset.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace brelvo::registries {

class Navigator;

class TF_Fornecedor : public QDialog {
    Q_OBJECT
public:
    explicit TF_Fornecedor(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TF_Fornecedor() override;

    data::Table *TbFornecedor() const { return m_table; }

public Q_SLOTS:
    void btnNovoClick();
    void btnSalvarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void btnImprimirClick();
    void localizarChange(const QString &text);

private:
    data::Table *m_table = nullptr;
    Navigator *m_nav = nullptr;
    QPushButton *m_btnNovo = nullptr, *m_btnSalvar = nullptr, *m_btnCancelar = nullptr,
                *m_btnDeletar = nullptr, *m_btnImprimir = nullptr;
    QLineEdit *m_nome = nullptr, *m_cnpj = nullptr;
};

} // namespace brelvo::registries

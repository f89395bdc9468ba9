#pragma once
// The supplier register of tbfornecedor.db.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

class QLineEdit;
class QPushButton;

namespace brelvo::registries {

class TF_Fornecedor : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TF_Fornecedor(data::DatabasePtr db, QWidget *parent = nullptr);

    data::Table *TbFornecedor() const { return m_table; }

    // Formats the CNPJ / CPF and posts the row.
    bool saveRecord() override;

public Q_SLOTS:
    void btnNovoClick();
    void btnSalvarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void btnImprimirClick();
    void localizarChange(const QString &text);

private:
    data::Table *m_table = nullptr;
    QLineEdit *m_nome = nullptr;
    QLineEdit *m_localizar = nullptr;
};

} // namespace brelvo::registries

#pragma once
// Employees (tbFunciocario.db) and job roles (tbFuncao.db).

#include "core/RecordWindow.h"
#include "core/ValueListWindow.h"
#include "data/Dataset.h"

class QComboBox;
class QLineEdit;

namespace brelvo::registries {

class TFormFuncionario : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TFormFuncionario(data::DatabasePtr db, QWidget *parent = nullptr);

    data::Table *TbFuncionario() const { return m_table; }
    QStringList roles() const;

public Q_SLOTS:
    void btnNovoClick();
    void btnSalvarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void localizarChange(const QString &text);

private:
    data::Table *m_table = nullptr;
    data::Table *m_funcoes = nullptr;
    QComboBox *m_funcao = nullptr;
    QLineEdit *m_nome = nullptr;
};

// Job roles: "MECÂNICO" and "ATENDENTE" can be neither edited nor removed,
// and a name that begins a stored role is refused.
class TFormFuncao : public core::ValueListWindow {
    Q_OBJECT
public:
    explicit TFormFuncao(data::DatabasePtr db, QWidget *parent = nullptr);

    data::Table *TbFuncao() const { return table(); }

public Q_SLOTS:
    void btnAdicionarClick() { Adicionar(); }
    void btnRemoverClick() { Remover(); }
    void btnEditarClick() { Editar(); }
    void postClick() { Post(); }

protected:
    bool mayAdd(const QString &value) override;
    bool mayRemove() override;
    bool mayEdit() override;

private:
    data::Table *m_busca = nullptr;     // duplicate searches
};

} // namespace brelvo::registries

#pragma once
// Employees (tbFunciocario.db) and job roles (tbFuncao.db).

#include "data/Dataset.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace brelvo::core { class Navigator; }

namespace brelvo::registries {


class TFormFuncionario : public QDialog {
    Q_OBJECT
public:
    explicit TFormFuncionario(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormFuncionario() override;

    data::Table *TbFuncionario() const { return m_table; }
    QStringList roles() const;

public Q_SLOTS:
    void btnNovoClick();
    void btnSalvarClick();
    void btnCancelarClick();
    void btnDeletarClick();
    void localizarChange(const QString &text);

private:
    void editing(bool on);
    data::Table *m_table = nullptr;
    data::Table *m_funcoes = nullptr;
    core::Navigator *m_nav = nullptr;
    QComboBox *m_funcao = nullptr;
    QPushButton *m_btnNovo = nullptr, *m_btnSalvar = nullptr, *m_btnCancelar = nullptr,
                *m_btnDeletar = nullptr, *m_btnImprimir = nullptr, *m_btnSair = nullptr;
    QLineEdit *m_nome = nullptr;
};

class TFormFuncao : public QDialog {
    Q_OBJECT
public:
    explicit TFormFuncao(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFormFuncao() override;

    data::Table *TbFuncao() const { return m_table; }

public Q_SLOTS:
    void btnAdicionarClick();
    void btnRemoverClick();
    void btnEditarClick();
    void postClick();

private:
    void afterPost();
    data::Table *m_table = nullptr;     // list and editing
    data::Table *m_busca = nullptr;     // duplicate searches
    QLineEdit *m_nome = nullptr;
    QLineEdit *m_dbFuncao = nullptr;
    QPushButton *m_btnAdicionar = nullptr, *m_btnRemover = nullptr, *m_btnEditar = nullptr;
};

} // namespace brelvo::registries

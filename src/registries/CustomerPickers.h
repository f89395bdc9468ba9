#pragma once
// The two customer pickers, both titled "Pesquisar Cliente": TFPesquisaOS
// copies the chosen customer into a service order, TF_Pesquisa into a sale.
// The caller passes its own document cursor, which the picker puts in editing
// and fills; the caller stores it.

#include "data/Dataset.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace brelvo::registries {


class CustomerPicker : public QDialog {
    Q_OBJECT
public:
    enum class Choice { None, Click, Key };

    data::Table *T_pesquisa() const { return m_pesquisa; }
    Choice choice() const { return m_choice; }

    // Runs on activation: focus to the search box (and a refresh where the
    // picker asks for it).
    void activate();

public Q_SLOTS:
    void buscarChange(const QString &text);
    // Copies the current customer into the document and closes the picker.
    void choose(Choice how);

protected:
    CustomerPicker(data::DatabasePtr db, data::Table *document, bool refreshOnActivate, QWidget *parent);
    ~CustomerPicker() override;
    // Copies the current row of T_pesquisa into the document (in editing).
    virtual void copyFields() = 0;
    virtual void afterChoice(Choice how) {}
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

    data::Table *m_pesquisa = nullptr;
    data::Table *m_document = nullptr;

private:
    void showSelected();
    QLineEdit *m_busca = nullptr;
    QLabel *m_selected = nullptr;
    QTableView *m_grid = nullptr;
    bool m_refreshOnActivate;
    Choice m_choice = Choice::None;
};

// Service orders: Codigo, Nome, CIC, Fone, Celular into TOrdemServico.DB.
class TFPesquisaOS : public CustomerPicker {
    Q_OBJECT
public:
    TFPesquisaOS(data::DatabasePtr db, data::Table *ordem, QWidget *parent = nullptr);
protected:
    void copyFields() override;
};

// The sale window's boxes the picker moves the focus to afterwards.
struct SaleFocusBoxes {
    QPointer<QLineEdit> codCliente;   // focused after a click
    QPointer<QLineEdit> nomeCliente;  // its text selected after a click
    QPointer<QLineEdit> codVendedor;  // focused, text selected, after F3 or the button
};

// Sales: Codigo and Nome into tbVendas.db.
class TF_Pesquisa : public CustomerPicker {
    Q_OBJECT
public:
    TF_Pesquisa(data::DatabasePtr db, data::Table *venda, SaleFocusBoxes boxes = {}, QWidget *parent = nullptr);
protected:
    void copyFields() override;
    void afterChoice(Choice how) override;
private:
    SaleFocusBoxes m_boxes;
};

} // namespace brelvo::registries

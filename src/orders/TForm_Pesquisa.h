#pragma once
// "Pesquisa Andamento das O.S": every service order, filtered by progress
// state, mechanic, customer name or period, coloured by state, with the
// items of an order on demand and the printed "Relatório de Serviços".

#include "data/Dataset.h"
#include "printing/PageModel.h"

#include <QColor>
#include <QComboBox>
#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brelvo::core {
class DbGrid;
}

namespace brelvo::orders {

// A list that fills itself each time it opens (the mechanics).
class FillOnOpenCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
Q_SIGNALS:
    void aboutToOpen();
};

class TForm_Pesquisa : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Pesquisa(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TForm_Pesquisa() override;

    data::Table *T_controle() const { return m_controle; }
    data::Table *TbTecnicos() const { return m_tecnicos; }
    data::Table *TabelaItem() const { return m_itens; }

    // Text colour of a grid row (invalid: the grid's normal colour).
    QColor rowColour(int row) const;

    // "Relatório de Serviços" over the orders the cursor shows, in its order.
    static printing::PreparedReport servicesReport(data::Table &orders, const QString &de, const QString &a);

public Q_SLOTS:
    void andamentoChange(const QString &text);
    void fillMecanicos();
    void mecanicoChosen(const QString &name);
    void clienteChange(const QString &text);
    void periodoOk();
    void mostrarTodas();
    void imprimir();
    void sair();
    void showDetails();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void applyPrefixFilter(const QString &field, const QString &text);
    QString dateBoxText(QLineEdit *box) const;

    data::DatabasePtr m_db;
    data::Table *m_controle = nullptr;
    data::Table *m_tecnicos = nullptr;
    data::Table *m_itens = nullptr;
    QComboBox *m_andamento = nullptr;
    FillOnOpenCombo *m_mecanico = nullptr;
    QLineEdit *m_de = nullptr;
    QLineEdit *m_ate = nullptr;
    QLabel *m_lblDe = nullptr;
    QLabel *m_lblAte = nullptr;
    QLineEdit *m_cliente = nullptr;
    core::DbGrid *m_grid = nullptr;
    QFrame *m_detalhes = nullptr;
    QLabel *m_detalhesOs = nullptr;
};

} // namespace brelvo::orders

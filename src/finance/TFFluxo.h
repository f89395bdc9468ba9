#pragma once
// "FLUXO DE CAIXA": for a period of days, the received receivables and the
// order and sale revenue in, the paid payables out, and the balance; the
// finalised orders of the period with their items; four printouts. It reads
// and never writes.

#include "core/RecordWindow.h"
#include "finance/CashFlow.h"
#include "finance/CashFlowReports.h"

#include <optional>

class QLabel;
class QLineEdit;
class QGroupBox;
class QRadioButton;

namespace brelvo::core {
class DbGrid;
}

namespace brelvo::finance {

class TFFluxo : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TFFluxo(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFFluxo() override;

    CashFlow &flow() { return *m_flow; }

    // Named actions.
    void fanalitico();
    void CalculoGeral();
    void totalizar();
    void VendasOS();
    void DetItemsOrdem(qint64 chave);

    // Handlers.
    void btnOkClick();
    void mesAtualClick();
    void hojeClick();
    void detalhesOSClick();
    void ordemChosen(int row);
    void btnVisualizarClick();
    void btnImprimirClick();
    void btnEntradasClick();
    void btnSaidasClick();

    // Both dates become today and everything is computed again (on opening
    // and when the operator comes back from a printout).
    void ativar();

    QStringList bottomLines() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPeriodBar();
    QWidget *buildLists();
    QWidget *buildBottom();
    QWidget *buildDetailPanels();
    // Both boxes filled and valid; nullopt when a box is empty (nothing to
    // do) or invalid (after telling the operator).
    std::optional<Period> period();
    PeriodText periodText() const;
    void clearChoices();
    void showFigures();
    void preview(printing::PreparedReport &report);

    CashFlow *m_flow = nullptr;
    QLineEdit *m_de = nullptr, *m_a = nullptr;
    QGroupBox *m_porPeriodo = nullptr;
    QRadioButton *m_mes = nullptr, *m_hoje = nullptr;
    QLabel *m_totalOS = nullptr;
    QLabel *m_totalEntradas = nullptr, *m_totalSaidas = nullptr, *m_saldo = nullptr;
    QGroupBox *m_detalhes = nullptr, *m_itens = nullptr;
    core::DbGrid *m_ordensGrid = nullptr;
    core::DbGrid *m_itensGrid = nullptr;
};

} // namespace brelvo::finance

#pragma once
// The window of receivables and payables: one record per amount, an entry
// page with the form, a side list, a filter box and today's reminder, and a
// search page with the filters, the total and the printed list. Tfreceber and
// Tfpagar are this window with their TitleKind.

#include "core/RecordWindow.h"
#include "finance/TitleFilters.h"
#include "finance/TitleKind.h"

#include <QDate>
#include <QPointer>
#include <optional>

class QAction;
class QButtonGroup;
class QCalendarWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace brelvo::core {
class ClickLabel;
class DbComboBox;
class DbEdit;
class DbGrid;
}

namespace brelvo::finance {

class TitleWindow : public core::RecordWindow {
    Q_OBJECT
public:
    TitleWindow(const TitleKind &kind, data::DatabasePtr db, QWidget *parent = nullptr);
    ~TitleWindow() override;

    const TitleKind &kind() const { return m_kind; }
    data::Table *titles() const { return m_table; }
    data::Table *reminder() const { return m_aviso; }

    // Named actions.
    void novo();
    void avancar();
    void voltar();
    void foco();
    void totalizar();
    void Aviso();
    void Aviso_Total();
    void PgNaoPg();
    void IncluiData();
    void Retirardata();

    // The checks of the window, then the row is stored.
    bool saveRecord() override;

    // Handlers.
    void btnGravarClick();
    void btnCancelarClick();
    void btnApagarClick();
    void btnPesquisarClick();
    void lblPagamentoClick();
    void btnLimparPagamentoClick();
    void btnStatusClick();
    void btnCalendarioClick();
    void localizarCodigo();
    void localizarNome();
    void btnSalvarNomeClick();
    void btnSalvarCredorClick();

    // Filter box of the entry page.
    enum class BoxChoice { Open, Paid, All, Overdue };
    void filterBox(BoxChoice choice);
    void filterBoxRange();
    // Search page.
    void pesquisaPago();
    void pesquisaNaoPago();
    void pesquisaNome(PaidState state);
    void pesquisaCredor();
    void pesquisaVencidas();
    void pesquisaTodos();
    void pesquisaRange();
    void imprimir();

    double total() const { return m_total; }
    double reminderTotal() const { return m_avisoTotal; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildEntryPage();
    QWidget *buildToolbar(QWidget *page);
    QWidget *buildEntryGroup(QWidget *page);
    QWidget *buildChequeGroup(QWidget *page);
    QWidget *buildFilterBox(QWidget *page);
    QWidget *buildSideList(QWidget *page);
    QWidget *buildReminder(QWidget *page);
    QWidget *buildCalendar(QWidget *page);
    QWidget *buildSearchPage();
    void addActions();

    void loadPickLists();
    void savePickList(bool creditors);
    void pageChanged(int index);
    void updateNavigation();
    // Replaces the main cursor's filter (after storing a pending row); an
    // invalid range is refused with a message and the filter in force stays.
    bool applyFilter(const QString &expression);
    std::optional<DueRange> rangeOf(QLineEdit *from, QLineEdit *to);
    bool askName(const QString &prompt, const QString &prefill, QString *name);
    void setBoxCaption(const QString &text);
    // The first required field left empty, as the message that tells it.
    QString missingField() const;
    void checkRow();

    const TitleKind &m_kind;
    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    data::Table *m_aviso = nullptr;
    QDate m_today;                 // fixed when the window opens
    QString m_lastPrompt;
    double m_total = 0;
    double m_avisoTotal = 0;
    BoxChoice m_boxChoice = BoxChoice::All;
    bool m_toolbarSearch = false;
    bool m_switching = false;

    QTabWidget *m_pages = nullptr;
    core::DbEdit *m_codigo = nullptr;
    core::DbComboBox *m_fantasia = nullptr;
    core::DbComboBox *m_credor = nullptr;
    core::DbEdit *m_valor = nullptr;
    QPushButton *m_salvarNome = nullptr;
    QPushButton *m_salvarCredor = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_localizar = nullptr;
    QLineEdit *m_de = nullptr, *m_a = nullptr;
    QLineEdit *m_dePesq = nullptr, *m_aPesq = nullptr;
    QLabel *m_boxCaption = nullptr;
    QButtonGroup *m_choices = nullptr;
    QGroupBox *m_avisoPanel = nullptr;
    QLabel *m_avisoTotalLabel = nullptr;
    QLabel *m_totalLabel = nullptr;
    QWidget *m_calendarPanel = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    QPushButton *m_calendarButton = nullptr;
    core::DbGrid *m_searchGrid = nullptr;
    QList<QPointer<QToolButton>> m_nav;   // first, prior, next, last
};

} // namespace brelvo::finance

#pragma once
// "Mensagems OS": the footer texts printed on the service order and on the
// delivery receipt (the single row of tb_mensagems.db), one page each.

#include "core/RecordWindow.h"

class QPushButton;
class QTabWidget;

namespace brelvo::core { class DbMemo; }

namespace brelvo::orders {

class TForm_Msg : public core::SingleRowEditor {
    Q_OBJECT
public:
    enum Page { OrdemServico = 0, ReciboEntrega = 1 };

    explicit TForm_Msg(data::DatabasePtr db, Page page = OrdemServico, QWidget *parent = nullptr);

    QTabWidget *pages() const { return m_pages; }

private:
    QTabWidget *m_pages = nullptr;
};

// Opens the window modally on the given page, from the main menu.
void openMensagemRodape(QWidget *parent, const data::DatabasePtr &db, TForm_Msg::Page page);

} // namespace brelvo::orders

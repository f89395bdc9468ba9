#include "orders/TForm_Msg.h"

#include "core/DataControls.h"
#include "core/DialogService.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brelvo::orders {

TForm_Msg::TForm_Msg(data::DatabasePtr db, Page page, QWidget *parent)
    : SingleRowEditor(std::move(db), QStringLiteral("tb_mensagems.db"), QStringLiteral("T_Mensagem"), parent)
{
    setObjectName(QStringLiteral("Form_Msg"));
    setWindowTitle(QStringLiteral("Mensagems OS"));
    resize(560, 360);
    auto *v = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    v->addWidget(m_pages);

    struct PageDef { const char *sheet, *caption, *memo, *field, *button; };
    const PageDef defs[] = {
        {"TabSheet1", "Mensagens Rodapé OS", "DBMemo1", "Mensagem1", "btnSalvar1"},
        {"TabSheet2", "Mensagens Rodapé Recibo Entrega", "DBMemo2", "Mensagem2", "btnSalvar2"},
    };
    for (const PageDef &d : defs) {
        auto *sheet = new QWidget(m_pages);
        sheet->setObjectName(QString::fromLatin1(d.sheet));
        auto *pv = new QVBoxLayout(sheet);
        auto *memo = new core::DbMemo(sheet);
        memo->setObjectName(QString::fromLatin1(d.memo));
        memo->setDataSource(table(), QString::fromLatin1(d.field));
        pv->addWidget(memo, 1);
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(makeSaveButton(QString::fromLatin1(d.button), QStringLiteral("Salvar"), sheet));
        pv->addLayout(row);
        m_pages->addTab(sheet, QString::fromUtf8(d.caption));
    }
    m_pages->setCurrentIndex(page);
    openRow();
}

void openMensagemRodape(QWidget *parent, const data::DatabasePtr &db, TForm_Msg::Page page)
{
    TForm_Msg w(db, page, parent);
    if (w.isReady())
        core::dialogs().exec(&w);
}

} // namespace brelvo::orders

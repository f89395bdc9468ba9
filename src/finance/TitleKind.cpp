#include "finance/TitleKind.h"

namespace brelvo::finance {

namespace {
QString s(const char *text) { return QString::fromUtf8(text); }

TitleKind makeReceivables()
{
    TitleKind k;
    k.payable = false;
    k.table = s("tbreceber.db");
    k.windowName = s("Tfreceber");
    k.title = s("Entradas do Caixa");
    k.mainCursor = s("tbreceber");
    k.reminderCursor = s("Treceber_aviso");
    k.memoField = s("Observacoes");
    k.codeCaption = s("Código");
    k.nameCaption = s("Entrada Nome");
    k.paidCaption = s("Data Recebimento");
    k.paidBoxHint = s("Ao preencher a data de recebimento estará dando como paga esta conta!");
    k.clearPaidCaption = s("X");
    k.clearPaidHint = s("Clique para limpa a data de recebimento!");
    k.chequeGroup = s("Pagamento com Cheque");
    k.newCaption = s("&Nova Entrada");
    k.newHint = s("Clique para inserir nova entrada!");
    k.deleteCaption = s("Apagar");
    k.fromHint = s("Inserir data atual!");
    k.reminderTitle = s("Contas à Receber Hoje");
    k.reminderShowHint = s("Mostrar contas a receber hoje!");
    k.sideNameHead = s("Nome");
    k.searchNameHead = s("Nome da Entrada");
    k.searchCreditorHead = s("Nome");
    k.searchPaidHead = s("Data Recebimento");
    k.openShown = s("Não Pagas");
    k.paidShown = s("Pagas");
    k.allShown = s("Todas Cadastradas");
    k.namesFile = s("lista_receber.txt");
    k.creditorsFile = s("receber_credor.txt");
    k.gateFile = s("receber_credor.txt");
    k.nameListed = s("Entrada já está incluso na lista!");
    k.creditorListed = s("Esse credor já está incluso na lista!");
    k.creditorWritesWithoutGate = true;
    k.valueFirst = false;
    k.noNameText = s("Preencha o nome da entrada!");
    k.noValueText = s("Preencha o valor da entrada!");
    k.locateCodeTitle = s("Localizar Código");
    k.codeNotFound = s("Código não localizado !!!");
    k.locateNameTitle = s("Localizar Entrada");
    k.nameAllButton = s("Entrada (Geral)");
    k.namePaidButton = s("Entrada (Pago)");
    k.nameOpenButton = s("Entrada (Não Pago)");
    k.nameAllPrompt = s("Entre com o nome do cliente");
    k.nameStatePrompt = s("Entre com o nome do cliente");
    k.reportTitle = s("Entradas");
    k.paper = printing::Paper::Letter;
    k.reportColumns = {{s("Emissão"), s("DataEmissao"), QString(), 22},
                       {s("Codigo"), s("Codigo"), s("000000"), 16},
                       {s("Entrada"), s("Fantasia"), QString(), 52},
                       {s("Nome"), s("Nome"), QString(), 55},
                       {s("Vencimento"), s("DataVencimento"), QString(), 22},
                       {s("Valor"), s("Valordocumento"), s("###,##0.00"), 28}};
    return k;
}

TitleKind makePayables()
{
    TitleKind k = makeReceivables();
    k.payable = true;
    k.table = s("tbpagar.db");
    k.windowName = s("Tfpagar");
    k.title = s("Saídas do Caixa");
    k.mainCursor = s("tbpagar");
    k.reminderCursor = s("Tapagar_aviso");
    k.openIndex = s("Bydataven");
    k.memoField = s("Intrucao");
    k.codeCaption = s("Documento");
    k.nameCaption = s("Saída Nome");
    k.paidCaption = s("Data Pagamento");
    k.paidBoxHint = QString();
    k.clearPaidCaption = s("x");
    k.clearPaidHint = s("Limpar data de pagamento!");
    k.chequeGroup = s("Pagamento com cheque");
    k.newCaption = s("&Nova Saída");
    k.newHint = s("Clique para adcionar ");
    k.deleteCaption = s("&Deletar");
    k.fromHint = s("inserir data atual!");
    k.reminderTitle = s("Contas à vencer Hoje");
    k.reminderShowHint = s("Mostrar Lembrete de Contas!");
    k.sideNameHead = s("Saída");
    k.searchNameHead = s("Saída Nome");
    k.searchCreditorHead = s("Credor");
    k.searchPaidHead = s("Data Pagamento");
    k.openShown = s("Todas Não Pagas");
    k.paidShown = s("Todas Pagas");
    k.allShown = s("Todas cadastrada");
    k.namesFile = s("lista_saida.txt");
    k.creditorsFile = s("lista_credor.txt");
    k.gateFile = s("lista_saida.txt");
    k.nameListed = s("Saída já está incluso na lista!");
    k.creditorListed = s("Credor já está incluso na lista!");
    k.creditorWritesWithoutGate = false;
    k.valueFirst = true;
    k.noNameText = s("Preencha o Nome da Saída!");
    k.noValueText = s("Valor da saída em branco. Preencha!");
    k.focusCreditorOnSave = true;
    k.locateCodeTitle = s("Localizar Documento");
    k.codeNotFound = s("Documento não localizado !!!");
    k.locateNameTitle = s("Localizar Saída");
    k.nameAllButton = s("Contas (Geral)");
    k.namePaidButton = s("Contas (Paga)");
    k.nameOpenButton = s("Contas (Não Paga)");
    k.nameAllPrompt = s("Entre com o nome da conta");
    k.nameStatePrompt = s("Entre com o nome do cliente");
    k.reportTitle = s("SAÍDAS");
    k.paper = printing::Paper::A4;
    k.reportColumns = {{s("Emissão"), s("DataEmissao"), QString(), 22},
                       {s("Saída"), s("Fantasia"), QString(), 50},
                       {s("Credor"), s("Nome"), QString(), 55},
                       {s("Dt Venc."), s("DataVencimento"), QString(), 22},
                       {s("Data Pag"), s("DataPagamento"), QString(), 22},
                       {s("Valor"), s("Valordocumento"), s("###,##0.00"), 19}};
    return k;
}
} // namespace

const TitleKind &receivablesKind()
{
    static const TitleKind k = makeReceivables();
    return k;
}

const TitleKind &payablesKind()
{
    static const TitleKind k = makePayables();
    return k;
}

} // namespace brelvo::finance

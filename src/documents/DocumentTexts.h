#pragma once
// Texts of the receipts and promissory notes: the typed value read and
// reformatted, dates in words, and the lines the printed layouts compose.

#include <QDate>
#include <QString>
#include <optional>

namespace brelvo::documents {

// "07 de janeiro de 2009".
QString dataPorExtenso(const QDate &date);

// A typed amount: "1555,23", "1.555,23", "R$ 1.555,23", "0,5". Text that is
// not an amount gives nothing and *erro a Portuguese message.
std::optional<double> lerValor(const QString &texto, QString *erro = nullptr);

// The amount as the value boxes show it after leaving them: "1.555,23".
QString formatarValor(double valor);

// A document number as shown: "000001".
QString numeroDocumento(double codigo);

// What a receipt's boxes show (the printouts use the texts as they stand).
struct ReciboTextos {
    QString codigo;        // "000001"
    QString valor;         // Valor2
    QString recebiDe;      // Reci
    QString cpfPagador;
    QString endereco;      // End
    QString importancia;
    QString referente;
    QString cidade;
    QString uf;
    QString diaMes;
    QString emitente;
    QString cpfEmitente;   // Cpf
    QString rgEmitente;
    QString enderecoEmitente;   // End2
    QString observacao;    // Obs_recibo
};

QString reciboNumero(const ReciboTextos &r);        // "Nº 000001"
QString reciboValor(const ReciboTextos &r);         // "***1.555,23***"
QString reciboDeclaracao(const ReciboTextos &r);
QString reciboLinhaImportancia(const ReciboTextos &r);
QString reciboLocalEData(const ReciboTextos &r);
// The fixed closing paragraph of the personalised receipt.
QString reciboParagrafoQuitacao();

// What a promissory note's boxes show.
struct NotaTextos {
    QString codigo;
    QString valor;
    QString ou;            // amount in words
    QString pagarei;       // payee
    QString cpf;           // payee's tax number
    QString aos;
    QString dia, mes, ano; // due date as chosen
    QString cidade;
    QString uf;
    QString dataExtenso;
    QString emitente;
    QString cpfEmitente;
    QString rgEmitente;
    QString enderecoEmitente;
    QString msg;
};

QString notaNumero(const NotaTextos &n);            // "Nº 000001"
QString notaValor(const NotaTextos &n);             // "***1.555,23***"
QString notaLinhaQuantia(const NotaTextos &n);
QString notaLinhaVencimento(const NotaTextos &n);   // "Vencimento, 05 de Março de 2025"
QString notaLocalEData(const NotaTextos &n);
QString notaPagavelEm(const NotaTextos &n);

} // namespace brelvo::documents

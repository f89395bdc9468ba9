#pragma once
// "RECIBO": issues receipts (cadastro.db) and promissory notes (BD_NP.db),
// each kept as a numbered record and printed through the preview.

#include "core/RecordWindow.h"
#include "data/Database.h"
#include "documents/DocumentPrintouts.h"

#include <functional>

class QFrame;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace brelvo::documents {

// An editable list bound to a field whose items are read when it opens;
// choosing an item reports it after the field was written.
class PickList : public core::DbComboBox {
    Q_OBJECT
public:
    explicit PickList(QWidget *parent = nullptr);
    void setFill(std::function<QStringList()> fill) { m_fill = std::move(fill); }
    // Reads the items now (what opening the list does).
    void fill();
    void showPopup() override;
Q_SIGNALS:
    void chosen(const QString &text);
private:
    std::function<QStringList()> m_fill;
};

// A list of numbers shown with a mask ("01".."31") bound to a number field.
class NumberList : public core::DbComboBox {
    Q_OBJECT
public:
    NumberList(const QString &mask, QWidget *parent = nullptr) : core::DbComboBox(parent), m_mask(mask) {}
    void showField() override;
private:
    QString m_mask;
};

class TForm1 : public core::RecordWindow {
    Q_OBJECT
public:
    enum Pagina { PaginaRecibo = 0, PaginaNota = 1 };

    // isAdmin is passed on to the customer window opened for an unknown code.
    TForm1(data::DatabasePtr db, bool isAdmin, QWidget *parent = nullptr);

    void setPagina(Pagina p);
    data::Table *recibos() const { return m_recibo; }
    data::Table *notas() const { return m_np; }

    // Both pages' pending rows.
    bool hasPendingChanges() const override;
    bool saveRecord() override;
    void discardRecord() override;

    // What the boxes show, as the printouts read them.
    ReciboTextos textosRecibo() const;
    NotaTextos textosNota() const;

    // Receipt page.
    void btnNovoClick();
    void btnGravarClick();
    void btnCancelarClick();
    void btnApagarClick();
    void btnImprimirClick();
    void imprimirPadrao(int vias);
    void codigoClienteEnter();
    void recebiChosen(const QString &nome);
    void emitenteChosen(const QString &empresa);
    void valorReciboExit();

    // Note page.
    void btnNovoNPClick();
    void btnGravarNPClick();
    void btnCancelarNPClick();
    void btnApagarNPClick();
    void btnImprimirNPClick();
    void pagareiChosen(const QString &empresa);
    void clienteNPChosen(const QString &nome);
    void valorNotaExit();

protected:
    void updateControls() override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    core::DbEdit *caixa(QWidget *parent, data::Table *t, const QString &name, const QString &field,
                        core::CharCase cc = core::CharCase::Normal);
    core::DbEdit *caixaNumero(QWidget *parent, data::Table *t, const QString &name);
    QPushButton *botao(QHBoxLayout *bar, const QString &name, const QString &text, void (TForm1::*slot)());
    QWidget *buildReciboPage();
    QWidget *buildNotaPage();
    bool novo(data::Table *t);
    bool apagar(data::Table *t, const QString &pergunta);
    bool gravar(data::Table *t);
    void cancelar(data::Table *t);
    bool editando(const data::Table *t) const;
    // Reads the typed amount, writes it back formatted and the amount and
    // the date in words. False (after telling why) when nothing was changed.
    bool aplicarValor(data::Table *t, QLineEdit *box, const QString &campoValor, const QString &campoExtenso,
                      const QString &campoData);
    QStringList nomesClientes();
    QStringList nomesEmpresas();
    QString caminhoLogo();
    void mostrar(std::optional<printing::PreparedReport> pages, const QString &erro);

    data::DatabasePtr m_db;
    bool m_isAdmin;
    data::Table *m_recibo = nullptr;        // Trecibo
    data::Table *m_np = nullptr;            // T_NP
    data::Table *m_cliente = nullptr;       // Tcliente
    data::Table *m_listaClientes = nullptr; // ListaClientes
    data::Table *m_emitentes = nullptr;     // Tb_emitente
    data::Table *m_logo = nullptr;          // Dados_Imagen

    QTabWidget *m_paginas = nullptr;
    // Receipt page.
    QLineEdit *m_codigoCliente = nullptr;
    QLineEdit *m_valor = nullptr;
    QLineEdit *m_referente = nullptr;
    QLineEdit *m_emitenteDigitado = nullptr;
    PickList *m_emitenteLista = nullptr;
    QPushButton *m_gravar = nullptr, *m_cancelar = nullptr;
    QRadioButton *m_personalizada = nullptr, *m_padrao = nullptr;
    QFrame *m_vias = nullptr;
    QRadioButton *m_umaVia = nullptr, *m_duasVias = nullptr;
    QPushButton *m_imprimir1 = nullptr, *m_imprimir2 = nullptr;
    // Note page.
    QLineEdit *m_valorNP = nullptr;
    QPushButton *m_gravarNP = nullptr, *m_cancelarNP = nullptr;
    bool m_noValor = false;   // a value box rule is running
};

} // namespace brelvo::documents

#pragma once
// Product picker "Consulta Produtos". The caller says which window it serves
// by a mode text: "F1" for the service order, "F3" for the sale window. The
// picker never adds a line: it puts the chosen product's code (13 digits) into
// the caller's code box, focuses that box and closes.

#include "data/Dataset.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;

namespace brelvo::core {
class DbGrid;
}

namespace brelvo::orders {

class TFConsulta : public QDialog {
    Q_OBJECT
public:
    TFConsulta(data::DatabasePtr db, const QString &mode, QLineEdit *codeBox, QWidget *parent = nullptr);
    ~TFConsulta() override;

    QString mode() const { return m_mode; }
    data::Table *QrProdutos() const { return m_produtos; }
    // Code put into the caller's box ("" until a product was chosen).
    QString chosenCode() const { return m_chosen; }
    // File of the picture shown ("" before any).
    QString picturePath() const { return m_picture; }

    // The status text of the mode.
    static QString statusText(const QString &mode);

public Q_SLOTS:
    // Each change of "Digite a Descrição do Produto: ".
    void descricaoChange(const QString &text);
    // F2: filter off, focus and select the description box.
    void clearFilter();
    // F1 (mode "F1") / F3 (mode "F3") / double click (either): hand the code over.
    void choose();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void showCurrent();
    void showPicture();

    QString m_mode;
    QPointer<QLineEdit> m_codeBox;
    data::Table *m_produtos = nullptr;
    QLineEdit *m_descricao = nullptr;
    core::DbGrid *m_grid = nullptr;
    QLabel *m_lblCodigo = nullptr;
    QLabel *m_lblDescricao = nullptr;
    QLabel *m_lblPreco = nullptr;
    QLabel *m_foto = nullptr;
    QString m_picture;
    QString m_chosen;
};

// Opens the picker modally over `codeBox`'s window. Returns the chosen code
// ("" when closed without a choice).
QString consultarProdutos(QWidget *parent, data::DatabasePtr db, const QString &mode, QLineEdit *codeBox);

} // namespace brelvo::orders

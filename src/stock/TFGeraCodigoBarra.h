#pragma once
// EAN-13 code generator and label sheet ("Geração de Codigo Barra EAN13").

#include "data/Dataset.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brelvo::printing { struct PreparedReport; }

namespace brelvo::stock {

struct GeneratedCode {
    QString base;       // 12 digits (zero-padded when fewer were typed)
    int digit = -1;     // check digit
    QString full() const { return base + QString::number(digit); }
};

// The "Gerar" rule for a typed base number: 1 to 10 digits are zero-padded
// to 12, 12 digits are kept, any other length or a non-digit is refused with
// the message to show. The check digit is printing::ean13CheckDigit.
std::optional<GeneratedCode> generateEan13(const QString &typed, QString *error = nullptr);

inline const char *kEanLengthMessage = "Entre com digitos Menor ou Igual a 10 caracteres ou Igual 12";

class TFGeraCodigoBarra : public QDialog {
    Q_OBJECT
public:
    explicit TFGeraCodigoBarra(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFGeraCodigoBarra() override;

    // "SIM": the window serves the products window and hands its code over.
    void setVerifica(const QString &v);
    QString verifica() const;

    void Gerar();
    void Limpar();
    void VizualizarImprimir();
    QString fullCode() const;

    // The sheet of 72 labels carrying `code` (12 rows of 6).
    static printing::PreparedReport labelSheet(const QString &code);

Q_SIGNALS:
    // A generated code that no product has yet.
    void codeHanded(const QString &code);

protected:
    void done(int r) override;

private:
    void baseChanged();
    void fullChanged();
    void applyVisibility();
    void showSymbol(const QString &code);

    data::DatabasePtr m_db;
    data::Table *m_produtos = nullptr;   // T_Produtos
    QLineEdit *m_base = nullptr;         // Edit1BarraGerar
    QLineEdit *m_digito = nullptr;       // EditDigito
    QLineEdit *m_full = nullptr;         // Edit1Barra
    QLabel *m_label4 = nullptr, *m_label5 = nullptr, *m_symbol = nullptr, *m_verifica = nullptr;
    bool m_generating = false;
};

} // namespace brelvo::stock

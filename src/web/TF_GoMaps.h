#pragma once
// An address or a postal code shown on the map site.

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace brelvo::web {

class BrowserView;

class TF_GoMaps : public QDialog {
    Q_OBJECT
public:
    explicit TF_GoMaps(QWidget *parent = nullptr);

    // "Buscar (Ver Mapa)": city, state and street must be filled.
    void Buscar();
    // "Buscar por CEP": the postal-code box as shown, blanks included.
    void BuscarCep();
    // The postal-code box's text with its blank positions as spaces.
    QString cepText() const;
    BrowserView *browser() const { return m_browser; }

private:
    QLineEdit *m_cidade = nullptr;
    QComboBox *m_estado = nullptr;
    QLineEdit *m_rua = nullptr;
    QLineEdit *m_cep = nullptr;
    BrowserView *m_browser = nullptr;
};

} // namespace brelvo::web

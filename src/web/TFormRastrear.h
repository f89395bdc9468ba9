#pragma once
// Parcel tracking: the tracking code typed, the postal service's page below.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace brelvo::web {

class BrowserView;

class TFormRastrear : public QDialog {
    Q_OBJECT
public:
    explicit TFormRastrear(QWidget *parent = nullptr);

    // "Rastrear Agora!": the tracking page of the typed code (an empty code too).
    void Rastrear();
    BrowserView *browser() const { return m_browser; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_codigo = nullptr;
    BrowserView *m_browser = nullptr;
};

} // namespace brelvo::web

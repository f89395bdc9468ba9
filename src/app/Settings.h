#pragma once
// The settings windows: company data, receipt printer port, maximum discount.

#include "data/Dataset.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brelvo::app {

class TF_Empresa : public QDialog {
    Q_OBJECT
public:
    TF_Empresa(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TF_Empresa() override;
    bool isReady() const { return m_ready; }
    data::Table *table() const { return m_table; }
    static QStringList stateCodes();

    void btnSalvarClick();
    void btnDeletarClick();

protected:
    void done(int r) override;

private:
    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    QPushButton *m_salvar = nullptr;
    bool m_ready = false;
};

class TFPortaImpressora : public QDialog {
    Q_OBJECT
public:
    TFPortaImpressora(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TFPortaImpressora() override;
    bool isReady() const { return m_ready; }
    data::Table *table() const { return m_table; }

    void btnSalvarClick();

protected:
    void done(int r) override;

private:
    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    QPushButton *m_salvar = nullptr;
    bool m_ready = false;
};

class TConfigs : public QDialog {
    Q_OBJECT
public:
    TConfigs(data::DatabasePtr db, QWidget *parent = nullptr);
    ~TConfigs() override;
    bool isReady() const { return m_ready; }
    data::Table *table() const { return m_table; }

    void btnSalvarClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int r) override;

private:
    void load();
    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    QLineEdit *m_desconto = nullptr;
    QPushButton *m_salvar = nullptr;
    bool m_ready = false;
};

} // namespace brelvo::app

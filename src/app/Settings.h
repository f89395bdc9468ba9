#pragma once
// The settings windows: company data, receipt printer port, maximum discount.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

class QLineEdit;
class QPushButton;

namespace brelvo::app {

class TF_Empresa : public core::SingleRowEditor {
    Q_OBJECT
public:
    TF_Empresa(data::DatabasePtr db, QWidget *parent = nullptr);

    void btnSalvarClick();
    void btnDeletarClick();
    // Puts the row in editing when it is not, then stores it.
    bool saveRecord() override;
};

class TFPortaImpressora : public core::SingleRowEditor {
    Q_OBJECT
public:
    TFPortaImpressora(data::DatabasePtr db, QWidget *parent = nullptr);

    void btnSalvarClick() { save(); }
};

class TConfigs : public core::SingleRowEditor {
    Q_OBJECT
public:
    TConfigs(data::DatabasePtr db, QWidget *parent = nullptr);

    void btnSalvarClick() { save(); }
    // The discount must be a number from 0 to 100 (or empty).
    bool saveRecord() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void load();
    QLineEdit *m_desconto = nullptr;
};

} // namespace brelvo::app

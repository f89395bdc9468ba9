#pragma once
// The lubricant table's editor: one vehicle at a time with its oil, API
// class, crankcase capacity and picture; loading and saving the table as a
// ';'-separated file.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

namespace brelvo::lubricants {

class VehiclePicture;

class TF_Cad_Lub : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TF_Cad_Lub(data::DatabasePtr db, QWidget *parent = nullptr);

    data::Table *table() const { return m_table; }
    VehiclePicture *picture() const { return m_picture; }

    void btnNovoClick();
    void btnDeletarClick();
    void btnSalvarClick();
    void btnAnteriorClick();
    void btnProximaClick();
    // Clicking the picture: a picture file for the row.
    void ImageClick();
    void btnImportarClick();
    void btnExportarClick();

    // Refuses a row whose year or capacity could not be read.
    bool saveRecord() override;

private:
    void move(void (data::Table::*step)());

    data::DatabasePtr m_db;
    data::Table *m_table = nullptr;
    VehiclePicture *m_picture = nullptr;
    QWidget *m_fabricante = nullptr;
};

} // namespace brelvo::lubricants

#pragma once
// The oil-change lookup: find a vehicle by maker or by name and read the
// recommended oil, its API class and the crankcase capacity.

#include "core/RecordWindow.h"
#include "data/Dataset.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace brelvo::core {
class DbGrid;
}

namespace brelvo::lubricants {

class VehiclePicture;

class TF_consulta : public core::RecordWindow {
    Q_OBJECT
public:
    explicit TF_consulta(data::DatabasePtr db, QWidget *parent = nullptr);

    data::Table *table() const { return m_table; }
    // Choosing a maker: the vehicles whose maker begins with it.
    void escolherFabricante(const QString &maker);
    // Typing in "Buscar Carro:": the vehicles whose name begins with the text.
    void buscarCarro(const QString &text);
    // A vehicle picked in the list: its row and the detail area.
    void mostrarCarro(int row);

    core::DbGrid *list() const { return m_list; }
    QWidget *detail() const { return m_detail; }
    VehiclePicture *picture() const { return m_picture; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void restrict(const QString &field, const QString &prefix);

    data::Table *m_table = nullptr;
    QComboBox *m_fabricante = nullptr;
    QLineEdit *m_buscar = nullptr;
    core::DbGrid *m_list = nullptr;
    QWidget *m_detail = nullptr;
    VehiclePicture *m_picture = nullptr;
};

} // namespace brelvo::lubricants

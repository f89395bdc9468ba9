#pragma once
// Controls of the order window with a behaviour of their own: the car lists
// that build themselves when opened, the items grid with its keys, and the
// panels shown over the window on demand.

#include "core/DataControls.h"
#include "core/DatasetModel.h"

#include <QFrame>

namespace brelvo::orders {

// Model or plate list of the order: asks for its items each time it opens.
class CarListCombo : public core::DbComboBox {
    Q_OBJECT
public:
    using core::DbComboBox::DbComboBox;
    void showPopup() override;
Q_SIGNALS:
    void aboutToOpen();
};

// The editable items grid: Enter moves to the next column and Esc to the
// previous one; with the fourth column (SubTotal) selected, Enter, Up and
// Down ask for the totals.
class ItemsGrid : public core::DbGrid {
    Q_OBJECT
public:
    explicit ItemsGrid(QWidget *parent = nullptr);
    // A cell editor is open.
    bool editing() const { return state() == EditingState; }
Q_SIGNALS:
    void totalsWanted();
protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A panel shown over the window, centred, on demand.
class OverlayPanel : public QFrame {
    Q_OBJECT
public:
    OverlayPanel(const QString &name, QWidget *window);
protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace brelvo::orders

#pragma once
// Loading vehicles from a ';'-separated file with a preview, and saving the
// table to one.

#include "data/Database.h"
#include "lubricants/LubricantCsv.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace brelvo::lubricants {

// The preview: every row of the file with what will happen to it.
class TF_ImportaLub : public QDialog {
    Q_OBJECT
public:
    TF_ImportaLub(const ImportPlan &plan, const QString &fileName, QWidget *parent = nullptr);
    QTableWidget *grid() const { return m_grid; }
    QString summary() const;

private:
    QTableWidget *m_grid = nullptr;
    QLabel *m_summary = nullptr;
};

// The whole import from the editor: the file dialog, the preview, storing
// and the counts. Returns the number of rows added.
int importVehicles(QWidget *parent, const data::DatabasePtr &db);
// Saves the table to a file the user names. False when cancelled or failed.
bool exportVehicles(QWidget *parent, const data::DatabasePtr &db);

} // namespace brelvo::lubricants

#pragma once
// Grid model over a Dataset: rows are read lazily a page at a time and kept
// in a cache, so that a table of a million rows opens at once. The current
// row follows the cursor; choosing a row moves the cursor.

#include "data/Dataset.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <functional>

namespace brelvo::core {

struct GridColumn {
    QString field;                  // dataset field; empty for a calculated column
    QString caption;                // header text; the field name when empty
    int width = 0;                  // in characters; 0 = automatic
    QString mask;                   // display mask for numbers ("###,##0.00")
    bool readOnly = true;
    // Calculated column: value from the cursor positioned on the row.
    std::function<QVariant(const data::Dataset &)> calc;
    Qt::Alignment alignment = {};   // 0 = numbers right, text left

    static GridColumn make(const QString &field, const QString &caption = QString(), int width = 0,
                           const QString &mask = QString(), bool readOnly = true)
    {
        GridColumn c;
        c.field = field;
        c.caption = caption;
        c.width = width;
        c.mask = mask;
        c.readOnly = readOnly;
        return c;
    }
    static GridColumn calculated(const QString &caption, std::function<QVariant(const data::Dataset &)> fn,
                                 const QString &mask = QString(), int width = 0)
    {
        GridColumn c;
        c.caption = caption;
        c.calc = std::move(fn);
        c.mask = mask;
        c.width = width;
        return c;
    }
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(data::Dataset *dataset, QObject *parent = nullptr);

    data::Dataset *dataset() const { return m_dataset; }
    void setColumns(const QList<GridColumn> &columns);
    void addColumn(const GridColumn &column);
    const QList<GridColumn> &columns() const { return m_columns; }
    // Without columns, every field of the dataset is shown.

    void setPageSize(int rows) { m_pageSize = rows > 0 ? rows : 1; invalidate(); }
    int pageSize() const { return m_pageSize; }
    // Pages kept in memory (oldest dropped first).
    void setMaxCachedPages(int pages) { m_maxPages = pages > 1 ? pages : 2; }
    int cachedPages() const { return int(m_pages.size()); }
    int pageReads() const { return m_pageReads; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Row of the cursor's current record; -1 when none. Cursor moves are
    // followed lazily: many moves in a row cost one position look-up, and
    // currentRowChanged comes once control returns to the event loop.
    int currentRow() const;
    // Moves the cursor to `row` (posting a pending edit first). False when it
    // could not move.
    bool setCurrentRow(int row);

    // Drops the cache and re-reads the row count.
    void invalidate();

Q_SIGNALS:
    void currentRowChanged(int row);

private:
    using Row = QList<QVariant>;
    void onDataChanged();
    void onScroll();
    void onStateChanged();
    void onFieldChanged(const QString &field);
    void preloadForEditing(bool inserting);
    void syncCurrentRow();
    bool usable() const;
    bool editing() const;
    const Row *rowAt(int row) const;
    Row readRow() const;
    void loadPage(int page) const;
    QVariant cellValue(int column, const Row &row) const;
    QString cellText(int column, const QVariant &v) const;
    data::FieldType fieldType(int column) const;
    QList<GridColumn> effectiveColumns() const;

    QPointer<data::Dataset> m_dataset;
    QList<GridColumn> m_columns;
    mutable QList<GridColumn> m_autoColumns;
    int m_pageSize = 50;
    int m_maxPages = 50;
    mutable int m_count = -1;
    mutable QHash<int, QList<Row>> m_pages;
    mutable QList<int> m_pageOrder;     // least recently used first
    mutable int m_pageReads = 0;
    mutable int m_reading = 0;          // own cursor moves: signals ignored
    mutable int m_currentRow = -1;
    mutable bool m_rowStale = false;
    int m_announcedRow = -1;
    bool m_syncQueued = false;
    bool m_inserting = false;
    int computeCurrentRow() const;
    void announceCurrentRow();
};

// A table view over a DatasetModel: captions and widths from the columns,
// whole-row selection following the cursor, Enter handled by the grid.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);
    // Creates (and owns) a model over `dataset` with the given columns.
    DatasetModel *setDataset(data::Dataset *dataset, const QList<GridColumn> &columns = {});
    DatasetModel *datasetModel() const { return m_model; }
    void applyColumns();
    void setGridReadOnly(bool on);

Q_SIGNALS:
    // Enter or double click on a row (pickers choose with it).
    void rowChosen(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followCursor(int row);
    DatasetModel *m_model = nullptr;
    bool m_syncing = false;
};

} // namespace brelvo::core

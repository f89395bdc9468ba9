#include "core/DatasetModel.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Format.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

namespace brelvo::core {

using data::Dataset;
using data::DbError;
using data::FieldType;

namespace {
bool numericType(FieldType t)
{
    return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Number || t == FieldType::Money;
}

bool numericVariant(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Int: case QMetaType::LongLong:
    case QMetaType::UInt: case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// Holds the model's own cursor moves apart from the moves it must follow.
struct Reading {
    explicit Reading(int &n) : n(n) { ++n; }
    ~Reading() { --n; }
    int &n;
};

bool invokeIfPresent(Dataset *ds, const char *method)
{
    const QByteArray sig = QByteArray(method) + "()";
    if (ds->metaObject()->indexOfMethod(sig.constData()) < 0) return false;
    return QMetaObject::invokeMethod(ds, method, Qt::DirectConnection);
}
} // namespace

DatasetModel::DatasetModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent), m_dataset(dataset)
{
    if (!dataset) return;
    connect(dataset, &Dataset::dataChanged, this, &DatasetModel::onDataChanged);
    connect(dataset, &Dataset::afterOpen, this, &DatasetModel::onDataChanged);
    connect(dataset, &Dataset::beforeClose, this, [this] {
        beginResetModel();
        m_pages.clear();
        m_pageOrder.clear();
        m_count = 0;
        m_autoColumns.clear();
        endResetModel();
        m_currentRow = -1;
        m_rowStale = false;
        announceCurrentRow();
    });
    connect(dataset, &Dataset::afterScroll, this, &DatasetModel::onScroll);
    connect(dataset, &Dataset::stateChanged, this, &DatasetModel::onStateChanged);
    connect(dataset, &Dataset::fieldChanged, this, &DatasetModel::onFieldChanged);
    if (auto *table = qobject_cast<data::Table *>(dataset)) {
        connect(table, &data::Table::beforeInsert, this, [this] { preloadForEditing(true); });
        connect(table, &data::Table::beforeEdit, this, [this] { preloadForEditing(false); });
    }
    m_inserting = dataset->state() == Dataset::State::Insert;
    syncCurrentRow();
}

void DatasetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_pages.clear();
    m_pageOrder.clear();
    endResetModel();
}

void DatasetModel::addColumn(const GridColumn &column)
{
    auto cols = m_columns;
    cols << column;
    setColumns(cols);
}

void DatasetModel::invalidate()
{
    beginResetModel();
    m_pages.clear();
    m_pageOrder.clear();
    m_count = -1;
    m_autoColumns.clear();
    endResetModel();
    syncCurrentRow();
}

bool DatasetModel::usable() const
{
    return m_dataset && m_dataset->isOpen();
}

bool DatasetModel::editing() const
{
    if (!usable()) return false;
    const auto s = m_dataset->state();
    return s == Dataset::State::Edit || s == Dataset::State::Insert;
}

QList<GridColumn> DatasetModel::effectiveColumns() const
{
    if (!m_columns.isEmpty()) return m_columns;
    if (m_autoColumns.isEmpty() && usable()) {
        for (const QString &f : m_dataset->fieldNames()) m_autoColumns << GridColumn::make(f);
    }
    return m_autoColumns;
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !usable()) return 0;
    if (m_count < 0) {
        try {
            // Stored rows; while inserting, the new row is shown after them.
            m_count = m_dataset->recordCount();
        } catch (const DbError &) {
            m_count = 0;
        }
    }
    return m_count + (m_inserting ? 1 : 0);
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(effectiveColumns().size());
}

DatasetModel::Row DatasetModel::readRow() const
{
    Row row;
    const auto cols = effectiveColumns();
    row.reserve(cols.size());
    for (const auto &c : cols) {
        try {
            if (c.calc) row << c.calc(*m_dataset);
            else row << m_dataset->value(c.field);
        } catch (const DbError &) {
            row << QVariant();
        }
    }
    return row;
}

void DatasetModel::loadPage(int page) const
{
    Dataset *ds = m_dataset.data();
    Reading guard(m_reading);
    QList<Row> rows;
    // The cursor comes back to its row: nobody else hears these moves (a
    // window refilling its boxes now would lose what is being typed).
    const QSignalBlocker quiet(ds);
    try {
        ds->readRows(page * m_pageSize, m_pageSize, [&] { rows << readRow(); });
    } catch (const DbError &) {
    }
    ++m_pageReads;
    m_pages.insert(page, rows);
    m_pageOrder.removeAll(page);
    m_pageOrder << page;
    while (m_pageOrder.size() > m_maxPages) m_pages.remove(m_pageOrder.takeFirst());
}

const DatasetModel::Row *DatasetModel::rowAt(int row) const
{
    if (!usable() || row < 0 || row >= rowCount()) return nullptr;
    static thread_local Row live;
    if (editing() && row == currentRow()) {
        live = readRow();
        return &live;
    }
    const int page = row / m_pageSize;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        // Moving the cursor now would end the edit in progress.
        if (editing() || m_reading) return nullptr;
        loadPage(page);
        it = m_pages.find(page);
        if (it == m_pages.end()) return nullptr;
    } else if (m_pageOrder.last() != page) {
        m_pageOrder.removeAll(page);
        m_pageOrder << page;
    }
    const int i = row % m_pageSize;
    return i < it->size() ? &it->at(i) : nullptr;
}

FieldType DatasetModel::fieldType(int column) const
{
    const auto cols = effectiveColumns();
    if (column < 0 || column >= cols.size() || cols[column].calc || !usable()) return FieldType::Number;
    try {
        return m_dataset->fieldType(cols[column].field);
    } catch (const DbError &) {
        return FieldType::Alpha;
    }
}

QString DatasetModel::cellText(int column, const QVariant &v) const
{
    const auto cols = effectiveColumns();
    const GridColumn &c = cols[column];
    if (c.calc) {
        if (v.isNull()) return QString();
        if (numericVariant(v)) return c.mask.isEmpty() ? shortNumber(v.toDouble()) : formatMask(c.mask, v.toDouble());
        if (v.metaType().id() == QMetaType::QDate) return dateText(v.toDate());
        return v.toString();
    }
    return DataLink::valueToText(fieldType(column), v, c.mask);
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= columnCount()) return QVariant();
    const auto cols = effectiveColumns();
    if (role == Qt::TextAlignmentRole) {
        if (cols[index.column()].alignment) return int(cols[index.column()].alignment);
        return int((numericType(fieldType(index.column())) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    const Row *r = rowAt(index.row());
    if (!r || index.column() >= r->size()) return QVariant();
    const QVariant &v = r->at(index.column());
    if (role == Qt::EditRole) return DataLink::valueToText(fieldType(index.column()), v);
    return cellText(index.column(), v);
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    if (!setCurrentRow(index.row())) return false;
    const GridColumn c = effectiveColumns()[index.column()];
    const FieldType type = fieldType(index.column());
    QVariant v = value;
    if (value.metaType().id() == QMetaType::QString) {
        QString err;
        if (!DataLink::textToValue(type, value.toString(), &v, &err)) {
            dialogs().error(nullptr, QStringLiteral("Erro"), err);
            return false;
        }
    }
    try {
        if (!editing()) {
            if (auto *t = qobject_cast<data::Table *>(m_dataset.data())) t->edit();
            else invokeIfPresent(m_dataset.data(), "edit");
        }
        if (!editing()) return false;
        m_dataset->setValue(c.field, v);
    } catch (const DbError &e) {
        dialogs().error(nullptr, QStringLiteral("Erro"), e.message());
        return false;
    }
    Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(columnCount() - 1));
    return true;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    const auto cols = effectiveColumns();
    if (section < 0 || section >= cols.size()) return QVariant();
    return cols[section].caption.isEmpty() ? cols[section].field : cols[section].caption;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const auto cols = effectiveColumns();
    if (index.column() < cols.size() && !cols[index.column()].readOnly && !cols[index.column()].calc &&
        !cols[index.column()].field.isEmpty())
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::setCurrentRow(int row)
{
    if (!usable() || row < 0 || row >= rowCount()) return false;
    if (row == currentRow()) return true;
    if (editing()) {
        // Leaving a row stores it, as the grids always did.
        try {
            if (auto *t = qobject_cast<data::Table *>(m_dataset.data())) t->post();
            else invokeIfPresent(m_dataset.data(), "post");
        } catch (const DbError &e) {
            dialogs().error(nullptr, QStringLiteral("Erro"), e.message());
            return false;
        }
        if (editing() || row >= rowCount()) return false;
    }
    try {
        Reading guard(m_reading);
        m_dataset->moveTo(row);
    } catch (const DbError &e) {
        dialogs().error(nullptr, QStringLiteral("Erro"), e.message());
        return false;
    }
    m_currentRow = row;
    m_rowStale = false;
    announceCurrentRow();
    return true;
}

int DatasetModel::computeCurrentRow() const
{
    if (!usable()) return -1;
    try {
        if (m_inserting) return rowCount() - 1;
        if (!m_dataset->isEmpty()) return m_dataset->recNo();
    } catch (const DbError &) {
    }
    return -1;
}

int DatasetModel::currentRow() const
{
    if (m_rowStale) {
        m_rowStale = false;
        m_currentRow = computeCurrentRow();
    }
    return m_currentRow;
}

void DatasetModel::announceCurrentRow()
{
    m_syncQueued = false;
    const int r = currentRow();
    if (r != m_announcedRow) {
        m_announcedRow = r;
        Q_EMIT currentRowChanged(r);
    }
}

void DatasetModel::syncCurrentRow()
{
    // Immediate: after resets and on construction.
    m_rowStale = false;
    m_currentRow = computeCurrentRow();
    announceCurrentRow();
}

void DatasetModel::onDataChanged()
{
    if (m_reading) return;
    invalidate();
}

void DatasetModel::onScroll()
{
    if (m_reading) return;
    m_rowStale = true;
    if (!m_syncQueued) {
        m_syncQueued = true;
        QTimer::singleShot(0, this, &DatasetModel::announceCurrentRow);
    }
}

void DatasetModel::onStateChanged()
{
    if (m_reading || !m_dataset) return;
    const bool ins = m_dataset->state() == Dataset::State::Insert;
    if (ins != m_inserting) {
        beginResetModel();
        m_inserting = ins;
        // The stored rows stay as they were while a new row is typed (the
        // cursor cannot read them then); they are read again afterwards.
        if (!ins) {
            m_pages.clear();
            m_pageOrder.clear();
            m_count = -1;
        }
        endResetModel();
        syncCurrentRow();
        return;
    }
    onFieldChanged(QString());
}

void DatasetModel::preloadForEditing(bool inserting)
{
    // Pages the grid shows while the row is typed: the current row's and,
    // for a new row (shown after the stored ones), the last.
    if (m_reading || !usable() || editing()) return;
    const int cur = currentRow();
    if (cur >= 0 && !m_pages.contains(cur / m_pageSize)) loadPage(cur / m_pageSize);
    const int stored = m_inserting ? rowCount() - 1 : rowCount();
    if (inserting && stored > 0 && !m_pages.contains((stored - 1) / m_pageSize))
        loadPage((stored - 1) / m_pageSize);
}

void DatasetModel::onFieldChanged(const QString &)
{
    if (m_reading || !usable()) return;
    const int cur = currentRow();
    if (cur < 0) return;
    // Keep the cached copy of the current row in step with the cursor.
    auto it = m_pages.find(cur / m_pageSize);
    if (it != m_pages.end() && cur % m_pageSize < it->size())
        (*it)[cur % m_pageSize] = readRow();
    if (cur < rowCount())
        Q_EMIT dataChanged(index(cur, 0), index(cur, columnCount() - 1));
}

// ---- DbGrid ---------------------------------------------------------------

DbGrid::DbGrid(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid() && !(i.flags() & Qt::ItemIsEditable)) Q_EMIT rowChosen(i.row());
    });
}

DatasetModel *DbGrid::setDataset(Dataset *dataset, const QList<GridColumn> &columns)
{
    auto *old = m_model;
    m_model = new DatasetModel(dataset, this);
    if (!columns.isEmpty()) m_model->setColumns(columns);
    setModel(m_model);
    delete old;
    connect(m_model, &DatasetModel::currentRowChanged, this, &DbGrid::followCursor);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { followCursor(m_model->currentRow()); });
    applyColumns();
    followCursor(m_model->currentRow());
    return m_model;
}

void DbGrid::applyColumns()
{
    if (!m_model) return;
    const auto &cols = m_model->columns();
    const int ch = fontMetrics().averageCharWidth();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].width > 0) setColumnWidth(i, cols[i].width * ch + 8);
}

void DbGrid::setGridReadOnly(bool on)
{
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
}

void DbGrid::followCursor(int row)
{
    if (!m_model || m_syncing) return;
    m_syncing = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const int col = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex idx = m_model->index(row, col);
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        clearSelection();
    }
    m_syncing = false;
}

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !m_model || !current.isValid() || current.row() == m_model->currentRow()) return;
    if (!m_model->setCurrentRow(current.row())) followCursor(m_model->currentRow());
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        const QModelIndex i = currentIndex();
        if (i.isValid()) {
            if ((i.flags() & Qt::ItemIsEditable) && editTriggers() != NoEditTriggers) edit(i);
            else Q_EMIT rowChosen(i.row());
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace brelvo::core

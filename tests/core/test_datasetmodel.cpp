#include "MemDataset.h"
#include "core/DatasetModel.h"
#include "core/FakeDialogService.h"

#include "data/Database.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace brelvo::core;
using brelvo::data::Dataset;
using brelvo::data::FieldType;

namespace {
QList<MemDataset::Field> itemFields()
{
    return {{"Codigo", FieldType::Integer, 0}, {"Descricao", FieldType::Alpha, 30},
            {"Qtd", FieldType::Number, 0}, {"ValorUni", FieldType::Money, 0}};
}

QVariant generated(int row, int col)
{
    switch (col) {
    case 0: return row + 1;
    case 1: return QStringLiteral("ITEM %1").arg(row + 1);
    case 2: return double(row % 5 + 1);
    default: return 1000.0 + row * 0.25;
    }
}

QList<GridColumn> itemColumns()
{
    return {GridColumn::make("Codigo", QStringLiteral("Código"), 6, "0000"),
            GridColumn::make("Descricao", QStringLiteral("Descrição"), 30),
            GridColumn::make("Qtd", "Qtd", 6, "0.00", false),
            GridColumn::make("ValorUni", "Valor Unit.", 12, "###,##0.00"),
            GridColumn::calculated("SubTotal",
                                   [](const Dataset &d) { return d.asFloat("Qtd") * d.asFloat("ValorUni"); },
                                   "###,##0.00", 12)};
}
} // namespace

class TestDatasetModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void millionRowsReadLazily();
    void pagesCachedAndEvicted();
    void resetOnDataChanged();
    void currentRowFollowsCursor();
    void choosingRowMovesCursorAndPosts();
    void editingCellsAndCalculatedColumn();
    void insertShowsNewRow();
    void gridSelectionAndEnter();
    void realTable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    brelvo::data::DatabasePtr m_db;
    MemDataset *m_big = nullptr;
    MemDataset *m_small = nullptr;
    std::unique_ptr<ScopedFakeDialogs> m_fake;
};

void TestDatasetModel::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = brelvo::data::Database::open(m_dir->path(), true);
}

void TestDatasetModel::init()
{
    m_fake = std::make_unique<ScopedFakeDialogs>();
    m_big = new MemDataset(m_db, itemFields());
    m_big->setGenerated(1000000, generated);
    m_big->setEditable(false);
    m_big->open();
    m_small = new MemDataset(m_db, itemFields());
    for (int i = 0; i < 5; ++i) m_small->addRow({i + 1, QStringLiteral("P%1").arg(i + 1), 2.0, 10.5 * (i + 1)});
    m_small->open();
}

void TestDatasetModel::cleanup()
{
    delete m_big;
    delete m_small;
    m_fake.reset();
}

void TestDatasetModel::millionRowsReadLazily()
{
    DatasetModel model(m_big);
    model.setColumns(itemColumns());
    model.setPageSize(100);
    QCOMPARE(model.rowCount(), 1000000);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.pageReads(), 0);
    QCOMPARE(m_big->moves, 0);

    m_big->moveTo(10);   // the cursor's own position
    const int movesBefore = m_big->moves;
    QCOMPARE(model.data(model.index(654321, 1)).toString(), QStringLiteral("ITEM 654322"));
    QCOMPARE(model.pageReads(), 1);
    QCOMPARE(m_big->moves, movesBefore + 1);   // one jump to the page, then next()
    QCOMPARE(m_big->recNo(), 10);              // put back where it was
    QCOMPARE(model.currentRow(), 10);          // and the model did not follow its own reading

    // Same page: no further read.
    QCOMPARE(model.data(model.index(654399, 0)).toString(), QStringLiteral("654400"));
    QCOMPARE(model.pageReads(), 1);
    QCOMPARE(model.data(model.index(654400, 0)).toString(), QStringLiteral("654401"));
    QCOMPARE(model.pageReads(), 2);
    // Last row and beyond.
    QCOMPARE(model.data(model.index(999999, 0)).toString(), QStringLiteral("1000000"));
    QVERIFY(!model.data(model.index(1000000, 0)).isValid());
}

void TestDatasetModel::pagesCachedAndEvicted()
{
    DatasetModel model(m_big);
    model.setColumns(itemColumns());
    model.setPageSize(10);
    model.setMaxCachedPages(3);
    for (int p = 0; p < 5; ++p) model.data(model.index(p * 10, 0));
    QCOMPARE(model.pageReads(), 5);
    QCOMPARE(model.cachedPages(), 3);
    model.data(model.index(45, 0));   // page 4 still cached
    QCOMPARE(model.pageReads(), 5);
    model.data(model.index(5, 0));    // page 0 was dropped
    QCOMPARE(model.pageReads(), 6);
    QCOMPARE(model.cachedPages(), 3);
}

void TestDatasetModel::resetOnDataChanged()
{
    DatasetModel model(m_small);
    model.setColumns(itemColumns());
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("P1"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    m_small->addRow({6, "P6", 1.0, 1.0});
    m_small->refresh();
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(model.data(model.index(5, 1)).toString(), QStringLiteral("P6"));
    m_small->close();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.currentRow(), -1);
}

void TestDatasetModel::currentRowFollowsCursor()
{
    DatasetModel model(m_big);
    QSignalSpy spy(&model, &DatasetModel::currentRowChanged);
    QCOMPARE(model.currentRow(), 0);
    m_big->moveTo(123456);
    QCOMPARE(model.currentRow(), 123456);
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(spy.last().at(0).toInt(), 123456);
    m_big->next();
    QCOMPARE(model.currentRow(), 123457);
    // Page reads do not move the current row.
    model.data(model.index(5, 0));
    QCOMPARE(model.currentRow(), 123457);
    QTRY_COMPARE(spy.size(), 2);

    // A long walk of the cursor costs one position look-up and one signal.
    const int lookups = m_big->recNos;
    for (int i = 0; i < 5000; ++i) m_big->next();
    QCOMPARE(m_big->recNos, lookups);
    QTRY_COMPARE(spy.size(), 3);
    QCOMPARE(spy.last().at(0).toInt(), 128457);
    QCOMPARE(m_big->recNos, lookups + 1);
    // Without columns, every field is a column.
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descricao"));
}

void TestDatasetModel::choosingRowMovesCursorAndPosts()
{
    DatasetModel model(m_small);
    model.setColumns(itemColumns());
    QVERIFY(model.setCurrentRow(3));
    QCOMPARE(m_small->recNo(), 3);
    QCOMPARE(model.currentRow(), 3);
    QVERIFY(!model.setCurrentRow(5));
    QVERIFY(!model.setCurrentRow(-1));
    QCOMPARE(m_small->recNo(), 3);

    // A row being edited is stored when another row is chosen.
    m_small->edit();
    m_small->setValue("Descricao", "MUDOU");
    QVERIFY(model.setCurrentRow(1));
    QCOMPARE(m_small->posts, 1);
    QCOMPARE(m_small->state(), Dataset::State::Browse);
    QCOMPARE(m_small->recNo(), 1);
    QCOMPARE(model.data(model.index(3, 1)).toString(), QStringLiteral("MUDOU"));
}

void TestDatasetModel::editingCellsAndCalculatedColumn()
{
    DatasetModel model(m_small);
    model.setColumns(itemColumns());
    // Masks and the calculated column.
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("0002"));
    QCOMPARE(model.data(model.index(1, 3)).toString(), QStringLiteral("21,00"));
    QCOMPARE(model.data(model.index(1, 4)).toString(), QStringLiteral("42,00"));
    QCOMPARE(model.data(model.index(1, 3), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!(model.flags(model.index(0, 4)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

    // Editing a quantity moves to the row, edits it and recomputes the subtotal.
    QVERIFY(model.setData(model.index(2, 2), QStringLiteral("3,5")));
    QCOMPARE(m_small->recNo(), 2);
    QCOMPARE(m_small->state(), Dataset::State::Edit);
    QCOMPARE(m_small->value("Qtd").toDouble(), 3.5);
    QCOMPARE(model.data(model.index(2, 4)).toString(), QStringLiteral("110,25"));
    QCOMPARE(model.data(model.index(2, 2), Qt::EditRole).toString(), QStringLiteral("3,5"));

    // Bad text is refused with a message and nothing changes.
    QVERIFY(!model.setData(model.index(2, 2), QStringLiteral("abc")));
    QCOMPARE(m_small->value("Qtd").toDouble(), 3.5);
    QCOMPARE(m_fake->fake().count(FakeDialogService::Kind::Error), 1);
    // Read-only columns refuse.
    QVERIFY(!model.setData(model.index(2, 1), QStringLiteral("X")));
}

void TestDatasetModel::insertShowsNewRow()
{
    // A cursor in Insert state: the new row is shown after the stored ones.
    brelvo::data::Table t(m_db, "tbMarcas.db");
    t.open();
    const int stored = t.recordCount();
    DatasetModel model(&t);
    model.setColumns({GridColumn::make("Marca", "Marca", 30, QString(), false)});
    QCOMPARE(model.rowCount(), stored);
    t.append();
    QCOMPARE(model.rowCount(), stored + 1);
    QCOMPARE(model.currentRow(), stored);
    t.setValue("Marca", "ZZ NOVA");
    QCOMPARE(model.data(model.index(stored, 0)).toString(), QStringLiteral("ZZ NOVA"));
    t.post();
    QCOMPARE(model.rowCount(), stored + 1);
    QCOMPARE(model.data(model.index(model.currentRow(), 0)).toString(), QStringLiteral("ZZ NOVA"));
}

void TestDatasetModel::gridSelectionAndEnter()
{
    DbGrid grid;
    auto *model = grid.setDataset(m_small, itemColumns());
    grid.resize(600, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.currentIndex().row(), 0);
    QVERIFY(grid.columnWidth(1) > grid.columnWidth(0));   // 30 characters against 6

    // The grid follows the cursor...
    m_small->moveTo(2);
    QTRY_COMPARE(grid.currentIndex().row(), 2);
    // ... and moving in the grid moves the cursor.
    QTest::keyClick(grid.viewport(), Qt::Key_Down);
    QCOMPARE(m_small->recNo(), 3);
    QCOMPARE(model->currentRow(), 3);
    const QRect r = grid.visualRect(model->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(m_small->recNo(), 1);

    QSignalSpy chosen(&grid, &DbGrid::rowChosen);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().at(0).toInt(), 1);
}

void TestDatasetModel::realTable()
{
    brelvo::data::Table t(m_db, "tbFuncao.db");
    t.open();
    for (int i = 0; i < 250; ++i) {
        t.append();
        t.setValue("Funcao", QStringLiteral("F%1").arg(i, 3, 10, QLatin1Char('0')));
        t.post();
    }
    t.first();
    DatasetModel model(&t);
    model.setColumns({GridColumn::make("Funcao")});
    QCOMPARE(model.rowCount(), t.recordCount());
    // Rows come in the cursor's order, whatever page they are on.
    QStringList seen;
    for (int r = 0; r < model.rowCount(); ++r) seen << model.data(model.index(r, 0)).toString();
    QStringList sorted = seen;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(seen, sorted);
    QVERIFY(seen.contains("F249"));
    QCOMPARE(t.recNo(), 0);
    QVERIFY(model.setCurrentRow(150));
    QCOMPARE(t.value("Funcao").toString(), seen.at(150));
    t.moveTo(42);
    QCOMPARE(model.currentRow(), 42);
}

QTEST_MAIN(TestDatasetModel)
#include "test_datasetmodel.moc"

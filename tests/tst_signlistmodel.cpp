#include "document/SignListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

SignRow sign(const QString& sku, const QString& graphic = QString())
{
    SignRow row;
    row.column(SignListModel::ColSku) = sku;
    row.column(SignListModel::ColBullet3) = sku + QLatin1String("-b3");
    row.column(SignListModel::ColGraphic) = graphic;
    return row;
}

QStringList skus(const SignListModel& model)
{
    QStringList result;
    for (int r = 1; r < model.Rows(); ++r)
        result << model.cell(r, SignListModel::ColSku);
    return result;
}

} // namespace

class TestSignListModel : public QObject
{
    Q_OBJECT

private slots:
    void freshListHasOneNumberedRowAndHeaders();
    void insertDuplicateDeleteKeepNumbersAndHiddenColumns();
    void deleteOnlyRowEmptiesIt();
    void setRowsNeverBelowTwo();
    void modelPassesTester();
};

void TestSignListModel::freshListHasOneNumberedRowAndHeaders()
{
    SignListModel model;
    QCOMPARE(model.Rows(), 2);
    QCOMPARE(model.cell(1, 0), QString("1"));
    const QStringList headers = { "", "sku", "promo", "retail", "description", "", "", "", "", "" };
    for (int c = 0; c < SignListModel::Cols; ++c) {
        QCOMPARE(model.cell(0, c), headers.at(c));
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
    }
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 10);
}

void TestSignListModel::insertDuplicateDeleteKeepNumbersAndHiddenColumns()
{
    SignListModel model;
    model.setRows(4);
    model.setSignRow(1, sign("A", "/a.jpg"));
    model.setSignRow(2, sign("B"));
    model.setSignRow(3, sign("C"));

    model.insertEmptyRow(1);
    QCOMPARE(skus(model), QStringList({ "", "A", "B", "C" }));
    QCOMPARE(model.cell(2, SignListModel::ColGraphic), QString("/a.jpg"));
    QCOMPARE(model.cell(2, SignListModel::ColBullet3), QString("A-b3"));
    for (int r = 1; r < model.Rows(); ++r)
        QCOMPARE(model.cell(r, 0), QString::number(r));

    model.duplicateRow(4);
    QCOMPARE(skus(model), QStringList({ "", "A", "B", "C", "C" }));
    QCOMPARE(model.cell(5, SignListModel::ColBullet3), QString("C-b3"));

    model.deleteRow(2);
    QCOMPARE(skus(model), QStringList({ "", "B", "C", "C" }));
    QCOMPARE(model.cell(4, 0), QString("4"));
    QCOMPARE(model.cell(5, 0), QString()); // beyond the list
}

void TestSignListModel::deleteOnlyRowEmptiesIt()
{
    SignListModel model;
    model.setSignRow(1, sign("ONLY", "/x.bmp"));
    model.deleteRow(1);
    QCOMPARE(model.Rows(), 2);
    QCOMPARE(model.signRow(1), SignRow());
    QCOMPARE(model.cell(1, 0), QString("1"));
}

void TestSignListModel::setRowsNeverBelowTwo()
{
    SignListModel model;
    model.setRows(0);
    QCOMPARE(model.Rows(), 2);
    model.setRows(5);
    QCOMPARE(model.Rows(), 5);
    model.setCell(4, SignListModel::ColDescription, "last");
    model.setRows(4);
    QCOMPARE(model.Rows(), 4);
    // Writes outside the list, to column 0 or to the header row are ignored.
    model.setCell(9, 1, "x");
    model.setCell(1, 0, "99");
    model.setCell(0, 1, "header");
    QCOMPARE(model.cell(1, 0), QString("1"));
    QCOMPARE(model.cell(0, 1), QString("sku"));
}

void TestSignListModel::modelPassesTester()
{
    SignListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.setRows(3);
    model.insertEmptyRow(1);
    model.duplicateRow(2);
    std::vector<SignRow> more { sign("X"), sign("Y") };
    model.appendSigns(std::move(more));
    model.deleteRow(1);
    model.reset();
    model.setCell(1, 4, "desc");
    QCOMPARE(inserted.count(), 4);
    QCOMPARE(model.Rows(), 2);
}

QTEST_GUILESS_MAIN(TestSignListModel)
#include "tst_signlistmodel.moc"

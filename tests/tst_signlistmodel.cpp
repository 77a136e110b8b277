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
    void freshListAndBounds()
    {
        SignListModel model;
        QCOMPARE(model.Rows(), 2);
        QCOMPARE(model.cell(1, 0), QString("1"));
        const QStringList headers
            = { "", "sku", "promo", "retail", "description", "", "", "", "", "" };
        for (int c = 0; c < SignListModel::Cols; ++c) {
            QCOMPARE(model.cell(0, c), headers.at(c));
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
        }
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 10);
        model.setRows(0);
        QCOMPARE(model.Rows(), 2);
        model.setRows(5);
        model.setCell(4, SignListModel::ColDescription, "last");
        model.setRows(4);
        QCOMPARE(model.Rows(), 4);
        // Writes outside the list, to column 0 or to the header row are ignored.
        model.setCell(9, 1, "x");
        model.setCell(1, 0, "99");
        model.setCell(0, 1, "header");
        QCOMPARE(model.cell(1, 0), QString("1"));
        QCOMPARE(model.cell(0, 1), QString("sku"));
        QCOMPARE(model.cell(5, 0), QString()); // beyond the list
    }

    // Every edit keeps the numbers in column 0 and the hidden columns with
    // their row, and tells views correctly (checked by the model tester).
    void editsKeepNumbersAndHiddenColumns()
    {
        SignListModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.setRows(4);
        model.setSignRow(1, sign("A", "/a.jpg"));
        model.setSignRow(2, sign("B"));
        model.setSignRow(3, sign("C"));

        model.insertEmptyRow(1);
        QCOMPARE(skus(model), QStringList({ "", "A", "B", "C" }));
        QCOMPARE(model.cell(2, SignListModel::ColGraphic), QString("/a.jpg"));
        QCOMPARE(model.cell(2, SignListModel::ColBullet3), QString("A-b3"));
        model.duplicateRow(4);
        QCOMPARE(skus(model), QStringList({ "", "A", "B", "C", "C" }));
        QCOMPARE(model.cell(5, SignListModel::ColBullet3), QString("C-b3"));
        model.deleteRow(2);
        QCOMPARE(skus(model), QStringList({ "", "B", "C", "C" }));
        model.appendSigns({ sign("X"), sign("Y") });
        QCOMPARE(skus(model), QStringList({ "", "B", "C", "C", "X", "Y" }));
        for (int r = 1; r < model.Rows(); ++r)
            QCOMPARE(model.cell(r, 0), QString::number(r));
        QCOMPARE(inserted.count(), 4);

        // Deleting the only row empties it and keeps it.
        model.reset();
        model.setSignRow(1, sign("ONLY", "/x.bmp"));
        model.deleteRow(1);
        QCOMPARE(model.Rows(), 2);
        QCOMPARE(model.signRow(1), SignRow());
        QCOMPARE(model.cell(1, 0), QString("1"));
    }
};

QTEST_GUILESS_MAIN(TestSignListModel)
#include "tst_signlistmodel.moc"

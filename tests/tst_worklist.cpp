// The working list kept between sessions: every edit saved, a damaged file set aside.

#include "FileTestSupport.h"

class TestWorkList : public QObject
{
    Q_OBJECT

private slots:
    // Every edit keeps the numbers in column 0 and the hidden columns with their row, and tells
    // views correctly (checked by the model tester).
    void editsKeepNumbersAndHiddenColumns()
    {
        SignListModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.setRows(6);
        model.setRows(4); // and writes to column 0 or the header row are ignored
        model.setCell(0, 1, "header");
        QCOMPARE(model.cell(0, 1) + model.cell(9, 0), QString("sku"));
        model.setSignRow(1, bulleted("A", "/a.jpg"));
        model.setSignRow(2, bulleted("B"));
        model.setSignRow(3, bulleted("C"));
        model.insertEmptyRow(1);
        QCOMPARE(
            model.cell(2, SignListModel::ColGraphic) + model.cell(2, SignListModel::ColBullet3),
            QString("/a.jpgA-b3"));
        model.replaceRows(4, 1, { model.signRow(4), model.signRow(4) });
        QCOMPARE(model.cell(5, SignListModel::ColBullet3), QString("C-b3"));
        model.deleteRow(2);
        model.appendSigns({ bulleted("X"), bulleted("Y") });
        QCOMPARE(skus(model), QStringList({ "", "B", "C", "C", "X", "Y" }));
        for (int r = 1; r < model.Rows(); ++r)
            QCOMPARE(model.cell(r, 0), QString::number(r));
        QCOMPARE(inserted.count(), 4);
        // Deleting the only row empties it and keeps it.
        model.reset();
        model.setSignRow(1, bulleted("ONLY", "/x.bmp"));
        model.deleteRow(1);
        QVERIFY(model.Rows() == 2 && model.signRow(1) == SignRow() && model.cell(1, 0) == "1");
    }
    void listSurvivesSessions()
    {
        TestSettingsScope scope;
        const QString path = scope.path() + "/data/kestrane/worklist.txt";
        // A row with every field and a character beyond ASCII comes back whole.
        const std::array<QString, 9> full { "DDD", "2.99", "3.49", "Crème hinge \"brass\"", "b1",
            "b2", "b3", "1.10", PrintTest::writePicture(scope.path(), "hinge.jpg", 4, 4) };
        {
            frmSigns w;
            typeList(w, { "AAA", "BBB", "CCC" });
            w.setCurrentRow(2);
            trigger(w, "mnuEditDeleteRow");
            // Saved shortly after the change, without waiting for the exit.
            QTRY_VERIFY(readAll(path).contains("CCC\t"));
            w.setCurrentRow(3);
            w.LoadSelectedRow();
            int i = 0;
            for (const char* box : { "txtSku", "txtPromo", "txtRetail", "txtDescription", "txtBp1",
                     "txtBp2", "txtBp3", "txtCost" })
                child<EntryBox>(w, box)->setText(full[size_t(i++)]);
            dialogs().queueFile(full[8]);
            trigger(w, "mnuFileGraphic");
            trigger(w, "mnuEditSaveRow");
            w.close();
        }
        QVERIFY(readAll(path).startsWith(Header));
        {
            frmSigns w;
            QCOMPARE(QString("%1 %2 / ").arg(skus(w).join(',')).arg(w.currentRow())
                    + w.statusBar()->currentMessage(),
                QString("AAA,CCC,DDD, 4 / Restored 3 signs from the last session"));
            QCOMPARE(w.model()->signRow(3).fields, full);
            // The restored list is not a step to undo; an empty list is kept too.
            QVERIFY(
                dialogs().messages().isEmpty() && !child<QAction>(w, "mnuEditUndo")->isEnabled());
            trigger(w, "mnuEditClearGrid");
            w.close();
        }
        frmSigns w;
        QCOMPARE(skus(w).join(',') + w.statusBar()->currentMessage(), QString());
    }
    // The lines kept ready for the file must stay the list's through edits anywhere in a long list
    // (where they are held in several blocks).
    void fileFollowsEveryEdit()
    {
        TestSettingsScope scope;
        SignListModel model;
        std::vector<SignRow> signs(5000);
        for (int i = 0; i < 5000; ++i)
            signs[size_t(i)].column(SignListModel::ColSku) = QString::number(i);
        model.appendSigns(std::move(signs));
        WorkList list(model);
        list.watch();
        QRandomGenerator random(7);
        for (int step = 0; step < 400; ++step) {
            const int row = 1 + int(random.bounded(model.Rows() - 1));
            if (step % 4 == 0)
                model.insertEmptyRow(row);
            else if (step % 4 == 1)
                model.replaceRows(row, 1, { model.signRow(row), model.signRow(row) });
            else if (step % 4 == 2)
                model.deleteRow(row);
            else
                model.replaceRows(row, qMin(3, model.Rows() - row), { SignRow(), SignRow() });
            model.setCell(row, step % 2 ? SignListModel::ColDescription : SignListModel::ColSku,
                QString("new %1").arg(step));
        }
        model.appendSigns(std::vector<SignRow>(3000, model.signRow(1)));
        QVERIFY(list.saveNow(nullptr));
        QByteArray expected;
        QVERIFY(SignListImportExport::encodeRows(model.signRows(), list.path(), expected, nullptr));
        QCOMPARE(readAll(list.path()), expected);
        // A character the file cannot hold fails the save and keeps the last file.
        model.setCell(2, SignListModel::ColBullet1, "Ω");
        QString error;
        QVERIFY(!list.saveNow(&error));
        QVERIFY2(error.startsWith("Row 2, bullet line 1"), qPrintable(error));
        QCOMPARE(readAll(list.path()), expected);
    }
    // A file that cannot be read at all is set aside whole; a damaged line costs only that line.
    // Earlier copies move up a number, and the list is its owner's alone.
    void damagedFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("restored");
        QTest::addColumn<QString>("message"); // %1 the file
        QTest::addColumn<QByteArray>("setAside");
        const QByteArray a = "A\t\t\t\t\t\t\t\t\r\n", c = "C\t\t\t\t\t\tc7\t\t\r\n";
        QTest::newRow("empty") << QByteArray() << QStringList { "" }
                               << "The sign list of the last session could not be read (its first "
                                  "line is not the list's header).\nThe file was set aside as "
                                  "%1.bad and the list starts empty."
                               << QByteArray();
        QTest::newRow("a cut last line")
            << Header + a + c + "B\t" << QStringList { "A", "C", "" }
            << "Line 4 of the sign list of the last session is damaged.\nIt was set aside in "
               "%1.bad; the other 2 signs are restored."
            << Header + "B\t\r\n";
        QTest::newRow("two NUL bytes")
            << Header + "X\t\t\t" + '\0' + "\t\t\t\t\t\r\n" + c + "Y" + '\0' + "\r\n"
            << QStringList { "C", "" }
            << "2 lines of the sign list of the last session are damaged (the first is line 2).\n"
               "They were set aside in %1.bad; the other sign is restored."
            << Header + "X\t\t\t" + '\0' + "\t\t\t\t\t\r\nY" + '\0' + "\r\n";
    }
    void damagedFileIsSetAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, setAside);
        TestSettingsScope scope;
        const QString folder = scope.path() + "/data/kestrane";
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeTestFile(folder, "worklist.txt", bytes);
        for (int n = 0; n <= 5; ++n)
            writeTestFile(folder, "worklist.txt.bad" + (n ? "." + QString::number(n) : ""),
                "copy " + QByteArray::number(n));
        frmSigns w;
        QTEST(skus(w), "restored");
        QFETCH(QString, message);
        QCOMPARE(messageTexts(), QStringList { message.arg(path) });
        QCOMPARE(readAll(path + ".bad"), setAside.isEmpty() ? bytes : setAside);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(
                readAll(path + ".bad." + QString::number(n)), "copy " + QByteArray::number(n - 1));
        // The next save makes a sound file again, for its owner only.
        typeList(w, { "AAA" });
        w.close();
        QVERIFY(readAll(path).contains("AAA\t"));
        const auto others
            = [](const QString& file) { return QFileInfo(file).permissions() & 0x0077; };
        QCOMPARE(others(path) | (setAside.isEmpty() ? QFile::Permissions() : others(path + ".bad")),
            QFile::Permissions());
    }
};

QTEST_MAIN(TestWorkList)
#include "tst_worklist.moc"

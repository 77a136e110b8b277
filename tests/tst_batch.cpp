// kestrane-batch end to end: the command prints a list to the same PDF
// positions as the window's Print Signs, and reports bad input with the
// right exit status.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "ui/frmSigns.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace PdfTest;

namespace {

// Every word of the PDF as "page x,y text" (points), sorted.
QStringList wordsOf(const QString& pdf)
{
    QStringList words;
    for (const Word& w : readWords(pdf))
        words << QString::asprintf("%d %.2f,%.2f ", w.page, w.xMin, w.yMin) + w.text;
    words.sort();
    return words;
}

// The command's exit status (-1 when it crashed or hung) and its errors.
std::pair<int, QString> runBatch(const QStringList& args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("KESTRANE_BATCH")), args);
    if (!p.waitForFinished(120000))
        return { -1, QString() };
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
        QString::fromLocal8Bit(p.readAllStandardError()) };
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString list()
    {
        QByteArray text = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";
        for (int i = 1; i <= 5; ++i)
            text += QString("SKU%1\tClaw hammer %1\t19.9%1\t9.00\t12.9%1\tForged steel head\t"
                            "Fiberglass handle\tLifetime warranty\t\r\n")
                        .arg(i)
                        .toLatin1();
        return writeTestFile(m_dir.path(), "list.txt", text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QString::fromLocal8Bit(qgetenv("KESTRANE_BATCH"))).isExecutable());
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("poppler-utils (pdftotext) is needed");
    }

    void printsWhereTheWindowPrints_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("bullet");
        QTest::newRow("4up bullet") << "4up" << 0 << true;
        QTest::newRow("2up desc") << "2up" << 1 << false;
        QTest::newRow("1up bullet") << "1up" << 2 << true;
    }
    void printsWhereTheWindowPrints()
    {
        QFETCH(QString, format);
        QFETCH(int, index);
        QFETCH(bool, bullet);
        TestSettingsScope scope;
        AppSettings settings = appSettings();
        settings.save(SettingsKeys::MARGINLEFT, "360");
        settings.save(SettingsKeys::ADJ2UD, "120");
        const QString data = list();
        const QString batchPdf = m_dir.filePath("batch-" + format + ".pdf");
        const QString windowPdf = m_dir.filePath("window-" + format + ".pdf");

        // The command: format and style as flags, the border only for this run.
        const auto [exitCode, errors]
            = runBatch({ "--format", format, "--style", bullet ? "bullet" : "desc", "--title",
                "SALE", "--set", "PRINTBORDER=1", "--pdf", batchPdf, data });
        QCOMPARE(errors, QString());
        QCOMPARE(exitCode, 0);
        QCOMPARE(stored(SettingsKeys::PRINTBORDER), Absent);

        // The window: the same options stored, the list read with Read Data File.
        settings.save(SettingsKeys::PRINTFORMAT, QString::number(index));
        settings.save(SettingsKeys::PRINTBULLET, bullet ? "True" : "False");
        settings.save(SettingsKeys::PRINTLONGDESC, bullet ? "False" : "True");
        settings.save(SettingsKeys::PRINTTITLE, "1");
        settings.save(SettingsKeys::PRINTBORDER, "1");
        frmSigns window(dialogs());
        child<QLineEdit>(window, "txtTitle")->setText("SALE");
        dialogs().queueFile(data);
        trigger(window, "mnuFileImport");
        window.printer()->setOutputFormat(QPrinter::PdfFormat);
        window.printer()->setOutputFileName(windowPdf);
        window.PrintSigns(true);
        QCOMPARE(messageTexts(), QStringList());

        const QStringList expected = wordsOf(windowPdf);
        QVERIFY(expected.size() > 5 * 10);
        QCOMPARE(wordsOf(batchPdf), expected);
    }

    // Exit status 2 for a wrong command line, 1 for input or output that
    // fails; the message starts with the program's name.
    void reportsFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString pdf = m_dir.filePath("out.pdf");
        const QString data = list();
        const auto row = [&](const char* name, QStringList args, int code, const char* message) {
            QTest::newRow(name) << args << code << QString(message);
        };
        row("no data file", { "--pdf", pdf }, 2, "no data file");
        row("two data files", { "--pdf", pdf, data, data }, 2, "only one");
        row("no output", { data }, 2, "either --pdf FILE or --printer");
        row("both outputs", { "--pdf", pdf, "--printer", "p", data }, 2,
            "either --pdf FILE or --printer");
        row("unknown option", { "--colour", "red", "--pdf", pdf, data }, 2, "Unknown option");
        row("bad format", { "--format", "3up", "--pdf", pdf, data }, 2, "unknown format \"3up\"");
        row("bad style", { "--style", "plain", "--pdf", pdf, data }, 2, "unknown style");
        row("bad set", { "--set", "PRINTBORDER", "--pdf", pdf, data }, 2, "--set needs KEY=VALUE");
        row("cell past the page", { "--format", "2up", "--first-cell", "3", "--pdf", pdf, data }, 2,
            "--first-cell must be 1 to 2");
        row("backward pages", { "--pages", "3-1", "--pdf", pdf, data }, 2, "--pages needs FROM-TO");
        row("missing dictionary",
            { "--dictionary", m_dir.filePath("none.dct"), "--pdf", pdf, data }, 1,
            "Can not read dictionary file");
        row("missing data file", { "--pdf", pdf, m_dir.filePath("none.txt") }, 1, "File not found");
        row("unwritable output", { "--pdf", m_dir.filePath("no/such/folder/out.pdf"), data }, 1,
            "cannot print to");
        row("missing printer", { "--printer", "kestrane-no-such-printer", data }, 1,
            "no printer named \"kestrane-no-such-printer\"");
    }
    void reportsFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        TestSettingsScope scope;
        const auto [exitCode, errors] = runBatch(args);
        QTEST(exitCode, "exitCode");
        QVERIFY2(
            errors.startsWith("kestrane-batch: ") && errors.contains(message), qPrintable(errors));
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"

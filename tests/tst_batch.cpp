// kestrane-batch end to end: the command prints a list to the same PDF
// positions as the window's Print Signs, and reports bad input with the
// right exit status.

#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/DialogService.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <tuple>

namespace {

struct Word
{
    int page = 0;
    double xMin = 0, yMin = 0;
    QString text;
};

// Every word of the PDF with its top-left corner in points, in reading order.
std::vector<Word> readWords(const QString& pdf)
{
    QProcess p;
    p.start("pdftotext", { "-bbox", pdf, "-" });
    p.waitForFinished(60000);
    std::vector<Word> words;
    int page = 0;
    static const QRegularExpression wordRe(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>");
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        if (line.contains("<page "))
            ++page;
        const auto m = wordRe.match(line);
        if (m.hasMatch())
            words.push_back(
                { page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3) });
    }
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        return std::tie(a.page, a.yMin, a.xMin, a.text) < std::tie(b.page, b.yMin, b.xMin, b.text);
    });
    return words;
}

struct Outcome
{
    int exitCode = -1;
    QString errors;
};

Outcome runBatch(const QStringList& args)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("KESTRANE_BATCH")), args);
    if (!p.waitForFinished(120000))
        return {};
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
        AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
        settings.save(SettingsKeys::MARGINLEFT, "360");
        settings.save(SettingsKeys::ADJ2UD, "120");
        const QString data = list();
        const QString batchPdf = m_dir.filePath("batch-" + format + ".pdf");
        const QString windowPdf = m_dir.filePath("window-" + format + ".pdf");

        // The command: format and style as flags, the border only for this run.
        const Outcome out = runBatch({ "--format", format, "--style", bullet ? "bullet" : "desc",
            "--title", "SALE", "--set", "PRINTBORDER=1", "--pdf", batchPdf, data });
        QCOMPARE(out.errors, QString());
        QCOMPARE(out.exitCode, 0);
        QCOMPARE(settings.text(SettingsKeys::PRINTBORDER, "unset"), QString("unset"));

        // The window: the same options stored, the list read with Read Data File.
        settings.save(SettingsKeys::PRINTFORMAT, QString::number(index));
        settings.save(SettingsKeys::PRINTBULLET, bullet ? "True" : "False");
        settings.save(SettingsKeys::PRINTLONGDESC, bullet ? "False" : "True");
        settings.save(SettingsKeys::PRINTTITLE, "1");
        settings.save(SettingsKeys::PRINTBORDER, "1");
        frmSigns window(DialogService::instance());
        window.findChild<QLineEdit*>("txtTitle")->setText("SALE");
        DialogService::instance().queueFile(data);
        window.findChild<QAction*>("mnuFileImport")->trigger();
        window.printer()->setOutputFormat(QPrinter::PdfFormat);
        window.printer()->setOutputFileName(windowPdf);
        window.PrintSigns(true);
        QVERIFY(DialogService::instance().messages().isEmpty());

        const std::vector<Word> expected = readWords(windowPdf);
        const std::vector<Word> words = readWords(batchPdf);
        QVERIFY(expected.size() > 5 * 10);
        QCOMPARE(words.size(), expected.size());
        for (size_t i = 0; i < words.size(); ++i) {
            const QString where
                = QString("%1 on page %2").arg(expected[i].text).arg(expected[i].page);
            QCOMPARE(words[i].text, expected[i].text);
            QCOMPARE(words[i].page, expected[i].page);
            QVERIFY2(qAbs(words[i].xMin - expected[i].xMin) < 0.01, qPrintable(where));
            QVERIFY2(qAbs(words[i].yMin - expected[i].yMin) < 0.01, qPrintable(where));
        }
    }

    void reportsFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString pdf = m_dir.filePath("out.pdf");
        const QString data = list();
        QTest::newRow("no data file") << QStringList { "--pdf", pdf } << 2 << "no data file";
        QTest::newRow("two data files")
            << QStringList { "--pdf", pdf, data, data } << 2 << "only one";
        QTest::newRow("no output") << QStringList { data } << 2 << "either --pdf FILE or --printer";
        QTest::newRow("both outputs") << QStringList { "--pdf", pdf, "--printer", "p", data } << 2
                                      << "either --pdf FILE or --printer";
        QTest::newRow("unknown option")
            << QStringList { "--colour", "red", "--pdf", pdf, data } << 2 << "Unknown option";
        QTest::newRow("bad format") << QStringList { "--format", "3up", "--pdf", pdf, data } << 2
                                    << "unknown format \"3up\"";
        QTest::newRow("bad style")
            << QStringList { "--style", "plain", "--pdf", pdf, data } << 2 << "unknown style";
        QTest::newRow("bad set") << QStringList { "--set", "PRINTBORDER", "--pdf", pdf, data } << 2
                                 << "--set needs KEY=VALUE";
        QTest::newRow("cell past the page") << QStringList { "--format", "2up", "--first-cell", "3",
            "--pdf", pdf, data } << 2 << "--first-cell must be 1 to 2";
        QTest::newRow("backward pages")
            << QStringList { "--pages", "3-1", "--pdf", pdf, data } << 2 << "--pages needs FROM-TO";
        QTest::newRow("missing dictionary")
            << QStringList { "--dictionary", m_dir.filePath("none.dct"), "--pdf", pdf, data } << 1
            << "Can not read dictionary file";
        QTest::newRow("missing data file")
            << QStringList { "--pdf", pdf, m_dir.filePath("none.txt") } << 1 << "File not found";
        QTest::newRow("unwritable output")
            << QStringList { "--pdf", m_dir.filePath("no/such/folder/out.pdf"), data } << 1
            << "cannot print to";
        QTest::newRow("missing printer") << QStringList { "--printer", "kestrane-no-such-printer",
            data } << 1 << "no printer named \"kestrane-no-such-printer\"";
    }
    void reportsFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestSettingsScope scope;
        const Outcome out = runBatch(args);
        QCOMPARE(out.exitCode, exitCode);
        QVERIFY2(out.errors.startsWith("kestrane-batch: ") && out.errors.contains(message),
            qPrintable(out.errors));
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"

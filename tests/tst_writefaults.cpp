// Saving on failing disks, pipes and links another user planted: reported, never hangs, never loses
// an earlier file.

#include "FileTestSupport.h"

class TestWriteFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Writes the list to path as an export, the signs or the calibration page, answering the
    // question after a fault so; the print setups run, or for an export 1 when it says it wrote.
    static int save(Fixture& f, QString what, QString path, DialogService::Answer reply)
    {
        dialogs().queueAnswer(reply);
        if (what == "export") {
            dialogs().queueFile(path);
            return f.io.exportFile(f.dict) ? 1 : 0;
        }
        PdfTest::PdfWindow window(path);
        if (what == "signs") {
            PrintTest::jobFor(f.model, f.settings, window).PrintSigns(true);
            return window.printer.outputFileName() == path ? window.setupRuns : -1;
        }
        int setups = 0;
        frmCalibrate dlg(
            f.settings, dialogs(), &window.printer, [&setups] { ++setups; }, nullptr);
        dlg.cmdPrintTest->click();
        return setups;
    }

private slots:
    void writeFaults_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("what"); // export, signs, testpage
        QTest::addColumn<QString>("reason"); // empty: written; "-": any
        for (const char* what : { "export", "signs", "testpage" }) {
            const QByteArray w(what);
            const QString noSpace = w == "export" ? "No space left on device" : "Runtime Error 482";
            QTest::newRow(w + " full disk") << "full" << what << noSpace;
            QTest::newRow(w + " /dev/full") << "/dev/full" << what << noSpace;
            QTest::newRow(w + " no room for a second file") << "noroom" << what << noSpace;
            // The temporary file beside it must keep within the name limit.
            QTest::newRow(w + " name of 255 bytes")
                << "<dir>/" + QString(251, 'n') + (w == "export" ? ".txt" : ".pdf") << what << "";
        }
        const auto row
            = [](const char* name, const char* where, const char* what, const char* reason) {
                  QTest::newRow(name) << QString(where) << QString(what) << QString(reason);
              };
        row("export pipe", "pipe", "export", "No program is reading from the named pipe.");
        row("export folder", "<dir>", "export", "It is a folder.");
        row("export missing folder", "<dir>/no/such/folder/out.txt", "export", "-");
        row("export read-only file system", "/proc/version", "export", "-"); // also to root
        row("signs pipe", "pipe", "signs", "Runtime Error 482");
    }
    // A write that fails is reported (a PDF like a printer failure) and leaves an earlier file as
    // it was, also when the folder has no room for a second file.
    void writeFaults()
    {
        QFETCH(QString, where);
        QFETCH(QString, what);
        QFETCH(QString, reason);
        Fixture f;
        Target target(where, what == "export" ? "list.txt" : "signs.pdf", m_dir.path());
        if (!target.usable() || (where.startsWith('/') && !QFileInfo::exists(where)))
            QSKIP("mounting a small tmpfs needs the superuser, or the file is not on this system");
        const bool existed = QFileInfo::exists(target.path);
        if (what == "export")
            f.model.setCell(1, SignListModel::ColSku, "A1");
        else
            PrintTest::fill(f.model, { PrintTest::typicalSign(1), PrintTest::typicalSign(2) });
        // An export says whether it wrote; a failed print runs the printer setup once.
        QCOMPARE(save(f, what, target.path, DialogService::Answer::Yes),
            (what == "export") == reason.isEmpty() ? 1 : 0);
        if (reason.isEmpty()) {
            QCOMPARE(shownTexts(), QStringList());
            QVERIFY(what == "export" ? readAll(target.path) == Header + "A1\t\t\t\t\t\t\t\t\r\n"
                                     : PrinterCanvas::PdfFileProblem(target.path).isEmpty());
            return;
        }
        QCOMPARE(shownTexts().size(), 1);
        const QString text = shownTexts().at(0);
        QVERIFY2(reason == "-" || text.contains(reason), qPrintable(text));
        QCOMPARE(QFileInfo::exists(target.path), existed);
        if (what == "export") { // the file and the system's reason
            const QString start = "Can not write data file: " + target.path + "\n";
            QVERIFY2(text.startsWith(start) && text.size() > start.size(), qPrintable(text));
        } else { // with the question whether to set up the printer
            QCOMPARE(dialogs().messages().last().buttons, DialogService::Buttons::YesNo);
        }
        if (target.mounted) {
            QCOMPARE(readAll(target.path), target.earlier);
            const QDir disk(
                target.disk->dir.path(), ".*", QDir::NoSort, QDir::Files | QDir::Hidden);
            QCOMPARE(disk.entryList(), QStringList()); // no temporary file left
        }
    }

    // A link another clerk left in a shared folder is never written through, by any writer, and a
    // link to a device or a folder is refused; the user's own link to his own file is followed, and
    // the replace question names that file.
    void plantedLinks_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("link"); // "other" another clerk's, the others the user's own
        for (const char* what : { "export", "signs", "testpage", "worklist", "settings" })
            for (const char* link : { "other", "own", "device", "folder" })
                QTest::addRow("%s, %s link", what, link) << QString(what) << QString(link);
    }
    void plantedLinks()
    {
        QFETCH(QString, what);
        QFETCH(QString, link);
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        Fixture f;
        // The victim's private file, and the group's drop folder (set-group-ID, not sticky).
        const QString home = f.scope.path() + "/home";
        const QString shared = f.scope.path() + "/shared";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(shared));
        ::chmod(QFile::encodeName(shared).constData(), 02775);
        const QByteArray precious = "export PATH=/usr/bin\n";
        const QString victim = writeTestFile(home, "precious.txt", precious);
        ::chmod(QFile::encodeName(victim).constData(), 0600);
        const QString path = what == "worklist" ? f.scope.path() + "/data/kestrane/worklist.txt"
            : what == "settings"                ? f.scope.path() + "/QORPOS.conf"
                                 : shared + (what == "export" ? "/list.txt" : "/signs.pdf");
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile::remove(path);
        const QString leadsTo = link == "device" ? "/dev/null" : link == "folder" ? home : victim;
        QVERIFY(plantLink(leadsTo, path, link == "other" ? clerk.uid : int(::geteuid())));
        PrintTest::fill(f.model, { PrintTest::typicalSign(1) });
        QString error;
        if (what == "worklist") {
            WorkList list(f.model);
            QCOMPARE(list.path(), path);
            list.saveNow(&error);
        } else if (what == "settings") {
            error = SettingsStore::SaveSetting(
                SettingsKeys::Application, SettingsKeys::Section, "X", "1");
        } else {
            save(f, what, path,
                what == "export" ? DialogService::Answer::Yes : DialogService::Answer::No);
        }
        const QString told = (shownTexts() << error).join('\n');
        QVERIFY(QFileInfo(path).isSymLink());
        if (link == "own") {
            QCOMPARE(told, QString());
            if (what == "export")
                QCOMPARE(messageTexts().at(0),
                    "precious.txt already exists (21 bytes, not a data file). Replace it with the "
                    "1 sign of the list?");
            QVERIFY(what == "signs" || what == "testpage"
                    ? PrinterCanvas::PdfFileProblem(victim).isEmpty()
                    : readAll(victim).contains(what == "settings" ? "X=1" : "\t"));
            return;
        }
        QVERIFY2(told.contains(path), qPrintable(told));
        QVERIFY2(told.contains(link == "other" ? "made by " + clerk.name : "which is not a file"),
            qPrintable(told));
        QCOMPARE(readAll(victim), precious);
        // Nothing was left behind either.
        const auto any = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(QFileInfo(path).path(), ".*", QDir::NoSort, any).entryList(), QStringList());
    }

    // A folder that refuses a new file for want of permission has the file written in place, but
    // only when the disk has room for the whole new content first.
    void inPlaceOnlyWithRoom()
    {
        const OtherClerk clerk = otherClerk();
        SmallDisk disk("size=64k,mode=0755");
        if (clerk.uid < 0 || !disk.mounted)
            QSKIP("a second account and a small tmpfs need the superuser and useradd");
        const QByteArray earlier(20000, 'e');
        const QString path = writeTestFile(disk.dir.path(), "list.txt", earlier);
        ::chown(QFile::encodeName(path).constData(), uid_t(clerk.uid), gid_t(-1));
        disk.fill();
        // The clerk, who owns the file but may not add one to the folder, writes it.
        const auto write = [&](int size) {
            return asClerk(clerk.uid, [&] {
                QString error;
                SafeFile::writeAll(path, QByteArray(size, 'n'), &error);
                return error + "|" + readAll(path).left(1) + QString::number(readAll(path).size());
            });
        };
        QCOMPARE(write(200000), "No space left on device|e20000");
        QCOMPARE(write(2000), "|n2000");
    }

    // A settings file the user cannot get at is reported as unreadable, not as unwritable. A
    // setting that cannot be saved is told once, with the system's reason, until one is saved
    // again; so is the window's at Exit.
    void settingsThatCannotBeReadOrSaved()
    {
        const OtherClerk clerk = otherClerk();
        SmallDisk disk("size=64k");
        if (clerk.uid < 0 || !disk.mounted)
            QSKIP("a second account and a small tmpfs need the superuser and useradd");
        TestSettingsScope scope;
        // The store's folder is closed to the clerk.
        const QString folder = scope.path() + "/closed";
        QVERIFY(QDir().mkpath(folder));
        writeTestFile(folder, "QORPOS.conf", "[KESTRANE]\nX=1\n");
        ::chmod(QFile::encodeName(scope.path()).constData(), 0755);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QCOMPARE(asClerk(clerk.uid, [] { return SettingsStore::storeProblem("QORPOS"); }),
            "The settings file " + folder
                + "/QORPOS.conf cannot be read: Permission denied.  Settings made now will not be "
                  "kept.");
        const QString store = disk.dir.path() + "/QORPOS.conf";
        QFile::copy(scope.path() + "/QORPOS.conf", store);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, disk.dir.path());
        QStringList told;
        SettingsStore::setSaveFailureHandler([&told](const QString& m) { told << m; });
        disk.fill();
        const QString big(6000, 'b');
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "B", big).isEmpty());
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "C", big).isEmpty());
        QFile::remove(disk.dir.filePath("filler"));
        QCOMPARE(SettingsStore::SaveSetting("QORPOS", "KESTRANE", "D", "3"), QString());
        disk.fill();
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "E", big).isEmpty());
        SettingsStore::setSaveFailureHandler({});
        const QString reason = ": No space left on device.  Settings made now will not be kept.";
        QCOMPARE(told, QStringList(2, "The settings could not be saved to " + store + reason));
        frmSigns(dialogs()).close(); // the window tells it once, at start or at Exit
        QCOMPARE(messageTexts(),
            QStringList { "The settings file " + store + " cannot be written" + reason });
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scope.path());
    }

    // Item graphic, logo and print pictures refuse a pipe at once; the window starts when the
    // stored dictionary is one.
    void picturesAndWindowRefusePipes()
    {
        TestSettingsScope scope;
        Fifo fifo(m_dir.path());
        QString error;
        QVERIFY(PictureReader::read(fifo.m_path, QSize(), Qt::IgnoreAspectRatio, &error).isNull());
        QCOMPARE(error, QStringLiteral("It is a named pipe."));
        QVERIFY(
            !PictureReader::probe(fifo.m_path).isValid() && !ImageBox().loadPicture(fifo.m_path));
        appSettings().save(SettingsKeys::DICTIONARY, fifo.m_path);
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QVERIFY(dialogs().fileRequests().size() == 1 && messageTexts().isEmpty());
        const QString refused
            = fifo.m_path + "\nIt is a named pipe.  Only a picture file can be chosen.";
        dialogs().queueFile(fifo.m_path);
        trigger(w, "mnuFileGraphic");
        QCOMPARE(messageTexts(), QStringList { refused });
        dialogs().reset();
        CommonDialog common(dialogs(), nullptr);
        frmSignLogo logo(w.settings(), dialogs(), common, nullptr);
        dialogs().queueFile(fifo.m_path);
        logo.chooseLogoFile();
        QCOMPARE(messageTexts() << logo.LogoFile(), QStringList({ refused, "" }));
    }
};

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"

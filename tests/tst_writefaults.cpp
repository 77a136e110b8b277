// Saving on failing disks, pipes and links another user planted: reported, never hangs, never loses
// an earlier file.

#include "FileTestSupport.h"

class TestWriteFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

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
        // clang-format off
        QTest::newRow("export pipe") << "pipe" << "export"
            << "No program is reading from the named pipe.";
        QTest::newRow("export folder") << "<dir>" << "export" << "It is a folder.";
        QTest::newRow("export missing folder") << "<dir>/no/such/folder/out.txt" << "export" << "-";
        // Also refused to the superuser.
        QTest::newRow("export read-only file system") << "/proc/version" << "export" << "-";
        QTest::newRow("signs pipe") << "pipe" << "signs" << "Runtime Error 482";
        // clang-format on
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
        if (!target.usable())
            QSKIP("mounting a small tmpfs needs the superuser");
        if (where.startsWith('/') && !QFileInfo::exists(where))
            QSKIP("not on this system");
        const bool existed = QFileInfo::exists(target.path);
        int setups = 0;
        if (what == "export") {
            f.model.setCell(1, SignListModel::ColSku, "A1");
            dialogs().queueFile(target.path);
            QCOMPARE(f.io.exportFile(f.dict), reason.isEmpty());
        } else if (what == "signs") {
            PrintTest::fill(f.model, { PrintTest::typicalSign(1), PrintTest::typicalSign(2) });
            PdfTest::PdfWindow window(target.path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            PrintTest::jobFor(f.model, f.settings, window).PrintSigns(true);
            setups = window.setupRuns;
            QCOMPARE(window.printer.outputFileName(), target.path);
        } else {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(target.path);
            frmCalibrate dlg(
                f.settings, dialogs(), &printer, [&setups] { ++setups; }, nullptr);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            dlg.cmdPrintTest->click();
        }
        if (reason.isEmpty()) {
            QCOMPARE(shownTexts(), QStringList());
            if (what == "export")
                QCOMPARE(readAll(target.path), Header + "A1\t\t\t\t\t\t\t\t\r\n");
            else
                QCOMPARE(PrinterCanvas::PdfFileProblem(target.path), QString());
            return;
        }
        QCOMPARE(shownTexts().size(), 1);
        const QString text = shownTexts().at(0);
        QVERIFY2(reason == "-" || text.contains(reason), qPrintable(text));
        QCOMPARE(QFileInfo::exists(target.path), existed);
        if (what == "export") { // the file and the system's reason
            const QString start = "Can not write data file: " + target.path + "\n";
            QVERIFY2(text.startsWith(start) && text.size() > start.size(), qPrintable(text));
        } else {
            QCOMPARE(dialogs().messages().last().buttons, DialogService::Buttons::YesNo);
            QCOMPARE(setups, 1);
        }
        if (target.mounted) {
            QCOMPARE(readAll(target.path), target.earlier);
            QCOMPARE(QDir(target.disk->dir.path())
                         .entryList(QDir::Files | QDir::Hidden)
                         .filter(QRegularExpression("^\\.")),
                QStringList());
        }
    }

    // A link another clerk left in a shared folder is never written through, by any writer, and a
    // link to a device or a folder is refused; the user's own link to his own file is followed, and
    // the replace question names that file.
    void plantedLinks_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("link"); // "other" another clerk's, the others the user's own
        for (const char* what : { "export", "signs", "testpage", "worklist", "settings" }) {
            for (const char* link : { "other", "own", "device", "folder" })
                QTest::addRow("%s, %s link", what, link) << QString(what) << QString(link);
        }
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
        QString path = shared + (what == "export" ? "/list.txt" : "/signs.pdf");
        if (what == "worklist")
            path = f.scope.path() + "/data/kestrane/worklist.txt";
        if (what == "settings")
            path = QSettings(
                QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::Application)
                       .fileName();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile::remove(path);
        const QString leadsTo = link == "device" ? "/dev/null" : link == "folder" ? home : victim;
        QVERIFY(plantLink(leadsTo, path, link == "other" ? clerk.uid : int(::geteuid())));

        PrintTest::fill(f.model, { PrintTest::typicalSign(1) });
        QString error;
        if (what == "export") {
            dialogs().queueFile(path);
            dialogs().queueAnswer(DialogService::Answer::Yes);
            f.io.exportFile(f.dict);
        } else if (what == "signs") {
            PdfTest::PdfWindow window(path);
            dialogs().queueAnswer(DialogService::Answer::No);
            PrintTest::jobFor(f.model, f.settings, window).PrintSigns(true);
        } else if (what == "testpage") {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            frmCalibrate dlg(
                f.settings, dialogs(), &printer, [] {}, nullptr);
            dialogs().queueAnswer(DialogService::Answer::No);
            dlg.cmdPrintTest->click();
        } else if (what == "worklist") {
            WorkList list(f.model);
            QCOMPARE(list.path(), path);
            list.saveNow(&error);
        } else {
            error = SettingsStore::SaveSetting(
                SettingsKeys::Application, SettingsKeys::Section, "X", "1");
        }
        const QString told = (shownTexts() << error).join('\n');
        QVERIFY(QFileInfo(path).isSymLink());
        if (link == "own") {
            QCOMPARE(told, QString());
            if (what == "export")
                QCOMPARE(messageTexts().at(0),
                    "precious.txt already exists (21 bytes, not a data file). Replace it with the "
                    "1 sign of the list?");
            if (what == "signs" || what == "testpage")
                QCOMPARE(PrinterCanvas::PdfFileProblem(victim), QString());
            else
                QVERIFY(readAll(victim).contains(what == "settings" ? "X=1" : "\t"));
            return;
        }
        QVERIFY2(told.contains(path), qPrintable(told));
        QVERIFY2(told.contains(link == "other" ? "made by " + clerk.name : "which is not a file"),
            qPrintable(told));
        QCOMPARE(readAll(victim), precious);
        // Nothing was left behind either.
        QCOMPARE(
            QDir(QFileInfo(path).absolutePath())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .filter(QRegularExpression("^\\.")),
            QStringList());
    }

    // A folder that refuses a new file for want of permission has the file written in place, but
    // only when the disk has room for the whole new content first.
    void inPlaceOnlyWithRoom_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("reason"); // empty: written
        QTest::newRow("fits") << 2000 << QString();
        QTest::newRow("disk full") << 200000 << "No space left on device";
    }

    void inPlaceOnlyWithRoom()
    {
        QFETCH(int, size);
        QFETCH(QString, reason);
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        SmallDisk disk("size=64k,mode=0755");
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs the superuser");
        const QByteArray earlier(20000, 'e');
        const QString path = writeTestFile(disk.dir.path(), "list.txt", earlier);
        ::chown(QFile::encodeName(path).constData(), uid_t(clerk.uid), gid_t(-1));
        disk.fill();

        // The clerk, who owns the file but may not add one to the folder, writes it.
        const QByteArray content(size, 'n');
        const QString told = asClerk(clerk.uid, [&] {
            QString error;
            SafeFile::writeAll(path, content, &error);
            return error;
        });
        QCOMPARE(told, reason);
        QVERIFY(readAll(path) == (reason.isEmpty() ? content : earlier));
    }

    // A settings file the user cannot get at is reported as unreadable, not as unwritable.
    void unreadableSettings()
    {
        const OtherClerk clerk = otherClerk();
        if (clerk.uid < 0)
            QSKIP("a second account needs the superuser and useradd");
        TestSettingsScope scope;
        // The store's folder is closed to the clerk.
        const QString folder = scope.path() + "/closed";
        QVERIFY(QDir().mkpath(folder));
        writeTestFile(folder, "QORPOS.conf", "[KESTRANE]\nX=1\n");
        ::chmod(QFile::encodeName(scope.path()).constData(), 0755);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        const QString told
            = asClerk(clerk.uid, [] { return SettingsStore::storeProblem("QORPOS"); });
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scope.path());
        QCOMPARE(told,
            "The settings file " + folder
                + "/QORPOS.conf cannot be read: Permission denied.  Settings made now will not be "
                  "kept.");
    }

    // A setting that cannot be saved is told once, with the system's reason, until one is saved
    // again; so is the window's at Exit.
    void settingsThatCannotBeSaved()
    {
        TestSettingsScope scope;
        SmallDisk disk("size=64k");
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs the superuser");
        const QString store = disk.dir.path() + "/QORPOS.conf";
        QFile::copy(scope.path() + "/QORPOS.conf", store);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, disk.dir.path());
        const auto fill = [&disk] { disk.fill(); };
        QStringList told;
        SettingsStore::setSaveFailureHandler([&told](const QString& m) { told << m; });
        fill();
        const QString big(6000, 'b');
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "B", big).isEmpty());
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "C", big).isEmpty());
        QFile::remove(disk.dir.filePath("filler"));
        QCOMPARE(SettingsStore::SaveSetting("QORPOS", "KESTRANE", "D", "3"), QString());
        fill();
        QVERIFY(!SettingsStore::SaveSetting("QORPOS", "KESTRANE", "E", big).isEmpty());
        SettingsStore::setSaveFailureHandler({});
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.at(0), told.at(1));
        QCOMPARE(told.at(0),
            "The settings could not be saved to " + store
                + ": No space left on device.  Settings made now will not be kept.");
        {
            // The window tells it once, at start or at Exit.
            frmSigns w(dialogs());
            w.close();
            QCOMPARE(messageTexts().size(), 1);
            QVERIFY2(messageTexts().at(0).contains(store)
                    && messageTexts().at(0).contains(
                        ": No space left on device.  Settings made now will not be kept."),
                qPrintable(messageTexts().at(0)));
        }
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
        QVERIFY(!PictureReader::probe(fifo.m_path).isValid());
        QVERIFY(!ImageBox().loadPicture(fifo.m_path));

        appSettings().save(SettingsKeys::DICTIONARY, fifo.m_path);
        dialogs().queueFile(scope.dictionaryPath());
        frmSigns w(dialogs());
        QCOMPARE(dialogs().fileRequests().size(), 1);
        QCOMPARE(messageTexts(), QStringList());

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
        QCOMPARE(messageTexts(), QStringList { refused });
        QCOMPARE(logo.LogoFile(), QString());
    }
};

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"

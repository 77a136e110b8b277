// Item pictures: decoded size limits and the cache budget.

#include "FileTestSupport.h"

class TestPictures : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void decodedSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<bool>("keepAspect");
        QTest::addColumn<QSize>("decoded");
        const auto row = [](const char* tag, const char* name, QSize stored, QSize bound,
                             bool keepAspect, QSize decoded) {
            QTest::newRow(tag) << QString(name) << stored << bound << keepAspect << decoded;
        };
        row("no bound, over the limit", "p.jpg", { 9000, 7000 }, {}, false, { 4096, 3185 });
        row("drawn smaller", "p.jpg", { 800, 600 }, { 120, 200 }, false, { 120, 200 });
        row("larger: never enlarged", "p.jpg", { 300, 200 }, { 3000, 2000 }, false, { 300, 200 });
        row("beyond the limit", "p.jpg", { 9000, 7000 }, { 6000, 6000 }, false, { 4096, 4096 });
        row("PNG read a row at a time", "p.png", { 800, 600 }, { 120, 200 }, false, { 120, 200 });
        row("PNG kept whole", "p.png", { 80, 60 }, {}, false, { 80, 60 });
        row("fit keeping the shape", "p.jpg", { 800, 400 }, { 200, 200 }, true, { 200, 100 });
    }

    void decodedSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, stored);
        QFETCH(QSize, bound);
        QFETCH(bool, keepAspect);
        const QString path
            = PrintTest::writePicture(m_dir.path(), name, stored.width(), stored.height());
        QCOMPARE(PictureReader::probe(path), stored);
        const QImage image = PictureReader::read(
            path, bound, keepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
        QTEST(image.size(), "decoded");
        if (name.endsWith(".png")) // the whole picture, to its last row
            QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(200, 40, 40));
    }

    // Pictures far too large to decode whole (768 and 432 MB) are read at the capped size by the
    // item graphic, the print surfaces and the preview.
    void hugePicture()
    {
        for (const auto& [name, stored] : { std::pair { QString("huge.png"), QSize(16000, 12000) },
                 std::pair { QString("huge.jpg"), QSize(12000, 9000) } }) {
            const QString path = m_dir.filePath(name);
            QImage dark(
                stored, name.endsWith(".png") ? QImage::Format_Mono : QImage::Format_Grayscale8);
            if (dark.format() == QImage::Format_Mono)
                dark.setColorTable({ qRgb(0, 0, 0), qRgb(0, 0, 0) });
            dark.fill(0);
            QVERIFY(dark.save(path));
            dark = QImage();
            QCOMPARE(
                PictureReader::read(path).size(), stored.scaled(4096, 4096, Qt::KeepAspectRatio));
            ImageBox box;
            QVERIFY(box.loadPicture(path));
            PreviewCanvas preview(QSize(400, 300), 96, 96);
            QVERIFY_THROWS_NO_EXCEPTION(
                preview.PaintPicture(preview.LoadPicture(path), 0, 0, 1440, 1080));
            QVERIFY(preview.image().pixelColor(48, 36).lightness() < 16);
        }
    }

    // Pictures beyond the budget are let go, least recently drawn first; a picture drawn again at
    // the same size is the same image.
    void cacheBudget()
    {
        PictureCache cache(1024 * 1024); // room for six 200 x 200 pictures
        QStringList paths;
        for (int i = 0; i < 10; ++i)
            paths << PrintTest::writePicture(m_dir.path(), QString("c%1.png").arg(i), 200, 200);
        QList<qint64> keys;
        for (const QString& path : paths) {
            keys << cache.picture(path, QSize(200, 200)).cacheKey();
            QCOMPARE(cache.picture(paths[0], QSize(200, 200)).cacheKey(), keys[0]);
            QVERIFY(cache.bytesHeld() <= 1024 * 1024);
        }
        QCOMPARE(cache.picture(paths[9], QSize(200, 200)).cacheKey(), keys[9]);
        QVERIFY(cache.picture(paths[1], QSize(200, 200)).cacheKey() != keys[1]);
        QCOMPARE(cache.picture(paths[0], QSize(50, 50)).size(), QSize(50, 50));
        QString error;
        QVERIFY(cache.picture(m_dir.filePath("none.png"), QSize(9, 9), &error).isNull());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"

// Makes the demo data a new user tries Kestrane with: a POS data dictionary,
// a SQLite inventory and CIS database (as SQL scripts for the sqlite3 shell),
// a quote-and-comma and a tab-delimited data file, a store logo and item
// pictures. Everything is generated here from fixed word lists and a fixed
// random seed, so two runs give the same files.
//   kestrane_demo_data <folder> [--preset-settings]
// With --preset-settings it also points the settings store (wherever
// XDG_CONFIG_HOME says) at the demo data, unless a dictionary is already set,
// so a user's own changes survive the next start of the demo.
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <QTextStream>

#include <cstdio>
#include <random>
#include <vector>

namespace {

struct Item
{
    QString sku;
    QString description;
    QString retail;
    QString cost;
    QString promo; // empty: no promotional price (Null in the database)
    QString bullets[3];
    QString picture;
};

struct Product
{
    const char* noun;
    const char* sizes[4];
    double basePrice;
    const char* bullets[3];
};

const Product Products[] = {
    { "CLAW HAMMER", { "16 OZ", "20 OZ", "22 OZ", "12 OZ" }, 14.99,
        { "Forged steel head", "Anti-vibration grip", "Lifetime warranty" } },
    { "TAPE MEASURE", { "16 FT", "25 FT", "30 FT", "35 FT" }, 9.99,
        { "Easy-read blade", "Belt clip", "Auto lock" } },
    { "WOOD SCREWS", { "#8 X 1-1/4 IN", "#8 X 2 IN", "#10 X 3 IN", "#6 X 1 IN" }, 6.49,
        { "Box of 100", "Phillips drive", "Zinc plated" } },
    { "PAINT ROLLER", { "9 IN", "4 IN", "18 IN", "6 IN" }, 7.99,
        { "Lint-free cover", "For smooth surfaces", "Reusable frame" } },
    { "EXTENSION CORD", { "25 FT", "50 FT", "100 FT", "6 FT" }, 19.99,
        { "Heavy duty 12/3", "Outdoor rated", "Lighted ends" } },
    { "LED BULB", { "60 W EQ", "75 W EQ", "100 W EQ", "40 W EQ" }, 4.99,
        { "Soft white 2700K", "Dimmable", "Lasts 13 years" } },
    { "UTILITY KNIFE", { "STANDARD", "FOLDING", "HEAVY DUTY", "SNAP-OFF" }, 8.49,
        { "Quick blade change", "Blade storage", "Rubber grip" } },
    { "PIPE WRENCH", { "10 IN", "14 IN", "18 IN", "24 IN" }, 21.99,
        { "Drop-forged jaws", "Ductile iron handle", "Floating hook" } },
    { "DUCT TAPE", { "1.88 IN X 60 YD", "1.88 IN X 20 YD", "2.83 IN X 60 YD", "1 IN X 30 YD" },
        5.99, { "Weather resistant", "Tears by hand", "Strong adhesive" } },
    { "GARDEN HOSE", { "50 FT", "75 FT", "100 FT", "25 FT" }, 29.99,
        { "Kink resistant", "Brass fittings", "Drinking water safe" } },
    { "CORDLESS DRILL", { "12 V", "18 V", "20 V", "20 V BRUSHLESS" }, 89.99,
        { "2 batteries included", "Two-speed gearbox", "LED work light" } },
    { "WIRE NUTS", { "SMALL", "MEDIUM", "LARGE", "ASSORTED" }, 0.79,
        { "UL listed", "Color coded", "Pack of 10" } },
    { "SANDPAPER", { "80 GRIT", "120 GRIT", "220 GRIT", "ASSORTED" }, 0.89,
        { "Aluminum oxide", "9 x 11 in sheet", "For wood and metal" } },
    { "ADJUSTABLE WRENCH", { "6 IN", "8 IN", "10 IN", "12 IN" }, 12.99,
        { "Chrome finish", "Wide jaw capacity", "Laser-etched scale" } },
    { "LEVEL", { "24 IN", "48 IN", "9 IN TORPEDO", "72 IN" }, 16.99,
        { "Three vials", "Aluminum frame", "Magnetic edge" } },
    { "PADLOCK", { "40 MM", "50 MM", "30 MM", "COMBINATION" }, 11.49,
        { "Hardened shackle", "Weatherproof", "Two keys" } },
};
const char* Brands[]
    = { "NORTHFIELD", "IRONWOOD", "BRIGHTLINE", "STOUT", "TRUEGRIP", "HARBORLINE" };

QString money(double value)
{
    return QString::number(value, 'f', 2);
}

std::vector<Item> makeItems(int count)
{
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<Item> items;
    items.reserve(size_t(count));
    const int productCount = int(sizeof(Products) / sizeof(Products[0]));
    for (int i = 0; i < count; ++i) {
        const Product& p = Products[i % productCount];
        const int size = (i / productCount) % 4;
        const char* brand = Brands[(i / (productCount * 4)) % 6];
        Item item;
        item.sku = QString::number(100001 + i);
        item.description
            = QStringLiteral("%1 %2 %3")
                  .arg(QLatin1String(brand), QLatin1String(p.noun), QLatin1String(p.sizes[size]));
        const double retail = p.basePrice < 1.0
            ? p.basePrice + (i % 3) * 0.05
            : p.basePrice * (1.0 + 0.15 * size) + (i % 7) * 0.10;
        item.retail = money(retail);
        item.cost = money(retail * 0.58);
        // The first item of each product and about two in three of the rest
        // are on promotion.
        const bool onPromotion = percent(rng) < 66 || i < productCount;
        if (onPromotion)
            item.promo = money(retail < 1.0 ? retail - 0.20 : retail * 0.8 - 0.01);
        for (int b = 0; b < 3; ++b)
            item.bullets[b] = QLatin1String(p.bullets[b]);
        items.push_back(item);
    }
    return items;
}

QString sqlText(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("NULL");
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    // The POS files are single-byte text; the demo data is plain ASCII.
    file.write(text.toLatin1());
    return true;
}

QImage makeLogo()
{
    QImage logo(900, 300, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 30, 30));
    p.setPen(Qt::NoPen);
    QPainterPath roof;
    roof.moveTo(40, 150);
    roof.lineTo(150, 40);
    roof.lineTo(260, 150);
    roof.closeSubpath();
    p.drawPath(roof);
    p.drawRect(70, 150, 160, 110);
    p.setPen(QColor(30, 30, 90));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(110);
    font.setBold(true);
    p.setFont(font);
    p.drawText(
        QRect(290, 40, 600, 150), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MAIN ST"));
    font.setPixelSize(70);
    font.setBold(false);
    p.setFont(font);
    p.drawText(
        QRect(290, 170, 600, 100), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("HARDWARE"));
    return logo;
}

QImage makePicture(int index, const QString& label)
{
    QImage image(480, 480, QImage::Format_RGB32);
    const QColor colours[] = { QColor(240, 180, 40), QColor(60, 140, 210), QColor(90, 170, 90),
        QColor(200, 80, 60), QColor(150, 110, 190), QColor(90, 90, 90) };
    image.fill(colours[index % 6].lighter(170));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colours[index % 6]);
    p.setPen(QPen(Qt::black, 6));
    switch (index % 3) {
    case 0:
        p.drawEllipse(QPoint(240, 200), 140, 140);
        break;
    case 1:
        p.drawRoundedRect(90, 70, 300, 260, 30, 30);
        break;
    default:
        p.drawPolygon(QPolygon({ QPoint(240, 50), QPoint(420, 340), QPoint(60, 340) }));
        break;
    }
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(44);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 370, 480, 100), Qt::AlignCenter | Qt::TextWordWrap, label);
    return image;
}

void presetSettings(const QString& folder)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("QORPOS"));
    store.beginGroup(QStringLiteral("KESTRANE"));
    if (store.contains(QStringLiteral("DICTIONARY")))
        return;
    const QString sqlite = QStringLiteral("Driver=SQLite3;Database=%1;NoCreat=1");
    const QList<QPair<QString, QString>> values = {
        { "DICTIONARY", folder + "/pos.dct" },
        { "ODBCINV", sqlite.arg(folder + "/inventory.db") },
        { "ODBCCIS", sqlite.arg(folder + "/cis.db") },
        { "FILELOGO", folder + "/logo.jpg" },
        { "LOGOWIDTH", "2" },
        { "LOGOHEIGHT", "0.65" },
        { "LOGOLCR", "CENTER" },
        { "MARGINTOP", "180" },
        { "MARGINLEFT", "270" },
        { "ADJ4UD", "0" },
        { "ADJ4LR", "0" },
        { "ADJ2UD", "0" },
        { "ADJ2LR", "0" },
        { "ADJ1UD", "0" },
        { "ADJ1LR", "0" },
        { "PRINTSKU", "1" },
        { "PRINTBORDER", "1" },
        { "PRINTLOGO", "1" },
        { "PRINTTITLE", "1" },
        { "PRINTREGRETAIL", "1" },
        { "PRINTGRAPHIC", "1" },
        { "PRINTBULLET", "True" },
        { "PRINTLONGDESC", "False" },
        { "PRINTFORMAT", "0" },
        { "ColorPrice", QString::number(200) }, // dark red
        { "ColorTitle", QString::number(120 + 65536 * 40) }, // deep purple-red
        { "ColorBorder", QString::number(40 + 256 * 40 + 65536 * 120) },
        { "FILEIMPEXP", folder + "/items.txt" },
    };
    for (const auto& value : values)
        store.setValue(value.first, value.second);
    store.sync();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrane_demo_data <folder>\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder + QLatin1String("/pictures"));

    std::vector<Item> items = makeItems(3000);

    // Item pictures for the first items of each product, JPEG and bitmap.
    for (int i = 0; i < 12; ++i) {
        const QString ext = i % 4 == 3 ? QStringLiteral("bmp") : QStringLiteral("jpg");
        const QString path
            = QStringLiteral("%1/pictures/%2.%3").arg(folder, items[size_t(i)].sku, ext);
        if (!makePicture(i, QLatin1String(Products[i].noun)).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        items[size_t(i)].picture = path;
    }
    if (!makeLogo().save(folder + QLatin1String("/logo.jpg")))
        return 1;

    // The POS data dictionary: the INV section with the fields the program
    // exchanges, then the master/store block.
    QString dct;
    dct += QLatin1String("/ Main St Hardware POS data dictionary (demo)\r\n");
    dct += QLatin1String("[CUST]1\r\n1,1,10:Customer number\r\n");
    dct += QLatin1String("[INV]1\r\n");
    dct += QLatin1String("1,1,20:SKU\r\n10,1,40:Description\r\n48,0,10:Regular retail\r\n");
    dct += QLatin1String("54,0,10:Cost\r\n56,0,10:Promotional price\r\n");
    dct += QLatin1String("177,1,40:Bullet 1\r\n178,1,40:Bullet 2\r\n179,1,40:Bullet 3\r\n");
    dct += QLatin1String("182,1,160:Item graphic file\r\n");
    dct += QLatin1String("[END]\r\n%BEGIN%\r\n1,M\r\n10,M\r\n48,S\r\n54,S\r\n56,S\r\n%END%\r\n");
    if (!writeText(folder + QLatin1String("/pos.dct"), dct))
        return 1;

    // Inventory database: every item; CIS database: special-order items the
    // inventory does not carry, and a few the inventory knows only by SKU.
    QString inv = QStringLiteral(
        "DROP TABLE IF EXISTS inv;\n"
        "CREATE TABLE inv (\"1\" TEXT, \"10\" TEXT, \"48\" TEXT, \"54\" TEXT, \"56\" TEXT,"
        " \"177\" TEXT, \"178\" TEXT, \"179\" TEXT);\nBEGIN;\n");
    for (const Item& item : items) {
        inv += QStringLiteral("INSERT INTO inv VALUES (%1,%2,%3,%4,%5,%6,%7,%8);\n")
                   .arg(sqlText(item.sku), sqlText(item.description), sqlText(item.retail),
                       sqlText(item.cost), sqlText(item.promo), sqlText(item.bullets[0]),
                       sqlText(item.bullets[1]), sqlText(item.bullets[2]));
    }
    inv += QLatin1String("COMMIT;\nCREATE INDEX inv_sku ON inv (\"1\");\n");
    if (!writeText(folder + QLatin1String("/inventory.sql"), inv))
        return 1;

    QString cis = QStringLiteral(
        "DROP TABLE IF EXISTS special;\n"
        "CREATE TABLE special (\"1\" TEXT, \"10\" TEXT, \"48\" TEXT, \"54\" TEXT, \"56\" TEXT);\n"
        "BEGIN;\n");
    for (int i = 0; i < 40; ++i) {
        const Product& p = Products[i % 16];
        const double retail = p.basePrice * 1.6;
        cis += QStringLiteral("INSERT INTO special VALUES (%1,%2,%3,%4,%5);\n")
                   .arg(sqlText(QString::number(900001 + i)),
                       sqlText(QStringLiteral("SPECIAL ORDER %1 CONTRACTOR PACK")
                                   .arg(QLatin1String(p.noun))),
                       sqlText(money(retail)), sqlText(money(retail * 0.6)),
                       sqlText(i % 2 ? money(retail * 0.85) : QString()));
    }
    cis += QLatin1String("COMMIT;\nCREATE INDEX special_sku ON special (\"1\");\n");
    if (!writeText(folder + QLatin1String("/cis.sql"), cis))
        return 1;

    // Two POS data files with 24 items each, in both layouts.
    QString dat = QStringLiteral("1,10,48,54,56,177,178,179,182\r\n");
    QString txt = QStringLiteral("1\t10\t48\t54\t56\t177\t178\t179\t182\r\n");
    for (int i = 0; i < 24; ++i) {
        const Item& item = items[size_t(i * 7)];
        const QStringList fields = { item.sku, item.description, item.retail, item.cost, item.promo,
            item.bullets[0], item.bullets[1], item.bullets[2], item.picture };
        QStringList quoted;
        for (const QString& f : fields)
            quoted << QLatin1Char('"') + f + QLatin1Char('"');
        dat += quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
        txt += fields.join(QLatin1Char('\t')) + QLatin1String("\r\n");
    }
    if (!writeText(folder + QLatin1String("/items.dat"), dat)
        || !writeText(folder + QLatin1String("/items.txt"), txt))
        return 1;

    if (argc > 2 && QByteArray(argv[2]) == "--preset-settings")
        presetSettings(folder);

    std::printf("demo data written to %s\n", qPrintable(folder));
    return 0;
}

#include "itemdata/PriceCheck.h"

#include "document/SignListModel.h"

namespace {

constexpr int Decimals = 5;

} // namespace

std::optional<qint64> PriceCheck::money(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('$')))
        t = t.mid(1).trimmed();
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? t : t.left(point);
    QString fraction = point < 0 ? QString() : t.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    for (const QString* part : { &whole, static_cast<const QString*>(&fraction) }) {
        for (QChar c : *part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
    }
    // Zeros after the last digit that counts change nothing; more digits
    // than a thousandth of a cent are not money.
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole.size() > 12 || fraction.size() > Decimals)
        return std::nullopt;
    qint64 value = whole.isEmpty() ? 0 : whole.toLongLong();
    for (int i = 0; i < Decimals; ++i)
        value = value * 10 + (i < fraction.size() ? fraction[i].digitValue() : 0);
    return value;
}

QString PriceCheck::shown(const QString& text)
{
    const std::optional<qint64> amount = money(text);
    if (!amount)
        return text.trimmed();
    const qint64 cents = *amount / 1000;
    QString out
        = QStringLiteral("$%1.%2").arg(cents / 100).arg(int(cents % 100), 2, 10, QLatin1Char('0'));
    // Fractions of a cent are shown rather than rounded away.
    qint64 rest = *amount % 1000;
    for (int digit = 100; rest > 0; digit /= 10) {
        out += QChar(QLatin1Char('0' + char(rest / digit)));
        rest %= digit;
    }
    return out;
}

std::vector<PriceCheck::Difference> PriceCheck::compare(const std::vector<int>& rows,
    const std::vector<SignRow>& signs, const ListLookup::Outcome& inventory)
{
    std::vector<Difference> differences;
    for (size_t i = 0; i < rows.size() && i < signs.size() && i < inventory.results.size(); ++i) {
        const SignRow& sign = signs[i];
        const SkuLookup::Result& found = inventory.results[i];
        const QString& sku = sign.column(SignListModel::ColSku);
        const QString head = QStringLiteral("Row %1, SKU %2: ").arg(rows[i]).arg(sku);
        if (found.foundIn != SkuLookup::Source::Inventory) {
            differences.push_back({ rows[i], head + QStringLiteral("not in the inventory") });
            continue;
        }
        const std::pair<int, SkuLookup::Field> prices[]
            = { { SignListModel::ColPromo, SkuLookup::Promo },
                  { SignListModel::ColRetail, SkuLookup::Retail } };
        for (const auto& [column, field] : prices) {
            const QString& onSign = sign.column(column);
            if (onSign.trimmed().isEmpty())
                continue;
            const QString& inStore = found.values[size_t(field)];
            const std::optional<qint64> a = money(onSign);
            const std::optional<qint64> b = money(inStore);
            const bool same = a && b ? *a == *b : onSign.trimmed() == inStore.trimmed();
            if (same)
                continue;
            const QString says = inStore.trimmed().isEmpty()
                ? QStringLiteral("the inventory has no price")
                : QStringLiteral("the inventory says ") + shown(inStore);
            differences.push_back(
                { rows[i], head + QStringLiteral("the sign says %1, ").arg(shown(onSign)) + says });
        }
    }
    return differences;
}

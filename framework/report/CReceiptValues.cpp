#include "CReceiptValues.h"

#include "KvReceiptLayout.h"

namespace {

// The row number of a row field, read as the C library's atoi reads it: leading
// blanks, a sign, then digits up to the first other character; 0 without digits.
int LeadingInt(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    long long value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > 1000000)
            break; // far outside every row range already
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

const QString& CReceiptValues::CommonGroup()
{
    static const QString group = QStringLiteral("常用信息");
    return group;
}

const QString& CReceiptValues::PriceGroup()
{
    static const QString group = QStringLiteral("电价信息");
    return group;
}

const QString& CReceiptValues::SubGroup()
{
    static const QString group = QStringLiteral("附表信息");
    return group;
}

const QString& CReceiptValues::FeeGroup()
{
    static const QString group = QStringLiteral("定额收费信息");
    return group;
}

const QStringList& CReceiptValues::CommonNames()
{
    static const QStringList names = {
        "住户姓名", "住户编号", "住户住址", "住户电话", "表计编号", "表计型别", "CT倍率",   "PT倍率",   "内部倍率",
        "合计倍率", "写卡人",   "写卡方式", "写卡量",   "缴费量",   "补助量",   "可用量",   "线损量",   "变损量",
        "用电性质", "综合电价", "购电金额", "预提金额", "线损金额", "变损金额", "合计金额", "购电日期", "代收费",
        "合计小写", "合计大写", "本次余额", "上次余额", "实付金额", "打印人",   "打印日期", "付款方式", "票据编号",
        "购电年",   "购电月",   "购电日",   "打印年",   "打印月",   "打印日"};
    return names;
}

const QStringList& CReceiptValues::PriceNames()
{
    static const QStringList names = {"电价代码", "电价名称", "基本电价", "百分比"};
    return names;
}

const QStringList& CReceiptValues::SubNames()
{
    static const QStringList names = {"附表编号", "上次抄数", "本次抄数", "实用量",   "补助量",
                                      "缴费量",   "收费性质", "单价",     "应缴金额", "抄表日期"};
    return names;
}

const QStringList& CReceiptValues::FeeNames()
{
    static const QStringList names = {"收费项目", "单价",     "计算金额", "调整金额", "年月",
                                      "数量",     "起始日期", "截止日期", "天数"};
    return names;
}

void CReceiptValues::SetReceiptCount(int n)
{
    m_count = n > 0 ? n : 0;
    m_common.assign(static_cast<size_t>(m_count) * CommonCount, QString());
    m_price.assign(static_cast<size_t>(m_count) * PriceRows * PriceColumns, QString());
    m_sub.assign(static_cast<size_t>(m_count) * SubRows * SubColumns, QString());
    m_fee.assign(static_cast<size_t>(m_count) * FeeRows * FeeColumns, QString());
}

QString CReceiptValues::At(const std::vector<QString>& values, int k, int r, int c, int rows, int columns, int count)
{
    if (k < 0 || k >= count || r < 0 || r >= rows || c < 0 || c >= columns)
        return QString();
    return values[(static_cast<size_t>(k) * rows + r) * columns + c];
}

void CReceiptValues::Put(std::vector<QString>& values, int k, int r, int c, int rows, int columns, int count,
                         const QString& text)
{
    if (k < 0 || k >= count || r < 0 || r >= rows || c < 0 || c >= columns)
        return;
    values[(static_cast<size_t>(k) * rows + r) * columns + c] = text;
}

void CReceiptValues::SetCommon(int k, int j, const QString& text)
{
    Put(m_common, k, 0, j, 1, CommonCount, m_count, text);
}

void CReceiptValues::SetPrice(int k, int r, int c, const QString& text)
{
    Put(m_price, k, r, c, PriceRows, PriceColumns, m_count, text);
}

void CReceiptValues::SetSub(int k, int r, int c, const QString& text)
{
    Put(m_sub, k, r, c, SubRows, SubColumns, m_count, text);
}

void CReceiptValues::SetFee(int k, int r, int c, const QString& text)
{
    Put(m_fee, k, r, c, FeeRows, FeeColumns, m_count, text);
}

QString CReceiptValues::Common(int k, int j) const
{
    return At(m_common, k, 0, j, 1, CommonCount, m_count);
}

QString CReceiptValues::Price(int k, int r, int c) const
{
    return At(m_price, k, r, c, PriceRows, PriceColumns, m_count);
}

QString CReceiptValues::Sub(int k, int r, int c) const
{
    return At(m_sub, k, r, c, SubRows, SubColumns, m_count);
}

QString CReceiptValues::Fee(int k, int r, int c) const
{
    return At(m_fee, k, r, c, FeeRows, FeeColumns, m_count);
}

QString CReceiptValues::FieldText(int k, const KvFieldRow& field) const
{
    if (field.fieldType == CommonGroup()) {
        const int j = CommonNames().indexOf(field.fieldName);
        return j < 0 ? field.fieldName : Common(k, j);
    }
    // The three row groups: the row number always comes from KvMeterNo.
    const struct
    {
        const QString& group;
        const QStringList& names;
        QString (CReceiptValues::*value)(int, int, int) const;
    } rowGroups[] = {
        {PriceGroup(), PriceNames(), &CReceiptValues::Price},
        {SubGroup(), SubNames(), &CReceiptValues::Sub},
        {FeeGroup(), FeeNames(), &CReceiptValues::Fee},
    };
    for (const auto& g : rowGroups) {
        if (field.fieldType != g.group)
            continue;
        const int c = g.names.indexOf(field.fieldName);
        if (c < 0)
            return field.fieldName;
        return (this->*g.value)(k, LeadingInt(field.meterNo) - 1, c);
    }
    return field.fieldName;
}

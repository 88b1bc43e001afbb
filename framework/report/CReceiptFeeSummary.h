#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// One fee line of a receipt: a fee item over a period, its days and amount.
struct CReceiptFeeItem
{
    QString name;
    QDateTime begin;
    QDateTime end;
    int days = 0;
    double fee = 0;
};

// The fee lines of one sale's receipt: quota fees of one fee item merge into
// one line (earliest begin, latest end, days and amounts added); every other
// fee is a line of its own after them. A receipt holds 50 fee lines; quota
// items beyond `quotaItems` distinct names are left out, while later rows of
// the items already taken still merge. Both the receipt at a sale and the
// reprint from the receipt list build their fee rows with it.
class CReceiptFeeSummary
{
public:
    static constexpr int MaxItems = 50;

    explicit CReceiptFeeSummary(int quotaItems = MaxItems);

    void AddQuota(const CReceiptFeeItem& row);
    void AddOther(const CReceiptFeeItem& row);

    const std::vector<CReceiptFeeItem>& Items() const { return m_items; }

private:
    int m_quotaItems;
    int m_quotaCount = 0;
    std::vector<CReceiptFeeItem> m_items;
};

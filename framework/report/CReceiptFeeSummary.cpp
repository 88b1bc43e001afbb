#include "CReceiptFeeSummary.h"

#include <algorithm>

namespace {

// The earlier (or later) of two dates; a missing date gives way to the other.
QDateTime pick(const QDateTime& a, const QDateTime& b, bool earlier)
{
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return earlier ? std::min(a, b) : std::max(a, b);
}

} // namespace

CReceiptFeeSummary::CReceiptFeeSummary(int quotaItems) : m_quotaItems(std::min(quotaItems, MaxItems)) {}

void CReceiptFeeSummary::AddQuota(const CReceiptFeeItem& row)
{
    // Quota items come first, so the first m_quotaCount lines are theirs.
    const auto end = m_items.begin() + m_quotaCount;
    const auto found =
        std::find_if(m_items.begin(), end, [&](const CReceiptFeeItem& item) { return item.name == row.name; });
    if (found != end) {
        found->begin = pick(found->begin, row.begin, true);
        found->end = pick(found->end, row.end, false);
        found->days += row.days;
        found->fee += row.fee;
        return;
    }
    if (m_quotaCount >= m_quotaItems || static_cast<int>(m_items.size()) >= MaxItems)
        return;
    m_items.insert(m_items.begin() + m_quotaCount, row);
    ++m_quotaCount;
}

void CReceiptFeeSummary::AddOther(const CReceiptFeeItem& row)
{
    if (static_cast<int>(m_items.size()) < MaxItems)
        m_items.push_back(row);
}

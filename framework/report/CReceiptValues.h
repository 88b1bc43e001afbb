#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct KvFieldRow;

// The texts of the receipts one receipt document prints: per copy 42 common
// values, 5 price rows of 4, 50 sub-meter rows of 10 and 50 fee rows of 9, all
// empty until the creator fills them, and the rule by which a layout field row
// picks its text.
class CReceiptValues
{
public:
    enum
    {
        CommonCount = 42,
        PriceRows = 5,
        PriceColumns = 4,
        SubRows = 50,
        SubColumns = 10,
        FeeRows = 50,
        FeeColumns = 9
    };

    // The groups (KvFieldType) and the names (KvFieldName) of each group, in
    // index order.
    static const QString& CommonGroup();
    static const QString& PriceGroup();
    static const QString& SubGroup();
    static const QString& FeeGroup();
    static const QStringList& CommonNames();
    static const QStringList& PriceNames();
    static const QStringList& SubNames();
    static const QStringList& FeeNames();

    // The copies of one receipt that a stored count asks for, within 1 to
    // MaxCopiesPerReceipt: every receipt is printed at least once (a count
    // left empty is stored as 0), and a count typed long ago (2147483647)
    // would otherwise ask for more memory than there is, after the sale is
    // stored.
    static constexpr int MaxCopiesPerReceipt = 9;
    static int CopiesPerReceipt(int stored)
    {
        return stored < 1 ? 1 : stored > MaxCopiesPerReceipt ? MaxCopiesPerReceipt : stored;
    }

    // Discards every text and makes n copies of empty texts (none below 1).
    void SetReceiptCount(int n);
    int GetReceiptCount() const { return m_count; }

    // Values by copy k, row r and column c, counted from 0. A position outside
    // the arrays is ignored when set and reads as an empty text.
    void SetCommon(int k, int j, const QString& text);
    void SetPrice(int k, int r, int c, const QString& text);
    void SetSub(int k, int r, int c, const QString& text);
    void SetFee(int k, int r, int c, const QString& text);
    QString Common(int k, int j) const;
    QString Price(int k, int r, int c) const;
    QString Sub(int k, int r, int c) const;
    QString Fee(int k, int r, int c) const;

    // The text a field row shows on copy k: the value its group and name select
    // (row groups take the row number, from 1, out of KvMeterNo); the field's
    // own name when the group or the name is unknown; an empty text when the
    // row number lies outside the group's rows.
    QString FieldText(int k, const KvFieldRow& field) const;

private:
    static QString At(const std::vector<QString>& values, int k, int r, int c, int rows, int columns, int count);
    static void Put(std::vector<QString>& values, int k, int r, int c, int rows, int columns, int count,
                    const QString& text);

    int m_count = 0;
    std::vector<QString> m_common;
    std::vector<QString> m_price;
    std::vector<QString> m_sub;
    std::vector<QString> m_fee;
};

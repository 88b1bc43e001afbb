#include "CFixFeeDlg.h"

#include "CAdoConnection.h"
#include "CFixFee.h"
#include "CKvExtList2.h"
#include "CNumEdit.h"
#include "CPriceVer.h"
#include "KvDialogLayout.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QPushButton>
#include <vector>

namespace {

const char* const kColumns[] = {"收费项目", "年    月", "起始日期", "截止日期", "天数",
                                "单  价",   "数量",     "计算金额", "调整金额"};
constexpr int kAmountColumn = 8;

QString yearMonthText(int yearMonth)
{
    const QString digits = QString::number(yearMonth);
    return digits.left(4) + QLatin1Char('-') + digits.right(2);
}

} // namespace

CFixFeeDlg::CFixFeeDlg(QWidget* parent, const QString& caption) : CKvDialog(217, parent, caption)
{
    m_List = CreateControl<CKvExtList2>(1106);
    m_confirm = CreateControl<QPushButton>(1000);
    m_confirm->setText(QStringLiteral("确认(&O)"));
    m_confirm->setDefault(true);
    m_decline = CreateControl<QPushButton>(1021);
    m_decline->setText(QStringLiteral("取消(&C)"));
    m_decline->setAutoDefault(false);
    // Confirm writes; its failure is shown and the dialog stays open.
    connect(m_confirm, &QPushButton::clicked, this, [this] { KvGuard([this] { OnOK(); }, this); });
    connect(m_decline, &QPushButton::clicked, this, [this] { OnDecline(); });

    KvLayOutFieldsAndButtons(this, m_List, {m_confirm, m_decline});
    resize(720, 320);
}

bool CFixFeeDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    QList<KvListColumn> columns;
    for (int i = 0; i < 9; ++i)
        columns.append({QString::fromUtf8(kColumns[i]), (i == 5 || i == 6) ? 30 : 20});
    KvSetupEditList(m_List, 20, columns);
    m_List->SetColumnEditor(kAmountColumn, KV_EDIT_NUMBER);
    KvGuard([this] { FillRows(); }, this);
    SetInitDone(1);
    return true;
}

void CFixFeeDlg::FillRows()
{
    m_List->DeleteAllItems();
    if (!m_pFixFeeList)
        return;
    CPriceVerList prices;
    for (int i = 0; i < m_pFixFeeList->GetCount(); ++i) {
        CFixFee* fee = m_pFixFeeList->At(i);
        // A fee whose price version is gone shows no name.
        const CPriceVer* price = prices.FindByPriceIndex(fee->GetPriceIndex());
        const int row = m_List->InsertRow(i, price ? price->GetPriceName() : QString(), fee);
        m_List->SetItemText(row, 1, yearMonthText(fee->GetYearMon()));
        m_List->SetItemText(row, 2, fee->GetBeginDate().toString(QStringLiteral("yyyy-MM-dd")));
        m_List->SetItemText(row, 3, fee->GetEndDate().toString(QStringLiteral("yyyy-MM-dd")));
        m_List->SetItemText(row, 4, QString::number(fee->GetDays()));
        m_List->SetItemText(row, 5, QString::number(fee->GetPrice(), 'f', 4));
        m_List->SetItemText(row, 6, QString::number(fee->GetPriceUnits(), 'f', 2));
        m_List->SetItemText(row, 7, QString::number(fee->GetPriceFee(), 'f', 2));
        m_List->SetItemText(row, kAmountColumn, QString::number(fee->GetFinalFee(), 'f', 2));
    }
}

void CFixFeeDlg::OnOK()
{
    struct Collected
    {
        CFixFee* fee;
        int wrtNum;
        double finalFee;
    };
    std::vector<Collected> before;
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        for (int row = 0; row < m_List->GetItemCount(); ++row) {
            auto* fee = static_cast<CFixFee*>(m_List->GetRowObject(row));
            before.push_back({fee, fee->GetWrtNum(), fee->GetFinalFee()});
            // Text that is not a number collects the row with 0.
            const double amount = CNumEdit::TextToDouble(m_List->GetItemText(row, kAmountColumn));
            fee->SetWrtNumAndFinalFee(m_WrtNum, amount);
        }
        transaction.Commit();
    } catch (...) {
        // The rows are not collected: the records say so again too.
        for (const Collected& row : before) {
            row.fee->SetFinalFee(row.finalFee);
            row.fee->SetWrtNum(row.wrtNum);
        }
        throw;
    }
    EndDialog(IDOK);
}

void CFixFeeDlg::OnDecline()
{
    if (AskBox(QStringLiteral("本次售电不收取定额收费吗？"), this) == IDYES)
        EndDialog(IDCANCEL);
}

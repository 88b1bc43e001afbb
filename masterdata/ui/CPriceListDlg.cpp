#include "CPriceListDlg.h"

#include "CCliFix.h"
#include "CCliSub.h"
#include "CKvExtList2.h"
#include "COtherItem.h"
#include "CPrePrice.h"
#include "CPriceEditDlg.h"
#include "CPriceTablePrintJob.h"
#include "CPrintPreviewDlg.h"
#include "KvCommandButtons.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvPrinterPaper.h"
#include "SysGlobals.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The end date of a code's latest version.
const QDate kLatestEnd(2050, 12, 31);

QString DateText(const QDateTime& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

void SetupPriceList(CKvExtList2* list)
{
    KvSetupEditList(list, 20,
                    {{QStringLiteral("价目代码"), 20},
                     {QStringLiteral("价目名称"), 100},
                     {QStringLiteral("价目类型"), 20},
                     {QStringLiteral("计价单位"), 20},
                     {QStringLiteral("单价（元）"), 20},
                     {QStringLiteral("有效期始"), 40},
                     {QStringLiteral("有效期止"), 40}});
    list->SetCellColourCallback([](CKvCellDC& dc, int row, int, CKvExtList2* owner) {
        dc.SetBkColor(QApplication::palette().color(QPalette::Base));
        if (const auto* version = static_cast<const CPriceVer*>(owner->GetRowObject(row)))
            dc.SetTextColor(CPriceListDlg::RowColour(*version, GetServerDate()));
    });
}

} // namespace

CPriceListDlg::CPriceListDlg(QWidget* parent, const QString& caption) : CKvDialog(154, parent, caption)
{
    m_upperList = CreateControl<CKvExtList2>(1074);
    m_lowerList = CreateControl<CKvExtList2>(1006);
    QHBoxLayout* buttons = KvCommandButtonRow<CPriceListDlg>(this,
                                                             {{1024, "增加(&A)", &CPriceListDlg::OnAdd},
                                                              {1025, "修改(&M)", &CPriceListDlg::OnModify},
                                                              {1026, "删除(&D)", &CPriceListDlg::OnDelete},
                                                              {1078, "打印(&P)", &CPriceListDlg::OnPrint}},
                                                             1001);
    m_deleteButton = findChild<QPushButton*>(ControlName(1026));

    connect(m_upperList, &QTableWidget::itemSelectionChanged, this, KvGuarded([this](auto...) { OnUpperClick(); }));
    connect(m_lowerList, &QTableWidget::cellDoubleClicked, this, KvGuarded([this](auto...) { OnLowerDoubleClick(); }));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("价目（最新版本）："), this));
    layout->addWidget(m_upperList, 3);
    layout->addWidget(new QLabel(QStringLiteral("价目历史（双击查看）："), this));
    layout->addWidget(m_lowerList, 2);
    layout->addLayout(buttons);
    resize(760, 520);
}

CPriceListDlg::~CPriceListDlg() = default;

bool CPriceListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    SetupPriceList(m_upperList);
    SetupPriceList(m_lowerList);
    KvGuard([this] { refill(); }, this);
    m_printJob = std::make_unique<CPriceTablePrintJob>(this);
    SetInitDone(1);
    return true;
}

QColor CPriceListDlg::RowColour(const CPriceVer& version, const QDateTime& today)
{
    const QDate day = today.date();
    if (version.GetBeginDate().date() <= day && day <= version.GetEndDate().date())
        return QColor(0, 200, 0);
    if (version.GetEndDate().date() == kLatestEnd)
        return QColor(0, 0, 255);
    return QColor(180, 0, 0);
}

void CPriceListDlg::setRow(CKvExtList2* list, int row, CPriceVer* version)
{
    list->SetItemData(row, version);
    list->SetItemText(row, 0, version->GetPriceNo());
    list->SetItemText(row, 1, version->GetPriceName());
    list->SetItemText(row, 2, version->GetPriceType());
    list->SetItemText(row, 3, version->GetUnit());
    list->SetItemText(row, 4, QString::asprintf("%0.4f", version->GetPrice()));
    list->SetItemText(row, 5, DateText(version->GetBeginDate()));
    list->SetItemText(row, 6, DateText(version->GetEndDate()));
}

void CPriceListDlg::addRow(CKvExtList2* list, CPriceVer* version)
{
    setRow(list, list->InsertRow(list->GetItemCount(), version->GetPriceNo(), version), version);
}

void CPriceListDlg::refill()
{
    // The rows of both lists carry versions of the list that is about to be
    // reloaded: none may outlive it.
    const QSignalBlocker blocker(m_upperList);
    m_upperList->DeleteAllItems();
    m_lowerList->DeleteAllItems();
    m_versions.LoadAll();
    for (int i = 0; i < m_versions.GetCount(); ++i) {
        CPriceVer* version = m_versions.At(i);
        if (version->GetEndDate().date() == kLatestEnd)
            addRow(m_upperList, version);
    }
    if (m_upperList->GetItemCount() > 0) {
        m_upperList->SelectRow(m_upperList->GetItemCount() - 1);
        showHistory();
    }
}

void CPriceListDlg::showHistory()
{
    m_lowerList->DeleteAllItems();
    const int row = m_upperList->GetSelectedRow();
    if (row < 0)
        return;
    const auto* selected = static_cast<const CPriceVer*>(m_upperList->GetRowObject(row));
    if (!selected)
        return;
    for (int i = 0; i < m_versions.GetCount(); ++i) {
        CPriceVer* version = m_versions.At(i);
        if (version->GetPriceNo() == selected->GetPriceNo())
            addRow(m_lowerList, version);
    }
}

void CPriceListDlg::OnUpperClick()
{
    showHistory();
}

void CPriceListDlg::fillEditor(CPriceEditDlg& dialog, const CPriceVer& version, bool forView)
{
    dialog.m_strPriceNo = version.GetPriceNo();
    dialog.m_strPriceName = version.GetPriceName();
    dialog.m_strPriceType = version.GetPriceType();
    dialog.m_strPriceCycle = version.GetPriceCycle();
    dialog.m_strBalMode = version.GetBalMode();
    dialog.m_strUnit = version.GetUnit();
    dialog.m_BeginDate = version.GetBeginDate();
    // Entered with the field's 6 decimals; viewed as the lists show it.
    dialog.m_strPrice = dialog.m_PriceShown.Show(version.GetPrice(), forView ? 4 : 6);
    dialog.LoadTiers(version.GetTiers());
}

void CPriceListDlg::takeValues(const CPriceEditDlg& dialog, CPriceVer& version)
{
    version.SetPriceNo(dialog.m_strPriceNo);
    version.SetPriceName(dialog.m_strPriceName);
    version.SetPriceType(dialog.m_strPriceType);
    version.SetPriceCycle(dialog.m_strPriceCycle);
    version.SetBalMode(dialog.m_strBalMode);
    version.SetUnit(dialog.m_strUnit);
    version.SetBeginDate(dialog.m_BeginDate);
    version.SetPrice(dialog.m_PriceShown.ValueOf(dialog.m_strPrice));
    version.SetTiers(dialog.m_Tiers.data(), dialog.m_nTierCount);
}

void CPriceListDlg::OnLowerDoubleClick()
{
    const int row = m_lowerList->GetSelectedRow();
    if (row < 0)
        return;
    const auto* version = static_cast<const CPriceVer*>(m_lowerList->GetRowObject(row));
    if (!version)
        return;
    CPriceEditDlg dialog(this, QStringLiteral("查看价目"));
    fillEditor(dialog, *version, true);
    dialog.DoModal();
}

void CPriceListDlg::OnAdd()
{
    auto version = std::make_unique<CPriceVer>();
    for (;;) {
        CPriceEditDlg dialog(this, QStringLiteral("增加价目"));
        fillEditor(dialog, *version);
        if (dialog.DoModal() != IDOK)
            return;
        takeValues(dialog, *version);
        if (!CPriceVerList::PriceNoExists(version->GetPriceNo()))
            break;
        PromptBox(QStringLiteral("价目代码重复！"), this);
    }
    version->Save();
    CPriceVer* added = version.release();
    m_versions.AppendRecord(added);
    addRow(m_upperList, added);
    m_upperList->SelectRow(m_upperList->GetItemCount() - 1);
    showHistory();
}

void CPriceListDlg::OnModify()
{
    const int row = m_upperList->GetSelectedRow();
    auto* old = row < 0 ? nullptr : static_cast<CPriceVer*>(m_upperList->GetRowObject(row));
    if (!old) {
        PromptBox(QStringLiteral("请选择价目！"), this);
        return;
    }
    CPriceEditDlg dialog(this, QStringLiteral("修改价目"));
    fillEditor(dialog, *old);
    if (dialog.DoModal() != IDOK)
        return;
    auto changed = std::make_unique<CPriceVer>();
    takeValues(dialog, *changed);
    if (old->IsSame(*changed))
        return;
    if (old->GetBeginDate() > changed->GetBeginDate()) {
        PromptBox(QStringLiteral("修改后的价目起始日期不应早于原来的起始日期！"), this);
        return;
    }
    if (old->GetBeginDate() > GetServerDate() && changed->GetBeginDate() > old->GetBeginDate()) {
        // A version that has not started yet is only replaced by one that
        // starts the same day.
        PromptBox(QStringLiteral("只允许提前一个时期修改价目！"), this);
        return;
    }
    changed->SetState(QStringLiteral("修改"));
    CPriceVer* added = changed.release();
    // The old version may be freed here (a pending one is replaced): the
    // history rows that carry it are rebuilt below.
    m_lowerList->DeleteAllItems();
    try {
        m_versions.AddVersion(added, old);
    } catch (...) {
        showHistory();
        throw;
    }
    setRow(m_upperList, row, added);
    m_upperList->SelectRow(row);
    showHistory();
}

QString CPriceListDlg::deleteRefusal(const QString& priceNo)
{
    if (CCliFixList::ExistsForPrice(priceNo))
        return QStringLiteral("已有用户设置改价目，不能删除！");
    if (CPrePriceList::PriceNoInUse(priceNo))
        return QStringLiteral("已有配表使用该价目，不能删除！");
    if (CCliSubList::PriceNoInUse(priceNo))
        return QStringLiteral("已有附表使用该价目，不能删除！");
    if (ManualMeterExistsForPrice(priceNo))
        return QStringLiteral("已有手工表使用该价目，不能删除！");
    if (ExistsOtherFeeOfPrice(priceNo))
        return QStringLiteral("已有其他收费项使用该价目，不能删除！");
    return QString();
}

void CPriceListDlg::OnDelete()
{
    const int row = m_upperList->GetSelectedRow();
    const auto* version = row < 0 ? nullptr : static_cast<const CPriceVer*>(m_upperList->GetRowObject(row));
    if (!version) {
        PromptBox(QStringLiteral("请选择价目！"), this);
        return;
    }
    if (AskBox(QStringLiteral("确实要删除该价目吗？"), this) == IDNO)
        return;
    const QString priceNo = version->GetPriceNo();
    const QString refusal = deleteRefusal(priceNo);
    if (!refusal.isEmpty()) {
        PromptBox(refusal, this);
        return;
    }
    CPriceVerList::DeleteByPriceNo(priceNo);
    refill();
}

void CPriceListDlg::OnPrint()
{
    if (m_upperList->GetItemCount() < 1)
        return;
    SetPrinterPaper(1, 0, 0);
    if (!m_printJob)
        m_printJob = std::make_unique<CPriceTablePrintJob>(this);
    CPrintPreviewDlg preview(this);
    preview.SetPrintJob(m_printJob.get());
    preview.DoModal();
}

#include "CCliFixListDlg.h"
#include "CKvEdit.h"

#include "CAdoConnection.h"
#include "CCliFixEditDlg.h"
#include "CFixFee.h"
#include "CKvExtList.h"
#include "CNumEdit.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSetUpCaption = QStringLiteral("设置定额收费项");

enum Column
{
    PriceNoColumn,
    PriceNameColumn,
    UnitColumn,
    UnitsColumn,
    BeginColumn,
    EndColumn,
};

QString dayText(const QDateTime& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDateTime openEnd()
{
    return ParseDate(QStringLiteral("2050-12-31"));
}

QDateTime firstOfThisMonth()
{
    const QDate today = GetServerDate().date();
    return QDateTime(QDate(today.year(), today.month(), 1), QTime(0, 0));
}

} // namespace

CCliFixListDlg::CCliFixListDlg(QWidget* parent, const QString& caption) : CKvDialog(189, parent, caption)
{
    m_list = CreateControl<CKvExtList>(1106);
    m_clientNoEdit = CreateControl<CKvEdit>(1002);
    m_clientNoEdit->setReadOnly(true);
    m_clientNameEdit = CreateControl<CKvEdit>(1009);
    m_clientNameEdit->setReadOnly(true);
    auto* save = CreateControl<QPushButton>(1000);
    save->setText(QStringLiteral("保存返回(&O)"));
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消返回(&C)"));
    auto* remove = CreateControl<QPushButton>(1026);
    remove->setText(QStringLiteral("删除收费项(&D)"));
    auto* modify = CreateControl<QPushButton>(1309);
    modify->setText(QStringLiteral("修改收费项(&M)"));
    remove->setAutoDefault(false);
    modify->setAutoDefault(false);
    // Saving shows its own failure and stays open with the changes.
    connect(save, &QPushButton::clicked, this, [this] { KvGuard([this] { OnOK(); }, this); });
    save->setDefault(true);
    BindClose(cancel);
    connect(remove, &QPushButton::clicked, this, KvGuarded([this](auto...) { OnDelete(); }));
    connect(modify, &QPushButton::clicked, this, KvGuarded([this](auto...) { OnModify(); }));

    auto* user = new QFormLayout;
    user->addRow(QStringLiteral("住户编号："), m_clientNoEdit);
    user->addRow(QStringLiteral("住户姓名："), m_clientNameEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(modify);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(user);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(640, 360);
}

CCliFixListDlg::~CCliFixListDlg() = default;

bool CCliFixListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_list->LoadCheckBitmaps(158, 159);
    m_list->SetClickCallback([this](int row, int column, CKvExtList*) {
        if (column == PriceNoColumn)
            KvGuard([&] { OnCheckClicked(row); }, this);
    });
    KvSetupEditList(m_list, 20,
                    {{QStringLiteral("价目代码"), 50},
                     {QStringLiteral("价目名称"), 50},
                     {QStringLiteral("计价单位"), 20},
                     {QStringLiteral("数  量"), 20},
                     {QStringLiteral("起收日期"), 50},
                     {QStringLiteral("停收日期"), 50}});
    m_clientNoEdit->setText(m_ClientNo);
    m_clientNameEdit->setText(m_ClientName);
    KvGuard([this] { Fill(); }, this);
    SetInitDone(1);
    return true;
}

void CCliFixListDlg::Fill()
{
    m_list->DeleteAllItems();
    m_entries.clear();
    const QDateTime today = GetServerDate();
    m_prices.LoadValidOfType(QStringLiteral("定额收费价"));
    if (m_prices.GetCount() == 0)
        return;
    m_entries.resize(m_prices.GetCount());
    for (Entry& entry : m_entries)
        entry.stopDate = openEnd();
    m_items.LoadByClient(m_ClientNo);

    for (int i = 0; i < m_prices.GetCount(); ++i) {
        CPriceVer* price = m_prices.At(i);
        const int row = m_list->InsertRow(i, price->GetPriceNo(), price);
        m_list->SetItemText(row, PriceNameColumn, price->GetPriceName());
        m_list->SetItemText(row, UnitColumn, price->GetUnit());
        // The first version that runs today, ticked; else the latest one.
        for (int k = 0; k < m_items.GetCount(); ++k) {
            CCliFix* item = m_items.At(k);
            if (item->GetPriceNo() != price->GetPriceNo())
                continue;
            ShowDates(row, QString::number(item->GetUnits(), 'f', 2), item->GetBeginDate(), item->GetEndDate());
            m_entries[row].stored = item;
            m_entries[row].stopDate = item->GetEndDate();
            if (item->GetBeginDate() <= today && item->GetEndDate() >= today) {
                m_list->SetCheck(row, 1);
                break;
            }
        }
    }
}

void CCliFixListDlg::ShowDates(int row, const QString& units, const QDateTime& begin, const QDateTime& end)
{
    m_list->SetItemText(row, UnitsColumn, units);
    m_list->SetItemText(row, BeginColumn, dayText(begin));
    m_list->SetItemText(row, EndColumn, dayText(end));
}

void CCliFixListDlg::OnCheckClicked(int row)
{
    if (row < 0 || row >= int(m_entries.size()))
        return;
    if (m_list->GetCheck(row))
        SetUpItem(row);
    else
        StopItem(row);
}

bool CCliFixListDlg::AskNewVersion(int row, const QDateTime& presetStop, QString& units, QDateTime& begin,
                                   QDateTime& end)
{
    const QDateTime firstDay = firstOfThisMonth();
    for (;;) {
        CCliFixEditDlg editor(this, kSetUpCaption);
        editor.m_ItemName = m_list->GetItemText(row, PriceNameColumn);
        editor.m_BeginDate = firstDay;
        editor.m_Units = m_list->GetItemText(row, UnitsColumn);
        editor.m_EndDate = presetStop;
        if (editor.DoModal() != IDOK)
            return false;
        if (editor.m_BeginDate < firstDay) {
            PromptBox(QStringLiteral("新的起始日期不应早于本月1日！"));
            continue;
        }
        if (editor.m_BeginDate > GetServerDate()) {
            PromptBox(QStringLiteral("新的起始日期不应晚于当日！"));
            continue;
        }
        units = editor.m_Units;
        begin = editor.m_BeginDate;
        end = editor.m_EndDate;
        return true;
    }
}

void CCliFixListDlg::SetPending(int row, const QString& units, const QDateTime& begin, const QDateTime& end)
{
    auto item = std::make_unique<CCliFix>();
    item->SetBeginDate(begin);
    item->SetEndDate(end);
    item->SetUnits(CNumEdit::TextToDouble(units));
    item->SetClientNo(m_ClientNo);
    item->SetPriceNo(m_list->GetItemText(row, PriceNoColumn));
    item->SetLastTermEndDate(AddDays(begin, -1));
    m_entries[row].pending = std::move(item);
    ShowDates(row, units, begin, end);
}

void CCliFixListDlg::SetUpItem(int row)
{
    QString units;
    QDateTime begin, end;
    if (!AskNewVersion(row, openEnd(), units, begin, end)) {
        m_list->SetCheck(row, 0);
        return;
    }
    SetPending(row, units, begin, end);
}

void CCliFixListDlg::StopItem(int row)
{
    Entry& entry = m_entries[row];
    const QDateTime today = GetServerDate();
    if (!entry.stored) {
        m_list->SetItemText(row, UnitsColumn, QString());
        m_list->SetItemText(row, BeginColumn, QString());
        m_list->SetItemText(row, EndColumn, QString());
        entry.pending.reset();
        return;
    }
    if (entry.stored->GetEndDate() < today) {
        ShowDates(row, QString::number(entry.stored->GetUnits(), 'f', 1), entry.stored->GetBeginDate(),
                  entry.stored->GetEndDate());
        entry.pending.reset();
        return;
    }
    const QDateTime lastOfPreviousMonth = AddDays(firstOfThisMonth(), -1);
    for (;;) {
        CCliFixEditDlg editor(this, QStringLiteral("取消定额收费项"));
        editor.m_ItemName = m_list->GetItemText(row, PriceNameColumn);
        const QDateTime shownBegin = ParseDate(m_list->GetItemText(row, BeginColumn));
        editor.m_BeginDate = shownBegin.isValid() ? shownBegin : entry.stored->GetBeginDate();
        editor.m_Units = m_list->GetItemText(row, UnitsColumn);
        editor.m_EndDate = lastOfPreviousMonth;
        if (editor.DoModal() != IDOK) {
            m_list->SetCheck(row, 1);
            return;
        }
        if (AskBox(QStringLiteral("您确实要停止该项收费吗？")) != IDYES) {
            m_list->SetCheck(row, 1);
            return;
        }
        if (editor.m_EndDate < lastOfPreviousMonth) {
            PromptBox(QStringLiteral("截止日期不应早于上月末日！"));
            continue;
        }
        if (editor.m_EndDate >= today)
            m_list->SetCheck(row, 1); // still runs today
        entry.pending.reset();
        entry.stopDate = editor.m_EndDate;
        ShowDates(row, editor.m_Units, editor.m_BeginDate, editor.m_EndDate);
        return;
    }
}

void CCliFixListDlg::OnModify()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选定项目！"), this);
        return;
    }
    if (!m_list->GetCheck(row)) {
        PromptBox(QStringLiteral("请选择已选定的项目！"), this);
        return;
    }
    QString units;
    QDateTime begin, end;
    if (AskNewVersion(row, ParseDate(m_list->GetItemText(row, EndColumn)), units, begin, end))
        SetPending(row, units, begin, end);
}

void CCliFixListDlg::OnDelete()
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(QStringLiteral("请选定项目！"), this);
        return;
    }
    if (AskBox(QStringLiteral("此项操作将删除该用户的该收费项的所有设置数据及收费数据，并且无法恢复，是否继续？"),
               this) != IDYES)
        return;
    const QString priceNo = m_list->GetItemText(row, PriceNoColumn);
    {
        CAdoTransaction transaction(*GetMainDatabase());
        CFixFeeList::DeleteByClientPrice(m_ClientNo, priceNo);
        CCliFixList::DeleteByClientPrice(m_ClientNo, priceNo);
        transaction.Commit();
    }
    Fill();
}

void CCliFixListDlg::OnOK()
{
    // A new version saved before a later row failed is rolled back with the
    // rest: it must be inserted again by the next attempt.
    std::vector<CCliFix*> saved;
    try {
        CAdoTransaction transaction(*GetMainDatabase());
        for (Entry& entry : m_entries) {
            if (CCliFix* item = entry.pending.get()) {
                CCliFixList::StopItem(item->GetClientNo(), item->GetPriceNo(), item->GetLastTermEndDate());
                item->Save();
                saved.push_back(item);
            } else if (entry.stored && entry.stored->GetEndDate() != entry.stopDate) {
                CCliFixList::StopItem(entry.stored->GetClientNo(), entry.stored->GetPriceNo(), entry.stopDate);
            }
        }
        transaction.Commit();
    } catch (...) {
        for (CCliFix* item : saved)
            item->SetState(CKvPersistance::StateNew);
        throw;
    }
    EndDialog(IDOK);
}

#include "CSubRawArchiveDlg.h"

#include "CCliPre.h"
#include "CCliSub.h"
#include "CCliSubEditDlg.h"
#include "CKvExtList2.h"
#include "CSubRaw.h"
#include "KvMessage.h"
#include "KvUtil.h"

CSubRawArchiveDlg::CSubRawArchiveDlg(QWidget* parent, const QString& caption, CSubRawList* staged)
    : CSubRawListDlg({175, 1170, 1001}, parent, caption, staged,
                     {QStringLiteral("主表编号"), QStringLiteral("附表编号"), QStringLiteral("脉冲计数"),
                      QStringLiteral("基表读数"), QStringLiteral("设置日期")},
                     QStringLiteral("请选择上传记录！"))
{
}

QString CSubRawArchiveDlg::FillRow(int row, CSubRaw* raw)
{
    // A card number shows the meter of the card; one that no card carries
    // shows as staged, and archiving it finds no account.
    QString meterNo = CSubSettingArchive::MeterNoOf(raw->GetMeterNo());
    if (meterNo.isEmpty())
        meterNo = raw->GetMeterNo();
    m_list->SetItemText(row, 1, CSubSettingArchive::SubXOf(raw->GetMeterNo(), raw->GetSubX()));
    m_list->SetItemText(row, 2, QString::number(raw->GetReadPulses()));
    m_list->SetItemText(row, 3, QString::asprintf("%0.2f", raw->GetBaseRead()));
    m_list->SetItemText(row, 4, raw->GetReadDate().toString(QStringLiteral("yyyy-MM-dd")));
    return meterNo;
}

bool CSubRawArchiveDlg::rowSetting(int row, KvSubSetting& setting)
{
    setting.meterNo = m_list->GetItemText(row, 0);
    setting.subX = m_list->GetItemText(row, 1);
    setting.subNo = setting.meterNo + u'_' + setting.subX;
    setting.initPulses = m_list->GetItemText(row, 2);
    setting.baseRead = m_list->GetItemText(row, 3);
    setting.readDate = ParseDate(m_list->GetItemText(row, 4));
    CCliPreList accounts;
    const CCliPre* account = accounts.FindCurrentByMeterNo(setting.meterNo);
    if (!account) {
        PromptBox(QStringLiteral("系统中没有下列表号的有效档案！\n\n%1").arg(setting.meterNo), this);
        return false;
    }
    setting.clientNo = account->GetClientNo();
    return true;
}

void CSubRawArchiveDlg::prepare(CCliSubEditDlg& dialog, const KvSubSetting& setting) const
{
    dialog.m_strClientNo = setting.clientNo;
    dialog.m_strMeterNo = setting.meterNo;
    dialog.m_strSubX = setting.subX;
    dialog.m_strSubNo = setting.subNo;
    dialog.m_strInitPulses = setting.initPulses;
    dialog.m_strBaseRead = setting.baseRead;
}

void CSubRawArchiveDlg::takeBack(const CCliSubEditDlg& dialog, KvSubSetting& setting)
{
    setting.clientNo = dialog.m_strClientNo;
    setting.meterNo = dialog.m_strMeterNo;
    setting.subX = dialog.m_strSubX;
    setting.subNo = dialog.m_strSubNo;
    setting.initPulses = dialog.m_strInitPulses;
    setting.baseRead = dialog.m_strBaseRead;
    setting.level = dialog.m_strLevel;
    setting.superNo = dialog.m_strSuperNo;
    setting.priceNo = dialog.m_strPriceNo;
    setting.subConst = dialog.m_strSubConst;
    setting.readMode = dialog.m_strReadMode;
}

void CSubRawArchiveDlg::OnArchive()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    KvSubSetting setting;
    if (!rowSetting(row, setting))
        return;
    CCliSubList current;
    current.LoadCurrentByMeterNo(setting.meterNo);
    CCliSubEditDlg dialog(this, QStringLiteral("设置附表"));
    prepare(dialog, setting);
    dialog.m_bCheckEnabled = 0;
    if (dialog.DoModal() != IDOK)
        return;
    takeBack(dialog, setting);
    if (CSubSettingArchive::WriteRow(*m_staged, RowRecord(row), current, setting, this))
        m_list->DeleteItem(row);
}

void CSubRawArchiveDlg::OnArchiveAll()
{
    m_remembered = KvSubSetting();
    m_same = false;
    CSubRawListDlg::OnArchiveAll();
}

bool CSubRawArchiveDlg::ArchiveRow(int row)
{
    CSubRaw* raw = RowRecord(row);
    KvSubSetting setting;
    if (!raw || !rowSetting(row, setting))
        return true;
    CCliSubList current;
    current.LoadCurrentByMeterNo(setting.meterNo);
    if (!m_same) {
        CCliSubEditDlg dialog(this, QStringLiteral("设置附表"));
        prepare(dialog, setting);
        dialog.m_bCheckEnabled = 1;
        if (dialog.DoModal() != IDOK)
            return AskBox(QStringLiteral("是否继续？"), this) != IDNO;
        takeBack(dialog, setting);
        m_same = dialog.m_bCheck != 0;
        m_remembered = setting;
    } else {
        setting.level = m_remembered.level;
        setting.superNo = m_remembered.superNo;
        setting.priceNo = m_remembered.priceNo;
        setting.subConst = m_remembered.subConst;
        setting.readMode = m_remembered.readMode;
    }
    if (CSubSettingArchive::WriteRow(*m_staged, raw, current, setting, this))
        m_list->SetItemData(row, nullptr); // freed with its staged record
    return true;
}

#include "CHandReadDlg.h"

#include "CDeviceLink.h"
#include "CHandReadArchiveDlg.h"
#include "CHandReadImport.h"
#include "CHandReadRaw.h"
#include "CKvComboBox.h"
#include "CSysPara.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The meter reader has no type of its own to choose.
const QString kDeviceType = QStringLiteral("红外手持机");

} // namespace

CHandReadDlg::CHandReadDlg(QWidget* parent, const QString& caption) : CKvDialog(199, parent, caption)
{
    m_portList = CreateControl<CKvComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_portList->addItem(QStringLiteral("com%1").arg(i));

    auto* port = new QHBoxLayout;
    port->addWidget(new QLabel(QStringLiteral("工作串口："), this));
    port->addWidget(m_portList);

    auto* download = CreateControl<QPushButton>(1018);
    download->setText(QStringLiteral("下载(&D)"));
    auto* upload = CreateControl<QPushButton>(1017);
    upload->setText(QStringLiteral("上传(&U)"));
    auto* back = CreateControl<QPushButton>(1001);
    back->setText(QStringLiteral("返回(&R)"));
    connect(download, &QPushButton::clicked, this, KvGuarded([this](bool) { OnDownload(); }));
    connect(upload, &QPushButton::clicked, this, KvGuarded([this](bool) { OnUpload(); }));
    BindClose(back);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(download);
    buttons->addWidget(upload);
    buttons->addWidget(back);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(port);
    layout->addLayout(buttons);
}

bool CHandReadDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_port = GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom"));
    UpdateData(false);
    return true;
}

bool CHandReadDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_port = m_portList->currentIndex();
    else
        m_portList->setCurrentIndex(m_port >= 0 && m_port < m_portList->count() ? m_port : -1);
    return true;
}

void CHandReadDlg::OnDownload()
{
    UpdateData(true);
    CMeterReaderLink link(m_port + 1, kDeviceType, this);
    link.Download(); // the answer has been shown; nothing follows either way
}

void CHandReadDlg::OnUpload()
{
    {
        CHandReadRawList staged;
        staged.LoadAll();
        if (staged.GetCount() > 0) {
            PromptBox(QStringLiteral("上次上传的抄表数据尚有未归档的！"), this);
            openArchive(QStringLiteral("归档抄表记录"));
            return;
        }
    }
    UpdateData(true);
    // The tool replaces the table when it uploads; one that does not must not
    // leave the last upload's readings to be staged a second time.
    CHandReadImport::RemoveExchangeTable();
    CMeterReaderLink link(m_port + 1, kDeviceType, this);
    if (!link.Upload())
        return;
    if (!ImportReadings()) {
        PromptBox(QStringLiteral("数据转换失败"), this);
        return;
    }
    openArchive(QStringLiteral("上传数据"));
}

bool CHandReadDlg::ImportReadings()
{
    return CHandReadImport::ImportReadings(this);
}

void CHandReadDlg::openArchive(const QString& caption)
{
    CHandReadRawList staged;
    staged.LoadAll();
    CHandReadArchiveDlg archive(nullptr, caption, &staged);
    archive.DoModal();
}

void CHandReadDlg::OnClose()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("BravikCom"), m_port);
}

void CHandReadDlg::closeEvent(QCloseEvent* event)
{
    // Only the window's close box comes here: Escape and 返回 store nothing.
    if (isVisible())
        KvGuard([this] { OnClose(); }, this);
    CKvDialog::closeEvent(event);
}

#include "CHandReadDlg.h"

#include "CDeviceLink.h"
#include "CHandReadArchiveDlg.h"
#include "CHandReadImport.h"
#include "CHandReadRaw.h"
#include "CKvComboBox.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The meter reader has no type of its own to choose.
const QString kDeviceType = QStringLiteral("红外手持机");

} // namespace

CHandReadDlg::CHandReadDlg(QWidget* parent, const QString& caption) : CDevicePortDlg(199, parent, caption)
{
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

void CHandReadDlg::OnDownload()
{
    UpdateData(true);
    CMeterReaderLink link(PortNumber(), kDeviceType, this);
    link.Download(); // the answer has been shown; nothing follows either way
}

void CHandReadDlg::OnUpload()
{
    UploadAndArchive<CHandReadRawList, CHandReadArchiveDlg>(
        QStringLiteral("上次上传的抄表数据尚有未归档的！"), QStringLiteral("归档抄表记录"),
        [this] {
            // The tool replaces the table when it uploads; one that does not
            // must not leave the last upload's readings to be staged again.
            CHandReadImport::RemoveExchangeTable();
            return CMeterReaderLink(PortNumber(), kDeviceType, this).Upload();
        },
        [this] { return ImportReadings(); });
}

bool CHandReadDlg::ImportReadings()
{
    return CHandReadImport::ImportReadings(this);
}

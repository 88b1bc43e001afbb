#include "CHandheldSaleDlg.h"

#include "CDeviceLink.h"
#include "CHandRaw.h"
#include "CHandSaleArchiveDlg.h"
#include "CHandSaleImport.h"
#include "CKvComboBox.h"
#include "KvGuard.h"
#include "KvMessage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CHandheldSaleDlg::CHandheldSaleDlg(QWidget* parent, const QString& caption) : CDevicePortDlg(194, parent, caption)
{
    m_typeList = CreateControl<CKvComboBox>(1138);
    m_typeList->addItems({QStringLiteral("红外手持机"), QStringLiteral("IC手持机")});

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("工作串口："), this), 0, 0);
    fields->addWidget(m_portList, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("手持机类型："), this), 1, 0);
    fields->addWidget(m_typeList, 1, 1);

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
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

bool CHandheldSaleDlg::OnInitDialog()
{
    m_typeList->setCurrentIndex(0);
    return CDevicePortDlg::OnInitDialog();
}

bool CHandheldSaleDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_handType = m_typeList->currentText();
    return CDevicePortDlg::DoDataExchange(saveAndValidate);
}

void CHandheldSaleDlg::OnDownload()
{
    if (AskBox(QStringLiteral("确实要对手持机下载吗？"), this) == IDNO)
        return;
    UpdateData(true);
    CHandSaleLink link(PortNumber(), m_handType, this);
    link.Download(); // the answer has been shown; nothing follows either way
}

void CHandheldSaleDlg::OnUpload()
{
    UploadAndArchive<CHandRawList, CHandSaleArchiveDlg>(
        QStringLiteral("上次上传的售电数据尚有未归档的！"), QStringLiteral("归档售电记录"),
        [this] {
            // The tool replaces the table when it uploads; one that does not
            // must not leave the last upload's sales to be staged again.
            CHandSaleImport::RemoveExchangeTable();
            return CHandSaleLink(PortNumber(), m_handType, this).Upload();
        },
        [this] { return ImportSales(); });
}

bool CHandheldSaleDlg::ImportSales()
{
    return CHandSaleImport::ImportSales(this);
}

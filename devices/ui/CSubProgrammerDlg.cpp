#include "CSubProgrammerDlg.h"

#include "CDeviceLink.h"
#include "CKvComboBox.h"
#include "CProgReadArchiveDlg.h"
#include "CSubRaw.h"
#include "CSubRawArchiveDlg.h"
#include "CSysPara.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvStagedRecords.h"
#include "SysGlobals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void RunSettingsArchive()
{
    RunArchive<CSubRawList, CSubRawArchiveDlg>(QStringLiteral("归档附表"));
}

void RunReadingArchive()
{
    RunArchive<CSubRawList, CProgReadArchiveDlg>(QStringLiteral("归档抄表数"));
}

} // namespace

CSubProgrammerDlg::CSubProgrammerDlg(QWidget* parent, const QString& caption) : CKvDialog(174, parent, caption)
{
    m_portList = CreateControl<CKvComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_portList->addItem(QStringLiteral("com%1").arg(i));

    const struct
    {
        int id;
        const char* text;
        void (CSubProgrammerDlg::*handler)();
    } buttons[] = {
        {1017, "上传初值(&U)", &CSubProgrammerDlg::OnUploadInitialValues},
        {1031, "归档初值(&I)", &CSubProgrammerDlg::OnArchiveInitialValues},
        {1135, "上传抄表数(T)", &CSubProgrammerDlg::OnUploadReadings},
        {1032, "归档抄表数(&M)", &CSubProgrammerDlg::OnArchiveReadings},
        {1018, "编程器下载(&D)", &CSubProgrammerDlg::OnDownload},
    };
    auto* grid = new QGridLayout;
    int index = 0;
    for (const auto& b : buttons) {
        auto* button = CreateControl<QPushButton>(b.id);
        button->setText(QString::fromUtf8(b.text));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, KvGuarded([this, h = b.handler](bool) { (this->*h)(); }));
        if (index < 4)
            grid->addWidget(button, index / 2, index % 2);
        else
            grid->addWidget(button, 2, 1);
        ++index;
    }
    grid->addWidget(new QLabel(QStringLiteral("工作串口："), this), 3, 0);
    grid->addWidget(m_portList, 3, 1);
    connect(m_portList, &QComboBox::currentIndexChanged, this, KvGuarded([this](int) {
                if (m_shown) // not while the stored port is being shown
                    OnPortChange();
            }));

    auto* back = CreateControl<QPushButton>(1001);
    back->setText(QStringLiteral("返回(&R)"));
    back->setAutoDefault(false);
    BindClose(back);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(back);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(row);
}

bool CSubProgrammerDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_port = GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom"));
    UpdateData(false);
    m_shown = true;
    return true;
}

bool CSubProgrammerDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_port = m_portList->currentIndex();
    else
        m_portList->setCurrentIndex(m_port >= 0 && m_port < m_portList->count() ? m_port : -1);
    return true;
}

void CSubProgrammerDlg::OnPortChange()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("BravikCom"), m_port);
}

void CSubProgrammerDlg::OnDownload()
{
    if (AskBox(QStringLiteral("确实要对编程器下载吗？"), this) == IDNO)
        return;
    CProgrammerLink link(m_port + 1, this);
    link.Download(); // the answer has been shown; nothing follows either way
}

void CSubProgrammerDlg::upload(CReadDataImport::Kind kind)
{
    if (AnyStaged<CSubRawList>()) {
        // Either upload sends the operator to the settings archive.
        PromptBox(QStringLiteral("上次上传的附表尚有未归档的！"), this);
        RunSettingsArchive();
        return;
    }
    CReadDataImport::RemoveDataFile();
    CProgrammerLink link(m_port + 1, this);
    if (!link.Upload())
        return;
    QStringList dropped;
    const CReadDataImport::Result result = CReadDataImport::Import(kind, &dropped);
    if (result != CReadDataImport::Imported) {
        PromptBox(CReadDataImport::FailureText(result), this);
        return;
    }
    if (!dropped.isEmpty())
        PromptBox(QStringLiteral("下列附表的抄表日期无效，未上传：\n\n%1").arg(dropped.join(u'\n')), this);
    if (kind == CReadDataImport::InitialValues)
        RunSettingsArchive();
    else
        RunReadingArchive();
}

void CSubProgrammerDlg::OnArchiveInitialValues()
{
    RunSettingsArchive();
}

void CSubProgrammerDlg::OnArchiveReadings()
{
    RunReadingArchive();
}

#include "CReissueCaseDlg.h"

#include "KvMessage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CReissueCaseDlg::CReissueCaseDlg(QWidget* parent) : CKvDialog(228, parent, QStringLiteral("选择补卡背景情况"))
{
    const struct
    {
        int id;
        const char* text;
    } choices[] = {{1089, "原卡上最近一次买电量未送电表"},
                   {1091, "原卡上最近一次买电量已送电表"},
                   {1160, "上次补卡写卡后与电表无法通讯"}};
    auto* group = new QGroupBox(QStringLiteral("为了节约时间，请务必正确确认下列情况"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = CreateControl<QRadioButton>(choices[i].id);
        m_choices[i]->setText(QString::fromUtf8(choices[i].text));
        buttons->addButton(m_choices[i], i);
        groupLayout->addWidget(m_choices[i]);
    }

    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    BindClose(cancel);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(row);
}

CReissueCaseDlg::~CReissueCaseDlg() = default;

bool CReissueCaseDlg::OnInitDialog()
{
    // The dialog opens on the new top-up.
    m_nCase = Supplied;
    CKvDialog::OnInitDialog();
    // The keyboard starts on the checked choice: Space or Enter keeps it, the
    // arrow keys move to another.
    m_choices[m_nCase]->setFocus();
    return true;
}

void CReissueCaseDlg::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

bool CReissueCaseDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_nCase = -1;
        for (int i = 0; i < 3; ++i)
            if (m_choices[i]->isChecked())
                m_nCase = i;
    } else {
        for (int i = 0; i < 3; ++i)
            m_choices[i]->setChecked(i == m_nCase);
    }
    return true;
}

#include "CStyleDlg.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CStyleDlg::CStyleDlg(QWidget* parent, const QString& caption) : CKvDialog(203, parent, caption)
{
    m_group = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    const struct
    {
        int id;
        const char* text;
    } radios[] = {{1089, "默认风格"}, {1091, "备选风格1"}, {1160, "备选风格2"}};
    int choice = 0;
    for (const auto& radio : radios) {
        auto* button = CreateControl<QRadioButton>(radio.id);
        button->setText(QString::fromUtf8(radio.text));
        m_group->addButton(button, choice++);
        layout->addWidget(button);
    }

    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    cancel->setDefault(true);
    BindConfirm(ok);
    BindClose(cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

bool CStyleDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_styleChoice = m_group->checkedId(); // -1 when none is checked
    } else if (QAbstractButton* button = m_group->button(m_styleChoice)) {
        button->setChecked(true);
    }
    return true;
}

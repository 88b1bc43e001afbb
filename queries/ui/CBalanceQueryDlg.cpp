#include "CBalanceQueryDlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CBalanceQueryDlg::CBalanceQueryDlg(QWidget* parent, const QString& caption) : CKvDialog(193, parent, caption)
{
    auto* outer = new QVBoxLayout(this);
    m_choices = new QButtonGroup(this);
    auto* summary = CreateControl<QRadioButton>(1089);
    summary->setText(QStringLiteral("余额汇总"));
    auto* detail = CreateControl<QRadioButton>(1091);
    detail->setText(QStringLiteral("余额明细"));
    m_choices->addButton(summary, 0);
    m_choices->addButton(detail, 1);
    outer->addWidget(summary);
    outer->addWidget(detail);

    auto* buttons = new QHBoxLayout;
    auto* ok = CreateControl<QPushButton>(1000);
    ok->setText(QStringLiteral("确认(&O)"));
    ok->setDefault(true);
    auto* cancel = CreateControl<QPushButton>(1021);
    cancel->setText(QStringLiteral("取消(&C)"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    BindConfirm(ok);
    BindClose(cancel);
}

bool CBalanceQueryDlg::DoDataExchange(bool save)
{
    if (save) {
        m_choice = m_choices->checkedId();
    } else if (QAbstractButton* radio = m_choices->button(m_choice)) {
        radio->setChecked(true);
    }
    return true;
}

#include "CAboutDlg.h"

#include "KvImages.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlg100"));
    setWindowTitle(QStringLiteral("关于 Quillmer"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(KvProgramIcon().pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Quillmer 1.2 1版"), this);
    text->setObjectName(QStringLiteral("aboutText"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("c1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
}

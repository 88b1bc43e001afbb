#include "CPrintPreviewDlg.h"

#include "CKvPreviewView.h"
#include "CPrintJob.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

CPrintPreviewDlg::CPrintPreviewDlg(QWidget* parent) : CKvDialog(155, parent, QStringLiteral("打印预览"))
{
    m_buttonRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(8, 6, 8, 6);
    const struct
    {
        int id;
        const char* text;
    } buttons[] = {
        {1079, "放大(&O)"},   {1080, "缩小(&I)"}, {1081, "上一页(&F)"},
        {1082, "下一页(&N)"}, {1078, "打印(&P)"}, {1001, "返回(&R)"},
    };
    for (const auto& b : buttons) {
        auto* button = CreateControl<QPushButton>(b.id);
        button->setParent(m_buttonRow);
        button->setText(QString::fromUtf8(b.text));
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch();
    m_print = findChild<QPushButton*>(ControlName(1078));
    BindClose(findChild<QPushButton*>(ControlName(1001)));
    connect(findChild<QPushButton*>(ControlName(1079)), &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->ZoomIn();
    });
    connect(findChild<QPushButton*>(ControlName(1080)), &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->ZoomOut();
    });
    connect(findChild<QPushButton*>(ControlName(1081)), &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->PrevPage();
    });
    connect(findChild<QPushButton*>(ControlName(1082)), &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->NextPage();
    });
    connect(m_print, &QPushButton::clicked, this, [this] { OnPrint(); });
}

bool CPrintPreviewDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    // The desktop's full width and 96 % of its height.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        resize(desktop.width(), desktop.height() * 96 / 100);
    }
    m_view = new CKvPreviewView(this);
    PlaceView();
    m_view->show();
    m_view->SetPrintJob(m_pPrintJob);
    return true;
}

void CPrintPreviewDlg::PlaceView()
{
    m_buttonRow->setGeometry(0, 0, width(), 40);
    if (m_view)
        m_view->setGeometry(0, 40, width(), std::max(0, height() - 40));
}

void CPrintPreviewDlg::resizeEvent(QResizeEvent* event)
{
    CKvDialog::resizeEvent(event);
    PlaceView();
}

void CPrintPreviewDlg::OnPrint()
{
    if (!m_pPrintJob || m_pPrintJob->IsPrinting())
        return;
    // The preview stays open; its print button waits until the job has ended.
    m_print->setEnabled(false);
    m_pPrintJob->PrintDirect(true);
    m_print->setEnabled(true);
    if (m_view)
        m_view->RestoreGraphics();
}

#include "CPrintStatusDlg.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

CPrintStatusDlg::CPrintStatusDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgPrintStatus"));
    setWindowTitle(QCoreApplication::applicationName());
    setModal(false);
    m_documentName = new QLabel(this);
    m_documentName->setObjectName(QStringLiteral("documentName"));
    m_printerName = new QLabel(this);
    m_printerName->setObjectName(QStringLiteral("printerName"));
    m_page = new QLabel(this);
    m_page->setObjectName(QStringLiteral("pageNumber"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("正在打印："), m_documentName);
    layout->addRow(QStringLiteral("打印机："), m_printerName);
    layout->addRow(QString(), m_page);
    adjustSize();
    // Centred over its parent, or on the screen without one.
    const QRect area =
        parent ? QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size())
               : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect());
    if (area.isValid()) {
        QRect frame = frameGeometry();
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
}

void CPrintStatusDlg::SetDocumentName(const QString& name)
{
    m_documentName->setText(name);
}

void CPrintStatusDlg::SetPrinterName(const QString& name)
{
    m_printerName->setText(name);
}

void CPrintStatusDlg::SetPage(int page)
{
    m_page->setText(PageText(page));
}

QString CPrintStatusDlg::PageText(int page)
{
    return QStringLiteral("第 %1 页").arg(page);
}

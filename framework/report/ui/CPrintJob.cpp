#include "CPrintJob.h"

#include "CKvDC.h"
#include "CKvException.h"
#include "CLayoutItem.h"
#include "CPrintInfo.h"
#include "CPrintStatusDlg.h"
#include "KvClock.h"
#include "KvMessage.h"
#include "KvPrintFont.h"
#include "KvPrinterPaper.h"
#include "KvUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace {

// Notices a request to end the program while a job pumps the messages of the
// thread between its pages.
class CQuitWatch : public QObject
{
public:
    CQuitWatch()
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(this);
    }
    ~CQuitWatch() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(this);
    }
    bool QuitRequested() const { return m_quit || QCoreApplication::closingDown(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
            m_quit = true;
        return false;
    }

private:
    bool m_quit = false;
};

// Lets the thread handle what waits in its queue after a page, so that other
// windows stay alive; false when the program is told to end meanwhile.
bool PrintAbortProc(const CQuitWatch& watch)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !watch.QuitRequested();
}

// A PDF file of the document in the program folder, named after the time so
// that an earlier receipt is never overwritten.
QString NewOutputFile()
{
    const QDir folder(GetAppDirectory());
    const QString stem =
        CPrintJob::DocumentName() + QStringLiteral("_") + KvClock::Now().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString path = folder.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFile::exists(path); ++n)
        path = folder.filePath(stem + QStringLiteral("_%1.pdf").arg(n));
    return path;
}

} // namespace

CPrintJob::CPrintJob(QWidget* owner) : m_owner(owner) {}

CPrintJob::~CPrintJob() = default;

QString CPrintJob::DocumentName()
{
    return QStringLiteral("报表1");
}

bool CPrintJob::OnPreparePrinting(CPrintInfo&)
{
    return true;
}

void CPrintJob::OnPrepareDC(CKvDC&, CPrintInfo& info)
{
    // A job that never sets its page count prints one page.
    info.m_bContinuePrinting = info.GetMaxPage() < CPrintInfo::NoPageLimit || info.m_nCurPage == 1;
}

void CPrintJob::OnBeginPrinting(CKvDC& dc, CPrintInfo&)
{
    m_printableWidth = dc.GetDeviceCaps(HORZRES);
    m_printableHeight = dc.GetDeviceCaps(VERTRES);
    m_physicalWidth = dc.GetDeviceCaps(PHYSICALWIDTH);
    m_physicalHeight = dc.GetDeviceCaps(PHYSICALHEIGHT);
    m_physicalOffsetX = dc.GetDeviceCaps(PHYSICALOFFSETX);
    m_physicalOffsetY = dc.GetDeviceCaps(PHYSICALOFFSETY);
    m_pixelsPerInchX = dc.GetDeviceCaps(LOGPIXELSX);
    m_pixelsPerInchY = dc.GetDeviceCaps(LOGPIXELSY);
}

void CPrintJob::OnPrint(CKvDC& dc, CPrintInfo&)
{
    Draw(dc);
}

void CPrintJob::OnEndPrinting(CKvDC&, CPrintInfo&) {}

void CPrintJob::ReleaseGraphics()
{
    m_bodyFont.reset();
    m_titleFont.reset();
    m_boldBodyFont.reset();
    m_thinPen.reset();
    m_thickPen.reset();
}

void CPrintJob::ShowPageStretch(CKvDC& dc, const CPrintInfo& info)
{
    if (!dc.IsPrinting())
        return;
    dc.SetMapMode(MM_LOMETRIC);
    const int height = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    dc.SetWindowOrg(0, -(info.m_nCurPage - 1) * height);
}

void CPrintJob::DrawShownPage(const CKvDC& dc, const std::function<void(int page)>& drawPage) const
{
    if (!dc.GetPainter() || m_pageCount < 1)
        return;
    // The other pages fall outside the sheet: drawing them would only cost.
    const int height = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    if (height <= 0) {
        for (int page = 0; page < m_pageCount; ++page)
            drawPage(page);
        return;
    }
    const int shown = static_cast<int>(std::lround(-double(dc.GetWindowOrg().y()) / height));
    drawPage(std::clamp(shown, 0, m_pageCount - 1));
}

QFont CPrintJob::PointFont(const CKvDC& dc, int points, int weight)
{
    QFont font = KvPrintFont(QStringLiteral("宋体"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dc.LogicalUnitsPerPoint()))));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QPen CPrintJob::SolidPen(int width)
{
    QPen pen(Qt::black);
    pen.setWidth(width);
    pen.setStyle(Qt::SolidLine);
    return pen;
}

bool CPrintJob::DoPreparePrinting(CPrintInfo& info)
{
    if (info.GetMinPage() > info.GetMaxPage())
        info.SetMaxPage(info.GetMinPage());
    if (!info.m_printer) {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (!printer.isNull()) {
            info.m_printer = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
            info.m_outputFile.clear();
        } else {
            // No printer on this machine: the document goes into a PDF file.
            info.m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            info.m_printer->setOutputFormat(QPrinter::PdfFormat);
            info.m_outputFile = NewOutputFile();
            info.m_printer->setOutputFileName(info.m_outputFile);
        }
        ApplyPrinterPaper(*info.m_printer);
        info.m_printer->setDocName(DocumentName());
    }
    info.SetFromPage(info.GetMinPage());
    info.SetToPage(info.GetMaxPage());
    return info.m_printer != nullptr;
}

bool CPrintJob::PrintDirect(bool direct)
{
    // Between pages the loop lets the other windows work: a second print
    // command on this job must wait until the first has ended.
    if (m_printing)
        return false;
    m_printing = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_printing};

    CPrintInfo info;
    info.m_bDirect = direct;
    if (!OnPreparePrinting(info))
        return false;
    QPrinter& printer = *info.m_printer;
    m_lastOutputFile = info.m_outputFile;

    CKvDC dc(nullptr, KvPageMetrics::Of(printer));
    OnBeginPrinting(dc, info);

    CPrintStatusDlg status(m_owner);
    status.SetDocumentName(DocumentName());
    status.SetPrinterName(info.m_outputFile.isEmpty() ? printer.printerName()
                                                      : QDir::toNativeSeparators(info.m_outputFile));
    status.show();

    QPainter painter;
    if (!painter.begin(&printer)) {
        OnEndPrinting(dc, info);
        status.close();
        m_lastOutputFile.clear();
        WarningBox(QStringLiteral("无法开始打印作业！"), m_owner);
        return false;
    }
    dc.SetPainter(&painter);

    // The range to print, both ends included; backwards when it is given so.
    const int minPage = info.GetMinPage();
    const int maxPage = std::max(info.GetMaxPage(), minPage);
    const int start = std::clamp(info.GetFromPage(), minPage, maxPage);
    int end = std::clamp(info.GetToPage(), minPage, maxPage);
    const int step = end < start ? -1 : 1;
    if (end != CPrintInfo::NoPageLimit)
        end += step;

    CQuitWatch quitWatch;
    bool failed = false;
    bool quit = false;
    QString failure;
    bool firstPage = true;
    for (info.m_nCurPage = start; info.m_nCurPage != end; info.m_nCurPage += step) {
        info.m_rectDraw = dc.DPtoLP(QRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)));
        try {
            OnPrepareDC(dc, info);
            if (!info.m_bContinuePrinting)
                break;
            status.SetPage(info.m_nCurPage);
            // The painter starts on the first page; each further page is a new sheet.
            if (!firstPage && !printer.newPage()) {
                failed = true;
                break;
            }
            firstPage = false;
            dc.Apply();
            OnPrint(dc, info);
        } catch (const CKvException& e) {
            failed = true;
            failure = e.text();
            break;
        }
        if (printer.printerState() == QPrinter::Error) {
            failed = true;
            break;
        }
        if (!PrintAbortProc(quitWatch)) {
            quit = true;
            break;
        }
    }
    const int failedPage = info.m_nCurPage;

    if (failed || quit)
        printer.abort();
    painter.end();
    if ((failed || quit) && !info.m_outputFile.isEmpty()) {
        // A document cut short is not left behind as if it were complete.
        QFile::remove(info.m_outputFile);
        m_lastOutputFile.clear();
    }
    OnEndPrinting(dc, info);
    status.close();

    if (failed) {
        QString text = QStringLiteral("打印第 %1 页时出错，打印已中止！").arg(failedPage);
        if (!failure.isEmpty())
            text += QStringLiteral("\n") + failure;
        WarningBox(text, m_owner);
        return false;
    }
    if (quit)
        return false;
    if (!info.m_outputFile.isEmpty())
        PromptBox(QStringLiteral("没有安装打印机，已打印到文件：\n%1").arg(QDir::toNativeSeparators(info.m_outputFile)),
                  m_owner);
    return true;
}

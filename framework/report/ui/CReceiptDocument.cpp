#include "CReceiptDocument.h"

#include "CKvDC.h"
#include "CLayoutItem.h"
#include "CPrintInfo.h"

#include <algorithm>
#include <cmath>

CReceiptDocument::CReceiptDocument(CAdoConnection& localDb, QWidget* owner) : CPrintJob(owner), m_db(localDb) {}

void CReceiptDocument::SetReceiptCount(int n)
{
    m_values.SetReceiptCount(n);
    m_pageCount = m_values.GetReceiptCount();
}

bool CReceiptDocument::OnPreparePrinting(CPrintInfo& info)
{
    return DoPreparePrinting(info);
}

void CReceiptDocument::BuildItems()
{
    m_items.clear();
    const int copies = m_values.GetReceiptCount();
    if (copies < 1)
        return;
    int pageWidth = 0;
    int pageLength = 0;
    LoadReportPageSize(m_db, ReceiptLayoutId, pageWidth, pageLength);

    // Built fields, texts, lines; each new item goes to the head of the list,
    // so lines are drawn first and the fields last, over them.
    std::vector<std::unique_ptr<CLayoutItem>> built;
    const auto place = [&](CLayoutItem& item, int left, int top, int right, int bottom, int copy) {
        item.m_left = left;
        item.m_right = right;
        item.m_top = top + copy * pageLength;
        item.m_bottom = bottom + copy * pageLength;
    };
    const std::vector<KvFieldRow> fields = LoadReportFields(m_db, ReceiptLayoutId);
    for (int k = 0; k < copies; ++k) {
        for (const KvFieldRow& row : fields) {
            auto item = std::make_unique<CFieldItem>();
            place(*item, row.left, row.top, row.right, row.bottom, k);
            item->m_caption = row.caption;
            item->m_fieldType = row.fieldType;
            item->m_rankNo = row.rankNo;
            item->m_priceNo = row.priceNo;
            item->m_monthNo = row.monthNo;
            item->m_meterNo = row.meterNo;
            item->m_bkMode = row.bkMode;
            item->m_height = row.height;
            item->m_font = row.font;
            item->m_text = m_values.FieldText(k, row);
            built.push_back(std::move(item));
        }
    }
    const std::vector<KvTextRow> texts = LoadReportTexts(m_db, ReceiptLayoutId);
    for (int k = 0; k < copies; ++k) {
        for (const KvTextRow& row : texts) {
            auto item = std::make_unique<CTextItem>();
            place(*item, row.left, row.top, row.right, row.bottom, k);
            item->m_bkMode = row.bkMode;
            item->m_height = row.height;
            item->m_text = row.text;
            item->m_font = row.font;
            built.push_back(std::move(item));
        }
    }
    const std::vector<KvLineRow> lines = LoadReportLines(m_db, ReceiptLayoutId);
    for (int k = 0; k < copies; ++k) {
        for (const KvLineRow& row : lines) {
            auto item = std::make_unique<CLineItem>();
            place(*item, row.left, row.top, row.right, row.bottom, k);
            item->m_width = row.lineWidth;
            item->m_kind = row.lineType;
            built.push_back(std::move(item));
        }
    }
    std::reverse(built.begin(), built.end());
    m_items = std::move(built);
}

void CReceiptDocument::OnBeginPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnBeginPrinting(dc, info);
    dc.SetMapMode(MM_HIMETRIC);
    // The unprintable edge of the printer, as lengths.
    const int ox = dc.DeviceToLogicalX(dc.GetDeviceCaps(PHYSICALOFFSETX));
    const int oy = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALOFFSETY));
    m_topMargin = m_leftMargin = m_rightMargin = m_bottomMargin = 0;
    info.SetMaxPage(m_values.GetReceiptCount());

    BuildItems();
    // Stored positions are measured from the paper's edge, the printer draws
    // from its printable corner; the receipt also sits 3 mm up and left.
    for (const auto& item : m_items)
        item->Offset(-(300 + ox), 300 + oy);
}

void CReceiptDocument::OnPrepareDC(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnPrepareDC(dc, info);
    if (!dc.IsPrinting())
        return;
    dc.SetMapMode(MM_HIMETRIC);
    // Page p shows the stretch of the drawing p - 1 paper lengths down.
    const int length = dc.DeviceToLogicalY(dc.GetDeviceCaps(PHYSICALHEIGHT));
    dc.SetWindowOrg(0, -(info.m_nCurPage - 1) * length);
}

void CReceiptDocument::Draw(CKvDC& dc)
{
    dc.SetMapMode(MM_HIMETRIC);
    for (const auto& item : m_items)
        item->Draw(dc);
}

void CReceiptDocument::OnEndPrinting(CKvDC& dc, CPrintInfo& info)
{
    CPrintJob::OnEndPrinting(dc, info);
    ReleaseGraphics();
}

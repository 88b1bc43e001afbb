#include "CKvDC.h"
#include "CLayoutItem.h"
#include "CPrintInfo.h"
#include "CReceiptDocument.h"
#include "KvFreshDatabase.h"
#include "KvPrintTestUtil.h"
#include "KvPrinterPaper.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A device of 2540 pixels per inch: one 0.01 mm unit is one pixel, so item
// positions read directly as pixels (y up, from the top edge of the image).
struct CImageDevice
{
    QImage image{600, 600, QImage::Format_RGB32};
    QPainter painter;
    CKvDC dc;

    CImageDevice() : dc(nullptr, Metrics())
    {
        image.fill(Qt::white);
        painter.begin(&image);
        dc.SetPainter(&painter);
        dc.SetMapMode(MM_HIMETRIC);
    }
    static KvPageMetrics Metrics()
    {
        KvPageMetrics m;
        m.physicalWidth = m.printableWidth = 600;
        m.physicalHeight = m.printableHeight = 600;
        m.dpiX = m.dpiY = 2540;
        return m;
    }
    QImage Done()
    {
        painter.end();
        return image;
    }
};

bool IsInk(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Whether anything was drawn in the columns [x0, x1) of the rows [y0, y1).
bool InkIn(const QImage& image, int x0, int x1, int y0, int y1)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (IsInk(image, x, y))
                return true;
    return false;
}

// Draws one item with the box (left, top, right, bottom) alone on a blank device.
QImage DrawAlone(CLayoutItem& item, int left, int top, int right, int bottom)
{
    CImageDevice device;
    item.m_left = left;
    item.m_top = top;
    item.m_right = right;
    item.m_bottom = bottom;
    item.Draw(device.dc);
    return device.Done();
}

} // namespace

TEST(LayoutItems, LinesDrawByKindWithTheirWidthInTenthsOfAMillimetre)
{
    const struct
    {
        int kind;
        QPoint inked; // a point on the line (device pixels)
        QPoint blank; // a point off it
    } cases[] = {
        {1, {300, 100}, {300, 300}}, // along the top edge
        {2, {100, 300}, {300, 300}}, // along the left edge
        {3, {300, 300}, {150, 150}}, // top right to bottom left
        {4, {300, 300}, {450, 150}}, // top left to bottom right
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CLineItem line;
        line.m_kind = c.kind;
        line.m_width = 3;
        const QImage image = DrawAlone(line, 100, -100, 500, -500);
        EXPECT_TRUE(IsInk(image, c.inked.x(), c.inked.y()));
        EXPECT_FALSE(IsInk(image, c.blank.x(), c.blank.y()));
        if (c.kind == 1) {
            // 3 tenths of a millimetre: 30 units, 15 on each side of the edge.
            EXPECT_TRUE(IsInk(image, 300, 86));
            EXPECT_TRUE(IsInk(image, 300, 113));
            EXPECT_FALSE(IsInk(image, 300, 83));
            EXPECT_FALSE(IsInk(image, 300, 117));
        }
    }
    for (int kind : {0, 5, -1}) {
        CLineItem line;
        line.m_kind = kind;
        EXPECT_FALSE(InkIn(DrawAlone(line, 100, -100, 500, -500), 0, 600, 0, 600))
            << "kind " << kind << " draws nothing";
    }
}

TEST(LayoutItems, AFieldIsCutOffAtItsBoxAndALabelIsNot)
{
    KvLogFont font;
    font.lfHeight = 200; // 20 points: about 700 units, wider than the box at once
    CFieldItem field;
    field.m_text = QStringLiteral("WWWWWWWW");
    field.m_font = font;
    const QImage clipped = DrawAlone(field, 100, -100, 250, -300);
    EXPECT_TRUE(InkIn(clipped, 100, 250, 100, 300));
    EXPECT_FALSE(InkIn(clipped, 250, 600, 0, 600)) << "nothing right of the box";
    EXPECT_FALSE(InkIn(clipped, 0, 600, 300, 600)) << "nothing below the box";

    CTextItem text;
    text.m_text = QStringLiteral("WWWWWWWW");
    text.m_font = font;
    const QImage free = DrawAlone(text, 100, -100, 250, -300);
    EXPECT_TRUE(InkIn(free, 250, 600, 0, 600)) << "a label runs past its box";
    EXPECT_FALSE(InkIn(free, 0, 600, 0, 175)) << "written from 0.8 mm below the top";
}

class ReceiptDocumentTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        // The receipt printers set the layout's paper before printing.
        int width = 0;
        int length = 0;
        ASSERT_TRUE(LoadReportPageSize(db(), 1, width, length));
        SetPrinterPaper(3, static_cast<short>(std::abs(length) / 10), static_cast<short>(width / 10));
    }
};

TEST_F(ReceiptDocumentTest, TwoCopiesPrintOneAPageTheSecondOnePageLengthLower)
{
    CReceiptDocument doc(db());
    FillSampleSale(doc, 2);
    ASSERT_TRUE(doc.PrintDirect(false));

    // The receipts went into a PDF file in the program folder, and the
    // operator was told where.
    const QStringList files = PdfFiles();
    ASSERT_EQ(files, QStringList{"报表1_20261210093000.pdf"});
    const QString path = QDir(GetAppDirectory()).filePath(files.first());
    EXPECT_EQ(doc.GetLastOutputFile(), path);
    EXPECT_EQ(PdfPageCount(path), 2);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("提示"));
    EXPECT_TRUE(sink.Messages()[0].text.contains(QDir::toNativeSeparators(path)));

    // Every item of the second copy is the first copy's, 148 mm lower, with
    // the second copy's values.
    std::vector<const CFieldItem*> first;
    std::vector<const CFieldItem*> second;
    for (const auto& item : doc.Items()) {
        if (auto* field = dynamic_cast<const CFieldItem*>(item.get()))
            (field->m_top > -14800 - 300 ? first : second).push_back(field);
    }
    ASSERT_EQ(first.size(), second.size());
    ASSERT_FALSE(first.empty());
    int invoiceFields = 0;
    for (const CFieldItem* a : first) {
        const auto twin = std::find_if(second.begin(), second.end(), [a](const CFieldItem* b) {
            return b->m_left == a->m_left && b->m_top == a->m_top - 14800 && b->m_bottom == a->m_bottom - 14800 &&
                   b->m_fieldType == a->m_fieldType && b->m_meterNo == a->m_meterNo;
        });
        ASSERT_NE(twin, second.end()) << a->m_text.toStdString();
        if (a->m_text == QStringLiteral("00000012_1")) {
            EXPECT_EQ((*twin)->m_text, QStringLiteral("00000012_2"));
            ++invoiceFields;
        } else {
            EXPECT_EQ((*twin)->m_text, a->m_text);
        }
    }
    EXPECT_EQ(invoiceFields, 1);

    // Lines are drawn first and fields last, over them.
    EXPECT_NE(dynamic_cast<const CLineItem*>(doc.Items().front().get()), nullptr);
    EXPECT_NE(dynamic_cast<const CFieldItem*>(doc.Items().back().get()), nullptr);
}

TEST_F(ReceiptDocumentTest, ItemsSitThreeMillimetresUpAndLeftOfTheStoredPositions)
{
    CReceiptDocument doc(db());
    FillSampleSale(doc, 1);
    CPrintInfo info;
    ASSERT_TRUE(doc.OnPreparePrinting(info));
    const KvPageMetrics metrics = KvPageMetrics::Of(*info.m_printer);
    CKvDC dc(nullptr, metrics);
    doc.OnBeginPrinting(dc, info);
    EXPECT_EQ(info.GetMaxPage(), 1);

    const int ox = qRound(metrics.offsetX * 2540.0 / metrics.dpiX);
    const int oy = qRound(metrics.offsetY * 2540.0 / metrics.dpiY);
    const std::vector<KvLineRow> rows = LoadReportLines(db(), 1);
    // The first stored line is the last line item, moved by 3 mm and the
    // printer's unprintable edge.
    const auto* line = dynamic_cast<const CLineItem*>(doc.Items().front().get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->m_left, rows.back().left - 300 - ox);
    EXPECT_EQ(line->m_top, rows.back().top + 300 + oy);
    EXPECT_EQ(line->m_width, rows.back().lineWidth);
    EXPECT_EQ(line->m_kind, rows.back().lineType);

    // No receipts, no items.
    doc.SetReceiptCount(0);
    doc.OnBeginPrinting(dc, info);
    EXPECT_TRUE(doc.Items().empty());
}

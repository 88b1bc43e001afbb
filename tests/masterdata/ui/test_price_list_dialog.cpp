#include "../../framework/report/ui/KvPrintTestUtil.h"
#include "../../records/masterdata/MasterDataTestHelpers.h"
#include "KvMasterDialogTest.h"

#include "CKvDC.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CPriceListDlg.h"
#include "CPriceTablePrintJob.h"
#include "CPrintInfo.h"
#include "CPrintPreviewDlg.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvMainCommands.h"
#include "KvMasterDataCommands.h"
#include "KvPrinterPaper.h"
#include "KvSql.h"

#include <QAction>
#include <QDateEdit>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

namespace {

// Records what a print job draws: the texts in drawing order and the lines.
class CRecordingEngine : public QPaintEngine
{
public:
    CRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    // A text is handed over in runs of one script each: runs that continue
    // one another on the same line are one text.
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        if (!texts.isEmpty() && std::abs(p.y() - m_lastY) < 0.01 && std::abs(p.x() - m_lastEnd) < 0.5)
            texts.last() += item.text();
        else
            texts << item.text();
        m_lastY = p.y();
        m_lastEnd = p.x() + item.width();
    }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawLines(const QLine*, int count) override { lines += count; }
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
    int lines = 0;

private:
    qreal m_lastY = 0;
    qreal m_lastEnd = 0;
};

class CRecordingDevice : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    CRecordingEngine& Engine() { return m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return 5000;
        case PdmHeight:
            return 7000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 600;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 1;
        }
    }

private:
    mutable CRecordingEngine m_engine;
};

// The darkest pixel of a cell as the list paints it: the colour of its text.
QColor TextColour(CKvExtList2* list, int row)
{
    const QRect rect(0, 0, 160, 20);
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        list->PaintCell(&painter, rect, row, 1, false);
    }
    QColor darkest = Qt::white;
    // The grid lines are left out: only the inside of the cell.
    for (int y = 3; y < rect.height() - 3; ++y)
        for (int x = 3; x < rect.width() - 3; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.lightness() < darkest.lightness())
                darkest = pixel;
        }
    return darkest;
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 70 && std::abs(a.green() - b.green()) < 70 &&
           std::abs(a.blue() - b.blue()) < 70;
}

const QColor kGreen(0, 200, 0);
const QColor kBlue(0, 0, 255);
const QColor kDarkRed(180, 0, 0);

void DoubleClickRow(CKvExtList2* list, int row)
{
    const QPoint pos = list->visualItemRect(list->item(row, 0)).center();
    MouseClick(list->viewport(), pos);
    const QPointF local(pos);
    const QPointF global(list->viewport()->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &release);
}

// The price edit dialog answered with values and saved; a dialog that
// refuses and stays open is cancelled so that no test waits on it.
CModalScript::Action SavePrice(const QString& code, const QString& price, const QDate& start = QDate())
{
    return [=](QWidget* dialog) {
        if (!code.isEmpty()) {
            CModalScript::Type(dialog, 1065, code);
            CModalScript::Type(dialog, 1066, code + QStringLiteral("电价"));
        }
        CModalScript::Type(dialog, 1000, price);
        if (start.isValid())
            Control<QDateEdit>(dialog, 1069)->setDate(start);
        ClickButton(dialog, 1020);
        if (dialog->isVisible())
            ClickButton(dialog, 1021);
    };
}

class PriceListTest : public MasterDialogTest
{
protected:
    PriceListTest() { GetCurrentOperator()->SetOperatorNo("op01"); }
    ~PriceListTest() override { SetPrinterPaper(1, 0, 0); }

    // A code's first version, saved.
    void addPrice(const QString& priceNo, double price, const QString& begin)
    {
        NewPrice(priceNo, price, begin)->Save();
    }
    // A later version of a stored code's latest version.
    void addVersion(const QString& priceNo, double price, const QString& begin)
    {
        CPriceVerList list;
        list.LoadAll();
        CPriceVer* latest = nullptr;
        for (int i = 0; i < list.GetCount(); ++i)
            if (list.At(i)->GetPriceNo() == priceNo)
                latest = list.At(i);
        ASSERT_NE(latest, nullptr);
        list.AddVersion(NextVersion(*latest, price, begin), latest);
    }
    QString history(const QString& priceNo)
    {
        return fresh.Value(KvFormatSql("select group_concat(BeginDate || '..' || EndDate || '@' || Price, ' ') from "
                                       "(select * from PriceVer where PriceNo = '%s' order by PriceIndex)",
                                       priceNo));
    }
    std::unique_ptr<CPriceListDlg> openDialog()
    {
        auto dialog = std::make_unique<CPriceListDlg>(nullptr, QStringLiteral("价目维护"));
        dialog->EnsureInitialised();
        dialog->show();
        return dialog;
    }
    static int selectedRow(CKvExtList2* list) { return list->GetSelectedRow(); }
};

} // namespace

TEST_F(PriceListTest, ListsShowLatestVersionsAndTheHistoryInTheirColours)
{
    addPrice("A1", 0.5, "2026-01-01");
    addVersion("A1", 0.6, "2026-11-01");
    addVersion("A1", 0.7, "2027-01-01");
    addPrice("B2", 1.25, "2026-06-01");
    auto dialog = openDialog();
    CKvExtList2* upper = dialog->GetUpperList();
    CKvExtList2* lower = dialog->GetLowerList();

    EXPECT_EQ(ListRows(upper), QStringList({"A1|A1名称|预付费电价|度|0.7000|2027-01-01|2050-12-31",
                                            "B2|B2名称|预付费电价|度|1.2500|2026-06-01|2050-12-31"}));
    // The last code is selected and its history shown.
    EXPECT_EQ(selectedRow(upper), 1);
    EXPECT_EQ(ListRows(lower), QStringList({"B2|B2名称|预付费电价|度|1.2500|2026-06-01|2050-12-31"}));

    ClickRow(upper, 0);
    EXPECT_EQ(ListRows(lower), QStringList({"A1|A1名称|预付费电价|度|0.5000|2026-01-01|2026-10-31",
                                            "A1|A1名称|预付费电价|度|0.6000|2026-11-01|2026-12-31",
                                            "A1|A1名称|预付费电价|度|0.7000|2027-01-01|2050-12-31"}));
    // A latest version that begins later is blue, the current one green, history dark red.
    EXPECT_TRUE(Near(TextColour(upper, 0), kBlue)) << TextColour(upper, 0).name().toStdString();
    EXPECT_TRUE(Near(TextColour(upper, 1), kGreen)) << TextColour(upper, 1).name().toStdString();
    EXPECT_TRUE(Near(TextColour(lower, 0), kDarkRed)) << TextColour(lower, 0).name().toStdString();
    EXPECT_TRUE(Near(TextColour(lower, 1), kGreen)) << TextColour(lower, 1).name().toStdString();
    EXPECT_TRUE(Near(TextColour(lower, 2), kBlue)) << TextColour(lower, 2).name().toStdString();

    // A double-click on the history shows that version and writes nothing.
    QStringList shown;
    CModalScript script;
    script.Then([&](QWidget* view) {
        shown << view->windowTitle() << Control<QLineEdit>(view, 1065)->text() << Control<QLineEdit>(view, 1000)->text()
              << Control<QDateEdit>(view, 1069)->date().toString(Qt::ISODate);
        EXPECT_FALSE(Control<QLineEdit>(view, 1000)->isEnabled());
        ClickButton(view, 1021);
    });
    const QString before = history("A1");
    DoubleClickRow(lower, 0);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(shown, QStringList({"查看价目", "A1", "0.5000", "2026-01-01"}));
    EXPECT_EQ(history("A1"), before);
}

TEST_F(PriceListTest, AddSavesANewCodeAndAsksAgainAfterADuplicate)
{
    addPrice("A1", 0.5, "2026-01-01");
    auto dialog = openDialog();

    CModalScript script;
    QString reopenedCode;
    script.Then(SavePrice("A1", "0.66")).Then([&](QWidget* again) {
        // The entry comes back as it was filled, for the code to be changed.
        reopenedCode = Control<QLineEdit>(again, 1065)->text();
        EXPECT_EQ(Control<QLineEdit>(again, 1000)->text(), "0.6600");
        SavePrice("C3", "0.66")(again);
    });
    ClickButton(dialog.get(), 1024);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList({"价目代码重复！"}));
    EXPECT_EQ(reopenedCode, "A1");
    EXPECT_EQ(history("C3"), "2026-12-10..2050-12-31@0.66");
    EXPECT_EQ(fresh.Value("select PriceName from Price where PriceNo = 'C3'"), "C3电价");
    CKvExtList2* upper = dialog->GetUpperList();
    ASSERT_EQ(upper->GetItemCount(), 2);
    EXPECT_EQ(upper->GetItemText(1, 0), "C3");
    EXPECT_EQ(selectedRow(upper), 1);
    EXPECT_EQ(ListRows(dialog->GetLowerList()), QStringList({"C3|C3电价|预付费电价|度|0.6600|2026-12-10|2050-12-31"}));

    // Cancel writes nothing.
    script.Then([](QWidget* edit) { ClickButton(edit, 1021); });
    ClickButton(dialog.get(), 1024);
    EXPECT_EQ(fresh.Count("select * from Price"), 2);
}

TEST_F(PriceListTest, ModifyWritesANewVersionUnderItsRules)
{
    struct Case
    {
        const char* what;
        const char* begin;   // of the code's only version
        QDate start;         // entered
        const char* price;   // entered
        QString message;     // expected, empty for none
        const char* history; // afterwards
    } cases[] = {
        {"nothing changed writes nothing", "2027-01-01", QDate(2027, 1, 1), "0.5000", "", "2027-01-01..2050-12-31@0.5"},
        {"a started version is closed the day before", "2026-11-01", QDate(2026, 12, 15), "0.55", "",
         "2026-11-01..2026-12-14@0.5 2026-12-15..2050-12-31@0.55"},
        {"no earlier start than the old one", "2027-01-01", QDate(2026, 12, 20), "0.55",
         "修改后的价目起始日期不应早于原来的起始日期！", "2027-01-01..2050-12-31@0.5"},
        {"a pending version is replaced by one of the same day", "2027-01-01", QDate(2027, 1, 1), "0.55", "",
         "2027-01-01..2050-12-31@0.55"},
        {"a pending version is not followed by a later one", "2027-01-01", QDate(2027, 2, 1), "0.55",
         "只允许提前一个时期修改价目！", "2027-01-01..2050-12-31@0.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        exec("delete from RankPrice");
        exec("delete from PriceVer");
        exec("delete from Price");
        addPrice("A1", 0.5, c.begin);
        auto dialog = openDialog();
        sink.Clear();
        CModalScript script;
        script.Then(SavePrice(QString(), c.price, c.start));
        ClickButton(dialog.get(), 1025);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList({c.message}));
        EXPECT_EQ(history("A1"), QString::fromUtf8(c.history));
        // The upper row and the history follow what was written.
        CKvExtList2* upper = dialog->GetUpperList();
        ASSERT_EQ(upper->GetItemCount(), 1);
        EXPECT_EQ(upper->GetItemText(0, 5) + ".." + upper->GetItemText(0, 6),
                  QString::fromUtf8(c.history).section(' ', -1).section('@', 0, 0));
        EXPECT_EQ(dialog->GetLowerList()->GetItemCount(), QString::fromUtf8(c.history).count('@'));
    }
}

TEST_F(PriceListTest, ModifyAndDeleteNeedASelectedCode)
{
    auto dialog = openDialog();
    ClickButton(dialog.get(), 1025);
    ClickButton(dialog.get(), 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"请选择价目！", "请选择价目！"}));
    EXPECT_EQ(dialog->GetLowerList()->GetItemCount(), 0);
}

TEST_F(PriceListTest, DeleteIsRefusedWhileTheCodeIsUsed)
{
    struct Case
    {
        const char* use; // a row that uses A1 (of any date)
        QString message;
    } cases[] = {
        {"insert into CliFix(CliFixIndex, ClientNo, PriceNo, BeginDate, EndDate) "
         "values(1, 'U1', 'A1', '2025-01-01 00:00:00', '2025-12-31 00:00:00')",
         "已有用户设置改价目，不能删除！"},
        {"insert into PrePrice(PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) values(1, 7, 0, 'A1', 100)",
         "已有配表使用该价目，不能删除！"},
        {"insert into CliSub(CliSubIndex, ClientNo, MeterNo, SubX, SubNo, PriceNo) "
         "values(1, 'U1', 'M1', '1', 'S1', 'A1')",
         "已有附表使用该价目，不能删除！"},
        {"insert into CliMan(CliManIndex, ClientNo, PriceNo) values(1, 'U1', 'A1')",
         "已有手工表使用该价目，不能删除！"},
        {"insert into OtherFee(FeeIndex, ClientNo, PriceIndex) values(1, 'U1', 1)",
         "已有其他收费项使用该价目，不能删除！"},
    };
    addPrice("A1", 0.5, "2026-01-01"); // PriceIndex 1
    addVersion("A1", 0.6, "2026-11-01");
    addPrice("B2", 0.8, "2026-01-01");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        exec(QString::fromUtf8(c.use));
        auto dialog = openDialog();
        ClickRow(dialog->GetUpperList(), 0);
        sink.Clear();
        ClickButton(dialog.get(), 1026);
        EXPECT_EQ(sink.Texts(), QStringList({"确实要删除该价目吗？", c.message}));
        EXPECT_EQ(fresh.Count("select * from PriceVer where PriceNo = 'A1'"), 2);
        EXPECT_EQ(dialog->GetUpperList()->GetItemCount(), 2);
        for (const char* table : {"CliFix", "PrePrice", "CliSub", "CliMan", "OtherFee"})
            exec(QStringLiteral("delete from %1").arg(QString::fromUtf8(table)));
    }

    // Unused: No keeps it, Yes deletes every version and the lists are refilled.
    auto dialog = openDialog();
    ClickRow(dialog->GetUpperList(), 0);
    sink.Clear();
    sink.QueueAnswer(IDNO);
    ClickButton(dialog.get(), 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"确实要删除该价目吗？"}));
    EXPECT_EQ(fresh.Count("select * from Price"), 2);
    ClickButton(dialog.get(), 1026);
    EXPECT_EQ(fresh.Count("select * from PriceVer where PriceNo = 'A1'"), 0);
    EXPECT_EQ(fresh.Count("select * from Price where PriceNo = 'A1'"), 0);
    EXPECT_EQ(ListRows(dialog->GetUpperList()).size(), 1);
    EXPECT_EQ(ListRows(dialog->GetLowerList()), QStringList({"B2|B2名称|预付费电价|度|0.8000|2026-01-01|2050-12-31"}));

    // The last code gone, no history row is left behind.
    ClickButton(dialog.get(), 1026);
    EXPECT_EQ(dialog->GetUpperList()->GetItemCount(), 0);
    EXPECT_EQ(dialog->GetLowerList()->GetItemCount(), 0);
}

TEST_F(PriceListTest, ThePriceTablePrintsEveryRowInAFullGridOnA4)
{
    GetMainSysPara()->SetClientName(QStringLiteral("绿园"));
    for (int i = 1; i <= 45; ++i)
        addPrice(QStringLiteral("P%1").arg(i, 2, 10, QChar('0')), 0.5 + i / 100.0, "2026-01-01");
    auto dialog = openDialog();
    CPriceTablePrintJob* job = dialog->GetPrintJob();
    ASSERT_NE(job, nullptr);

    SetPrinterPaper(1, 0, 0);
    CPrintInfo info;
    ASSERT_TRUE(job->DoPreparePrinting(info));
    CRecordingDevice device;
    QPainter painter(&device);
    CKvDC dc(&painter, KvPageMetrics::Of(*info.m_printer));
    job->OnBeginPrinting(dc, info);
    // A4 less the margins holds 41 rows a page.
    EXPECT_EQ(job->GetRowsPerPage(), 41);
    EXPECT_EQ(job->GetPageCount(), 2);
    EXPECT_EQ(info.GetMaxPage(), 2);
    EXPECT_EQ(job->GetTitle(), "绿园水电物业价目表");

    const QStringList headers = {"价目代码", "价目名称", "价目类型", "计价单位", "单价", "有效期始", "有效期止"};
    const int rulesPerPage = 41 + 2 + 1 + 8; // below header and rows, top and bottom, columns and left border
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        CRecordingEngine& engine = device.Engine();
        engine.texts.clear();
        engine.lines = 0;
        info.m_nCurPage = page;
        job->OnPrepareDC(dc, info);
        dc.Apply();
        job->OnPrint(dc, info);
        ASSERT_GE(engine.texts.size(), 8);
        EXPECT_EQ(engine.texts.first(), "绿园水电物业价目表");
        EXPECT_EQ(engine.texts.mid(1, 7), headers);
        const int rows = page == 1 ? 41 : 4;
        EXPECT_EQ(engine.texts.size(), 1 + 7 + rows * 7 + 1);
        const int first = (page - 1) * 41 + 1;
        EXPECT_EQ(engine.texts.mid(8, 7),
                  QStringList({QStringLiteral("P%1").arg(first, 2, 10, QChar('0')),
                               QStringLiteral("P%1名称").arg(first, 2, 10, QChar('0')), "预付费电价", "度",
                               QString::asprintf("%0.4f", 0.5 + first / 100.0), "2026-01-01", "2050-12-31"}));
        EXPECT_EQ(engine.texts.last(), QStringLiteral("第 %1 页，共 2 页").arg(page));
        // The second page is ruled in full although only four rows are filled.
        EXPECT_EQ(engine.lines, rulesPerPage + 1);
    }
    painter.end();
    job->OnEndPrinting(dc, info);
}

TEST_F(PriceListTest, PaperTooShortForARowStillPrintsOneRowAPage)
{
    for (int i = 1; i <= 3; ++i)
        addPrice(QStringLiteral("P%1").arg(i), 0.5, "2026-01-01");
    auto dialog = openDialog();
    // A sheet 3 cm long leaves no room for a row under the title.
    SetPrinterPaper(3, 300, 2100);
    CPrintInfo info;
    ASSERT_TRUE(dialog->GetPrintJob()->DoPreparePrinting(info));
    CKvDC dc(nullptr, KvPageMetrics::Of(*info.m_printer));
    dialog->GetPrintJob()->OnBeginPrinting(dc, info);
    EXPECT_EQ(dialog->GetPrintJob()->GetRowsPerPage(), 1);
    EXPECT_EQ(dialog->GetPrintJob()->GetPageCount(), 3);
}

TEST_F(PriceListTest, PrintOpensThePreviewOnA4AndWritesEveryPage)
{
    // Nothing to print: no preview.
    auto empty = openDialog();
    SetPrinterPaper(4, 0, 0);
    ClickButton(empty.get(), 1078);
    EXPECT_EQ(GetPrinterPaper().orientation(), QPageLayout::Landscape);

    for (int i = 1; i <= 45; ++i)
        addPrice(QStringLiteral("P%1").arg(i, 2, 10, QChar('0')), 0.5, "2026-01-01");
    auto dialog = openDialog();
    QString output;
    CModalScript script;
    script.Then([&](QWidget* window) {
        auto* preview = qobject_cast<CPrintPreviewDlg*>(window);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->GetPrintJob(), dialog->GetPrintJob());
        CModalScript::Click(window, 1078);
        output = dialog->GetPrintJob()->GetLastOutputFile();
        CModalScript::Click(window, 1001);
    });
    ClickButton(dialog.get(), 1078);
    EXPECT_TRUE(script.Exhausted());
    const QPageLayout paper = GetPrinterPaper();
    EXPECT_EQ(paper.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(paper.orientation(), QPageLayout::Portrait);
    ASSERT_FALSE(output.isEmpty());
    EXPECT_EQ(PdfPageCount(output), 2);
    if (qEnvironmentVariableIsSet("KV_KEEP_PRICE_TABLE"))
        QFile::copy(output, qEnvironmentVariable("KV_KEEP_PRICE_TABLE"));
}

TEST_F(PriceListTest, TheMenuCommandAndTheFirstRunSetupOpenTheDialog)
{
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{400, 401});
    frame.BuildRightsList();
    InstallMasterDataCommands(frame);

    QStringList seen;
    auto close = [&seen](QWidget* dialog) {
        seen << dialog->objectName() + ":" + dialog->windowTitle();
        EXPECT_EQ(dialog->parentWidget(), nullptr);
        CModalScript::Click(dialog, 1001);
    };
    CModalScript script;
    script.Then(close);
    ASSERT_TRUE(frame.GetCommandAction(ID_PRICE_LIST)->isEnabled());
    frame.GetCommandAction(ID_PRICE_LIST)->trigger();
    EXPECT_EQ(seen, QStringList({"dlg154:价目维护"}));

    // The administrator's first run reaches the same dialog among its steps.
    for (int id : {ID_CHANGE_PASSWORD, ID_SYSPARA, ID_METER_TYPE_ORDER, ID_STATIONS, ID_SELECT_STATION, ID_OPERATORS})
        frame.SetCommandHandler(id, [] {});
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
    script.Then(close);
    frame.RunFirstSetup();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(seen, QStringList({"dlg154:价目维护", "dlg154:价目维护"}));
}

// The fees a sale gathers, through the sales dialog against the card tool and
// fee library stand-ins: sub-meter readings from a reading card, by hand or
// from the programmer, the quota fees of dialog 217, manual items and other
// fees from the library, and the manual fees moved onto the card's meter.

#include "../FeeTestHelpers.h"
#include "CSubReadingDlg.h"
#include "CSubSubsidyDlg.h"
#include "CSysPara.h"
#include "KvModalScript.h"
#include "SaleDialogTest.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>

namespace {

const QString kMeter = QStringLiteral("00001234");
const QString kOther = QStringLiteral("00005678");
const QString kToday = QStringLiteral("2026-12-10");

// User C001 (two persons) with meter 00001234: one paid sale, write 1 of 50,
// 150 bought. Sub-meters are priced by W1 (水费, 2.0), quota fees by Q1
// (卫生费). The subsidy rate is 0.5 a person and day.
class SaleFeeTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        AddOperator(QStringLiteral("01"), QStringLiteral("张三"));
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        exec("update Client set MemberNum = 2");
        AddMeter(1, QStringLiteral("C001"), kMeter);
        AddImage(kMeter, 1, 50, 150);
        AddSale(100000001, 1, kMeter, 1, 50, 26);
        AddBalance(QStringLiteral("C001"), 12.5, 3);
        AddTypedPrice(db(), 50, QStringLiteral("W1"), QStringLiteral("水费"), QStringLiteral("附表价"), 2.0);
        AddTypedPrice(db(), 60, QStringLiteral("Q1"), QStringLiteral("卫生费"), QStringLiteral("定额收费价"), 1.0);
        exec("insert into CliFix(CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate) "
             "values(1, 'C001', 'Q1', 1, '2020-01-01', '2050-12-31')");
        GetMainSysPara()->SetCompRateWater(0.5);
        GetMainSysPara()->SetProgFlag(QStringLiteral("否"));
        GetMainSysPara()->SetTellFlag(QStringLiteral("否"));
        CopyFeeLibrary(fresh.AppDir());
    }

    void AddSub(int index, const QString& subX, const QString& subNo, int subConst = 100, int pulses = 300,
                double read = 20.5, const QString& readDate = QStringLiteral("2026-11-30"))
    {
        SubMeterRow row{index, kMeter, subX, subNo};
        row.subConst = subConst;
        row.thisPulses = pulses;
        row.thisRead = read;
        row.wrtNum = 1;
        row.readDate = readDate;
        AddSubMeterRow(db(), row);
    }
    void AddFixFee(int index, int yearMon, int wrtNum, double finalFee, const QString& begin, const QString& end,
                   int days)
    {
        exec(KvFormatSql("insert into FixFee values(%d, 1, %d, %d, -1, 60, 1, 1, '%s', '%s', %d, %f, %f, "
                         "'2026-12-01', '正常')",
                         index, yearMon, wrtNum, begin, end, days, finalFee, finalFee));
    }
    void AddManualFee(int index, const QString& meterNo, int wrtNum, const QString& state, double total,
                      const QString& yearMonth = QStringLiteral("2026-11"))
    {
        exec(KvFormatSql("insert into ManualFee(ManualIndex, MeterNo, WrtNum, WrtIndex, ClientName, Department, "
                         "ClientNo, YearMonth, SubRead, ElecRead, SubFee, ElecFee, TenementArea, Fee, TotalFee, "
                         "TeneFee, State) values(%d, '%s', %d, -1, '李四', '00', 'C001', '%s', 0, 0, 0, 0, 0, 0, "
                         "%f, 0, '%s')",
                         index, meterNo, wrtNum, yearMonth, total, state));
    }
    // A reading row of sub-meter 1 already stored for a write number.
    void AddStoredReading(int readIndex, int wrtNum, double fee)
    {
        exec(KvFormatSql("insert into SubRead values(%d, 'S1', 1, -1, %d, 1, 2, 200, 100, 1, 0, '2026-12-0%d', 0, "
                         "1, 50, 2, %f)",
                         readIndex, wrtNum, wrtNum + 1, fee));
    }
    // The main reading card of the meter, positions 1 to 4 as given.
    void PutReadingCard(const QList<QPair<int, int>>& pulsesAt, const QString& date = kToday, bool attached = false,
                        const QString& meterNo = kMeter)
    {
        CSimReadingCard card;
        card.meterNo = meterNo;
        card.attached = attached;
        for (const auto& position : pulsesAt)
            card.SetReading(position.first - 1, date, position.second, position.first == 2 ? 1 : 0);
        sim.AddReadingCard(1, card);
    }
    void ClearReadingCards() { sim.SetReadingCards(1, {}); }
    void PutUsedTopUpCard() { PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50); }

    // Dialog 178 confirmed with a subsidy typed in (or the proposal kept).
    static CModalScript::Action Subsidy(const QString& subsidy = QString())
    {
        return [subsidy](QWidget* dialog) {
            if (!subsidy.isNull())
                CModalScript::Type(dialog, 1190, subsidy);
            CModalScript::Click(dialog, 1000);
        };
    }
    static QString Text(QWidget* dialog, int id)
    {
        auto* edit = dialog->findChild<QLineEdit*>(CKvDialog::ControlName(id));
        return edit ? edit->text() : QStringLiteral("<none>");
    }
    int Count(const QString& sql) { return fresh.Count(sql); }
    QString Value(const QString& sql) { return fresh.Value(sql); }
};

} // namespace

// The whole flow: two water sub-meters read from the card, two quota months,
// an other fee from the library and a manual fee of another meter; then the
// same card read again asks nothing and shows the same rows.
TEST_F(SaleFeeTest, AUsedTopUpCardGathersEveryFeeOnceAndShowsThemAgain)
{
    GetCurrentOperator()->SetRights(QVector<int>{110, 111, 117});
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    AddSub(2, QStringLiteral("2"), QStringLiteral("S2"), 10, 100, 5, QStringLiteral("2026-12-01"));
    AddFixFee(1, 202610, -1, 12, QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"), 31);
    AddFixFee(2, 202611, -1, 13, QStringLiteral("2026-11-01"), QStringLiteral("2026-11-30"), 30);
    WriteFeeFixture(fresh.AppDir(), {"OtherItem|C001|垃圾费|2026-11-01|2026-11-30|30|0.1|30|3"});
    AddManualFee(1, kOther, 0, QStringLiteral("未收费"), 7.5);
    PutReadingCard({{1, 450}, {2, 130}});
    PutUsedTopUpCard();

    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    {
        CDialogScript script;
        script
            .Then([](QWidget* d) {
                EXPECT_EQ(d->windowTitle(), QStringLiteral("输入补助量"));
                EXPECT_EQ(Text(d, 1185), QStringLiteral("S1"));
                EXPECT_EQ(Text(d, 1187), QStringLiteral("20.50"));
                EXPECT_EQ(Text(d, 1188), QStringLiteral("22.00"));
                EXPECT_EQ(Text(d, 1189), QStringLiteral("1.50"));
                EXPECT_EQ(Text(d, 1198), QStringLiteral("2"));
                EXPECT_EQ(Text(d, 1197), QStringLiteral("10"));
                EXPECT_EQ(Text(d, 1196), QStringLiteral("0.5000"));
                EXPECT_EQ(Text(d, 1190), QStringLiteral("10.0000"));
                EXPECT_FALSE(d->findChild<QLineEdit*>(CKvDialog::ControlName(1190))->isReadOnly());
                Subsidy(QStringLiteral("0.5"))(d);
            })
            .Then(Subsidy(QStringLiteral("1")))
            .Then([](QWidget* d) {
                EXPECT_EQ(d->windowTitle(), QStringLiteral("定额收费项目"));
                CModalScript::Click(d, 1000);
            });
        Read(dialog);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), (QStringList{"dlg178 输入补助量", "dlg178 输入补助量", "dlg217 定额收费项目"}));
    }
    const QStringList subRows{"S1|水费|20.50|22.00|1.50|0.50|1.00|2.0000|2.00|2026-12-10",
                              "S2|水费|5.00|8.00|3.00|1.00|2.00|2.0000|4.00|2026-12-10"};
    const QStringList feeRows{"卫生费|2026-10-01|2026-10-31|31|12.00", "卫生费|2026-11-01|2026-11-30|30|13.00",
                              "垃圾费|2026-11-01|2026-11-30|30|3.00", "2026-11||||7.50"};
    const QString balance = QStringLiteral("应缴附表计费：6.00元\n\n应缴定额收费：35.50元\n\n用户余额：12.50元\n\n"
                                           "用户欠缴非电费为：29.00元");
    EXPECT_EQ(Rows(dialog, 1170), subRows);
    EXPECT_EQ(Rows(dialog, 1106), feeRows);
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", "请准备附表数据！自动上传附表数据吗？", balance}));
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(List(dialog, 1170)->GetRowObject(0)->GetClassName(), QStringLiteral("CSubRead"));
    EXPECT_EQ(List(dialog, 1106)->GetRowObject(3)->GetClassName(), QStringLiteral("CManualFee"));

    EXPECT_EQ(Count("select * from SubRead where WrtNum = 2 and WrtIndex = -1"), 2);
    EXPECT_EQ(fresh.Row("select * from SubRead where SubNo = 'S2'"),
              (QMap<QString, QString>{{"ReadIndex", Value("select ReadIndex from SubRead where SubNo = 'S2'")},
                                      {"SubNo", "S2"},
                                      {"CliSubIndex", "2"},
                                      {"WrtIndex", "-1"},
                                      {"WrtNum", "2"},
                                      {"LastRead", "5"},
                                      {"ThisRead", "8"},
                                      {"ThisPulses", "130"},
                                      {"LastPulses", "100"},
                                      {"RealUse", "3"},
                                      {"StealFlag", "1"},
                                      {"ReadTime", "2026-12-10"},
                                      {"FreeValue", "1"},
                                      {"BuyValue", "2"},
                                      {"PriceIndex", "50"},
                                      {"Price", "2"},
                                      {"Fee", "4"}}));
    EXPECT_EQ(Value("select ThisPulses || '/' || LastPulses || '/' || ThisRead || '/' || LastRead || '/' || WrtNum "
                    "|| '/' || WrtIndex || '/' || ReadDate from CliSub where CliSubIndex = 1"),
              QStringLiteral("450/300/22.0/20.5/2/-1/2026-12-10"));
    EXPECT_EQ(Count("select * from FixFee where WrtNum = 2"), 2);
    EXPECT_EQ(Count("select * from OtherItem where ClientNo = 'C001' and WrtNum = 2"), 1);
    EXPECT_EQ(Value("select MeterNo || '/' || WrtNum || '/' || State from ManualFee"),
              QStringLiteral("00001234/2/未收费"));

    // The same card again: nothing is asked, the same rows stand.
    {
        CDialogScript script;
        Read(dialog);
        EXPECT_TRUE(script.Seen().isEmpty());
    }
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", balance}));
    EXPECT_EQ(Rows(dialog, 1170), subRows);
    EXPECT_EQ(Rows(dialog, 1106), feeRows);
    EXPECT_EQ(Count("select * from SubRead"), 2);
    EXPECT_EQ(Count("select * from OtherItem"), 1);
    EXPECT_EQ(FeeLibraryLog(fresh.AppDir()),
              (QStringList{"LoadManFee C001 2 => inserted 0", "LoadOtherFee C001 2 => inserted 1",
                           "LoadManFee C001 2 => inserted 0", "LoadOtherFee C001 2 => inserted 0"}));
}

// Readings typed in (bTell): a reading below the last one after rounding to
// hundredths is refused; the subsidy is read-only without right 110.
TEST_F(SaleFeeTest, AReadingTypedInMustNotFallBelowTheLastOne)
{
    GetMainSysPara()->SetTellFlag(QStringLiteral("是"));
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"), 100, 300, 12.35);
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    QString proposed;
    CDialogScript script;
    script
        .Then([this](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("输入附表读数"));
            EXPECT_EQ(Text(d, 1185), QStringLiteral("S1"));
            EXPECT_EQ(Text(d, 1161), QStringLiteral("12.35"));
            CModalScript::Click(d, 1000);
            EXPECT_EQ(sink.Texts().last(), QStringLiteral("请输入本期读数！"));
            CModalScript::Type(d, 1202, QStringLiteral("12.344"));
            CModalScript::Click(d, 1000);
        })
        .Then([](QWidget* d) {
            CModalScript::Type(d, 1202, QStringLiteral("12.346"));
            d->findChild<QDateTimeEdit*>(CKvDialog::ControlName(1278))->setDate(QDate(2026, 12, 9));
            CModalScript::Click(d, 1000);
        })
        .Then([&proposed](QWidget* d) {
            auto* subsidy = d->findChild<QLineEdit*>(CKvDialog::ControlName(1190));
            EXPECT_TRUE(subsidy->isReadOnly());
            EXPECT_EQ(Text(d, 1197), QStringLiteral("9")); // 2026-11-30 to the reading date
            // Without the right the proposal stands: typing over it changes nothing.
            proposed = subsidy->text();
            subsidy->selectAll();
            QTest::keyClicks(subsidy, QStringLiteral("10"));
            EXPECT_EQ(subsidy->text(), proposed);
            CModalScript::Click(d, 1000);
        });
    Read(dialog);
    EXPECT_EQ(script.Seen(), (QStringList{"dlg187 输入附表读数", "dlg187 输入附表读数", "dlg178 输入补助量"}));
    EXPECT_EQ(sink.Texts().mid(0, 3),
              (QStringList{"该卡为已用充值卡！", "请输入本期读数！", "本次读数小于上次读数！"}));
    EXPECT_EQ(Value("select ThisPulses || '/' || LastPulses || '/' || ThisRead || '/' || LastRead || '/' || "
                    "StealFlag || '/' || ReadTime from SubRead"),
              QStringLiteral("-1/300/12.346/12.35/0/2026-12-09"));
    EXPECT_DOUBLE_EQ(Value("select FreeValue from SubRead").toDouble(), proposed.toDouble())
        << "the proposal, not the 10 typed without right 110";
    EXPECT_EQ(Value("select ThisPulses || '/' || ReadDate from CliSub"), QStringLiteral("-1/2026-12-09"));
    EXPECT_EQ(List(dialog, 1170)->GetItemText(0, 9), QStringLiteral("2026-12-09"));
}

// A reading typed in and the subsidy are numbers of their range, refused by
// name: a lone sign or point never reads as 0, a subsidy below 0 never
// charges more than was used, nor one beyond the range makes all free. The
// proposed subsidy (persons x days x rate, 4 decimals) is taken as offered.
TEST_F(SaleFeeTest, TheReadingAndTheSubsidyAreNumbersOfTheirRange)
{
    GetCurrentOperator()->SetRights(QVector<int>{110});
    const QString readingRange = QStringLiteral("本期读数应为0到99999999之间的数，最多4位小数！");
    const QString subsidyRange = QStringLiteral("补助量应为0到99999999之间的数，最多4位小数！");
    const struct
    {
        int field; // 1202 this reading (dialog 187), 1190 the subsidy (dialog 178)
        const char* typed; // null: the dialog's own text
        bool refused;
    } cases[] = {
        {1202, "-", true},  {1202, ".", true},       {1202, "1e20", true},
        {1202, "-5", true}, {1202, "100000000", true}, {1202, "12.346", false},
        {1190, "-5", true}, {1190, "-", true},       {1190, "99999999999999", true},
        {1190, ".", true},  {1190, "2.5", false},    {1190, "99999999", false},
        {1190, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + (c.typed ? c.typed : "offered"));
        std::unique_ptr<CKvDialog> dialog;
        if (c.field == 1202) {
            auto reading = std::make_unique<CSubReadingDlg>(nullptr);
            reading->m_strLastRead = QStringLiteral("12.35");
            dialog = std::move(reading);
        } else {
            auto subsidy = std::make_unique<CSubSubsidyDlg>(nullptr);
            subsidy->m_strPersons = QStringLiteral("3");
            subsidy->m_LastReadDate = QDateTime(QDate(2026, 11, 30), QTime(0, 0));
            subsidy->m_ThisReadDate = QDateTime(QDate(2026, 12, 5), QTime(0, 0));
            dialog = std::move(subsidy);
        }
        dialog->EnsureInitialised();
        if (c.field == 1190) {
            EXPECT_EQ(Text(dialog.get(), 1190), QStringLiteral("7.5000")); // 3 persons, 5 days, 0.5
        }
        if (c.typed)
            CModalScript::Type(dialog.get(), c.field, QString::fromUtf8(c.typed));
        sink.Clear();
        CModalScript::Click(dialog.get(), 1000);
        const QString message = !c.refused ? QString() : c.field == 1202 ? readingRange : subsidyRange;
        EXPECT_EQ(sink.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        EXPECT_EQ(dialog->result() == QDialog::Accepted, !c.refused);
    }
}

// Abandoning keeps nothing of the batch and stops the sale; an operator who
// may remove sub-meters passes one over, which still stops a sale without
// the right to top up unread.
TEST_F(SaleFeeTest, AnAbandonedEntryLeavesNoRowAndStopsTheSale)
{
    GetMainSysPara()->SetTellFlag(QStringLiteral("是"));
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    AddSub(2, QStringLiteral("2"), QStringLiteral("S2"));
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    {
        CDialogScript script;
        script.Confirm({{1202, QStringLiteral("30")}}).Then(Subsidy()).Cancel().Cancel();
        sink.QueueAnswer(IDOK);  // 该卡为已用充值卡！
        sink.QueueAnswer(IDNO);  // 确实要放弃…: No, the dialog again
        sink.QueueAnswer(IDYES); // 确实要放弃…
        Read(dialog);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(sink.Texts(),
              (QStringList{"该卡为已用充值卡！", "确实要放弃对该表录入数据吗？", "确实要放弃对该表录入数据吗？",
                           "应缴附表计费：0.00元\n\n应缴定额收费：0.00元\n\n用户余额：12.50元\n\n"
                           "扣除应缴非电费，用户尚有余额：12.50元"}));
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Count("select * from SubRead"), 0);
    EXPECT_EQ(Value("select WrtNum || '/' || ThisPulses from CliSub where CliSubIndex = 1"), QStringLiteral("1/300"));
    EXPECT_EQ(List(dialog, 1170)->GetItemCount(), 0);

    GetCurrentOperator()->SetRights(QVector<int>{111, 117, 223});
    {
        CDialogScript script;
        script.Confirm({{1202, QStringLiteral("30")}}).Then(Subsidy()).Cancel();
        Read(dialog); // Yes to both questions
    }
    EXPECT_EQ(sink.Texts().mid(1, 3),
              (QStringList{"确实要放弃对该表录入数据吗？", "是否继续执行其他操作？", "找不到附表抄表记录！"}));
    EXPECT_EQ(Count("select * from SubRead"), 1);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
}

// A card without the reading of a position, or read another day: an
// operator without right 112 loses the batch; with it he may go on.
TEST_F(SaleFeeTest, UploadRefusalsDependOnTheRightToTopUpUnread)
{
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    AddSub(2, QStringLiteral("2"), QStringLiteral("S2"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);

    const struct
    {
        QString date;
        QVector<int> rights;
        QStringList texts; // after the card's and the upload question
        int subsidyDialogs;
        int rows;
    } cases[] = {
        {kToday, {111}, {"在指定的附表位置没有抄表数据！"}, 1, 0},
        {QStringLiteral("2026-12-09"), {111}, {"1 号附表的抄表日期不是今天！"}, 0, 0},
        {kToday, {111, 112}, {"在指定的附表位置没有抄表数据！是否继续？"}, 1, 1},
        {QStringLiteral("2026-12-09"),
         {111, 112},
         {"1 号附表的抄表日期不是今天！是否继续？", "在指定的附表位置没有抄表数据！是否继续？"},
         1,
         1},
    };
    for (const auto& c : cases) {
        exec("delete from SubRead");
        exec("update CliSub set WrtNum = 1, ThisPulses = 300, ThisRead = 20.5");
        GetCurrentOperator()->SetRights(c.rights);
        ClearReadingCards();
        PutReadingCard({{1, 450}}, c.date);
        PutUsedTopUpCard();
        CDialogScript script;
        for (int i = 0; i < c.subsidyDialogs; ++i)
            script.Then(Subsidy());
        Read(dialog);
        EXPECT_TRUE(script.Exhausted()) << c.date.toStdString();
        EXPECT_EQ(sink.Texts().mid(2, c.texts.size()), c.texts) << c.date.toStdString();
        EXPECT_EQ(Count("select * from SubRead"), c.rows);
        EXPECT_EQ(Button(dialog, 1132)->isEnabled(), c.rows == 1);
        EXPECT_EQ(List(dialog, 1170)->GetItemCount(), c.rows); // S2 passed over with right 112
    }
}

// Five sub-meters take the attached card too; a card of another meter ends
// the batch.
TEST_F(SaleFeeTest, FiveSubMetersNeedTheAttachedCard)
{
    for (int i = 1; i <= 5; ++i)
        AddSub(i, QString::number(i), QStringLiteral("S%1").arg(i));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);

    PutReadingCard({{1, 450}, {2, 450}, {3, 450}, {4, 450}});
    PutReadingCard({{1, 500}}, kToday, true, kOther);
    PutUsedTopUpCard();
    Read(dialog);
    EXPECT_EQ(sink.Texts().mid(1, 3),
              (QStringList{"请准备附表数据！自动上传附表数据吗？", "请准备上传附卡数据！", "抄表卡与购电卡不一致！"}));
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Count("select * from SubRead"), 0);

    ClearReadingCards();
    PutReadingCard({{1, 450}, {2, 450}, {3, 450}, {4, 450}});
    PutReadingCard({{1, 500}}, kToday, true);
    PutUsedTopUpCard();
    CDialogScript script;
    for (int i = 0; i < 5; ++i)
        script.Then(Subsidy(QStringLiteral("0")));
    Read(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(Value("select ThisPulses || '/' || ThisRead from SubRead where SubNo = 'S5'"),
              QStringLiteral("500/22.5"));
    EXPECT_EQ(List(dialog, 1170)->GetItemCount(), 5);
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
}

// A sub-meter whose last reading was typed in is entered by hand after the
// card's positions; a sub-meter without pulse constant refuses the batch.
TEST_F(SaleFeeTest, AHandTypedSubMeterIsDeferredAndAZeroPulseConstantRefused)
{
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    AddSub(2, QStringLiteral("2"), QStringLiteral("S2"), 100, -1, 7);
    PutReadingCard({{1, 450}, {2, 999}});
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    {
        CDialogScript script;
        script.Then(Subsidy()).Confirm({{1202, QStringLiteral("9.5")}}).Then(Subsidy());
        Read(dialog);
        EXPECT_EQ(script.Seen(), (QStringList{"dlg178 输入补助量", "dlg187 输入附表读数", "dlg178 输入补助量"}));
    }
    EXPECT_EQ(sink.Texts().at(2),
              QStringLiteral("由于附表S2上次抄表是手工录入，必须先用编程器设置并归档后，才能采用遥控卡上传。继续吗？"));
    EXPECT_EQ(Value("select group_concat(SubNo || ':' || ThisPulses || ':' || ThisRead, ' ') from "
                    "(select * from SubRead order by ReadIndex)"),
              QStringLiteral("S1:450:22.0 S2:-1:9.5"));

    exec("delete from SubRead");
    exec("update CliSub set WrtNum = 1, ThisPulses = 300, SubConst = 0");
    ClearReadingCards();
    PutReadingCard({{1, 450}, {2, 450}});
    PutUsedTopUpCard();
    Read(dialog);
    EXPECT_EQ(sink.Texts().at(2), QStringLiteral("附表S1的脉冲常数为0，不能由脉冲数计算读数！"));
    EXPECT_EQ(Count("select * from SubRead"), 0);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
}

// Programmer readings (bProg): two readings of one sub-meter chain, and the
// batch consumes them.
TEST_F(SaleFeeTest, TwoProgrammerReadingsChain)
{
    GetMainSysPara()->SetProgFlag(QStringLiteral("是"));
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    exec("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S1', 500, '2026-12-08')");
    exec("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S1', 450, '2026-12-05')");
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    CDialogScript script;
    script
        .Then([](QWidget* d) {
            EXPECT_EQ(Text(d, 1187) + "/" + Text(d, 1188) + "/" + Text(d, 1197), QStringLiteral("20.50/22.00/5"));
            Subsidy(QStringLiteral("5"))(d);
        })
        .Then([](QWidget* d) {
            EXPECT_EQ(Text(d, 1187) + "/" + Text(d, 1188) + "/" + Text(d, 1197), QStringLiteral("22.00/22.50/3"));
            CModalScript::Click(d, 1021);
        })
        .Then(Subsidy(QStringLiteral("0")));
    Read(dialog); // 是否重输？ Yes
    EXPECT_EQ(script.Seen(), (QStringList{"dlg178 输入补助水量", "dlg178 输入补助水量", "dlg178 输入补助水量"}));
    EXPECT_EQ(Value("select group_concat(LastPulses || '>' || ThisPulses || ':' || BuyValue || ':' || Fee, ' ') "
                    "from (select * from SubRead order by ReadIndex)"),
              QStringLiteral("300>450:0.0:0.0 450>500:0.5:1.0"));
    EXPECT_EQ(Count("select * from ProgRead"), 0);
    EXPECT_EQ(Value("select ThisPulses || '/' || ReadDate from CliSub"), QStringLiteral("500/2026-12-08"));
    EXPECT_EQ(List(dialog, 1170)->GetItemCount(), 2);

    // Without data for the sub-meter the sale stops and nothing is kept.
    exec("delete from SubRead");
    exec("update CliSub set WrtNum = 1");
    exec("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S9', 1, '2026-12-08')");
    Read(dialog);
    EXPECT_EQ(sink.Texts().at(1), QStringLiteral("没有附表S1的抄表数据！"));
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
}

// Cards whose purchase is still to be written show what is bound to their
// write number, call no library and open no dialog 217.
TEST_F(SaleFeeTest, CardsOfAnExistingWriteShowItsRowsOnly)
{
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    WriteFeeFixture(fresh.AppDir(), {"OtherItem|C001|垃圾费|2026-11-01|2026-11-30|30|0.1|30|3"});
    AddFixFee(1, 202609, -1, 9, QStringLiteral("2026-09-01"), QStringLiteral("2026-09-30"), 30);
    for (int n = 0; n <= 2; ++n) {
        AddStoredReading(10 + n, n, 10 + n);
        AddFixFee(20 + n, 202610, n, 20 + n, QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"), 31);
        AddManualFee(30 + n, kMeter, n, QStringLiteral("已收费"), 30 + n, QStringLiteral("2026-%1").arg(n));
        exec(KvFormatSql("insert into OtherItem values(%d, 'C001', '杂费', '2026-11-01', '2026-11-30', 30, 0, 0, "
                         "%d, '2026-12-01', -1, %d)",
                         40 + n, 40 + n, n));
    }
    AddManualFee(50, kOther, 0, QStringLiteral("未收费"), 50);

    const struct
    {
        const char* code;
        int family;
        int count;
        int amount;
        double use, purchase, remaining;
        int state;
        QStringList fees;
    } cases[] = {
        {"03",
         1,
         1,
         50,
         60,
         100,
         40,
         3,
         {"卫生费|2026-10-01|2026-10-31|31|21.00", "杂费|2026-11-01|2026-11-30|30|41.00", "2026-1||||31.00"}},
        {"06",
         1,
         1,
         0,
         100,
         100,
         0,
         56,
         {"卫生费|2026-10-01|2026-10-31|31|21.00", "杂费|2026-11-01|2026-11-30|30|41.00", "2026-1||||31.00"}},
        {"06",
         2,
         0,
         0,
         100,
         100,
         0,
         156,
         {"卫生费|2026-10-01|2026-10-31|31|21.00", "杂费|2026-11-01|2026-11-30|30|41.00"}},
    };
    for (const auto& c : cases) {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        Open(dialog, c.family == 2 ? QStringLiteral("IC钥匙卡") : QStringLiteral("红外遥控卡"));
        PutCard(QString::fromLatin1(c.code), kMeter, c.count, c.amount, c.use, c.purchase, c.remaining, c.family);
        CDialogScript script;
        Read(dialog);
        ASSERT_EQ(dialog.m_nCardState, c.state);
        EXPECT_TRUE(script.Seen().isEmpty()) << c.state;
        EXPECT_EQ(Rows(dialog, 1170), QStringList{"S1|水费|1.00|2.00|1.00|0.00|1.00|2.0000|11.00|2026-12-02"})
            << c.state;
        EXPECT_EQ(Rows(dialog, 1106), c.fees) << c.state;
    }
    EXPECT_TRUE(FeeLibraryLog(fresh.AppDir()).isEmpty());
    EXPECT_EQ(Value("select MeterNo || '/' || State from ManualFee where ManualIndex = 50"),
              QStringLiteral("00005678/未收费"));
    EXPECT_EQ(Count("select * from FixFee where WrtNum = -1"), 1);
}

// The IC used replacement card tops up under c + 1, and so do its readings:
// the last paid sale's reading is neither shown nor charged again.
TEST_F(SaleFeeTest, AnIcReplacementCardTakesReadingsForTheNextWrite)
{
    AddSub(1, QStringLiteral("1"), QStringLiteral("S1"));
    AddStoredReading(10, 1, 10);
    AddManualFee(1, kOther, 0, QStringLiteral("未收费"), 7.5);
    PutCard(QStringLiteral("06"), kMeter, 1, 50, 100, 150, 50, 2);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog, QStringLiteral("IC钥匙卡"));
    CDialogScript script;
    script.Confirm({{1202, QStringLiteral("25")}}).Then(Subsidy(QStringLiteral("0")));
    sink.QueueAnswer(IDOK); // 该卡为已用补卡！
    sink.QueueAnswer(IDOK); // 原卡电量已送入电表！
    sink.QueueAnswer(IDNO); // no upload: by hand
    Read(dialog);
    ASSERT_EQ(dialog.m_nCardState, 106);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(Rows(dialog, 1170), QStringList{"S1|水费|20.50|25.00|4.50|0.00|4.50|2.0000|9.00|2026-12-10"});
    EXPECT_EQ(Count("select * from SubRead where WrtNum = 2"), 1);
    EXPECT_EQ(Value("select WrtNum from CliSub"), QStringLiteral("2"));
    // An IC card's sale gathers no manual fee.
    EXPECT_EQ(List(dialog, 1106)->GetItemCount(), 0);
    EXPECT_EQ(Value("select MeterNo || '/' || WrtNum || '/' || State from ManualFee"),
              QStringLiteral("00005678/0/未收费"));
    EXPECT_EQ(FeeLibraryLog(fresh.AppDir()),
              (QStringList{"LoadManFee C001 2 => inserted 0", "LoadOtherFee C001 2 => inserted 0"}));
}

// Declining dialog 217 leaves the fees unpaid, and the fees an earlier read
// bound to the write number are still shown, collected and offered.
TEST_F(SaleFeeTest, DecliningTheQuotaFeesStillShowsThoseBoundBefore)
{
    AddFixFee(1, 202611, -1, 13, QStringLiteral("2026-11-01"), QStringLiteral("2026-11-30"), 30);
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    {
        CDialogScript script;
        script.Cancel(); // 本次售电不收取定额收费吗？ Yes
        Read(dialog);
        EXPECT_EQ(script.Seen(), QStringList{"dlg217 定额收费项目"});
    }
    EXPECT_EQ(List(dialog, 1106)->GetItemCount(), 0);
    EXPECT_EQ(Count("select * from FixFee where WrtNum = -1"), 1);

    AddFixFee(2, 202610, 2, 12, QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"), 31);
    {
        CDialogScript script;
        script.Cancel();
        Read(dialog);
    }
    EXPECT_EQ(Rows(dialog, 1106), QStringList{"卫生费|2026-10-01|2026-10-31|31|12.00"});
    EXPECT_TRUE(sink.Texts().last().startsWith(QStringLiteral("应缴附表计费：0.00元\n\n应缴定额收费：12.00元")));
    EXPECT_EQ(Count("select * from FixFee where WrtNum = -1"), 1);

    // No unpaid fee: no dialog, the bound fee still shown; a price version
    // that is gone shows no name.
    exec("delete from FixFee where FeeIndex = 1");
    exec("delete from PriceVer where PriceIndex = 60");
    CDialogScript script;
    Read(dialog);
    EXPECT_TRUE(script.Seen().isEmpty());
    EXPECT_EQ(Rows(dialog, 1106), QStringList{"|2026-10-01|2026-10-31|31|12.00"});
}

// A fee that cannot be loaded after the quota fees were: the sale would charge
// a part of what is due, so nothing may be written, and the failure is told.
TEST_F(SaleFeeTest, AFailedFeeLoadingLeavesNothingToWrite)
{
    AddFixFee(2, 202610, 2, 12, QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"), 31);
    PutUsedTopUpCard();
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);
    ASSERT_EQ(dialog.m_nCardState, 4);
    ASSERT_TRUE(Button(dialog, 1132)->isEnabled());

    const struct
    {
        const char* breakage;
        const char* repair;
        bool manualFee; // an unpaid manual fee to move onto the card's meter
    } cases[] = {
        {"alter table OtherItem rename to OtherItemGone", "alter table OtherItemGone rename to OtherItem", false},
        {"create trigger Fail before update on ManualFee begin select raise(abort, 'no'); end", "drop trigger Fail",
         true},
    };
    for (const auto& c : cases) {
        exec(QString::fromLatin1(c.breakage));
        if (c.manualFee)
            AddManualFee(1, kOther, -1, QStringLiteral("未收费"), 8);
        Read(dialog);
        EXPECT_EQ(dialog.m_nCardState, -1) << c.breakage;
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled()) << c.breakage;
        // The card is told, then the failure; no balance message follows.
        ASSERT_EQ(sink.Messages().size(), 2u) << c.breakage;
        EXPECT_EQ(sink.Texts().front(), QStringLiteral("该卡为已用充值卡！")) << c.breakage;
        EXPECT_EQ(sink.Messages().back().caption, QStringLiteral("错误")) << c.breakage;
        exec(QString::fromLatin1(c.repair));
    }
}

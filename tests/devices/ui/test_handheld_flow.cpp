#include "../ArchiveTestData.h"
#include "../DeviceTestHelpers.h"
#include "CAdoRecordset.h"
#include "CHandSaleArchive.h"
#include "CHandSaleArchiveDlg.h"
#include "CHandheldSaleDlg.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The sale query's joins and fixed conditions: a sale it lists is a sale
// with its user, meter, main price, payment, meter type, operator, price
// shares and place.
const char* const kSaleQuery =
    "select b.MeterNo as MeterNo, c.Fee as Fee, d.PayMode as PayMode, c.OpMode as OpMode "
    "from Client a, CliPre b, WrtRecord c, ClientPay d, Price e, PrePrice f, PreModel g, Operator h, "
    "WrtPrice k, PriceVer p, Block q, Building r, Department s "
    "where c.State = '收讫' and c.CliPreIndex = b.CliPreIndex and b.ClientNo = a.ClientNo and "
    "a.EndDate = CDate('2050-12-31') and b.CliPreIndex = f.CliPreIndex and f.PriceX = 0 and "
    "f.PriceNo = e.PriceNo and d.WrtIndex = c.WrtIndex and g.ModelId = b.ModelId and k.WrtIndex = c.WrtIndex "
    "and k.PriceIndex = p.PriceIndex and p.PriceNo = e.PriceNo and c.OperatorNo = h.OperatorNo and "
    "q.BlockNo = a.BlockNo and r.BuildingNo = a.BuildingNo and s.DepartmentNo = a.DepartmentNo and "
    "(r.BlockNo = q.BlockNo or r.BlockNo = '00') order by b.MeterNo";

} // namespace

TEST(HandheldSaleFlow, UploadArchiveAllAndTheSalesAreInTheSaleQuery)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    CCurrentDirectory cwd(fresh.AppDir());
    ResetCurrentOperator();
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
    AddArchivePrices(fresh.Db());
    AddArchiveMeter(fresh.Db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    AddArchiveMeter(fresh.Db(), QStringLiteral("C002"), QStringLiteral("00001002"), {{"01", 50}, {"02", 50}});
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"),
                   {"sale=00001001|100|2|300|120.5|20261209081530", "sale=00007777|10|1|10|0|20261209090000",
                    "sale=00001002|40|5|200|80|20261209101500"});

    CHandheldSaleDlg dialog(nullptr, QStringLiteral("手持售电机"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    int left = -1;
    CModalScript script;
    script.Then([&left](QWidget* w) {
        auto* archive = qobject_cast<CHandSaleArchiveDlg*>(w);
        ASSERT_NE(archive, nullptr);
        QTest::mouseClick(archive->findChild<QPushButton*>(CKvDialog::ControlName(1016)), Qt::LeftButton);
        left = archive->GetRowList()->GetItemCount();
        QTest::mouseClick(archive->findChild<QPushButton*>(CKvDialog::ControlName(1050)), Qt::LeftButton);
    });
    sink.QueueAnswer(IDOK); // the tool's answer
    sink.QueueAnswer(IDNO); // no account for the unknown meter
    QTest::mouseClick(dialog.findChild<QPushButton*>(CKvDialog::ControlName(1017)), Qt::LeftButton);

    EXPECT_EQ(sink.Texts(), (QStringList{"上传成功", "系统没有该电表档案！是否建档？"}));
    EXPECT_EQ(left, 1);
    EXPECT_EQ(fresh.Value(QStringLiteral("select MeterNo from HandRaw")), QStringLiteral("00007777"));
    CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
    rs->Open(QString::fromUtf8(kSaleQuery));
    ASSERT_EQ(rs->GetRecordCount(), 2);
    const struct
    {
        const char* meterNo;
        double fee;
    } expected[] = {{"00001001", 50.0}, {"00001002", 15.0}};
    for (const auto& e : expected) {
        EXPECT_EQ(rs->GetFieldString(QStringLiteral("MeterNo")), QString::fromLatin1(e.meterNo));
        EXPECT_DOUBLE_EQ(rs->GetFieldDouble(QStringLiteral("Fee")), e.fee);
        EXPECT_EQ(rs->GetFieldString(QStringLiteral("PayMode")), QStringLiteral("现金"));
        EXPECT_EQ(rs->GetFieldString(QStringLiteral("OpMode")), QStringLiteral("手持机"));
        rs->MoveNext();
    }
    ResetCurrentOperator();
}

#include "CAdoConnection.h"
#include "CBlock.h"
#include "CBuilding.h"
#include "CDepartment.h"
#include "KvCodeNameRules.h"
#include "KvFreshDatabase.h"

#include <gtest/gtest.h>

namespace {

class MasterTablesTest : public FreshDatabaseTest
{
protected:
    void exec(const QString& sql) { db().Execute(sql, QString()); }

    static QStringList blockCodes(CBlockList& list)
    {
        QStringList codes;
        for (int i = 0; i < list.GetCount(); ++i)
            codes << list.At(i)->GetBlockNo();
        return codes;
    }
};

TEST_F(MasterTablesTest, DistrictRowsRoundTripAndTheReservedRowStaysOutOfTheManagementList)
{
    CBlock block;
    block.SetBlockNo(QStringLiteral("0'"));
    block.SetBlockName(QStringLiteral("东'苑"));
    block.Save();
    EXPECT_EQ(block.GetState(), CKvPersistance::StateStored);
    EXPECT_TRUE(CBlockList::ExistsBlockNo(QStringLiteral("0'")));

    CBlockList list;
    list.LoadWithoutReserved();
    EXPECT_EQ(blockCodes(list), QStringList{QStringLiteral("0'")});
    list.LoadAll();
    EXPECT_EQ(blockCodes(list), (QStringList{QStringLiteral("00"), QStringLiteral("0'")}));

    CBlock* found = list.FindByBlockNo(QStringLiteral("0'"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetBlockName(), QStringLiteral("东'苑"));
    EXPECT_EQ(list.FindByBlockNo(QStringLiteral("09")), nullptr);

    // The update writes the name of the row the code names.
    found = list.FindByBlockNo(QStringLiteral("0'"));
    found->SetBlockName(QStringLiteral("西苑"));
    list.UpdateRecord(found);
    EXPECT_EQ(fresh.Value(QStringLiteral("select BlockName from Block where BlockNo = '0'''")), QStringLiteral("西苑"));

    list.DeleteRecord(found);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(CBlockList::ExistsBlockNo(QStringLiteral("0'")));
}

TEST_F(MasterTablesTest, WritesThatFindNoRowOrComeFromAnotherListFailAndWriteNothing)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    exec(QStringLiteral("insert into Building values('01', '01', '一幢')"));
    exec(QStringLiteral("insert into Department values('D1', '财务')"));
    CBlockList blocks;
    CBlockList other;
    CBuildingList buildings;
    CDepartmentList departments;
    CBlock* block = blocks.FindByBlockNo(QStringLiteral("01"));
    CBuilding* building = buildings.FindBuilding(QStringLiteral("01"), QStringLiteral("01"));
    CDepartment* department = departments.FindByDepartmentNo(QStringLiteral("D1"));
    ASSERT_TRUE(block && building && department);

    EXPECT_EQ(ThrownText([&] { other.DeleteRecord(block); }), QStringLiteral("从数据库删除小区发生位置错误！"));
    EXPECT_EQ(ThrownText([&] { other.UpdateRecord(block); }), QStringLiteral("向数据库更新小区发生位置错误！"));
    CBuildingList otherBuildings;
    EXPECT_EQ(ThrownText([&] { otherBuildings.DeleteRecord(building); }),
              QStringLiteral("从数据库删除楼幢发生位置错误！"));
    CDepartmentList otherDepartments;
    EXPECT_EQ(ThrownText([&] { otherDepartments.UpdateRecord(department); }),
              QStringLiteral("向数据库更新部门发生位置错误！"));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Block where BlockNo = '01'")), 1);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Building where BlockNo = '01'")), 1);

    // Rows removed behind the dialogs' backs: the write changes nothing and says so.
    exec(QStringLiteral("delete from Block where BlockNo = '01'"));
    exec(QStringLiteral("delete from Building where BlockNo = '01'"));
    exec(QStringLiteral("delete from Department where DepartmentNo = 'D1'"));
    EXPECT_EQ(ThrownText([&] { blocks.UpdateRecord(block); }), QStringLiteral("向数据库更新小区时发生错误！"));
    EXPECT_EQ(ThrownText([&] { buildings.UpdateRecord(building); }), QStringLiteral("向数据库更新楼幢时发生错误！"));
    EXPECT_EQ(ThrownText([&] { departments.DeleteRecord(department); }),
              QStringLiteral("从数据库删除部门时发生错误！"));
    EXPECT_EQ(departments.GetCount(), 1) << "a failed delete keeps the record";

    // An insert of an existing key throws the record's own text.
    CBlock again;
    again.SetBlockNo(QStringLiteral("00"));
    EXPECT_EQ(ThrownText([&] { again.Save(); }), QStringLiteral("向数据库增加小区时发生错误！"));
}

TEST_F(MasterTablesTest, BuildingsOfADistrictComeWithTheReservedRowAndAMissingBuildingFindsIt)
{
    exec(QStringLiteral("insert into Block values('01', '东苑')"));
    exec(QStringLiteral("insert into Block values('03', '南苑')"));
    for (const char* row : {"('03', '02', '二幢')", "('01', '01', '东一幢')", "('03', '01', '一幢')"})
        exec(QStringLiteral("insert into Building values%1").arg(QString::fromUtf8(row)));

    CBuildingList list;
    list.LoadByBlock(QStringLiteral("03"));
    QStringList rows;
    for (int i = 0; i < list.GetCount(); ++i)
        rows << list.At(i)->GetBlockNo() + "/" + list.At(i)->GetBuildingNo() + "/" + list.At(i)->GetBuildingName();
    EXPECT_EQ(rows, (QStringList{"00/00/", "03/01/一幢", "03/02/二幢"}));

    list.LoadWithoutReserved();
    EXPECT_EQ(list.GetCount(), 3);

    // The same code in two districts; existence asks for the pair.
    EXPECT_TRUE(CBuildingList::ExistsBuilding(QStringLiteral("01"), QStringLiteral("01")));
    EXPECT_FALSE(CBuildingList::ExistsBuilding(QStringLiteral("01"), QStringLiteral("02")));
    EXPECT_TRUE(CBuildingList::ExistsInBlock(QStringLiteral("03")));
    EXPECT_FALSE(CBuildingList::ExistsInBlock(QStringLiteral("02")));

    CBuilding* missing = list.FindBuilding(QStringLiteral("01"), QStringLiteral("09"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetBuildingNo(), QStringLiteral("00"));
    EXPECT_EQ(missing->GetBuildingName(), QString());
}

TEST_F(MasterTablesTest, DepartmentLookupLetsLikeWildcardsActWhileExistenceIsExact)
{
    exec(QStringLiteral("insert into Department values('D12', '财务')"));
    exec(QStringLiteral("insert into Department values('A''B', '后勤')"));
    CDepartmentList list;

    CDepartment* found = list.FindByDepartmentNo(QStringLiteral("D1_"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetDepartmentNo(), QStringLiteral("D12"));
    EXPECT_EQ(list.LoadLike(QStringLiteral("%")).size(), 3);
    found = list.FindByDepartmentNo(QStringLiteral("A'B"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetDepartmentName(), QStringLiteral("后勤"));

    EXPECT_FALSE(CDepartmentList::ExistsDepartmentNo(QStringLiteral("D1_")));
    EXPECT_TRUE(CDepartmentList::ExistsDepartmentNo(QStringLiteral("d12"))) << "codes compare without case";
    list.LoadWithoutReserved();
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(KvCodeNameRules, CodesAndNamesAreMeasuredInGbkBytes)
{
    const KvCodeRule district{"empty", 2, 2, "length", "reserved"};
    const KvCodeRule department{"empty", 0, 10, "length", "reserved"};
    struct Case
    {
        const KvCodeRule* rule;
        const char* code;
        const char* refusal;
    };
    const Case cases[] = {
        {&district, "", "empty"},        {&district, "1", "length"},
        {&district, "123", "length"},    {&district, "00", "reserved"},
        {&district, "01", ""},           {&district, "东", ""},
        {&district, "'1", ""},           {&department, "1", ""},
        {&department, "一二三四五", ""}, {&department, "一二三四五6", "length"},
        {&department, "00", "reserved"}, {&department, "0000000000", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KvCodeRefusal(QString::fromUtf8(c.code), *c.rule), QString::fromUtf8(c.refusal)) << c.code;

    EXPECT_EQ(KvNameRefusal(QString(), "empty", "long"), QStringLiteral("empty"));
    EXPECT_EQ(KvNameRefusal(QStringLiteral("一二三四五六七八九十"), "empty", "long"), QString());
    EXPECT_EQ(KvNameRefusal(QStringLiteral("一二三四五六七八九十一"), "empty", "long"), QStringLiteral("long"));
    EXPECT_EQ(KvNameRefusal(QStringLiteral("一二三四五六七八九十a"), "empty", "long"), QStringLiteral("long"));
}

} // namespace

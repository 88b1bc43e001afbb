#include "CAdoConnection.h"
#include "CPreModel.h"
#include "KvFreshDatabase.h"
#include "KvSchema.h"
#include "KvSql.h"

#include <gtest/gtest.h>

namespace {

class MeterTypeRecordTest : public FreshDatabaseTest
{
protected:
    // A type stored with the given order position; the other fields at their defaults.
    void AddType(const QString& modelId, const QString& cardType, int sortIndex)
    {
        CPreModel model;
        model.SetModelId(modelId);
        model.SetModel(modelId + "型");
        model.SetCardType(cardType);
        model.SetSortIndex(sortIndex);
        model.Save();
    }
    QStringList Codes(CPreModelList& list)
    {
        QStringList codes;
        for (int i = 0; i < list.GetCount(); ++i)
            codes << list.At(i)->GetModelId();
        return codes;
    }
    QString Order()
    {
        return fresh.Value("select group_concat(ModelId || '=' || SortIndex, ' ') from "
                           "(select * from PreModel where ModelId like 'T%' order by ModelId)");
    }
};

} // namespace

TEST_F(MeterTypeRecordTest, FreshDatabaseShipsTypesThatAreNotYetOffered)
{
    CPreModelList list;
    list.LoadAll();
    EXPECT_EQ(Codes(list), QStringList({"QM-K1", "QM-K3", "QM-H1", "QM-H3"})) << "by card kind, then code";
    QStringList kinds;
    for (int i = 0; i < list.GetCount(); ++i) {
        const CPreModel* model = list.At(i);
        SCOPED_TRACE(model->GetModelId().toStdString());
        EXPECT_FALSE(model->IsOffered());
        EXPECT_GT(model->GetBaseValue(), 0);
        EXPECT_GT(model->GetInnerMul(), 0);
        EXPECT_EQ(model->GetDevType(), "预付费电表");
        EXPECT_EQ(model->GetStateWord(), "正常");
        kinds << model->GetCardType() + "/" + model->GetPhase();
    }
    EXPECT_EQ(kinds,
              QStringList({"IC钥匙卡/单相二线", "IC钥匙卡/三相四线", "红外遥控卡/单相二线", "红外遥控卡/三相四线"}));
    EXPECT_EQ(list.LoadOffered().size(), 0);
}

// A database made before the types were shipped gets the missing ones when
// its schema is brought up to date; a type it already holds keeps its values.
TEST_F(MeterTypeRecordTest, SchemaUpdateAddsOnlyTheMissingTypes)
{
    db().Execute("delete from PreModel where ModelId in ('QM-H3', 'QM-K1')", QString());
    db().Execute("update PreModel set SortIndex = 0, Spec = 'own' where ModelId = 'QM-H1'", QString());
    db().Execute("PRAGMA user_version = 1", QString());

    EXPECT_EQ(UpdateSchemaVersion(db()), CurrentSchemaVersion());
    EXPECT_EQ(fresh.Value("select group_concat(ModelId || ':' || Spec || ':' || SortIndex, ' ') from "
                          "(select * from PreModel order by ModelId)"),
              "QM-H1:own:0 QM-H3:3x220/380V 10(40)A:10000 QM-K1:220V 10(40)A:10000 QM-K3:3x220/380V 1.5(6)A:10000");
}

// Every column goes in and comes back; the offered types come in their
// order, ties by card kind and code.
TEST_F(MeterTypeRecordTest, RoundTripAndTheOrderOfTheLists)
{
    db().Execute("delete from PreModel", QString());
    CPreModel model;
    EXPECT_EQ(ThrownText([&] { model.Save(); }), "向数据库添加表型发生错误！");
    model.SetModelId("T9");
    model.SetModel("型号");
    model.SetSpec("规格");
    model.SetInnerMul(3);
    model.SetDevType("预付费控制器");
    model.SetCardType("IC片卡");
    model.SetPhase("三相三线");
    model.SetMaxLimit(60.5);
    model.SetMinLimit(2.25);
    model.SetBaseValue(1.5);
    model.SetSortIndex(7);
    model.SetStateWord("正常");
    model.SetbCt("是");
    model.SetbPt("否");
    model.Save();
    EXPECT_EQ(model.GetState(), CKvPersistance::StateStored);
    EXPECT_TRUE(CPreModelList::ModelIdExists("t9")) << "codes compare without regard to case";

    CPreModelList list;
    CPreModel* loaded = list.FindByModelId("T9");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(QStringList({loaded->GetModel(), loaded->GetSpec(), QString::number(loaded->GetInnerMul()),
                           loaded->GetDevType(), loaded->GetCardType(), loaded->GetPhase(),
                           QString::number(loaded->GetMaxLimit()), QString::number(loaded->GetMinLimit()),
                           QString::number(loaded->GetBaseValue()), QString::number(loaded->GetSortIndex()),
                           loaded->GetStateWord(), loaded->GetbCt(), loaded->GetbPt()}),
              QStringList({"型号", "规格", "3", "预付费控制器", "IC片卡", "三相三线", "60.5", "2.25", "1.5", "7",
                           "正常", "是", "否"}));
    EXPECT_EQ(list.FindByModelId("none"), nullptr);

    AddType("T2", "红外遥控卡", 1);
    AddType("T1", "红外遥控卡", 10000);
    AddType("T3", "IC钥匙卡", 10000);
    AddType("T4", "IC钥匙卡", 1);
    list.LoadAll();
    EXPECT_EQ(Codes(list), QStringList({"T4", "T2", "T9", "T3", "T1"}));
    list.LoadOffered();
    EXPECT_EQ(Codes(list), QStringList({"T4", "T2", "T9"}));
}

TEST_F(MeterTypeRecordTest, ChangesReachOnlyTheirOwnRows)
{
    AddType("T1", "红外遥控卡", 10000);
    CPreModelList list;
    CPreModel* model = list.FindByModelId("T1");
    model->SetSpec("新规格");
    list.UpdateRecord(model);
    EXPECT_EQ(fresh.Value("select Spec from PreModel where ModelId = 'T1'"), "新规格");

    CPreModel stranger;
    stranger.SetModelId("T1");
    EXPECT_EQ(ThrownText([&] { list.UpdateRecord(&stranger); }), "向数据库更新表型发生位置错误！");
    EXPECT_EQ(ThrownText([&] { list.RemoveRecord(&stranger); }), "从数据库删除表型发生位置错误！");

    // A type deleted meanwhile by another workstation: nothing to change is a failure.
    db().Execute("delete from PreModel where ModelId = 'T1'", QString());
    EXPECT_EQ(ThrownText([&] { list.UpdateRecord(model); }), "向数据库更新表型发生错误!");
    EXPECT_EQ(ThrownText([&] { list.RemoveRecord(model); }), "从数据库删除表型时发生错误！");
    EXPECT_EQ(list.GetCount(), 1) << "a failed delete keeps the type in the list";
}

// The order is written all or nothing: a type that cannot be written leaves
// every position as it was.
TEST_F(MeterTypeRecordTest, OrderIsSavedInOneTransaction)
{
    AddType("T1", "红外遥控卡", 0);
    AddType("T2", "红外遥控卡", 10000);
    AddType("T3", "红外遥控卡", 10000);
    CPreModelList list;
    list.LoadAll();
    CPreModel* t1 = list.FindByModelId("T1");
    CPreModelList others;
    others.Load("select * from PreModel where ModelId in ('T2', 'T3') order by ModelId");

    CPreModelList::SaveOrder({t1}, {others.At(1), others.At(0)});
    EXPECT_EQ(Order(), "T1=10000 T2=1 T3=0");

    db().Execute("delete from PreModel where ModelId = 'T3'", QString()); // gone meanwhile
    EXPECT_FALSE(ThrownText([&] { CPreModelList::SaveOrder({}, {t1, others.At(0), others.At(1)}); }).isEmpty());
    EXPECT_EQ(Order(), "T1=10000 T2=1");
}

#include "../../records/masterdata/MasterDataTestHelpers.h"
#include "CAdoConnection.h"
#include "CCliPre.h"
#include "CCliSub.h"
#include "CCliSubEditDlg.h"
#include "CCliSubListDlg.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "DialogDriving.h"
#include "KvFreshDatabase.h"
#include "KvMessage.h"
#include "KvModalScript.h"

#include <QCheckBox>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SubMeterDialogTest : public FreshDatabaseTest
{
protected:
    SubMeterDialogTest()
    {
        GetCurrentOperator()->SetOperatorNo("op01");
        GetCurrentOperator()->SetRights(QVector<int>{220, 221, 223});
        const std::tuple<const char*, double, const char*> prices[] = {
            {"W1", 2.5, "一卡抄水价"}, {"W2", 3.0, "一卡抄水价"}, {"P1", 0.5, "预付费电价"}, {"Q1", 9, "定额收费价"}};
        for (const auto& [code, price, type] : prices) {
            auto version = NewPrice(code, price, "2026-12-01");
            version->SetPriceType(type);
            version->Save();
        }
        m_meter.SetClientNo("0001");
        m_meter.SetMeterNo("00000001");
    }

    // The edit dialog as the list dialog's add opens it, not yet shown.
    static std::unique_ptr<CCliSubEditDlg> PresetAddDialog()
    {
        auto dialog = std::make_unique<CCliSubEditDlg>(nullptr, QStringLiteral("增加附表"));
        dialog->m_strClientNo = "0001";
        dialog->m_strMeterNo = "00000001";
        dialog->m_strSubX = "1";
        dialog->m_strSubNo = "00000001_1";
        dialog->m_strInitPulses = "0";
        dialog->m_strBaseRead = "0";
        dialog->m_bCheckEnabled = 0;
        return dialog;
    }
    std::unique_ptr<CCliSubEditDlg> AddDialog()
    {
        auto dialog = PresetAddDialog();
        dialog->show();
        return dialog;
    }

    // The list dialog's add, answered with a sequence and a price name.
    void Add(CCliSubListDlg& dialog, const QString& sequence, const QString& price = "W1名称")
    {
        CModalScript script;
        script.Then([&](QWidget* edit) {
            Enter(edit, 1178, sequence);
            ChooseItem(edit, 1182, price);
            Click(edit, 1000);
        });
        Click(&dialog, 1024);
        EXPECT_TRUE(script.Exhausted());
    }
    void Modify(CCliSubListDlg& dialog, int row, const QString& price)
    {
        dialog.GetList()->SelectRow(row);
        CModalScript script;
        script.Then([&](QWidget* edit) {
            EXPECT_EQ(edit->windowTitle(), "修改附表");
            EXPECT_TRUE(Control<QLineEdit>(edit, 1178)->isReadOnly());
            EXPECT_TRUE(Control<QLineEdit>(edit, 1180)->isReadOnly());
            ChooseItem(edit, 1182, price);
            Click(edit, 1000);
        });
        Click(&dialog, 1309);
        EXPECT_TRUE(script.Exhausted());
    }
    QString Rows(const QString& subNo)
    {
        return fresh.Value(QStringLiteral("select group_concat(CliSubIndex || ':' || PriceNo || ':' || EndDate, ' ') "
                                          "from (select * from CliSub where SubNo = '%1' order by CliSubIndex)")
                               .arg(subNo));
    }

    CCliPre m_meter;
};

} // namespace

TEST_F(SubMeterDialogTest, EditChecksRunInOrderWithTheirTexts)
{
    using Entry = std::function<void(CCliSubEditDlg*)>;
    const struct
    {
        const char* what;
        Entry before; // on the members, before the dialog opens
        Entry enter;
        QString message; // empty: accepted
    } cases[] = {
        {"a valid sub-meter", nullptr, nullptr, ""},
        {"no user", [](CCliSubEditDlg* d) { d->m_strClientNo.clear(); }, nullptr, "无用户档案不能归档！"},
        {"no main meter", [](CCliSubEditDlg* d) { d->m_strMeterNo.clear(); }, nullptr, "无主表编号不能归档！"},
        {"no sequence", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1178, ""); }, "无附表序号不能归档！"},
        {"sequence 0", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1178, "0"); }, "附表序号必须是1到8的整数！"},
        {"sequence 9", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1178, "9"); }, "附表序号必须是1到8的整数！"},
        {"sequence 8, digits only", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1178, "x8"); }, ""},
        {"no initial count", [](CCliSubEditDlg* d) { d->m_strInitPulses.clear(); }, nullptr, "无初始计数不能归档！"},
        {"no base reading", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1180, ""); }, "无基表初值不能归档！"},
        {"base reading -5", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1180, "-5"); },
         "基表初值应为0到99999999之间的数，最多10位小数！"},
        {"base reading a lone sign", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1180, "-"); },
         "基表初值应为0到99999999之间的数，最多10位小数！"},
        {"base reading beyond the range", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1180, "100000000"); },
         "基表初值应为0到99999999之间的数，最多10位小数！"},
        {"base reading 12.5", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1180, "12.5"); }, ""},
        {"no level", nullptr, [](CCliSubEditDlg* d) { ChooseItem(d, 1010, ""); }, "请选择安装级别！"},
        {"parent of 20 bytes", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1011, "一二三四五六七八九十"); }, ""},
        {"parent of 21 bytes", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1011, "一二三四五六七八九十X"); },
         "上级表号长度不应大于20！"},
        {"parent GBK cannot hold", nullptr, [](CCliSubEditDlg* d) { Enter(d, 1011, "0000ẞ"); },
         "上级表号含有无法使用的字符“ẞ”，只能输入汉字、字母、数字和常用符号！"},
        {"no pulse constant", nullptr, [](CCliSubEditDlg* d) { ChooseItem(d, 1181, ""); }, "请选择脉冲常数！"},
        {"no price", nullptr, [](CCliSubEditDlg* d) { ChooseItem(d, 1182, ""); }, "请选择用水性质！"},
        {"no read mode", nullptr, [](CCliSubEditDlg* d) { ChooseItem(d, 1028, ""); }, "请选择抄表方式！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto dialog = PresetAddDialog();
        if (c.before)
            c.before(dialog.get());
        dialog->show();
        if (c.enter)
            c.enter(dialog.get());
        sink.Clear();
        Click(dialog.get(), 1000);
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dialog->isVisible(), !c.message.isEmpty());
    }
}

TEST_F(SubMeterDialogTest, EditOffersItsChoicesAndReturnsThem)
{
    auto dialog = AddDialog();
    auto* price = Control<QComboBox>(dialog.get(), 1182);
    EXPECT_EQ(QStringList({price->itemText(0), price->itemText(1)}), QStringList({"W1名称", "W2名称"}));
    EXPECT_EQ(price->count(), 2) << "neither prepaid nor quota prices";
    EXPECT_EQ(price->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>(dialog.get(), 1010)->currentText(), "二级");
    EXPECT_EQ(Control<QComboBox>(dialog.get(), 1181)->currentText(), "10");
    EXPECT_EQ(Control<QComboBox>(dialog.get(), 1028)->currentText(), "红外遥控卡");
    EXPECT_FALSE(Control<QCheckBox>(dialog.get(), 1015)->isEnabled());
    EXPECT_EQ(dialog->focusWidget(), Control<QWidget>(dialog.get(), 1178));

    Enter(dialog.get(), 1178, "3");
    EXPECT_EQ(Control<QLineEdit>(dialog.get(), 1185)->text(), "00000001_3");
    Enter(dialog.get(), 1180, "12.5");
    ChooseItem(dialog.get(), 1010, "三级");
    ChooseItem(dialog.get(), 1181, "1000");
    ChooseItem(dialog.get(), 1182, "W2名称");
    ChooseItem(dialog.get(), 1028, "编程器");
    Enter(dialog.get(), 1011, "00000001");
    Click(dialog.get(), 1000);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(QStringList({dialog->m_strSubX, dialog->m_strSubNo, dialog->m_strBaseRead, dialog->m_strLevel,
                           dialog->m_strSubConst, dialog->m_strPriceNo, dialog->m_strReadMode, dialog->m_strSuperNo}),
              QStringList({"3", "00000001_3", "12.5", "三级", "1000", "W2", "编程器", "00000001"}));

    // Modify: a level that is no item opens at "二级"; the price by its code.
    CCliSubEditDlg modify(nullptr, QStringLiteral("修改附表"));
    modify.m_strLevel = "九级";
    modify.m_strPriceNo = "W2";
    modify.m_strSubConst = "100";
    modify.show();
    EXPECT_EQ(Control<QComboBox>(&modify, 1010)->currentText(), "二级");
    EXPECT_EQ(Control<QComboBox>(&modify, 1182)->currentText(), "W2名称");
    EXPECT_EQ(Control<QComboBox>(&modify, 1181)->currentText(), "100");
    EXPECT_TRUE(Control<QCheckBox>(&modify, 1015)->isEnabled());
    EXPECT_EQ(modify.focusWidget(), Control<QWidget>(&modify, 1010));
}

// Adding refuses a sequence in use; a change is a new version and the list
// never shows the closed one again.
TEST_F(SubMeterDialogTest, ListAddsAndModifiesSubMeters)
{
    CCliSubListDlg dialog(nullptr, QStringLiteral("附表管理"));
    dialog.SetCliPre(&m_meter);
    dialog.show();
    CKvExtList2* list = dialog.GetList();
    EXPECT_EQ(list->GetItemCount(), 0);

    Add(dialog, "1");
    ASSERT_EQ(list->GetItemCount(), 1);
    QStringList row;
    for (int column = 0; column < 7; ++column)
        row << list->GetItemText(0, column);
    EXPECT_EQ(row, QStringList({"00000001_1", "二级", "", "10", "W1名称", "2.5000", "红外遥控卡"}));
    EXPECT_EQ(fresh.Value("select ClientNo || ':' || MeterNo || ':' || SubX || ':' || InitPulses || ':' || "
                          "ThisPulses || ':' || WrtNum || ':' || BeginDate from CliSub"),
              "0001:00000001:1:0:0:-1:2026-12-10");

    Add(dialog, "1", "W2名称");
    EXPECT_EQ(sink.Texts(), QStringList({"附表序号重复！"}));
    EXPECT_EQ(fresh.Count("select * from CliSub"), 1);
    Add(dialog, "2");

    db().Execute("update CliSub set ThisPulses = 55, WrtNum = 3 where SubNo = '00000001_1'", QString());
    dialog.GetSubList().LoadCurrentByMeterNo("00000001");
    dialog.FillList();
    Modify(dialog, 0, "W2名称");
    EXPECT_EQ(Rows("00000001_1"), "1:W1:2026-12-09 3:W2:2050-12-31");
    EXPECT_EQ(fresh.Value("select ThisPulses || ':' || WrtNum from CliSub where CliSubIndex = 3"), "55:3")
        << "the reading state carries over";
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"00000001_1", "00000001_2"}));
    EXPECT_EQ(list->GetItemText(0, 4), "W2名称");
    EXPECT_EQ(list->GetSelectedRow(), 0);

    Modify(dialog, 0, "W2名称"); // nothing changed: nothing written
    EXPECT_EQ(fresh.Count("select * from CliSub"), 3);

    // The next add fills the list again: the closed version stays out of it.
    Add(dialog, "3");
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"00000001_1", "00000001_2", "00000001_3"}));
    list->SelectRow(0);
    EXPECT_EQ(static_cast<CCliSub*>(list->GetRowObject(0))->GetCliSubIndex(), 3);
}

// A sequence is a number whatever leading zeros it was typed with: "01" is
// sequence 1, stored and named so, and no second sub-meter takes it. The
// parent meter number is stored as it was checked, without blanks around it.
TEST_F(SubMeterDialogTest, SequenceIsANumberAndTheParentIsStoredTrimmed)
{
    CCliSubListDlg dialog(nullptr, QStringLiteral("附表管理"));
    dialog.SetCliPre(&m_meter);
    dialog.show();
    {
        CModalScript script;
        script.Then([&](QWidget* edit) {
            Enter(edit, 1178, "01");
            Enter(edit, 1011, "  00000009  ");
            Click(edit, 1000);
        });
        Click(&dialog, 1024);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(fresh.Value("select SubX || ':' || SubNo || ':[' || SuperNo || ']' from CliSub"),
              "1:00000001_1:[00000009]");

    // A row written earlier with a leading zero holds sequence 2.
    Add(dialog, "2");
    db().Execute("update CliSub set SubX = '02', SubNo = '00000001_02' where SubX = '2'", QString());
    dialog.GetSubList().LoadCurrentByMeterNo("00000001");
    dialog.FillList();
    for (const char* sequence : {"1", "001", "2"}) {
        SCOPED_TRACE(sequence);
        sink.Clear();
        Add(dialog, sequence);
        EXPECT_EQ(sink.Texts(), QStringList({"附表序号重复！"}));
    }
    EXPECT_EQ(fresh.Count("select * from CliSub"), 2);
}

TEST_F(SubMeterDialogTest, DeleteAndRemoveNeedTheirRightsAndASelection)
{
    GetCurrentOperator()->SetRights(QVector<int>{220, 221});
    {
        CCliSubListDlg dialog(nullptr, QStringLiteral("附表管理"));
        dialog.SetCliPre(&m_meter);
        dialog.show();
        EXPECT_TRUE(Control<QWidget>(&dialog, 1026)->isEnabled());
        EXPECT_FALSE(Control<QWidget>(&dialog, 1118)->isEnabled());
        for (int id : {1309, 1026})
            Click(&dialog, id);
        EXPECT_EQ(sink.Texts(), QStringList({"请选定附表", "请选定附表"}));
    }
    GetCurrentOperator()->SetRights(QVector<int>{220, 223});
    CCliSubListDlg dialog(nullptr, QStringLiteral("附表管理"));
    dialog.SetCliPre(&m_meter);
    dialog.show();
    EXPECT_FALSE(Control<QWidget>(&dialog, 1026)->isEnabled());
    EXPECT_TRUE(Control<QWidget>(&dialog, 1118)->isEnabled());
}

// Deleting takes every version of the number with its readings, all or
// nothing; removing ends the current row today and frees the sequence.
TEST_F(SubMeterDialogTest, DeleteAndRemove)
{
    CCliSubListDlg dialog(nullptr, QStringLiteral("附表管理"));
    dialog.SetCliPre(&m_meter);
    dialog.show();
    CKvExtList2* list = dialog.GetList();
    Add(dialog, "1");
    Add(dialog, "2");
    Modify(dialog, 0, "W2名称");
    for (const char* subNo : {"00000001_1", "00000001_2"}) {
        db().Execute(QStringLiteral("insert into SubRead(ReadIndex, SubNo) values(null, '%1')").arg(subNo), QString());
        db().Execute(QStringLiteral("insert into ProgRead(SubNo, ReadPulses) values('%1', 5)").arg(subNo), QString());
    }
    const auto readings = [this] {
        return fresh.Value("select (select group_concat(SubNo) from SubRead) || '/' || "
                           "(select group_concat(SubNo) from ProgRead)");
    };

    sink.Clear();
    list->SelectRow(0);
    sink.QueueAnswer(IDNO);
    Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"删除该附表将连同其抄表数据一起删除，继续吗？"}));
    EXPECT_EQ(fresh.Count("select * from CliSub"), 3);

    // The rows vanished meanwhile: the delete fails and the readings stay.
    db().Execute("update CliSub set SubNo = 'elsewhere' where SubNo = '00000001_1'", QString());
    list->SelectRow(0);
    sink.QueueAnswer(IDYES);
    Click(&dialog, 1026);
    EXPECT_EQ(readings(), "00000001_1,00000001_2/00000001_1,00000001_2");
    db().Execute("update CliSub set SubNo = '00000001_1' where SubNo = 'elsewhere'", QString());

    sink.Clear();
    list->SelectRow(0);
    sink.QueueAnswer(IDYES);
    Click(&dialog, 1026);
    EXPECT_EQ(fresh.Count("select * from CliSub where SubNo = '00000001_1'"), 0) << "the closed version too";
    EXPECT_EQ(readings(), "00000001_2/00000001_2");
    EXPECT_EQ(ColumnTexts(list, 0), QStringList({"00000001_2"}));

    // Remove: either question answered No changes nothing.
    for (int no : {0, 1}) {
        sink.Clear();
        list->SelectRow(0);
        if (no == 1)
            sink.QueueAnswer(IDYES);
        sink.QueueAnswer(IDNO);
        Click(&dialog, 1118);
        EXPECT_EQ(sink.Texts().size(), no + 1);
        EXPECT_EQ(Rows("00000001_2"), "2:W1:2050-12-31");
    }
    sink.Clear();
    list->SelectRow(0);
    Click(&dialog, 1118); // Yes, Yes
    EXPECT_EQ(sink.Texts(),
              QStringList({"拆表前，需将该表当前读数抄入系统！\n\n如没有抄入，请在购电界面或返卡退费界面，\n\n"
                           "通过自动上传或手工录入方式抄入系统！\n\n抄入了吗？",
                           "拆除该表后，将无法再将该表读数读入系统，继续吗？"}));
    EXPECT_EQ(Rows("00000001_2"), "2:W1:2026-12-10");
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(readings(), "00000001_2/00000001_2") << "removing keeps the readings";

    // The sequence is free again and gives the same number.
    Add(dialog, "2");
    EXPECT_EQ(Rows("00000001_2"), "2:W1:2026-12-10 4:W1:2050-12-31");
}

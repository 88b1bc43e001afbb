#include "../../framework/ui/KvShownTextCheck.h"
#include "../../records/masterdata/MasterDataTestHelpers.h"
#include "CAdoConnection.h"
#include "CCliPreEditDlg.h"
#include "CKvException.h"
#include "COperator.h"
#include "CPreModel.h"
#include "CurrentOperator.h"
#include "DialogDriving.h"
#include "KvFreshDatabase.h"

#include <QCheckBox>
#include <QClipboard>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>

namespace {

enum
{
    Ct,
    Pt,
    Limit,
    Alarm,
    Close,
    Pulses,
    OutState
};

class MeterEditDialogTest : public FreshDatabaseTest
{
protected:
    MeterEditDialogTest()
    {
        GetCurrentOperator()->SetOperatorNo("op01");
        // Offered: QM-H1 (infrared meter, 30 A max, no CT/PT), QM-K3 (IC key
        // card meter, 6 A max on 1.5 A base, CT and PT), T24 (IC key-card
        // controller, 24 A on 10 A base).
        db().Execute("update PreModel set SortIndex = 0 where ModelId = 'QM-H1'", QString());
        db().Execute("update PreModel set SortIndex = 1 where ModelId = 'QM-K3'", QString());
        CPreModel controller;
        controller.SetModelId("T24");
        controller.SetDevType("预付费控制器");
        controller.SetCardType("IC钥匙卡");
        controller.SetMaxLimit(24);
        controller.SetBaseValue(10);
        controller.SetSortIndex(2);
        controller.Save();
        for (auto [code, price] : {std::pair<const char*, double>{"P1", 0.5}, {"P2", 0.8}})
            NewPrice(code, price, "2026-12-01")->Save();
        auto water = NewPrice("W1", 2.5, "2026-12-01");
        water->SetPriceType("一卡抄水价");
        water->Save();
    }

    // An add dialog with a valid meter of the type.
    std::unique_ptr<CCliPreEditDlg> AddDialog(const QString& modelId = "QM-H1")
    {
        auto dialog = std::make_unique<CCliPreEditDlg>(nullptr, QStringLiteral("增加电表"));
        dialog->m_strClientNo = "0001";
        dialog->m_strClientName = "张三";
        dialog->show();
        ChooseItem(dialog.get(), 1111, modelId);
        Enter(dialog.get(), 1105, "00000012");
        return dialog;
    }
};

CKvExtList2* Params(QWidget* dialog)
{
    return Control<CKvExtList2>(dialog, 1110);
}
CKvExtList2* Prices(QWidget* dialog)
{
    return Control<CKvExtList2>(dialog, 1074);
}

// Chooses a price name in the name editor of a row.
void ChoosePrice(CKvExtList2* list, int row, const QString& name)
{
    auto* combo = qobject_cast<QComboBox*>(ClickCell(list, row, 0));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findText(name));
}

void AddPriceRow(CCliPreEditDlg* dialog, const QString& name, const QString& percent)
{
    dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_APPEND);
    auto* list = Prices(dialog);
    const int row = list->GetItemCount() - 1;
    ChoosePrice(list, row, name);
    TypeInCell(list, row, 3, percent);
}

} // namespace

TEST_F(MeterEditDialogTest, TypeOffersItsParametersAndDefaults)
{
    auto dialog = AddDialog();
    auto* model = Control<QComboBox>(dialog.get(), 1111);
    EXPECT_EQ(QStringList({model->itemText(0), model->itemText(1), model->itemText(2)}),
              QStringList({"QM-H1", "QM-K3", "T24"}));
    EXPECT_EQ(model->count(), 3) << "types not offered are not listed";
    EXPECT_EQ(Control<QComboBox>(dialog.get(), 1010)->currentText(), "二级");
    EXPECT_EQ(dialog->m_strLevel, "二级");

    const struct
    {
        const char* type;
        QStringList values;
        const char* limitUnit;
        const char* typeMax;
    } cases[] = {
        {"QM-K3", {"1", "1", "400", "30", "20", "0", "常闭"}, "%", "6.0"},
        {"T24", {"1", "1", "200", "30", "20", "0", "常闭"}, "%", "24.0"}, // 2.4 rounds to 2
        {"QM-H1", {"1", "1", "30", "30", "20", "0", "常闭"}, "A", "30.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        // A value changed by hand and a second price row go with a change of type.
        TypeInCell(Params(dialog.get()), Alarm, 1, "99");
        AddPriceRow(dialog.get(), "P2名称", "0");
        ChooseItem(dialog.get(), 1111, c.type);
        EXPECT_EQ(ColumnTexts(Params(dialog.get()), 1), c.values);
        EXPECT_EQ(Params(dialog.get())->GetItemText(Limit, 2), c.limitUnit);
        EXPECT_EQ(dialog->GetTypeList()->GetItemText(7, 1), c.typeMax);
        EXPECT_EQ(ColumnTexts(Prices(dialog.get()), 0), QStringList({"P1名称"}));
        EXPECT_EQ(ColumnTexts(Prices(dialog.get()), 1), QStringList({"P1"}));
        EXPECT_EQ(ColumnTexts(Prices(dialog.get()), 2), QStringList({"0.5000"}));
        EXPECT_EQ(ColumnTexts(Prices(dialog.get()), 3), QStringList({"100"}));
    }
    EXPECT_EQ(ColumnTexts(dialog->GetTypeList(), 0).mid(0, 3), QStringList({"表计型号", "表计规格", "内部倍率"}));
}

// The cells a type fixes take their value and open no editor.
TEST_F(MeterEditDialogTest, TypeRulesFixParameterCells)
{
    const struct
    {
        const char* type;
        int row;
        const char* fixed; // empty: editable
    } cases[] = {
        {"QM-H1", Ct, "1"},     {"QM-H1", Pt, "1"},          {"QM-K3", Ct, ""},    {"QM-K3", Pt, ""},
        {"QM-H1", Pulses, "0"}, {"QM-H1", OutState, "常闭"}, {"QM-H1", Limit, ""}, {"T24", Limit, "200"},
        {"T24", Pulses, ""},    {"T24", Alarm, ""},          {"T24", Close, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " row " + std::to_string(c.row));
        auto dialog = AddDialog(c.type);
        auto* list = Params(dialog.get());
        list->SetItemText(c.row, 1, "7");
        QWidget* editor = ClickCell(list, c.row, 1);
        const bool fixed = *c.fixed != 0;
        EXPECT_EQ(editor == nullptr, fixed);
        // A controller's limit is fixed at the value it has.
        const QString kept = c.row == Limit ? QStringLiteral("7") : QString::fromUtf8(c.fixed);
        if (fixed) {
            EXPECT_EQ(list->GetItemText(c.row, 1), kept);
        }
    }
    // A controller's output state is chosen.
    auto dialog = AddDialog("T24");
    auto* combo = qobject_cast<QComboBox*>(ClickCell(Params(dialog.get()), OutState, 1));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(QStringList({combo->itemText(0), combo->itemText(1)}), QStringList({"常开", "常闭"}));
    combo->setCurrentIndex(0);
    EXPECT_EQ(Params(dialog.get())->GetItemText(OutState, 1), "常开");
}

TEST_F(MeterEditDialogTest, OkChecksRunInOrderWithTheirTexts)
{
    using Entry = std::function<void(CCliPreEditDlg*)>;
    const auto param = [](int row, const char* text) {
        return [row, text](CCliPreEditDlg* d) { TypeInCell(Params(d), row, 1, text); };
    };
    const auto setParam = [](int row, const char* text) {
        return [row, text](CCliPreEditDlg* d) { Params(d)->SetItemText(row, 1, QString::fromUtf8(text)); };
    };
    const auto edit = [](int id, const char* text) {
        return [id, text](CCliPreEditDlg* d) { Control<QLineEdit>(d, id)->setText(QString::fromUtf8(text)); };
    };
    const struct
    {
        const char* what;
        const char* type;
        Entry enter;
        QString message; // empty: accepted
    } cases[] = {
        {"a valid meter", "QM-H1", [](CCliPreEditDlg*) {}, ""},
        {"leading zeros and blanks around", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, " 00000001 "); }, ""},
        {"no number", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "  "); }, "请输入表号"},
        {"7 characters", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "1234567"); }, "表号长度应为8！"},
        {"a letter", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "1234567a"); }, "表号应为数字，且不全为0！"},
        {"a plus sign", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "+1234567"); }, "表号应为数字，且不全为0！"},
        {"eight zeros", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "00000000"); }, "表号应为数字，且不全为0！"},
        {"a minus sign", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "-1234567"); }, "表号应为数字，且不全为0！"},
        {"a blank inside", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "1234 567"); }, "表号应为数字，且不全为0！"},
        {"full-width digits", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1105, "１２３４５６７８"); },
         "表号应为数字，且不全为0！"},
        {"transformer loss .5", "QM-H1", [](CCliPreEditDlg* d) { Control<QLineEdit>(d, 1023)->setText(".5"); },
         "请输入变损"},
        {"line loss empty", "QM-H1", [](CCliPreEditDlg* d) { Control<QLineEdit>(d, 1022)->setText(""); }, "请输入线损"},
        {"no withheld share", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1157, ""); }, "请输入预付比例"},
        {"parent meter of 20 bytes", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1011, "一二三四五六七八九十"); }, ""},
        {"parent meter of 21 bytes", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1011, "一二三四五六七八九十1"); },
         "上级表号长度不应大于20！"},
        {"parent meter GBK cannot hold", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1011, "0000ẞ"); },
         "上级表号含有无法使用的字符“ẞ”，只能输入汉字、字母、数字和常用符号！"},
        {"withheld share 0", "QM-H1", [](CCliPreEditDlg* d) { Enter(d, 1157, "0"); }, ""},
        {"CT empty", "QM-K3", param(Ct, ""), "请输入CT"},
        {"CT 0", "QM-K3", param(Ct, "0"), "CT倍率应大于0！"},
        {"PT .", "QM-K3", param(Pt, "."), "请输入PT"},
        {"PT 0", "QM-K3", param(Pt, "0"), "PT倍率应大于0！"},
        {"limit empty", "QM-H1", param(Limit, ""), "请输入限电值"},
        {"infrared limit above the maximum", "QM-H1", param(Limit, "31"), "限电流不应大于最大电流！"},
        {"infrared limit at the maximum", "QM-H1", param(Limit, "30"), ""},
        {"IC limit at the maximum", "QM-K3", param(Limit, "400"), ""},
        {"IC limit above the maximum", "QM-K3", param(Limit, "401"), "限电值太大！"},
        {"IC limit within 2.4 times the base", "T24",
         [](CCliPreEditDlg* d) { Params(d)->SetItemText(Limit, 1, "240"); }, ""},
        {"IC limit beyond 2.4 times the base", "T24",
         [](CCliPreEditDlg* d) { Params(d)->SetItemText(Limit, 1, "241"); }, "限电值太大！"},
        // The type's rule speaks before the range of the card field.
        {"infrared limit beyond the card field", "QM-H1", param(Limit, "1000"), "限电流不应大于最大电流！"},
        {"IC limit beyond the card field", "QM-K3", param(Limit, "1000"), "限电值太大！"},
        {"alarm empty", "QM-H1", param(Alarm, ""), "请输入告警门限"},
        {"alarm 1000", "QM-H1", param(Alarm, "1000"), "告警门限不应大于999"},
        {"power-off 100", "QM-H1", param(Close, "100"), "断电门限不应大于99"},
        {"pulse constant empty", "T24", param(Pulses, ""), "请输入脉冲常数"},
        {"no price rows", "QM-H1",
         [](CCliPreEditDlg* d) {
             Prices(d)->SelectRow(0);
             d->OnPriceCommand(CCliPreEditDlg::ID_PRICE_DELETE);
         },
         "请添加电价！"},
        {"50 and 50", "QM-H1",
         [](CCliPreEditDlg* d) {
             TypeInCell(Prices(d), 0, 3, "50");
             AddPriceRow(d, "P2名称", "50");
         },
         ""},
        {"60 and 50", "QM-H1",
         [](CCliPreEditDlg* d) {
             TypeInCell(Prices(d), 0, 3, "60");
             AddPriceRow(d, "P2名称", "50");
         },
         "全部价格百分比之和不为100！"},
        {"a share of 101", "QM-H1",
         [](CCliPreEditDlg* d) {
             TypeInCell(Prices(d), 0, 3, "101");
             AddPriceRow(d, "P2名称", "-1");
         },
         "请设置合法的比例！"},
        {"a row without a name", "QM-H1", [](CCliPreEditDlg* d) { d->OnPriceCommand(CCliPreEditDlg::ID_PRICE_APPEND); },
         "请选择电价！"},
        {"a row without a share", "QM-H1", [](CCliPreEditDlg* d) { TypeInCell(Prices(d), 0, 3, ""); },
         "请输入电价百分比！"},
        // A number is stored as it reads, or refused by its field's name.
        {"CT beyond int", "QM-K3", setParam(Ct, "99999999999"), "CT倍率应为1到9999之间的整数！"},
        {"PT with decimals", "QM-K3", setParam(Pt, "1.5"), "PT倍率应为1到9999之间的整数！"},
        {"limit beyond its card field", "QM-K3", setParam(Limit, "2147483648"), "限电值应为0到999之间的整数！"},
        {"alarm 9.9", "QM-H1", setParam(Alarm, "9.9"), "告警门限应为0到999之间的整数！"},
        {"power-off 1e", "QM-H1", setParam(Close, "1e"), "断电门限应为0到99之间的整数！"},
        {"pulse constant 10000", "T24", setParam(Pulses, "10000"), "脉冲常数应为0到9999之间的整数！"},
        {"withheld share beyond int", "QM-H1", edit(1157, "2147483648"), "预提比例应为0到100之间的整数！"},
        {"withheld share pasted 1e309", "QM-H1", edit(1157, "1e309"), "预提比例应为0到100之间的整数！"},
        {"line loss -5", "QM-H1", edit(1022, "-5"), "线损应为0到100之间的数，最多10位小数！"},
        {"transformer loss -5", "QM-H1", edit(1023, "-5"), "变损应为0到99999999之间的数，最多10位小数！"},
        {"a share of 100abc", "QM-H1", [](CCliPreEditDlg* d) { Prices(d)->SetItemText(0, 3, "100abc"); },
         "请设置合法的比例！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto dialog = AddDialog(c.type);
        c.enter(dialog.get());
        sink.Clear();
        Click(dialog.get(), 1000);
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dialog->isVisible(), !c.message.isEmpty());
    }
}

// An IC key-card type whose maximum current is many times its base: the
// dialog's own default limit is confirmed as offered, the bound is the
// maximum current or that default, and beyond it the limit is too large.
TEST_F(MeterEditDialogTest, AnIcTypesDefaultLimitIsNeverRefused)
{
    const struct
    {
        const char* type;
        double base, max;
        const char* offered;
        const char* highest;
        const char* beyond;
    } cases[] = {
        {"K60", 5, 60, "1200", "1200", "1201"},  // 5(60)A
        {"K57", 5, 57, "1100", "1140", "1141"},  // 11.4 rounds down: the maximum current is the bound
        {"K58", 5, 58, "1200", "1200", "1201"},  // 11.6 rounds up: the default is the bound
        {"K95", 10, 95, "1000", "1000", "1001"}, // 9.5 rounds up beyond the card field's 999
    };
    int sortIndex = 10;
    for (const auto& c : cases) {
        CPreModel model;
        model.SetModelId(c.type);
        model.SetDevType("预付费电表");
        model.SetCardType("IC钥匙卡");
        model.SetBaseValue(c.base);
        model.SetMaxLimit(c.max);
        model.SetSortIndex(sortIndex++);
        model.Save();
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const struct
        {
            const char* limit; // null: the default as offered
            QString message;
        } entries[] = {{nullptr, ""}, {c.highest, ""}, {c.beyond, "限电值太大！"}};
        for (const auto& entry : entries) {
            auto dialog = AddDialog(c.type);
            EXPECT_EQ(Params(dialog.get())->GetItemText(Limit, 1), c.offered);
            if (entry.limit)
                TypeInCell(Params(dialog.get()), Limit, 1, entry.limit);
            sink.Clear();
            Click(dialog.get(), 1000);
            EXPECT_EQ(sink.Texts(), entry.message.isEmpty() ? QStringList() : QStringList{entry.message})
                << (entry.limit ? entry.limit : "offered");
            EXPECT_EQ(dialog->isVisible(), !entry.message.isEmpty());
            if (entry.message.isEmpty()) {
                EXPECT_EQ(dialog->m_strParams[CCliPreEditDlg::ParamLimit], entry.limit ? entry.limit : c.offered);
            }
        }
    }
}

TEST_F(MeterEditDialogTest, FailingPriceRowGetsTheEditor)
{
    auto dialog = AddDialog();
    TypeInCell(Prices(dialog.get()), 0, 3, "60");
    AddPriceRow(dialog.get(), "P2名称", "50");
    AddPriceRow(dialog.get(), "P1名称", "101");
    Click(dialog.get(), 1000);
    EXPECT_EQ(sink.Texts(), QStringList({"请设置合法的比例！"}));
    EXPECT_EQ(Prices(dialog.get())->GetCurrentRow(), 2);
    TypeInCell(Prices(dialog.get()), 2, 3, "1");
    sink.Clear();
    Prices(dialog.get())->SelectRow(0);
    Click(dialog.get(), 1000);
    EXPECT_EQ(sink.Texts(), QStringList({"全部价格百分比之和不为100！"}));
    EXPECT_EQ(Prices(dialog.get())->GetCurrentRow(), 2) << "the editor goes to the last row";
    EXPECT_EQ(Prices(dialog.get())->GetCurrentColumn(), 3);
}

// The mix comes back one share per row, the main price first; the list holds
// at most 20 rows.
TEST_F(MeterEditDialogTest, PriceMixRowsAndTheSharesRead)
{
    auto dialog = AddDialog("QM-K3");
    auto* prices = Prices(dialog.get());
    sink.Clear();
    dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_DELETE);
    EXPECT_EQ(sink.Texts(), QStringList({"请选中行！"})) << "no row selected";
    TypeInCell(prices, 0, 3, "70");
    AddPriceRow(dialog.get(), "P1名称", "10");
    prices->SelectRow(0);
    dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_INSERT); // after the selected row
    ChoosePrice(prices, 1, "P2名称");
    TypeInCell(prices, 1, 3, "20");
    EXPECT_EQ(ColumnTexts(prices, 1), QStringList({"P1", "P2", "P1"}));
    EXPECT_EQ(ColumnTexts(prices, 2), QStringList({"0.5000", "0.8000", "0.5000"}));
    EXPECT_EQ(ColumnTexts(prices, 0), QStringList({"P1名称", "P2名称", "P1名称"})) << "only prepaid prices offered";

    sink.Clear();
    for (int i = 0; i < 17; ++i)
        dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_APPEND);
    EXPECT_EQ(prices->GetItemCount(), 20);
    dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_APPEND);
    dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_INSERT);
    EXPECT_EQ(prices->GetItemCount(), 20);
    EXPECT_EQ(sink.Texts(), QStringList({"组合电价太多！", "组合电价太多！"}));
    while (prices->GetItemCount() > 3) {
        prices->SelectRow(3);
        dialog->OnPriceCommand(CCliPreEditDlg::ID_PRICE_DELETE);
    }

    TypeInCell(Params(dialog.get()), Ct, 1, "50");
    TypeInCell(Params(dialog.get()), Pt, 1, "100");
    Enter(dialog.get(), 1011, "00000009");
    ChooseItem(dialog.get(), 1010, "四级");
    MouseClick(Control<QCheckBox>(dialog.get(), 1026));
    Enter(dialog.get(), 1023, "12.5");
    Enter(dialog.get(), 1157, "15");
    Control<QPlainTextEdit>(dialog.get(), 1014)->setPlainText("备注");
    sink.Clear();
    Click(dialog.get(), 1000);
    ASSERT_EQ(dialog->result(), QDialog::Accepted) << sink.Texts().join(' ').toStdString();

    EXPECT_EQ(QStringList({dialog->m_strMeterNo, dialog->m_strModelId, dialog->m_strLevel, dialog->m_strSuperNo,
                           dialog->m_strTransLoss, dialog->m_strLineLoss, dialog->m_strPrePayRate, dialog->m_strDescrip,
                           QString::number(dialog->m_bTransLoss)}),
              QStringList({"00000012", "QM-K3", "四级", "00000009", "12.5", "0.00", "15", "备注", "1"}));
    EXPECT_EQ(QStringList(std::begin(dialog->m_strParams), std::end(dialog->m_strParams)),
              QStringList({"50", "100", "400", "30", "20", "0", "常闭"}));
    ASSERT_EQ(dialog->m_nPriceCount, 3);
    QStringList shares;
    for (int i = 0; i < 3; ++i)
        shares << QStringLiteral("%1:%2:%3")
                      .arg(dialog->m_PriceShares[i].GetPriceX())
                      .arg(dialog->m_PriceShares[i].GetPriceNo())
                      .arg(dialog->m_PriceShares[i].GetPricePercent());
    EXPECT_EQ(shares, QStringList({"0:P1:70", "1:P2:20", "2:P1:10"}));
}

TEST_F(MeterEditDialogTest, ModifyAndViewShowTheGivenMeter)
{
    CPrePriceList mix;
    for (auto [code, percent] : {std::pair<const char*, int>{"P2", 40}, {"P1", 60}}) {
        auto* share = new CPrePrice;
        share->SetPriceNo(code);
        share->SetPricePercent(percent);
        mix.AppendRecord(share);
    }
    for (const char* mode : {"修改配表", "查看配表"}) {
        SCOPED_TRACE(mode);
        CCliPreEditDlg dialog(nullptr, QString::fromUtf8(mode));
        dialog.m_strMeterNo = "00000007";
        dialog.m_strModelId = "QM-K3";
        dialog.m_strLevel = "三级";
        const QString given[] = {"5", "2", "300", "40", "10", "0", "常闭"};
        std::copy(std::begin(given), std::end(given), dialog.m_strParams);
        dialog.SetPriceShares(mix);
        dialog.show();
        const bool view = QString(mode) == "查看配表";

        EXPECT_TRUE(Control<QLineEdit>(&dialog, 1105)->isReadOnly());
        EXPECT_FALSE(Control<QComboBox>(&dialog, 1111)->isEnabled());
        EXPECT_EQ(Control<QComboBox>(&dialog, 1111)->currentText(), "QM-K3");
        EXPECT_EQ(Control<QComboBox>(&dialog, 1010)->currentText(), "三级");
        EXPECT_EQ(ColumnTexts(Params(&dialog), 1), QStringList(std::begin(given), std::end(given)));
        EXPECT_EQ(ColumnTexts(Prices(&dialog), 0), QStringList({"P2名称", "P1名称"}));
        EXPECT_EQ(ColumnTexts(Prices(&dialog), 3), QStringList({"40", "60"}));
        EXPECT_EQ(dialog.focusWidget(), Control<QWidget>(&dialog, 1021));
        for (int id : {1110, 1074, 1025, 1026, 1050, 1000})
            EXPECT_EQ(Control<QWidget>(&dialog, id)->isEnabled(), !view) << id;
        EXPECT_EQ(Control<QPlainTextEdit>(&dialog, 1014)->isReadOnly(), view);
        if (!view) {
            Click(&dialog, 1000);
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << sink.Texts().join(' ').toStdString();
        }
    }

    for (int i = 0; i < 19; ++i)
        mix.AppendRecord(new CPrePrice);
    CCliPreEditDlg dialog(nullptr, QStringLiteral("修改配表"));
    EXPECT_EQ(ThrownText([&] { dialog.SetPriceShares(mix); }), "组合电价太多！");
}

TEST_F(MeterEditDialogTest, LossBoxesAndNoOfferedType)
{
    db().Execute("update SysPara set LWaste = 2.5", QString());
    auto dialog = AddDialog();
    auto* lineLoss = Control<QLineEdit>(dialog.get(), 1022);
    EXPECT_TRUE(lineLoss->isReadOnly());
    MouseClick(Control<QCheckBox>(dialog.get(), 1025));
    EXPECT_FALSE(lineLoss->isReadOnly());
    EXPECT_EQ(lineLoss->text(), "2.50");
    MouseClick(Control<QCheckBox>(dialog.get(), 1025));
    EXPECT_TRUE(lineLoss->isReadOnly());
    EXPECT_EQ(lineLoss->text(), "0.00");

    db().Execute("update PreModel set SortIndex = 10000", QString());
    CCliPreEditDlg none(nullptr, QStringLiteral("增加电表"));
    none.show();
    Enter(&none, 1105, "00000012");
    EXPECT_EQ(Control<QComboBox>(&none, 1111)->count(), 0);
    EXPECT_EQ(Params(&none)->GetItemCount(), 0);
    sink.Clear();
    Click(&none, 1000);
    EXPECT_EQ(sink.Texts(), QStringList({"请输入CT"}));
}

// An unticked loss box fixes its loss at 0: what is typed or pasted into the
// grey field is not handed on.
TEST_F(MeterEditDialogTest, AnUntickedLossTakesNoTypingOrPaste)
{
    db().Execute("update SysPara set LWaste = 2.5", QString());
    auto dialog = AddDialog();
    QApplication::clipboard()->setText("7");
    for (int id : {1022, 1023}) {
        auto* loss = Control<QLineEdit>(dialog.get(), id);
        ASSERT_TRUE(loss->isReadOnly()) << id;
        MouseClick(loss);
        Retype(loss, "50");
        QTest::keyClick(loss, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(loss->text(), "0.00") << id;
    }
    sink.Clear();
    Click(dialog.get(), 1000);
    ASSERT_EQ(dialog->result(), QDialog::Accepted) << sink.Texts().join(' ').toStdString();
    EXPECT_EQ(QStringList({dialog->m_strLineLoss, dialog->m_strTransLoss}), QStringList({"0.00", "0.00"}));
}

// The three lists show their headings and values whole (参数单位 included),
// and the arrow-only button of the price mix names itself when hovered.
TEST_F(MeterEditDialogTest, ListsShowTheirTextsAndThePriceButtonItsName)
{
    auto dialog = AddDialog("QM-K3");
    AddPriceRow(dialog.get(), "P1", "100");
    for (int id : {1113, 1110, 1074}) {
        auto* list = Control<CKvExtList2>(dialog.get(), id);
        EXPECT_EQ(CutListTexts(*list), QStringList()) << id;
    }
    EXPECT_EQ(Params(dialog.get())->horizontalHeaderItem(2)->text(), QStringLiteral("参数单位"));

    auto* button = Control<QPushButton>(dialog.get(), 1050);
    const QPoint centre = button->rect().center();
    QHelpEvent hover(QEvent::ToolTip, centre, button->mapToGlobal(centre));
    QApplication::sendEvent(button, &hover);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("增删电价(P)"));
    QToolTip::hideText();
}

TEST_F(MeterEditDialogTest, EveryRowOfTheTypeAndParameterListsShowsOnADesktopScreen)
{
    CCliPreEditDlg dialog(nullptr, QStringLiteral("增加电表"));
    dialog.m_strClientNo = "0001";
    dialog.EnsureInitialised();
    // What a 1600 x 1000 desktop leaves to a window, its frame and a panel.
    EXPECT_LE(dialog.width(), 1580);
    EXPECT_LE(dialog.height(), 920);
    dialog.grab(); // lays the dialog out at that size, as showing it does
    for (int id : {1113, 1110}) {
        SCOPED_TRACE(id);
        auto* list = Control<CKvExtList2>(&dialog, id);
        EXPECT_EQ(list->verticalScrollBar()->maximum(), 0) << "every row shows";
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "every column shows";
        const int last = list->GetItemCount() - 1;
        EXPECT_LE(list->visualItemRect(list->item(last, 0)).bottom(), list->viewport()->height())
            << list->GetItemText(last, 0).toStdString();
    }
}

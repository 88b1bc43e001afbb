#include "CClientEditDlg.h"
#include "KvMasterDialogTest.h"

#include <QApplication>
#include <QPlainTextEdit>

namespace {

class ClientEditDialogTest : public MasterDialogTest
{
protected:
    ClientEditDialogTest()
    {
        for (const char* row :
             {"Block values('01', '东苑')", "Block values('02', '西苑')", "Building values('01', '01', '一幢')",
              "Building values('01', '02', '二幢')", "Department values('D1', '财务')"})
            exec(QStringLiteral("insert into %1").arg(QString::fromUtf8(row)));
    }

    QComboBox* combo(int id) { return Control<QComboBox>(&dlg, id); }

    // A user living in building 二幢 of 东苑, floor 05, room 07, 三单元.
    void fillResident()
    {
        dlg.m_BlockNo = QStringLiteral("01");
        dlg.m_BuildingNo = QStringLiteral("02");
        dlg.m_LayerNo = QStringLiteral("05");
        dlg.m_RoomNo = QStringLiteral("07");
        dlg.m_Cell = QStringLiteral("三单元");
        dlg.m_DepartmentNo = QStringLiteral("D1");
        dlg.m_ClientNo = QStringLiteral("U001");
        dlg.m_ClientName = QStringLiteral("张三");
        dlg.m_MemberNum = QStringLiteral("3");
    }

    CClientEditDlg dlg{nullptr, QStringLiteral("修改用户")};
};

TEST_F(ClientEditDialogTest, TabGoesRowByRowAsTheFieldsStand)
{
    // A new user is typed from its code on; the department stands beside it.
    CClientEditDlg add(nullptr, QStringLiteral("增加用户"));
    ASSERT_TRUE(ShowActive(&add));
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(&add, 1002));
    PressKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(&add, 1007));
    add.reject();

    fillResident(); // every choice open, the code fixed
    ASSERT_TRUE(ShowActive(&dlg));
    QStringList visited;
    for (int i = 0; i < 14 && QApplication::focusWidget(); ++i) {
        visited << QApplication::focusWidget()->objectName();
        PressKey(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // 部门 | 小区 楼幢 | 单元 楼层 | 房号 居住人数 | 姓名 证件 | 地址 要约号 | 备注 | 保存 取消
    EXPECT_EQ(visited, QStringList({"c1007", "c1003", "c1004", "c1008", "c1005", "c1006", "c1085", "c1009", "c1010",
                                    "c1011", "c1012", "c1014", "c1000", "c1001"}));
}

TEST_F(ClientEditDialogTest, ChoicesAreChainedFromDistrictToRoom)
{
    fillResident();
    ShowActive(&dlg);
    EXPECT_EQ(ComboItems(combo(1003)), (QStringList{"", "东苑", "西苑"}));
    EXPECT_EQ(combo(1003)->currentText(), QStringLiteral("东苑"));
    EXPECT_EQ(ComboItems(combo(1004)), (QStringList{"", "一幢", "二幢"}));
    EXPECT_EQ(combo(1004)->currentText(), QStringLiteral("二幢"));
    EXPECT_EQ(combo(1005)->currentText(), QStringLiteral("05"));
    EXPECT_EQ(combo(1006)->currentText(), QStringLiteral("07"));
    EXPECT_EQ(combo(1008)->currentText(), QStringLiteral("三单元"));
    EXPECT_EQ(combo(1007)->currentText(), QStringLiteral("财务"));
    EXPECT_EQ(combo(1005)->count(), 51);
    EXPECT_EQ(combo(1006)->count(), 100);
    EXPECT_EQ(combo(1008)->count(), 10);
    for (int id : {1004, 1005, 1006, 1008})
        EXPECT_TRUE(combo(id)->isEnabled()) << id;
    // Modify mode: the code is fixed and the department comes first.
    EXPECT_FALSE(Control<QLineEdit>(&dlg, 1002)->isEnabled());
    EXPECT_EQ(dlg.focusWidget(), combo(1007));

    // The empty floor item: no room can be chosen, and the room stays.
    ChooseItem(combo(1005), 0);
    EXPECT_FALSE(combo(1006)->isEnabled());
    EXPECT_EQ(combo(1006)->currentText(), QStringLiteral("07"));

    // A district without buildings offers only "none".
    ChooseItem(combo(1003), 2);
    EXPECT_TRUE(combo(1004)->isEnabled());
    EXPECT_EQ(ComboItems(combo(1004)), QStringList{""});
    EXPECT_FALSE(combo(1005)->isEnabled());
    EXPECT_FALSE(combo(1008)->isEnabled());

    // The empty district: no building either.
    ChooseItem(combo(1003), 0);
    EXPECT_FALSE(combo(1004)->isEnabled());
    EXPECT_EQ(ComboItems(combo(1004)), QStringList{""});

    // Back to a real building: floor and unit are offered again.
    ChooseItem(combo(1003), 1);
    ChooseItem(combo(1004), 1);
    ChooseItem(combo(1005), 12);
    ChooseItem(combo(1006), 3);
    ChooseItem(combo(1008), 9);
    ChooseItem(combo(1007), 0);
    ClickButton(&dlg, 1000);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(',').toStdString();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(
        QStringList({dlg.m_BlockNo, dlg.m_BuildingNo, dlg.m_LayerNo, dlg.m_RoomNo, dlg.m_Cell, dlg.m_DepartmentNo}),
        (QStringList{"01", "01", "12", "03", "十单元", "00"}));
}

TEST_F(ClientEditDialogTest, NoBuildingSavesTheReservedCodesAndKeepsDisabledChoices)
{
    fillResident();
    ShowActive(&dlg);
    ChooseItem(combo(1003), 0);
    ClickButton(&dlg, 1000);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_BlockNo, QStringLiteral("00"));
    EXPECT_EQ(dlg.m_BuildingNo, QStringLiteral("00"));
    // A disabled choice keeps its selection, and that value is saved.
    EXPECT_EQ(dlg.m_LayerNo, QStringLiteral("05"));
    EXPECT_EQ(dlg.m_Cell, QStringLiteral("三单元"));
}

TEST_F(ClientEditDialogTest, StoredTextsThatAreNoItemComeBackEmpty)
{
    // A caller that sets nothing: "空" everywhere, district and building "00".
    CClientEditDlg add(nullptr, QStringLiteral("增加用户"));
    ShowActive(&add);
    EXPECT_EQ(add.focusWidget(), Control<QLineEdit>(&add, 1002));
    EXPECT_TRUE(Control<QLineEdit>(&add, 1002)->isEnabled());
    for (int id : {1004, 1005, 1008})
        EXPECT_FALSE(Control<QComboBox>(&add, id)->isEnabled()) << id;
    for (int id : {1005, 1006, 1008})
        EXPECT_EQ(Control<QComboBox>(&add, id)->currentIndex() > 0, false) << id;
    CModalScript::Type(&add, 1002, QStringLiteral("U9"));
    CModalScript::Type(&add, 1009, QStringLiteral("李四"));
    CModalScript::Type(&add, 1085, QStringLiteral("2"));
    ClickButton(&add, 1000);
    EXPECT_EQ(add.result(), QDialog::Accepted);
    EXPECT_EQ(QStringList({add.m_LayerNo, add.m_RoomNo, add.m_Cell}), (QStringList{"", "", ""}));

    // A stored floor that is no item, under a real building.
    fillResident();
    dlg.m_LayerNo = QStringLiteral("88");
    ShowActive(&dlg);
    EXPECT_EQ(combo(1005)->currentIndex(), -1);
    EXPECT_FALSE(combo(1006)->isEnabled());
    ClickButton(&dlg, 1000);
    EXPECT_EQ(dlg.m_LayerNo, QString());
}

TEST_F(ClientEditDialogTest, SaveChecksTheTextsAsTypedInOrder)
{
    struct Case
    {
        int id;
        QString text;
        const char* refusal; // "" = saved
        int focus;
    };
    const QString twentyBytes = QStringLiteral("一二三四五六七八九十");
    const Case cases[] = {
        {1002, "", "请输入用户代码", 1002},
        {1002, twentyBytes + "1", "用户代码长度不应大于20", 1002},
        {1002, twentyBytes, "", 0},
        {1002, "   ", "", 0}, // blanks only: accepted, nothing is trimmed
        {1009, "", "请输入用户姓名！", 1009},
        {1010, "123456789012345678901", "证件号码长度不应超过20个英文字母！", 1010},
        {1011, twentyBytes + twentyBytes + "1", "地址长度不应超过40个英文字母！", 1011},
        {1011, twentyBytes + twentyBytes, "", 0},
        {1012, "123456789012345678901", "要约号长度不应超过20个英文字母！", 1012},
        {1085, "", "请输入居住人数！", 1085},
        // A number beyond the field is refused by name, not stored as 0.
        {1085, "2147483648", "居住人数应为0到999之间的整数！", 1085},
        {1085, "1000", "居住人数应为0到999之间的整数！", 1085},
        {1085, "999", "", 0},
        // Texts the outside libraries take in GBK: a character GBK cannot hold
        // is refused by name; "€" is one GBK byte.
        {1002, "U😀", "用户代码含有无法使用的字符“😀”，只能输入汉字、字母、数字和常用符号！", 1002},
        {1002, QString(20, QChar(0x20AC)), "", 0},
        {1009, "张ẞ", "用户姓名含有无法使用的字符“ẞ”，只能输入汉字、字母、数字和常用符号！", 1009},
        {1011, "东路𠀀号", "地址含有无法使用的字符“𠀀”，只能输入汉字、字母、数字和常用符号！", 1011},
    };
    for (const Case& c : cases) {
        CClientEditDlg add(nullptr, QStringLiteral("增加用户"));
        ShowActive(&add);
        CModalScript::Type(&add, 1002, QStringLiteral("U1"));
        CModalScript::Type(&add, 1009, QStringLiteral("张三"));
        CModalScript::Type(&add, 1085, QStringLiteral("3"));
        CModalScript::Type(&add, c.id, c.text);
        sink.Clear();
        ClickButton(&add, 1000);
        const QString refusal = QString::fromUtf8(c.refusal);
        if (refusal.isEmpty()) {
            EXPECT_EQ(add.result(), QDialog::Accepted) << c.id;
            EXPECT_TRUE(sink.Texts().isEmpty()) << c.id;
        } else {
            EXPECT_EQ(sink.Texts(), QStringList{refusal}) << c.id;
            EXPECT_TRUE(add.isVisible()) << c.id;
            EXPECT_EQ(add.focusWidget(), Control<QWidget>(&add, c.focus)) << c.id;
        }
    }
}

TEST_F(ClientEditDialogTest, TextsGoInAndComeOutAndNumbersTakeDigitsOnly)
{
    fillResident();
    dlg.m_ClientId = QStringLiteral("110101");
    dlg.m_Addr = QStringLiteral("东苑二幢");
    dlg.m_Tel = QStringLiteral("YY-01");
    dlg.m_Descrip = QStringLiteral("第一行\n第二行");
    ShowActive(&dlg);
    EXPECT_EQ(Control<QLineEdit>(&dlg, 1012)->text(), QStringLiteral("YY-01"));
    EXPECT_EQ(Control<QPlainTextEdit>(&dlg, 1014)->toPlainText(), QStringLiteral("第一行\n第二行"));

    // Enter in the remark makes a new line; it does not save.
    auto* remark = Control<QPlainTextEdit>(&dlg, 1014);
    remark->setFocus();
    remark->moveCursor(QTextCursor::End);
    PressKey(remark, Qt::Key_Return, QStringLiteral("\r"));
    TypeText(remark, QStringLiteral("3"));
    EXPECT_TRUE(dlg.isVisible());

    QLineEdit* residents = Control<QLineEdit>(&dlg, 1085);
    residents->clear();
    residents->setFocus();
    TypeText(residents, QStringLiteral("4a2"));
    EXPECT_EQ(residents->text(), QStringLiteral("42"));
    ClickButton(&dlg, 1000);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(QStringList({dlg.m_ClientNo, dlg.m_ClientName, dlg.m_ClientId, dlg.m_Addr, dlg.m_Tel, dlg.m_Descrip,
                           dlg.m_MemberNum}),
              (QStringList{"U001", "张三", "110101", "东苑二幢", "YY-01", "第一行\n第二行\n3", "42"}));
}

} // namespace

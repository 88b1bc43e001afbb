#include "CAdoConnection.h"
#include "CKvComboBox.h"
#include "CKvExtList2.h"
#include "CServerDlg.h"
#include "CStation.h"
#include "CStationEditDlg.h"
#include "CStationListDlg.h"
#include "CStationSelectDlg.h"
#include "CSysPara.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "SysGlobals.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QString text(QWidget* dialog, int id)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("c%1").arg(id));
    return edit ? edit->text() : QStringLiteral("<none>");
}

CModalScript::Action editStation(const QString& no, const QString& name)
{
    return [no, name](QWidget* dialog) {
        if (dialog->findChild<QLineEdit*>(QStringLiteral("c1335"))->isEnabled())
            CModalScript::Type(dialog, 1335, no);
        CModalScript::Type(dialog, 1334, name);
        CModalScript::Click(dialog, 1000);
    };
}

class StationDialogTest : public FreshDatabaseTest
{
protected:
    void addStation(const char* no, const char* name)
    {
        CStationList list;
        list.Add(QString::fromUtf8(no), QString::fromUtf8(name));
    }
    QString stationName(const QString& no)
    {
        return fresh.Value(QStringLiteral("select StationName from Station where StationNo = '%1'").arg(no));
    }
    CModalScript script;
};

} // namespace

TEST_F(StationDialogTest, EditorChecksNumberThenNameInOrder)
{
    struct Case
    {
        const char* no;
        const char* name;
        const char* message;          // "" = accepted
        const char* stored = nullptr; // the name taken when accepted; null: as typed
    };
    const Case cases[] = {
        {"1", "东门", "工作站编号长度为2！"},
        {"001", "东门", "工作站编号长度为2！"},
        {"00", "东门", "工作站编号不应为00！"},
        {"21", "东门", "工作站编号不应大于20！"},
        {"05", "", "请输入工作站名称！"},
        {"05", "一二三四五六七八九十a", "工作站名称长度不应大于20！"},
        {"05", "   ", "请输入工作站名称！"},
        {"05", " 一二三四五六七八九十a ", "工作站名称长度不应大于20！"},
        {"01", "东门", ""},
        {"20", "一二三四五六七八九十", ""},
        {"03", "  一二三四五六七八九十 ", "", "一二三四五六七八九十"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.no);
        sink.Clear();
        CStationEditDlg dialog(nullptr, QStringLiteral("增加工作站"));
        dialog.EnsureInitialised();
        CModalScript::Type(&dialog, 1335, QString::fromUtf8(c.no));
        CModalScript::Type(&dialog, 1334, QString::fromUtf8(c.name));
        CModalScript::Click(&dialog, 1000);
        if (*c.message) {
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
            EXPECT_NE(dialog.result(), QDialog::Accepted);
        } else {
            EXPECT_TRUE(sink.Texts().isEmpty());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.m_stationNo, QString::fromUtf8(c.no));
            EXPECT_EQ(dialog.m_stationName, QString::fromUtf8(c.stored ? c.stored : c.name));
        }
    }
}

TEST_F(StationDialogTest, AddingATakenNumberReopensTheEditorWithWhatWasTyped)
{
    addStation("05", "东门");
    CStationListDlg dialog;
    dialog.EnsureInitialised();
    ASSERT_EQ(dialog.GetList()->GetItemCount(), 1);

    script.Then(editStation(QStringLiteral("05"), QStringLiteral("西门"))).Then([](QWidget* editor) {
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("增加工作站"));
        EXPECT_EQ(text(editor, 1335), QStringLiteral("05"));
        EXPECT_EQ(text(editor, 1334), QStringLiteral("西门"));
        editStation(QStringLiteral("06"), QStringLiteral("西门"))(editor);
    });
    CModalScript::Click(&dialog, 1024);

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("工作站编号重复！")});
    EXPECT_EQ(stationName(QStringLiteral("06")), QStringLiteral("西门"));
    ASSERT_EQ(dialog.GetList()->GetItemCount(), 2);
    EXPECT_EQ(dialog.GetList()->GetItemText(1, 0), QStringLiteral("06"));
    EXPECT_EQ(dialog.GetList()->GetItemText(1, 1), QStringLiteral("西门"));
}

TEST_F(StationDialogTest, ModifyKeepsTheNumberAndDeleteAsksFirst)
{
    addStation("05", "东门");
    CStationListDlg dialog;
    dialog.EnsureInitialised();

    // Nothing selected.
    CModalScript::Click(&dialog, 1025);
    CModalScript::Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"请选择工作站！", "请选择工作站！"}));

    sink.Clear();
    dialog.GetList()->SelectRow(0);
    script.Then([](QWidget* editor) {
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("修改工作站"));
        EXPECT_FALSE(editor->findChild<QLineEdit*>(QStringLiteral("c1335"))->isEnabled());
        editStation(QString(), QStringLiteral("北门"))(editor);
    });
    CModalScript::Click(&dialog, 1025);
    EXPECT_EQ(stationName(QStringLiteral("05")), QStringLiteral("北门"));
    EXPECT_EQ(dialog.GetList()->GetItemText(0, 1), QStringLiteral("北门"));

    dialog.GetList()->SelectRow(0);
    sink.QueueAnswer(IDNO);
    CModalScript::Click(&dialog, 1026);
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Station")), 1);
    dialog.GetList()->SelectRow(0);
    sink.QueueAnswer(IDYES);
    CModalScript::Click(&dialog, 1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"请确认是否删除该工作站？", "请确认是否删除该工作站？"}));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from Station")), 0);
    EXPECT_EQ(dialog.GetList()->GetItemCount(), 0);
}

TEST_F(StationDialogTest, AChangeOfAVanishedRowIsAFailure)
{
    addStation("05", "东门");
    CStationList list;
    list.LoadAll();
    db().Execute(QStringLiteral("delete from Station"), QString());
    list.At(0)->SetStationName(QStringLiteral("x"));
    EXPECT_EQ(ThrownText([&] { list.Modify(list.At(0)); }), QStringLiteral("向数据库更新工作站时发生错误！"));
    EXPECT_EQ(ThrownText([&] { list.Remove(list.At(0)); }), QStringLiteral("从数据库删除工作站时发生错误！"));
}

TEST_F(StationDialogTest, SelectionShowsTheStoredNumberAndStoresTheChoiceOrZero)
{
    addStation("02", "东门");
    addStation("03", "西门");
    GetLocalSysPara()->SetIntPara(QStringLiteral("StationNo"), 3);

    struct Case
    {
        int choose; // item index, -1 = none
        int stored;
    };
    for (const Case c : {Case{-1, 0}, Case{0, 2}, Case{1, 3}}) {
        SCOPED_TRACE(c.choose);
        CStationSelectDlg dialog;
        dialog.EnsureInitialised();
        auto* box = dialog.findChild<CKvComboBox*>(QStringLiteral("c1336"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->count(), 2);
        box->setCurrentIndex(c.choose);
        CModalScript::Click(&dialog, 1000);
        EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")), c.stored);
    }
    // The stored number 3 chose 西门 when it opened.
    CStationSelectDlg dialog;
    dialog.EnsureInitialised();
    EXPECT_EQ(dialog.findChild<CKvComboBox*>(QStringLiteral("c1336"))->currentText(), QStringLiteral("西门"));
    CModalScript::Click(&dialog, 1021);
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("StationNo")), 3) << "cancel writes nothing";
}

TEST_F(StationDialogTest, ServerNameIsAHostWithAnOptionalPortOrIsRefusedByName)
{
    CServerDlg dialog;
    dialog.EnsureInitialised();
    EXPECT_EQ(text(&dialog, 1202), QStringLiteral("Qrserver"));
    CModalScript::Type(&dialog, 1202, QStringLiteral(" db2 "));
    CModalScript::Click(&dialog, 1000);
    EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QStringLiteral("db2"));

    CServerDlg again;
    again.EnsureInitialised();
    CModalScript::Type(&again, 1202, QStringLiteral("other"));
    CModalScript::Click(&again, 1021);
    EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QStringLiteral("db2"));

    const QString refusal = QStringLiteral("服务器名称应为主机名或“主机名,端口”，端口为1到65535的数字！");
    const struct
    {
        const char* typed;
        const char* stored; // null: refused, db2 kept
    } cases[] = {
        {"192.168.1.10,5432", "192.168.1.10,5432"},
        {"counter-db.local", "counter-db.local"},
        {"::1", "::1"},
        {"[fe80::1],5432", "[fe80::1],5432"},
        {"[2001:db8::7]", "[2001:db8::7]"},
        {"fe80::1%eth0", "fe80::1%eth0"},
        {"[fe80::1", nullptr},
        {"[fe80::1]5432", nullptr},
        {"[fe80::1],", nullptr},
        {"[fe80::g]", nullptr},
        {":::", nullptr},
        {"db;Database=other", nullptr},
        {"db,54a2", nullptr},
        {"db,0", nullptr},
        {"db,65536", nullptr},
        {"db,", nullptr},
        {"", nullptr},
        {"db\\other", nullptr},
        {"db 2", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), QStringLiteral("db2"));
        CServerDlg edit;
        edit.EnsureInitialised();
        CModalScript::Type(&edit, 1202, QString::fromUtf8(c.typed));
        sink.Clear();
        CModalScript::Click(&edit, 1000);
        if (c.stored) {
            EXPECT_TRUE(sink.Texts().isEmpty());
            EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QString::fromUtf8(c.stored));
        } else {
            EXPECT_EQ(sink.Texts(), QStringList{refusal});
            EXPECT_NE(edit.result(), QDialog::Accepted);
            EXPECT_EQ(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QStringLiteral("db2"));
        }
    }
}

#pragma once

// The fixture of the sub-meter reading and balance query tests: a fresh
// database with the query fixture scripts loaded (clock fixed at 2024-03-15
// 10:00), the main frame with the query commands installed, and the drivers of
// KvQueryUiTestUtil.h in the short names the tests use.
#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CQueryResultDlg.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvGoldenCsv.h"
#include "KvModalScript.h"
#include "KvQueryCommands.h"
#include "KvQueryUiTestUtil.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

class QueryUiTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CFreshDatabase fresh{QDateTime(QDate(2024, 3, 15), QTime(10, 0))};
    CMainFrame frame;

    // The fixture scripts of tests/queries, in order; the rights to grant.
    QueryUiTest(const QStringList& scripts, const QVector<int>& rights)
    {
        LoadQueryFixtures(fresh, scripts);
        GetCurrentOperator()->SetRights(rights);
        frame.BuildRightsList();
        InstallQueryCommands(frame);
    }

    static QComboBox* combo(QWidget* dialog, int id) { return ConditionCombo(dialog, id); }
    static QCheckBox* box(QWidget* dialog, int id) { return ConditionBox(dialog, id); }
    static void clickIndicator(QAbstractButton* button) { ClickIndicator(button); }
    static void clickBox(QWidget* dialog, int id) { clickIndicator(box(dialog, id)); }
    static void clickRadio(QWidget* dialog, int id)
    {
        clickIndicator(dialog->findChild<QAbstractButton*>(CKvDialog::ControlName(id)));
    }
    // Chooses an item by its text as the operator does with the keyboard.
    static void choose(QWidget* dialog, int id, const QString& text)
    {
        QComboBox* c = combo(dialog, id);
        ASSERT_NE(c, nullptr) << id;
        const int target = c->findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        c->setFocus();
        while (c->currentIndex() < target)
            PressKey(c, Qt::Key_Down);
        while (c->currentIndex() > target)
            PressKey(c, Qt::Key_Up);
    }
    static QStringList items(QWidget* dialog, int id)
    {
        QStringList texts;
        QComboBox* c = combo(dialog, id);
        for (int i = 0; c && i < c->count(); ++i)
            texts << c->itemText(i);
        return texts;
    }

    static QString resultCsv(CQueryResultDlg* result, bool sortRows) { return ResultCsv(result, false, sortRows); }
    static void expectGolden(const QString& name, const QString& csv) { ExpectGoldenCsv(name, csv); }

    // Runs a looping query command: the condition dialog is set up and
    // confirmed, the result captured and closed, and the dialog shown again
    // (`dialogName`) is cancelled with its button `closeId`.
    QString runOnce(int command, const QString& dialogName, const std::function<void(QWidget*)>& conditions,
                    bool sortRows, int closeId = 1001)
    {
        QString csv;
        CModalScript script;
        script
            .Then([&](QWidget* dialog) {
                conditions(dialog);
                CModalScript::Click(dialog, 1000);
            })
            .Then([&](QWidget* dialog) {
                auto* result = qobject_cast<CQueryResultDlg*>(dialog);
                EXPECT_NE(result, nullptr) << dialog->objectName().toStdString();
                if (result)
                    csv = resultCsv(result, sortRows);
                dialog->close();
            })
            .Then([closeId](QWidget* dialog) { CModalScript::Click(dialog, closeId); });
        frame.GetCommandAction(command)->trigger();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), QStringList({dialogName, "dlg180", dialogName}));
        return csv;
    }
};

#pragma once

// The fixture and drivers shared by the query dialog tests: a fresh database
// with the query fixture scripts loaded (clock fixed at 2024-03-15 10:00), the
// main frame with the query commands installed, and result lists captured as
// CSV and compared with golden files.
#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CQueryResultDlg.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "KvQueryCommands.h"
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
        for (const QString& name : scripts) {
            QFile script(QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/") + name);
            EXPECT_TRUE(script.open(QIODevice::ReadOnly)) << name.toStdString();
            fresh.Db().ExecuteScript(QString::fromUtf8(script.readAll()), QString());
        }
        GetCurrentOperator()->SetRights(rights);
        frame.BuildRightsList();
        InstallQueryCommands(frame);
    }

    static QComboBox* combo(QWidget* dialog, int id)
    {
        return dialog->findChild<QComboBox*>(CKvDialog::ControlName(id));
    }
    static QCheckBox* box(QWidget* dialog, int id) { return dialog->findChild<QCheckBox*>(CKvDialog::ControlName(id)); }
    // A click on the box's indicator, at its left edge, as the operator clicks it.
    static void clickIndicator(QAbstractButton* button)
    {
        ASSERT_NE(button, nullptr);
        MouseClick(button, QPoint(6, button->height() / 2));
    }
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

    // The result list as CSV: window caption, titles, rows, count line. Rows
    // of a statement without an order clause are compared sorted, the total
    // row kept last.
    static QString resultCsv(CQueryResultDlg* result, bool sortRows)
    {
        CKvExtList2* list = result->GetList();
        QStringList rows;
        for (int r = 0; r < list->GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list->GetColumnCount(); ++c)
                cells << list->GetItemText(r, c);
            rows << cells.join(u',');
        }
        if (sortRows && rows.size() > 1) {
            const QString total = rows.takeLast();
            rows.sort();
            rows << total;
        }
        return QStringList{result->windowTitle(), result->GetTitles().join(u','), rows.join(u'\n'),
                           result->GetRecordCountText()}
                   .join(u'\n') +
               u'\n';
    }

    static void expectGolden(const QString& name, const QString& csv)
    {
        const QString golden = QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/golden/") + name + ".csv";
        if (qEnvironmentVariableIsSet("QUILLMER_REGENERATE_GOLDEN")) {
            QFile out(golden);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(csv.toUtf8());
        }
        QFile in(golden);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "set QUILLMER_REGENERATE_GOLDEN=1 to write it";
        EXPECT_EQ(csv, QString::fromUtf8(in.readAll())) << name.toStdString();
    }

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

#pragma once

// Drivers of the query commands in the offscreen tests: fixtures loaded into a
// fresh database, condition controls worked as the operator does, and the
// result list written as CSV for comparison with a golden file.

#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "CQueryResultDlg.h"
#include "CResultList.h"
#include "KvFreshDatabase.h"
#include "KvGoldenCsv.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <gtest/gtest.h>

// Runs the fixture scripts of tests/queries, in order.
inline void LoadQueryFixtures(CFreshDatabase& fresh, const QStringList& names)
{
    for (const QString& name : names) {
        QFile script(QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/") + name);
        ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << name.toStdString();
        fresh.Db().ExecuteScript(QString::fromUtf8(script.readAll()), QString());
    }
}

inline QComboBox* ConditionCombo(QWidget* dialog, int id)
{
    return dialog->findChild<QComboBox*>(CKvDialog::ControlName(id));
}

inline QCheckBox* ConditionBox(QWidget* dialog, int id)
{
    return dialog->findChild<QCheckBox*>(CKvDialog::ControlName(id));
}

// A click on a box's indicator, at its left edge, as the operator clicks it.
inline void ClickIndicator(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    MouseClick(button, QPoint(6, button->height() / 2));
}

// The result list as CSV: window caption, titles, rows, count line and, with
// `printLine`, what it prints: title, subtitle, paper, margins and widths.
// Rows without an order of their own (statistics) are compared with
// `sortRows`: sorted, the total row kept last.
inline QString ResultCsv(CQueryResultDlg* result, bool printLine, bool sortRows = false)
{
    CResultList* list = result->GetList();
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
    QStringList lines{result->windowTitle(), result->GetTitles().join(u','), rows.join(u'\n'),
                      result->GetRecordCountText()};
    if (printLine) {
        const CListPrintSettings& s = result->GetPrintSettings();
        QStringList widths;
        for (int w : s.m_colWidths)
            widths << QString::number(w);
        lines << QStringLiteral("%1|%2|paper %3|margins %4 %5 %6 %7|widths %8")
                     .arg(s.m_title, s.m_subTitle)
                     .arg(s.m_paperIndex)
                     .arg(s.m_topMargin)
                     .arg(s.m_bottomMargin)
                     .arg(s.m_leftMargin)
                     .arg(s.m_rightMargin)
                     .arg(widths.join(u','));
    }
    return lines.join(u'\n') + u'\n';
}

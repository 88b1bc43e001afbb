#pragma once

#include "CKvDialog.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvModalScript.h"

#include <QStringList>
#include <deque>
#include <stdexcept>
#include <vector>
#include <gtest/gtest.h>

// Answers the operator dialogs of a sale (RunOperatorDialog) in turn while it
// lives: each dialog is initialised unseen and handed to the next action, the
// same actions as CModalScript's (type into numbered controls, click 1000 or
// 1021). The dialog's result is what its own buttons decided. A dialog that
// finds the script exhausted, or that an action leaves open (a refused
// input), fails the test and counts as cancelled, so no test can hang.
// The tables handed to result lists are kept, in order, as CSV-like rows.
class CDialogScript : public IKvDialogRunner
{
public:
    CDialogScript() : m_previous(SetDialogRunner(this)) {}
    ~CDialogScript() override { SetDialogRunner(m_previous); }
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    CDialogScript& Then(CModalScript::Action action)
    {
        m_actions.push_back(std::move(action));
        return *this;
    }
    // The common answers: values typed into controls, then OK (1000) or Cancel (1021).
    CDialogScript& Confirm(const QList<QPair<int, QString>>& values = {}) { return Answer(values, 1000); }
    CDialogScript& Cancel() { return Answer({}, 1021); }

    // "dlg220 修复档案" per dialog run, in order.
    QStringList Seen() const { return m_seen; }
    bool Exhausted() const { return m_actions.empty(); }

    // One table handed to a result list: the list's caption, then the titles
    // and every row as cells joined by ','.
    struct CListTable
    {
        QString caption;
        QStringList lines;
    };
    const std::vector<CListTable>& Tables() const { return m_tables; }

    void ListTable(const QString& caption, const QStringList& titles, const QStringList& cells, int columns) override
    {
        CListTable table{caption, {titles.join(u',')}};
        for (int at = 0; columns > 0 && at < cells.size(); at += columns)
            table.lines << cells.mid(at, columns).join(u',');
        m_tables.push_back(table);
    }

    int Run(CKvDialog& dialog) override
    {
        dialog.EnsureInitialised();
        m_seen << dialog.objectName() + u' ' + dialog.windowTitle();
        if (m_actions.empty()) {
            ADD_FAILURE() << "unexpected dialog " << m_seen.last().toStdString();
            // A dialog shown until it is confirmed would come back for ever.
            if (++m_unexpected > 3)
                throw std::runtime_error("dialog script exhausted");
            return IDCANCEL;
        }
        CModalScript::Action action = std::move(m_actions.front());
        m_actions.pop_front();
        dialog.setResult(kOpen);
        action(&dialog);
        if (dialog.result() == kOpen) {
            ADD_FAILURE() << "dialog left open " << m_seen.last().toStdString();
            return IDCANCEL;
        }
        return dialog.result() == QDialog::Accepted   ? IDOK
               : dialog.result() == QDialog::Rejected ? IDCANCEL
                                                      : dialog.result();
    }

private:
    static constexpr int kOpen = -12345;

    CDialogScript& Answer(const QList<QPair<int, QString>>& values, int button)
    {
        return Then([values, button](QWidget* dialog) {
            for (const auto& value : values)
                CModalScript::Type(dialog, value.first, value.second);
            CModalScript::Click(dialog, button);
        });
    }

    IKvDialogRunner* m_previous;
    int m_unexpected = 0;
    std::deque<CModalScript::Action> m_actions;
    QStringList m_seen;
    std::vector<CListTable> m_tables;
};

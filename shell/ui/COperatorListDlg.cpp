#include "COperatorListDlg.h"

#include "CKvExtList2.h"
#include "COperatorEditDlg.h"
#include "KvAdminUi.h"
#include "KvMessage.h"
#include "KvOperatorReferences.h"

#include <QPushButton>

namespace {

bool isBuiltIn(const QString& operatorNo)
{
    return operatorNo == QStringLiteral("qz") || operatorNo == QStringLiteral("vx");
}

const QString kSelectOperator = QStringLiteral("请选择操作员！");

} // namespace

COperatorListDlg::COperatorListDlg(QWidget* parent, const QString& caption) : CKvDialog(141, parent, caption)
{
    m_list = CreateControl<CKvExtList2>(1035);
    QPushButton* add = MakeDialogButton(this, 1024, QStringLiteral("增加(&A)"));
    QPushButton* modify = MakeDialogButton(this, 1025, QStringLiteral("修改(&M)"));
    QPushButton* remove = MakeDialogButton(this, 1026, QStringLiteral("删除(&D)"));
    QPushButton* view = MakeDialogButton(this, 1038, QStringLiteral("查看(&V)"));
    QPushButton* back = MakeCloseButton(this, 1001, QStringLiteral("返回(&R)"));
    OnClickGuarded(add, this, [this] { OnAdd(); });
    OnClickGuarded(modify, this, [this] { OnModify(); });
    OnClickGuarded(remove, this, [this] { OnDelete(); });
    OnClickGuarded(view, this, [this] { OnView(); });
    LayOutDialog(this, m_list, {add, modify, remove, view}, {back});
}

bool COperatorListDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    SetUpManagementList(m_list, {QStringLiteral("操作员代码"), QStringLiteral("操作员姓名")}, 20);
    refill();
    return true;
}

void COperatorListDlg::refill()
{
    m_list->DeleteAllItems();
    m_operators.LoadAll();
    for (int i = 0; i < m_operators.GetCount(); ++i) {
        COperator* op = m_operators.At(i);
        const int row = m_list->InsertRow(i, op->GetOperatorNo(), op);
        m_list->SetItemText(row, 1, op->GetOperatorName());
    }
}

COperator* COperatorListDlg::selectedOperator(const QString& missing)
{
    const int row = m_list->GetSelectedRow();
    if (row < 0) {
        PromptBox(missing, this);
        return nullptr;
    }
    return static_cast<COperator*>(m_list->GetRowObject(row));
}

void COperatorListDlg::preset(COperatorEditDlg& editor, const COperator& op)
{
    editor.m_operatorNo = op.GetOperatorNo();
    editor.m_operatorName = op.GetOperatorName();
    editor.m_stationNo = op.GetStationNo();
    const QVector<int> rights = op.DuplicateRights();
    editor.SetRights(rights.constData(), static_cast<int>(rights.size()));
}

void COperatorListDlg::OnAdd()
{
    COperator typed; // what the previous pass held: empty at first, no rights
    for (;;) {
        COperatorEditDlg editor(nullptr, QStringLiteral("增加操作员"));
        preset(editor, typed);
        if (editor.DoModal() != IDOK)
            return;
        int ids[COperator::MaxRights];
        int count = 0;
        editor.GetRights(ids, count);
        typed.SetOperatorNo(editor.m_operatorNo);
        typed.SetOperatorName(editor.m_operatorName);
        typed.SetStationNo(editor.m_stationNo);
        typed.SetRights(ids, count);
        if (COperatorList::Exists(typed.GetOperatorNo())) {
            PromptBox(QStringLiteral("操作员代码重复！"), this);
            continue;
        }
        // A failed insert is reported (by the caller's guard), never passed over.
        try {
            m_operators.Add(typed.GetOperatorNo(), typed.GetOperatorName(), typed.GetStationNo(),
                            typed.DuplicateRights());
        } catch (...) {
            refill();
            throw;
        }
        refill();
        return;
    }
}

void COperatorListDlg::OnModify()
{
    COperator* op = selectedOperator(kSelectOperator);
    if (!op)
        return;
    COperatorEditDlg editor(nullptr, QStringLiteral("修改操作员"));
    preset(editor, *op);
    if (editor.DoModal() != IDOK || isBuiltIn(op->GetOperatorNo()))
        return;
    int ids[COperator::MaxRights];
    int count = 0;
    editor.GetRights(ids, count);
    op->SetOperatorName(editor.m_operatorName);
    op->SetStationNo(editor.m_stationNo);
    op->SetRights(ids, count);
    op->SetState(CKvPersistance::StateChanged);
    op->Save();
    refill();
}

void COperatorListDlg::OnDelete()
{
    COperator* op = selectedOperator(kSelectOperator);
    if (!op)
        return;
    if (op->GetOperatorNo() == QStringLiteral("qz")) {
        PromptBox(QStringLiteral("不能删除系统操作员！"), this);
        return;
    }
    const QString refusal = OperatorReferenceRefusal(op->GetOperatorNo());
    if (!refusal.isEmpty()) {
        PromptBox(refusal, this);
        return;
    }
    if (AskBox(QStringLiteral("请确认是否删除该操作员？"), this, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_operators.Remove(op);
    refill();
}

void COperatorListDlg::OnView()
{
    COperator* op = selectedOperator(QStringLiteral("没有选定操作员！"));
    if (!op)
        return;
    COperatorEditDlg editor(nullptr, QStringLiteral("查看操作员权限"));
    preset(editor, *op);
    editor.DoModal();
}

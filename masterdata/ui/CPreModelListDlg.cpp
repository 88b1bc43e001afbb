#include "CPreModelListDlg.h"

#include "CCliPre.h"
#include "CKvExtList2.h"
#include "CPreModelEditDlg.h"

CPreModelListDlg::CPreModelListDlg(QWidget* parent, const QString& caption)
    : CMasterListDlg(
          218, parent, caption,
          {1113,
           {QStringLiteral("型  别"), QStringLiteral("型  号"), QStringLiteral("规  格"), QStringLiteral("内部倍率"),
            QStringLiteral("通讯方式"), QStringLiteral("表计类别"), QStringLiteral("相  线"),
            QStringLiteral("基准电流"), QStringLiteral("最大限电流"), QStringLiteral("最小限电流")},
           50,
           {QStringLiteral("添加(&A)"), QStringLiteral("修改(&M)"), QStringLiteral("删除(&D)"),
            QStringLiteral("返回(&R)")},
           false,
           1050},
          {QStringLiteral("请选择表型！"), QStringLiteral("确实要删除该表型吗？"), true})
{
    resize(900, 360);
}

bool CPreModelListDlg::OnInitDialog()
{
    CMasterListDlg::OnInitDialog();
    // The code, model and rating columns take 100 beside their headers, the rest 50.
    for (int column = 0; column < 3; ++column)
        GetListCtrl()->setColumnWidth(column, GetListCtrl()->columnWidth(column) + 50);
    return true;
}

void CPreModelListDlg::FillRows(CKvExtList2& list)
{
    m_models.LoadAll();
    for (int i = 0; i < m_models.GetCount(); ++i) {
        CPreModel* model = m_models.At(i);
        const int row = list.InsertRow(i, model->GetModelId(), model);
        const QString cells[] = {model->GetModel(),
                                 model->GetSpec(),
                                 QString::asprintf("%d", model->GetInnerMul()),
                                 model->GetCardType(),
                                 model->GetDevType(),
                                 model->GetPhase(),
                                 QString::asprintf("%0.1f", model->GetBaseValue()),
                                 QString::asprintf("%0.1f", model->GetMaxLimit()),
                                 QString::asprintf("%0.1f", model->GetMinLimit())};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column)
            list.SetItemText(row, column + 1, cells[column]);
    }
}

bool CPreModelListDlg::editModel(CPreModel& model, const QString& caption)
{
    CPreModelEditDlg dialog(this, caption);
    dialog.SetFrom(model);
    if (dialog.DoModal() != IDOK)
        return false;
    dialog.CopyTo(model);
    return true;
}

void CPreModelListDlg::OnAdd()
{
    RunAdd<CPreModel>(
        m_models, [this](CPreModel& model) { return editModel(model, QStringLiteral("增加表型")); },
        [](const CPreModel& model) { return CPreModelList::ModelIdExists(model.GetModelId()); },
        QStringLiteral("型别重复！"));
}

bool CPreModelListDlg::ModifyRecord(CKvObject* record)
{
    auto* model = static_cast<CPreModel*>(record);
    if (!editModel(*model, QStringLiteral("修改表型")))
        return false;
    m_models.UpdateRecord(model);
    return true;
}

QString CPreModelListDlg::DeleteRefusal(CKvObject* record)
{
    return CCliPreList::ExistsForModel(static_cast<CPreModel*>(record)->GetModelId())
               ? QStringLiteral("已有用户配有该型表，不能删除！")
               : QString();
}

void CPreModelListDlg::DeleteRecord(CKvObject* record)
{
    m_models.RemoveRecord(static_cast<CPreModel*>(record));
}

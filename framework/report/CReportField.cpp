#include "CReportField.h"

CReportField* CReportFieldList::Add(const QString& caption, const QString& columnName, const QString& type)
{
    auto* field = new CReportField;
    field->SetCaption(caption);
    field->SetColumnName(columnName);
    field->SetType(type);
    CKvObjectList::Add(field, nullptr);
    return field;
}

CReportField* CReportFieldList::FindByCaption(const QString& caption) const
{
    for (CKvObject* object : GetObList()) {
        auto* field = static_cast<CReportField*>(object);
        if (field->GetCaption() == caption)
            return field;
    }
    return nullptr;
}

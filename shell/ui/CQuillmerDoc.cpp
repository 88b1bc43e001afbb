#include "CQuillmerDoc.h"

CQuillmerDoc::CQuillmerDoc(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("quillmerDoc"));
}

bool CQuillmerDoc::OnNewDocument()
{
    m_title.clear();
    return true;
}

void CQuillmerDoc::Serialize(QDataStream&, bool) {}

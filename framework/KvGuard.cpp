#include "KvGuard.h"

#include "CKvException.h"
#include "KvMessage.h"

QString KvGenericFailureText()
{
    return QStringLiteral("数据库操作时发生错误！");
}

void KvReportFailure(std::exception_ptr failure, QObject* parent)
{
    QString text;
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const CKvException& e) {
        text = e.text();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
    }
    if (text.trimmed().isEmpty())
        text = KvGenericFailureText();
    ErrorBox(text, parent);
}

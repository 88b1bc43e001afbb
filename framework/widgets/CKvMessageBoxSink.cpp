#include "CKvMessageBoxSink.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

void CKvMessageBoxSink::SetUpBox(QMessageBox& box, const QString& caption, const QString& text, int style)
{
    box.setWindowTitle(caption);
    box.setText(text);
    switch (style & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (style & 0x0F) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    // Qt's own button texts follow its translations, which the program does not
    // load; the standard buttons keep their roles, so Escape and the answers stay.
    const struct
    {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } texts[] = {{QMessageBox::Yes, u"是(&Y)"},
                 {QMessageBox::No, u"否(&N)"},
                 {QMessageBox::Ok, u"确定"},
                 {QMessageBox::Cancel, u"取消"}};
    for (const auto& entry : texts)
        if (QAbstractButton* button = box.button(entry.button))
            button->setText(QString::fromUtf16(entry.text));
}

int CKvMessageBoxSink::AnswerOf(int standardButton)
{
    switch (standardButton) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int CKvMessageBoxSink::Show(QObject* parent, const QString& caption, const QString& text, int style)
{
    QMessageBox box(qobject_cast<QWidget*>(parent));
    SetUpBox(box, caption, text, style);
    return AnswerOf(box.exec());
}

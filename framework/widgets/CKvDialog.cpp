#include "CKvDialog.h"

#include "CKvClockWatch.h"
#include "KvMessage.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <algorithm>

CKvDialog::CKvDialog(int templateId, QWidget* parent, const QString& caption)
    : QDialog(parent), m_templateId(templateId), m_caption(caption)
{
    setObjectName(QStringLiteral("dlg%1").arg(templateId));
    setWindowTitle(caption);
    CKvClockWatch::Instance().Add(this);
}

CKvDialog::~CKvDialog()
{
    CKvClockWatch::Instance().Remove(this);
}

int CKvDialog::DoModal()
{
    const int result = exec();
    if (result == QDialog::Accepted)
        return IDOK;
    if (result == QDialog::Rejected)
        return IDCANCEL;
    return result;
}

void CKvDialog::EndDialog(int result)
{
    QDialog::done(result == IDOK ? QDialog::Accepted : result == IDCANCEL ? QDialog::Rejected : result);
}

void CKvDialog::EnsureInitialised()
{
    if (m_initCalled)
        return;
    m_initCalled = true;
    OnInitDialog();
}

bool CKvDialog::OnInitDialog()
{
    UpdateData(false);
    CentreOnMainView();
    setWindowTitle(m_caption);
    m_initDone = 0;
    return true;
}

bool CKvDialog::UpdateData(bool saveAndValidate)
{
    return DoDataExchange(saveAndValidate);
}

bool CKvDialog::DoDataExchange(bool)
{
    return true;
}

void CKvDialog::BindConfirm(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, [this] { OnOK(); });
    // Enter confirms, unless the dialog chose another default button itself.
    if (auto* push = qobject_cast<QPushButton*>(button)) {
        const auto others = findChildren<QPushButton*>();
        const bool chosen = std::any_of(others.begin(), others.end(), [](QPushButton* b) { return b->isDefault(); });
        if (!chosen)
            push->setDefault(true);
    }
}

void CKvDialog::BindClose(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, [this] { OnCancel(); });
    // A closing button never takes Enter by having the focus.
    if (auto* push = qobject_cast<QPushButton*>(button); push && !push->isDefault())
        push->setAutoDefault(false);
}

void CKvDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    QDialog::accept();
}

void CKvDialog::OnCancel()
{
    QDialog::reject();
}

void CKvDialog::reject()
{
    OnCancel(); // Escape and the window's close button act as Cancel
}

void CKvDialog::BroadcastTimeChange()
{
    CKvClockWatch::Instance().Broadcast();
}

void CKvDialog::OnTimeChange()
{
    QDialog::reject();
}

void CKvDialog::setVisible(bool visible)
{
    if (visible)
        EnsureInitialised();
    QDialog::setVisible(visible);
}

void CKvDialog::CentreOnMainView()
{
    QWidget* view = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* frame = qobject_cast<QMainWindow*>(window);
        if (frame && frame->isVisible() && frame->centralWidget() && frame->centralWidget()->isVisible()) {
            view = frame->centralWidget();
            break;
        }
    }
    if (!view)
        return; // Qt's own placement over the parent applies
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    const QRect area(view->mapToGlobal(QPoint(0, 0)), view->size());
    QRect frameRect = frameGeometry();
    frameRect.moveCenter(area.center());
    move(frameRect.topLeft());
}

#include "CKvDialog.h"

#include "CKvClockWatch.h"
#include "KvMessage.h"
#include "KvWindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
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
    // After the initialisation, which may still add controls to the layout.
    KvOrderTabsByLayout(this);
}

bool CKvDialog::OnInitDialog()
{
    UpdateData(false);
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

void CKvDialog::keyPressEvent(QKeyEvent* event)
{
    // The closing and command buttons are no auto-default buttons (Enter in a
    // field must not press them), so Qt would let Enter on them fall through to
    // the default button or to nothing.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button && button->isVisible() && button->window() == this) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
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
    if (visible && !isVisible()) {
        EnsureInitialised();
        // Placed once the initialisation has given the dialog its size.
        PlaceOnScreen();
    }
    QDialog::setVisible(visible);
}

void CKvDialog::PlaceOnScreen()
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
    // Without the main window's view: over the owner, or the screen's middle.
    if (!view && parentWidget() && parentWidget()->window()->isVisible())
        view = parentWidget()->window();
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    const QScreen* screen = view ? view->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect over = view ? QRect(view->mapToGlobal(QPoint(0, 0)), view->size()) : available;
    // The window made now, so that its frame counts where the platform knows it.
    create();
    const QRect frame = frameGeometry();
    const QRect placed = KvPlaceInside(frame.size(), over, available);
    if (placed.size() != frame.size())
        resize(size() - (frame.size() - placed.size()));
    move(placed.topLeft());
}

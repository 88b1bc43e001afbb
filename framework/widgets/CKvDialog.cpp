#include "CKvDialog.h"

#include "KvMessage.h"

#include <QApplication>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSocketNotifier>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

// One watch of the real-time clock for all dialogs. A timer far in the future
// armed with TFD_TIMER_CANCEL_ON_SET is cancelled by the kernel whenever the
// clock is set, which makes the descriptor readable with ECANCELED.
class CClockWatch
{
public:
    static CClockWatch& Instance()
    {
        static CClockWatch* watch = new CClockWatch; // lives until the process ends
        return *watch;
    }

    void Add(CKvDialog* dialog) { m_dialogs.append(dialog); }
    void Remove(CKvDialog* dialog) { m_dialogs.removeAll(dialog); }

    void Broadcast()
    {
        // Only dialogs on screen close: one built but not shown has no window yet.
        // Closing one may close or delete others on the way, hence the guards.
        const QList<QPointer<CKvDialog>> dialogs(m_dialogs.cbegin(), m_dialogs.cend());
        for (const QPointer<CKvDialog>& dialog : dialogs)
            if (dialog && dialog->isVisible())
                dialog->OnTimeChange();
    }

private:
    CClockWatch()
    {
#ifdef Q_OS_LINUX
        m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd < 0 || !Arm())
            return;
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { OnReadable(); });
#endif
    }

#ifdef Q_OS_LINUX
    bool Arm()
    {
        itimerspec timer{};
        timer.it_value.tv_sec = static_cast<time_t>(INT32_MAX) * 2; // far beyond any real date
        return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &timer, nullptr) == 0;
    }

    void OnReadable()
    {
        std::uint64_t expirations = 0;
        const ssize_t n = read(m_fd, &expirations, sizeof expirations);
        const bool changed = n < 0 && errno == ECANCELED;
        if (n < 0 && !changed)
            return;
        Arm(); // a cancelled timer stays cancelled until it is set again
        if (changed)
            CKvDialog::BroadcastTimeChange();
    }

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
#endif

    QList<CKvDialog*> m_dialogs;
};

} // namespace

CKvDialog::CKvDialog(int templateId, QWidget* parent, const QString& caption)
    : QDialog(parent), m_templateId(templateId), m_caption(caption)
{
    setObjectName(QStringLiteral("dlg%1").arg(templateId));
    setWindowTitle(caption);
    CClockWatch::Instance().Add(this);
}

CKvDialog::~CKvDialog()
{
    CClockWatch::Instance().Remove(this);
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
    CClockWatch::Instance().Broadcast();
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

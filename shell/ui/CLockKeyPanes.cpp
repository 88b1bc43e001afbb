#include "CLockKeyPanes.h"

#include "KvX11LockState.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace {

CLockKeyPanes::Reader& reader()
{
    static CLockKeyPanes::Reader r = ReadX11LockState;
    return r;
}

QLabel* addPane(QStatusBar* bar, const char* name, const char* text)
{
    auto* pane = new QLabel(QString::fromUtf8(text), bar);
    pane->setObjectName(QString::fromUtf8(name));
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
    return pane;
}

} // namespace

CLockKeyPanes::CLockKeyPanes(QStatusBar* bar) : QObject(bar)
{
    m_caps = addPane(bar, "paneCaps", "大写");
    m_num = addPane(bar, "paneNum", "数字");
    m_scroll = addPane(bar, "paneScroll", "滚动");
    qApp->installEventFilter(this);
    Refresh();
}

void CLockKeyPanes::SetReader(Reader r)
{
    reader() = r ? std::move(r) : Reader(ReadX11LockState);
}

std::optional<LockKeyState> CLockKeyPanes::ReadState()
{
    return reader()();
}

void CLockKeyPanes::Refresh()
{
    const LockKeyState state = ReadState().value_or(LockKeyState{});
    m_caps->setEnabled(state.caps);
    m_num->setEnabled(state.num);
    m_scroll->setEnabled(state.scroll);
}

bool CLockKeyPanes::eventFilter(QObject* watched, QEvent* event)
{
    // A key event reaches the filter once for each widget it travels
    // through; reading the state again each time costs little.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ApplicationActivate:
        Refresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

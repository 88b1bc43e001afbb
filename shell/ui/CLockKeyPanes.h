#pragma once

#include <QObject>
#include <functional>
#include <optional>

class QLabel;
class QStatusBar;

// The state of the three lock keys as the display server tells it.
struct LockKeyState
{
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The status bar's 大写, 数字 and 滚动 panes: each is lit while its lock key
// is on and greyed while it is off. The state is read again whenever a key
// goes down or up anywhere in the program and when the program becomes
// active, which is when it can have changed for this program's operator.
// Where the display server tells no state (no X11 display, as offscreen)
// the panes stay greyed.
class CLockKeyPanes : public QObject
{
    Q_OBJECT
public:
    using Reader = std::function<std::optional<LockKeyState>()>;

    // Adds the three panes to the bar's permanent side.
    explicit CLockKeyPanes(QStatusBar* bar);

    // The reader of the lock state; tests set their own. By default the X11
    // keyboard extension's named indicators, where the program runs on X11.
    static void SetReader(Reader reader);
    static std::optional<LockKeyState> ReadState();

    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_caps = nullptr;
    QLabel* m_num = nullptr;
    QLabel* m_scroll = nullptr;
};

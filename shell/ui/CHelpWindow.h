#pragma once

#include <QDialog>

class QTextBrowser;

// The operator's guide (系统帮助), an HTML file of the program folder, shown
// in a window of the program beside the main window, so that it opens on
// every machine whether or not the desktop has a browser for it.
class CHelpWindow : public QDialog
{
    Q_OBJECT

public:
    // Shows the guide in the one help window (made on first use, raised
    // afterwards). False, with nothing shown, when the file cannot be read.
    static bool ShowGuide(const QString& path, QWidget* owner);
    // The open help window, if any.
    static CHelpWindow* Current();

    QTextBrowser* Browser() const { return m_browser; }

private:
    explicit CHelpWindow(QWidget* owner);

    QTextBrowser* m_browser = nullptr;
};

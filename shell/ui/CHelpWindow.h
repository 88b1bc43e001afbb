#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

// The operator's guide (系统帮助), an HTML file of the program folder, shown
// in a window of the program beside the main window, so that it opens on
// every machine whether or not the desktop has a browser for it. Only the
// guide's own pages open there (its anchors, and the HTML pages of its
// folder): a web or script link, or a file elsewhere, is not followed, so the
// window never turns into an empty page with no way back.
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

    void OpenLink(const QUrl& link);
    bool IsGuidePage(const QUrl& url) const;

    QTextBrowser* m_browser = nullptr;
    QString m_guideFolder; // canonical, the guide's pages lie within it
    QUrl m_page;           // the page shown, relative links start from it
};

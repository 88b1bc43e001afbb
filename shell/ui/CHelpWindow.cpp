#include "CHelpWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<CHelpWindow>& current()
{
    static QPointer<CHelpWindow> window;
    return window;
}

} // namespace

CHelpWindow::CHelpWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("系统帮助"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(false); // every link goes through OpenLink
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::OpenLink);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("helpClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);
    resize(760, 560);
}

bool CHelpWindow::ShowGuide(const QString& path, QWidget* owner)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QString html = QString::fromUtf8(file.readAll());
    CHelpWindow* window = current();
    if (!window) {
        window = new CHelpWindow(owner);
        current() = window;
    }
    // Links and pictures of the guide are found beside it.
    window->m_guideFolder = QFileInfo(path).absoluteDir().canonicalPath();
    window->m_page = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    window->m_browser->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + QLatin1Char('/')));
    window->m_browser->setHtml(html);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void CHelpWindow::OpenLink(const QUrl& link)
{
    if (link.scheme().isEmpty() && link.path().isEmpty()) { // "#part": a place in the page shown
        m_browser->scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = m_page.resolved(link);
    if (!IsGuidePage(target))
        return;
    m_page = target;
    m_browser->setSource(target);
}

bool CHelpWindow::IsGuidePage(const QUrl& url) const
{
    if (!url.isLocalFile() || m_guideFolder.isEmpty())
        return false;
    const QFileInfo page(url.toLocalFile());
    const QString suffix = page.suffix().toLower();
    return page.isFile() && (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) &&
           page.canonicalFilePath().startsWith(m_guideFolder + QLatin1Char('/'));
}

CHelpWindow* CHelpWindow::Current()
{
    return current();
}

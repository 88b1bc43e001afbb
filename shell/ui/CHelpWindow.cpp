#include "CHelpWindow.h"

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
    window->m_browser->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + QLatin1Char('/')));
    window->m_browser->setHtml(html);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

CHelpWindow* CHelpWindow::Current()
{
    return current();
}

#include "CQuillmerView.h"

#include "CSysPara.h"
#include "KvProfile.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPainter>

namespace {
const QString kSection = QStringLiteral("Quillmer");
const QString kPictureKey = QStringLiteral("QrBk");
} // namespace

CQuillmerView::CQuillmerView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("quillmerView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picturePath = GetWinIniString(kSection, kPictureKey, DefaultPicturePath());
}

void CQuillmerView::loadPicture()
{
    m_picture = QPixmap();
    // A relative path is one below the program folder, wherever the current
    // folder happens to be.
    const QString path = QDir(GetAppDirectory()).filePath(m_picturePath);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QImage image = QImage::fromData(file.readAll());
    if (!image.isNull())
        m_picture = QPixmap::fromImage(image);
}

void CQuillmerView::paintEvent(QPaintEvent*)
{
    if (m_reload) {
        m_reload = 0;
        loadPicture();
    }
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), BackgroundColour());
    else
        painter.drawPixmap(rect(), m_picture); // stretched; the aspect ratio is not kept
}

void CQuillmerView::OnChangeBackground()
{
    QFileDialog dialog(this, QStringLiteral("选择背景文件"));
    dialog.setObjectName(QStringLiteral("backgroundFileDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    dialog.setNameFilters(
        {QStringLiteral("BMP Files(*.bmp)"), QStringLiteral("JPG Files (*.jpg)"), QStringLiteral("All Files (*.*)")});
    const QString folder = GetMainSysPara()->GetAppDir();
    dialog.setDirectory(QDir(folder).filePath(QStringLiteral("bg")));
    dialog.selectFile(QDir(folder).filePath(QStringLiteral("bg/KvHome1")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SetBackgroundPicture(dialog.selectedFiles().constFirst());
}

void CQuillmerView::SetBackgroundPicture(const QString& path)
{
    m_picturePath = path;
    WriteWinIniString(kSection, kPictureKey, path);
    m_reload = 1;
    update();
}

#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

// The home view: a background picture stretched over the whole window behind
// the work. The picture is read from its file at the first drawing after a
// change and kept for later drawings. Without a picture the view shows its
// plain background colour. The picture's path is kept in the desktop profile
// (section "Quillmer", key "QrBk"), whole, however long it is.
class CQuillmerView : public QWidget
{
    Q_OBJECT

public:
    explicit CQuillmerView(QWidget* parent = nullptr);

    static QString DefaultPicturePath() { return QStringLiteral("./bg/KvHome1.bmp"); }
    static QColor BackgroundColour() { return QColor(220, 220, 250); }

    // The background command: a file dialog, then SetBackgroundPicture.
    void OnChangeBackground();
    // Takes a new picture file: stored in the profile and shown at once.
    void SetBackgroundPicture(const QString& path);

    const QString& GetPicturePath() const { return m_picturePath; }
    bool HasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void loadPicture();

    int m_reload = 1;
    QString m_picturePath;
    QPixmap m_picture;
};

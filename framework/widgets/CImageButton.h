#pragma once

#include <QPixmap>
#include <QPushButton>

class QPainter;

// A push button that shows a bitmap at (7, 7), with an optional black border.
// Without a bitmap only the frame and the focus are drawn.
class CImageButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CImageButton(QWidget* parent = nullptr);

    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& GetBitmap() const { return m_bitmap; }
    void SetBorder(int border);
    int GetBorder() const { return m_border; }

    // Draws the whole button: frame, bitmap and focus rectangle.
    virtual void DrawItem(QPainter* painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_bitmap;
    int m_width = 0;
    int m_height = 0;
    int m_border = 0;
};

#include "KvImages.h"

QPixmap KvResourceImage(int id)
{
    return QPixmap(QStringLiteral(":/images/%1.png").arg(id));
}

QVector<int> KvResourceImageIds()
{
    return {143, 145, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156, 158, 159};
}

QIcon KvProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/images/quillmer-%1.png").arg(size), QSize(size, size));
    return icon;
}

#include "KvConditionCombos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QList>

QStringList NumberedItems(int last)
{
    QStringList items{QString()};
    for (int i = 1; i <= last; ++i)
        items << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return items;
}

QStringList UnitItems()
{
    QStringList units;
    for (const char* n : {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"})
        units << QString::fromUtf8(n) + QStringLiteral("单元");
    return units;
}

QStringList LevelItems()
{
    return {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级"), QStringLiteral("四级"),
            QStringLiteral("五级")};
}

void SelectComboText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void SelectComboCode(QComboBox* combo, const QString& code)
{
    int found = -1;
    for (int i = 0; i < combo->count() && found < 0; ++i)
        if (combo->itemData(i).toString() == code)
            found = i;
    combo->setCurrentIndex(found);
}

QString ChosenComboCode(const QComboBox* combo)
{
    const int i = combo->currentIndex();
    if (i < 0 || combo->itemText(i) != combo->currentText())
        return QString();
    return combo->itemData(i).toString();
}

void EnableConditionValues(const QList<QWidget*>& values, bool on)
{
    for (QWidget* w : values) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setReadOnly(!on);
        else
            w->setEnabled(on);
    }
}

void TickCondition(QCheckBox* box, const QList<QWidget*>& values)
{
    box->setChecked(true);
    EnableConditionValues(values, true);
}

void ApplyConditionBox(bool on, const QList<QWidget*>& values, bool keepValues)
{
    EnableConditionValues(values, on);
    if (on) {
        if (!values.isEmpty())
            values.first()->setFocus();
        return;
    }
    if (keepValues)
        return;
    for (QWidget* w : values) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->clear();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            c->setCurrentIndex(-1);
    }
}

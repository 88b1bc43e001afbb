#include "KvDatePicker.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>

namespace {

// Keeps a date box's minimum width when its font or style changes.
class CDateBoxWidthKeeper : public QObject
{
public:
    explicit CDateBoxWidthKeeper(QDateTimeEdit* box) : QObject(box) { box->installEventFilter(this); }

    static void Apply(QDateTimeEdit* box) { box->setMinimumWidth(KvDateBoxWidth(*box)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Polish || type == QEvent::FontChange || type == QEvent::StyleChange)
            Apply(static_cast<QDateTimeEdit*>(watched));
        return false;
    }
};

// Tab and Shift+Tab leave a date box for the next or previous control, as
// they leave every other field; Qt's date box would use them to walk through
// the year, month and day, so that a Tab followed by a number typed for the
// next field silently changed the month. The arrow keys and typing still move
// between the parts.
class CDateBoxTabLeaver : public QObject
{
public:
    explicit CDateBoxTabLeaver(QDateTimeEdit* box) : QObject(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        // The parent steps the focus on from the box as for any other field.
        if (QWidget* parent = static_cast<QWidget*>(watched)->parentWidget())
            QCoreApplication::sendEvent(parent, event);
        return true;
    }
};

} // namespace

void KvTabLeavesDateBox(QDateTimeEdit* box)
{
    new CDateBoxTabLeaver(box);
}

int KvDateBoxWidth(const QDateTimeEdit& box)
{
    // The last day of a year at the end of a day: two-digit fields at their widest.
    const QString sample = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)).toString(box.displayFormat());
    // As the box measures itself: a space after the text and room for the cursor.
    const QSize text(box.fontMetrics().horizontalAdvance(sample + u' ') + 2, box.fontMetrics().height());
    QStyle* style = box.style();
    if (box.calendarPopup()) {
        // A calendar picker is drawn as an editable combo box, arrow and all.
        QStyleOptionComboBox option;
        option.initFrom(&box);
        option.editable = true;
        option.frame = box.hasFrame();
        option.subControls = QStyle::SC_All;
        return style->sizeFromContents(QStyle::CT_ComboBox, &option, text, &box).width();
    }
    QStyleOptionSpinBox option;
    option.initFrom(&box);
    option.buttonSymbols = box.buttonSymbols();
    option.frame = box.hasFrame();
    option.subControls =
        QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    return style->sizeFromContents(QStyle::CT_SpinBox, &option, text, &box).width();
}

void KvMakeDatePicker(QDateTimeEdit* box, const QString& format)
{
    box->setCalendarPopup(true);
    box->setDisplayFormat(format);
    CDateBoxWidthKeeper::Apply(box);
    new CDateBoxWidthKeeper(box);
    KvTabLeavesDateBox(box);
}

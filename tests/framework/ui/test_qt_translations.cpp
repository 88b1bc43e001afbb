#include "CKvApplication.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>

// Qt's own dialogs speak the program's language: the file dialogs of backup,
// restore and background choice, and the standard buttons.
TEST(QtTranslations, QtsOwnDialogsAndButtonsSpeakChinese)
{
    std::unique_ptr<QTranslator> translator(CKvApplication::LoadQtTranslations(nullptr));
    ASSERT_NE(translator, nullptr) << "Qt's translations are not installed (qt6-translations-l10n)";

    QFileDialog dialog(nullptr, QStringLiteral("选择备份文件"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_FALSE(labels.contains(QStringLiteral("Look in:"))) << labels.join(u'|').toStdString();
    EXPECT_FALSE(labels.contains(QStringLiteral("File &name:"))) << labels.join(u'|').toStdString();
    QDialogButtonBox* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
        EXPECT_NE(button->text(), QStringLiteral("&Save"));
        EXPECT_NE(button->text(), QStringLiteral("Cancel"));
        EXPECT_NE(button->text(), QStringLiteral("&Cancel"));
    }
    QDialogButtonBox standard(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_NE(standard.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(standard.button(QDialogButtonBox::Cancel)->text().contains(QStringLiteral("取消")))
        << standard.button(QDialogButtonBox::Cancel)->text().toStdString();
}

#include "CInvoiceNoDlg.h"
#include "KvMessage.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct CInvoiceNoFixture
{
    CRecordingMessageSink sink;
    CInvoiceNoDlg dlg{nullptr, QStringLiteral("输入票据号")};
    QLineEdit* edit = nullptr;
    QPushButton* ok = nullptr;

    CInvoiceNoFixture()
    {
        EXPECT_TRUE(ShowActive(&dlg));
        edit = dlg.findChild<QLineEdit*>(CKvDialog::ControlName(1076));
        ok = dlg.findChild<QPushButton*>(CKvDialog::ControlName(1000));
    }
};

} // namespace

TEST(InvoiceNoDlg, TakesTheTrimmedNumberAndAnEmptyOneOnlyAfterYes)
{
    {
        CInvoiceNoFixture f;
        EXPECT_EQ(f.dlg.windowTitle(), QStringLiteral("输入票据号"));
        ASSERT_NE(f.edit, nullptr);
        EXPECT_TRUE(f.edit->hasFocus());
        f.edit->setText(QStringLiteral("  A-0012  "));
        MouseClick(f.ok);
        EXPECT_EQ(f.dlg.result(), QDialog::Accepted);
        EXPECT_EQ(f.dlg.GetInvoiceNo(), QStringLiteral("A-0012"));
        EXPECT_TRUE(f.sink.Messages().empty());
    }
    {
        CInvoiceNoFixture f;
        f.edit->setText(QStringLiteral("   "));
        f.sink.QueueAnswer(IDNO);
        MouseClick(f.ok);
        ASSERT_EQ(f.sink.Messages().size(), 1u);
        EXPECT_EQ(f.sink.Messages()[0].caption, QStringLiteral("请选择"));
        EXPECT_EQ(f.sink.Messages()[0].text, QStringLiteral("票据号为空，继续吗？"));
        EXPECT_EQ(f.sink.Messages()[0].style, MB_YESNO | MB_ICONQUESTION);
        EXPECT_TRUE(f.dlg.isVisible()) << "No stays in the dialog";
        EXPECT_TRUE(f.edit->hasFocus());

        f.sink.QueueAnswer(IDYES);
        MouseClick(f.ok);
        EXPECT_EQ(f.dlg.result(), QDialog::Accepted);
        EXPECT_EQ(f.dlg.GetInvoiceNo(), QString());
    }
    {
        CInvoiceNoFixture f;
        f.edit->setText(QStringLiteral("0099"));
        PressKey(f.edit, Qt::Key_Escape);
        EXPECT_EQ(f.dlg.result(), QDialog::Rejected);
        EXPECT_EQ(f.dlg.GetInvoiceNo(), QString()) << "Cancel keeps the empty number";
    }
}

#include "KvTestDisplay.h"

#include <QDialog>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

// A modal window that the test did not script: the guard closes it and fails.
void runUnansweredDialog()
{
    CUnansweredModalGuard guard(400);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("设置附表"));
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST(UnansweredModalGuard, ClosesAModalWindowNobodyAnswersAndFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(runUnansweredDialog(), "a modal window nobody answered was closed: \"设置附表\"");
}

} // namespace

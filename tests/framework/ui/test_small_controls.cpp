#include "CDynamicLibrary.h"
#include "CMenuButton.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

TEST(MenuButton, MenuOpensAtTheChosenCorner)
{
    CMenuButton button;
    button.setGeometry(40, 30, 24, 20);
    button.show();
    const QPoint topLeft = button.mapToGlobal(QPoint(0, 0));
    struct Case
    {
        int corner;
        QPoint at;
    };
    for (const Case& c : {Case{0, topLeft}, Case{1, topLeft + QPoint(0, 20)}, Case{2, topLeft + QPoint(24, 0)},
                          Case{3, topLeft + QPoint(24, 20)}}) {
        button.SetMenuCorner(c.corner);
        EXPECT_EQ(button.MenuPosition(), c.at) << c.corner;
    }
    EXPECT_EQ(CMenuButton().GetMenuCorner(), 1);
}

TEST(MenuButton, TrackMenuReturnsTheChosenCommandAndSendsNone)
{
    CMenuButton button;
    button.show();
    QMenu bar;
    QMenu* popup = bar.addMenu(QStringLiteral("操作"));
    int sent = 0;
    for (int id : {32801, 32802}) {
        QAction* action = popup->addAction(QStringLiteral("命令%1").arg(id));
        action->setData(id);
        QObject::connect(action, &QAction::triggered, [&sent] { ++sent; });
    }
    QObject::connect(popup, &QMenu::triggered, [&sent] { ++sent; });

    const auto choose = [](int downs) {
        QTimer::singleShot(0, [downs] {
            QWidget* open = QApplication::activePopupWidget();
            if (!open)
                return;
            for (int i = 0; i < downs; ++i)
                PressKey(open, Qt::Key_Down);
            PressKey(open, downs ? Qt::Key_Return : Qt::Key_Escape);
        });
    };
    choose(2);
    EXPECT_EQ(button.TrackMenu(&bar, 0), 32802);
    choose(0);
    EXPECT_EQ(button.TrackMenu(&bar, 0), 0);
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(button.TrackMenu(&bar, 5), 0); // no such sub-menu
}

// The file of a library that is surely loaded: the one holding Qt's core.
QString QtCoreFile()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&qVersion), &info);
    return QString::fromLocal8Bit(info.dli_fname);
}

TEST(DynamicLibrary, MissingLibraryOrEntryGivesNull)
{
    CTempAppDirectory folder;
    {
        CDynamicLibrary missing(QStringLiteral("Pondrake.dll"));
        EXPECT_FALSE(missing.IsLoaded());
        EXPECT_EQ(missing.GetProc("GetMeterInfo"), nullptr);
        EXPECT_EQ(missing.GetProc(nullptr), nullptr);
    } // destroying a library that never loaded is harmless

    // A library in the program folder, named as the callers name it.
    ASSERT_TRUE(QFile::link(QtCoreFile(), folder.FilePath(QStringLiteral("libRaskell.so"))));
    CDynamicLibrary present(QStringLiteral("Raskell.dll"));
    ASSERT_TRUE(present.IsLoaded());
    EXPECT_NE(present.GetProc("qVersion"), nullptr);
    EXPECT_EQ(present.GetProc("GetRemoteServer"), nullptr);
    using VersionFn = const char* (*)();
    EXPECT_STREQ(present.GetProc<VersionFn>("qVersion")(), qVersion());
}

} // namespace

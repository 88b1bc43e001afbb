#include "CDynamicLibrary.h"
#include "CImageButton.h"
#include "CKvEdit.h"
#include "CMenuButton.h"
#include "CNumEdit.h"
#include "KvImages.h"
#include "KvTestSupport.h"
#include "KvUiTestUtil.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string_view>

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

    // Waits for the pop-up and answers it; should it never be answered, a guard
    // closes it, so the test cannot block.
    const auto choose = [](int downs) {
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, downs] {
            QWidget* open = QApplication::activePopupWidget();
            if (!open)
                return;
            poll->stop();
            poll->deleteLater();
            for (int i = 0; i < downs; ++i)
                PressKey(open, Qt::Key_Down);
            PressKey(open, downs ? Qt::Key_Return : Qt::Key_Escape);
        });
        poll->start();
        QTimer::singleShot(5000, poll, [] {
            if (QWidget* open = QApplication::activePopupWidget())
                open->close();
        });
    };
    choose(2);
    EXPECT_EQ(button.TrackMenu(&bar, 0), 32802);
    choose(0);
    EXPECT_EQ(button.TrackMenu(&bar, 0), 0);
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(button.TrackMenu(&bar, 5), 0); // no such sub-menu
}

TEST(ImageButton, BitmapAtSevenSevenInsideTheBorder)
{
    QPixmap red(8, 8);
    red.fill(Qt::red);
    CImageButton button;
    button.resize(40, 30);
    button.SetBorder(1);
    button.SetBitmap(red);
    QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(39, 29), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(7, 7), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(14, 14), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(15, 15), QColor(Qt::red));

    button.setEnabled(false); // the disabled look
    image = button.grab().toImage();
    EXPECT_NE(image.pixelColor(10, 10), QColor(Qt::red));

    CImageButton plain; // no bitmap, no border: only the frame
    plain.resize(40, 30);
    EXPECT_NE(plain.grab().toImage().pixelColor(0, 0), QColor(Qt::black));
}

// The file of a library that is surely loaded: the one holding Qt's core.
QString QtCoreFile()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&qVersion), &info);
    return QString::fromLocal8Bit(info.dli_fname);
}

// The colour inside an empty field, away from its frame.
QColor FieldColour(QLineEdit* edit)
{
    const QImage image = edit->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(KvStyle, ReadOnlyFieldsAreDrawnOnTheButtonFaceAndEditableOnesOnWhite)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* text = new QLineEdit;
    auto* number = new CNumEdit; // the money fields of a sale
    layout->addWidget(text);
    layout->addWidget(number);
    window.show();
    const QPalette palette = window.palette();
    ASSERT_NE(palette.color(QPalette::Base), palette.color(QPalette::Button));
    for (QLineEdit* edit : {text, static_cast<QLineEdit*>(number)}) {
        EXPECT_EQ(FieldColour(edit), palette.color(QPalette::Base));
        edit->setReadOnly(true);
        EXPECT_EQ(FieldColour(edit), palette.color(QPalette::Button));
        edit->setReadOnly(false); // a field a check box makes editable again
        EXPECT_EQ(FieldColour(edit), palette.color(QPalette::Base));
    }
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

TEST(KvImages, EveryDrawnImageLoads)
{
    for (int id : KvResourceImageIds()) {
        const QPixmap image = KvResourceImage(id);
        EXPECT_EQ(image.size(), QSize(16, 16)) << id;
    }
    EXPECT_TRUE(KvResourceImage(157).isNull()) << "no image of that number";
    const QIcon program = KvProgramIcon();
    for (int size : {16, 32, 48})
        EXPECT_EQ(program.pixmap(size, size).size(), QSize(size, size)) << size;
    EXPECT_NE(KvResourceImage(158).toImage(), KvResourceImage(159).toImage());
}

namespace {

// A one-line field keeps one line: what is pasted into it loses every control
// character (a NUL would cut the text where it is stored), and the field shows
// what it keeps, an accent pasted apart joined to its letter.
TEST(KvEdit, PastedControlCharactersAreLeftOut)
{
    using namespace std::string_view_literals;
    const struct
    {
        std::u16string_view pasted;
        std::u16string_view kept;
    } cases[] = {
        {u"C001\n"sv, u"C001"sv},
        {u"张三\r\n"sv, u"张三"sv},
        {u"C\t3"sv, u"C3"sv},
        {u"a\nb\tc\rd"sv, u"abcd"sv},
        {u"O'Brien"sv, u"O'Brien"sv},
        {u"张\0三"sv, u"张三"sv},
        {u"\x01"
         u"C\x1b"
         u"0\x7f"
         u"1"sv,
         u"C01"sv},
        {u"C\u0085"
         u"2"sv,
         u"C2"sv},                                      // NEL, a control character of Latin-1
        {u"Jose\u0301"sv, u"Jos\u00e9"sv},              // e + combining acute: é
        {u"\u00a0张\u3000三"sv, u"\u00a0张\u3000三"sv}, // blanks are no control characters
    };
    for (const auto& c : cases) {
        const QString pasted = QStringView(c.pasted).toString();
        CKvEdit edit;
        ASSERT_TRUE(ShowActive(&edit));
        edit.setFocus();
        ASSERT_TRUE(edit.hasFocus());
        QApplication::clipboard()->setText(pasted);
        PressKey(&edit, Qt::Key_V, QString(), Qt::ControlModifier);
        EXPECT_EQ(edit.text(), QStringView(c.kept)) << pasted.toUtf8().toHex().toStdString();
        EXPECT_EQ(edit.cursorPosition(), edit.text().size()) << pasted.toUtf8().toHex().toStdString();
    }
}

// A password field leaves out control characters too, but keeps an accent as
// typed: the login dialog compares the password character for character.
TEST(KvEdit, APasswordKeepsItsAccentsAsTyped)
{
    CKvEdit edit;
    edit.setEchoMode(QLineEdit::Password);
    ASSERT_TRUE(ShowActive(&edit));
    edit.setFocus();
    QApplication::clipboard()->setText(QStringLiteral("Jose\u0301\n"));
    PressKey(&edit, Qt::Key_V, QString(), Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("Jose\u0301"));
}

} // namespace

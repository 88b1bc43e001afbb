#include "CQuillmerApp.h"
#include "CQuillmerView.h"
#include "CStyleDlg.h"
#include "KvModalScript.h"
#include "KvProfile.h"
#include "KvSkin.h"
#include "KvTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QColor centreOf(QWidget& view)
{
    const QImage image = view.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void writePicture(const QString& path, const QColor& colour, const char* format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

class HomeViewTest : public ::testing::Test
{
protected:
    ~HomeViewTest() override { QDir::setCurrent(m_startFolder); }

    const QString m_startFolder = QDir::currentPath();
    CRecordingMessageSink sink;
    CTempAppDirectory app;
};

} // namespace

TEST_F(HomeViewTest, WithoutAPictureTheViewShowsItsPlainColour)
{
    CQuillmerView view;
    view.resize(200, 120);
    EXPECT_EQ(view.GetPicturePath(), QStringLiteral("./bg/KvHome1.bmp"));
    EXPECT_EQ(centreOf(view), QColor(220, 220, 250));
    EXPECT_FALSE(view.HasPicture());
    EXPECT_TRUE(sink.Texts().isEmpty()) << "a missing picture is not reported";
}

TEST_F(HomeViewTest, DefaultPictureBelowTheProgramFolderIsStretchedOverTheView)
{
    writePicture(app.FilePath("bg/KvHome1.bmp"), Qt::red, "BMP");
    QDir::setCurrent(QDir::tempPath()); // the relative default rests on the program folder
    CQuillmerView view;
    view.resize(300, 200);
    EXPECT_EQ(centreOf(view), QColor(Qt::red));
    EXPECT_TRUE(view.HasPicture());
}

TEST_F(HomeViewTest, ChosenPictureShowsAtOnceAndAgainAfterTheNextStartHoweverLongItsPath)
{
    // Far beyond the 48 bytes that the stored path once had room for.
    const QString path = app.FilePath(QStringLiteral("背景图片/a-rather-long-folder-name-for-pictures-of-the-counter/"
                                                     "another-level-of-folders/首页背景.jpg"));
    writePicture(path, Qt::blue, "JPG");
    ASSERT_GT(path.toUtf8().size(), 100);

    {
        CQuillmerView view;
        view.resize(200, 120);
        EXPECT_EQ(centreOf(view), QColor(220, 220, 250));

        CModalScript script;
        script.Then([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->windowTitle(), QStringLiteral("选择背景文件"));
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
        });
        view.OnChangeBackground();
        EXPECT_TRUE(script.Exhausted());
        const QColor shown = centreOf(view);
        EXPECT_LT(shown.red(), 40);
        EXPECT_GT(shown.blue(), 200);
    }
    EXPECT_EQ(GetWinIniString(QStringLiteral("Quillmer"), QStringLiteral("QrBk")), path);

    CQuillmerView nextStart;
    nextStart.resize(200, 120);
    EXPECT_EQ(nextStart.GetPicturePath(), path);
    EXPECT_GT(centreOf(nextStart).blue(), 200);
}

TEST_F(HomeViewTest, CancelledPictureChoiceChangesNothing)
{
    CQuillmerView view;
    CModalScript script;
    script.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    view.OnChangeBackground();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(view.GetPicturePath(), QStringLiteral("./bg/KvHome1.bmp"));
    EXPECT_FALSE(QFile::exists(WinIniPath()));
}

namespace {

// The skin library and the skin files of the build, copied into the
// temporary program folder.
class StyleTest : public HomeViewTest
{
protected:
    void SetUp() override
    {
        // The build's program folder.
        const QDir built(QStringLiteral(QUILLMER_BUILD_APP_DIR));
        const QString library = QStringLiteral("lib%1.so").arg(SkinLibraryName());
        for (const QString& file : {library, QStringLiteral("SoftCrystal.ssk"), QStringLiteral("XPCorona.ssk"),
                                    QStringLiteral("Minimized.ssk")}) {
            ASSERT_TRUE(QFile::copy(built.filePath(file), app.FilePath(file))) << file.toStdString();
        }
    }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    QString sheet(const char* file) const
    {
        QFile f(app.FilePath(QString::fromLatin1(file)));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static QString stored() { return GetWinIniString(QStringLiteral("Quillmer"), QStringLiteral("QrStyle")); }

    // Runs the style command with a radio button clicked (0: none).
    void chooseStyle(int radio)
    {
        CQuillmerApp quillmer;
        CModalScript script;
        script.Then([radio](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("切换风格"));
            if (radio)
                CModalScript::Click(dialog, radio);
            CModalScript::Click(dialog, 1000);
        });
        quillmer.OnSwitchStyle();
        EXPECT_TRUE(script.Exhausted());
    }
};

} // namespace

TEST_F(StyleTest, EachChoiceLoadsItsSkinAndStoresItsName)
{
    struct Case
    {
        int radio;
        const char* loaded;
        const char* stored;
    };
    const Case cases[] = {
        {1091, "XPCorona.ssk", "XPCorona.ssk"},
        {1160, "Minimized.ssk", "Minimized.ssk"},
        {1089, "SoftCrystal.ssk", "Softcrystal.ssk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loaded);
        chooseStyle(c.radio);
        EXPECT_EQ(qApp->styleSheet(), sheet(c.loaded));
        EXPECT_EQ(stored(), QString::fromLatin1(c.stored));
    }
    EXPECT_NE(sheet("SoftCrystal.ssk"), sheet("XPCorona.ssk"));

    // OK without a choice: the standard look, and the stored name stays.
    chooseStyle(0);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(stored(), QStringLiteral("Softcrystal.ssk"));
}

TEST_F(StyleTest, StoredNameFindsItsFileWhateverItsLetterCase)
{
    EXPECT_EQ(FindSkinFile(QStringLiteral("softcrystal.SSK")), app.FilePath("SoftCrystal.ssk"));

    WriteWinIniString(QStringLiteral("Quillmer"), QStringLiteral("QrStyle"), QStringLiteral("Softcrystal.ssk"));
    RestoreStoredStyle();
    EXPECT_EQ(qApp->styleSheet(), sheet("SoftCrystal.ssk"));

    // A name that leads out of the program folder is not followed.
    qApp->setStyleSheet(QString());
    WriteWinIniString(QStringLiteral("Quillmer"), QStringLiteral("QrStyle"), QStringLiteral("../other/Minimized.ssk"));
    RestoreStoredStyle();
    EXPECT_EQ(qApp->styleSheet(), sheet("Minimized.ssk"));
}

TEST_F(StyleTest, MissingSkinFileLeavesTheLookAsItWas)
{
    chooseStyle(1091);
    QFile::remove(app.FilePath("Minimized.ssk"));
    chooseStyle(1160);
    EXPECT_EQ(qApp->styleSheet(), sheet("XPCorona.ssk"));
    EXPECT_TRUE(sink.Texts().isEmpty());
}

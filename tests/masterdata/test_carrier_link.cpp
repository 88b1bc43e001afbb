// The carrier link: the 188-byte record as the carrier library reads it, and
// what each answer of the library lets a meter operation do.

#include "CCliPre.h"
#include "CClient.h"
#include "CKvException.h"
#include "CarrierTestHelpers.h"
#include "KvFreshDatabase.h"
#include "KvGbk.h"

#include <QByteArray>
#include <cstring>

namespace {

QByteArray Bytes(const CarrierMeterInfo& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

// A field of the record: its bytes up to the terminator, and whether every
// byte behind it is zero.
QByteArray Text(const QByteArray& bytes, int offset, int size, bool* clean = nullptr)
{
    const QByteArray field = bytes.mid(offset, size);
    const int end = field.indexOf('\0');
    if (clean)
        *clean = end >= 0 && field.mid(end).count('\0') == field.size() - end;
    return end < 0 ? field : field.left(end);
}

qint32 Int(const QByteArray& bytes, int offset)
{
    qint32 value = 0;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

class CarrierLinkTest : public FreshDatabaseTest
{
protected:
    void SetUp() override { CopyCarrierLibrary(fresh.AppDir()); }
};

} // namespace

TEST(CarrierMeterInfoTest, TheRecordCarriesTheMeterAndItsUserAtTheirOffsets)
{
    CFreshDatabase fresh;
    CCliPre meter;
    meter.SetMeterNo(QStringLiteral("00001234"));
    meter.SetClientNo(QStringLiteral("C001"));
    meter.SetModelId(QStringLiteral("DTSY-3"));
    meter.SetCt(5);
    meter.SetPt(3);
    meter.SetMeterLevel(QStringLiteral("二级"));
    meter.SetSuperNo(QStringLiteral("00000001"));
    CClient user;
    user.SetClientName(QStringLiteral("李四"));
    user.SetAddr(QStringLiteral("东风路1号"));

    const QByteArray bytes = Bytes(CCarrierLink::MakeMeterInfo(meter, &user));
    ASSERT_EQ(bytes.size(), 188);
    const struct
    {
        int offset;
        int size;
        QByteArray text;
    } texts[] = {
        {0x00, 21, "00001234"},
        {0x15, 21, "C001"},
        {0x2a, 41, GbkEncode(QStringLiteral("李四"))},
        {0x53, 51, GbkEncode(QStringLiteral("东风路1号"))},
        {0x86, 22, GbkEncode(QStringLiteral("三功预付"))},
        {0xa4, 24, "00000001"},
    };
    for (const auto& expected : texts) {
        bool clean = false;
        EXPECT_EQ(Text(bytes, expected.offset, expected.size, &clean), expected.text) << expected.offset;
        EXPECT_TRUE(clean) << expected.offset;
    }
    EXPECT_EQ(Int(bytes, 0x9c), 15);
    EXPECT_EQ(Int(bytes, 0xa0), 2);
}

TEST(CarrierMeterInfoTest, KindAndLevelFollowTheTypeCodeAndTheLevelName)
{
    CFreshDatabase fresh;
    const struct
    {
        const char* modelId;
        const char* level;
        const char* kind;
        int code;
    } cases[] = {
        {"DDSY-1", "一级", "单功预付", 1},
        {"DTSY-1", "二级", "三功预付", 2},
        {"DDSY/DTSY", "三级", "单功预付", 0},
        {"QM-H1", "", "单功预付", 0},
    };
    for (const auto& c : cases) {
        CCliPre meter;
        meter.SetModelId(QString::fromUtf8(c.modelId));
        meter.SetMeterLevel(QString::fromUtf8(c.level));
        const QByteArray bytes = Bytes(CCarrierLink::MakeMeterInfo(meter, nullptr));
        EXPECT_EQ(Text(bytes, 0x86, 22), GbkEncode(QString::fromUtf8(c.kind))) << c.modelId;
        EXPECT_EQ(Int(bytes, 0xa0), c.code) << c.level;
        EXPECT_EQ(Text(bytes, 0x2a, 41), QByteArray()) << "no user, no name";
    }
}

// A text longer than its field is cut at a whole GBK character, and the last
// byte of the field stays the terminator.
TEST(CarrierMeterInfoTest, ALongTextIsCutAtAWholeCharacter)
{
    const struct
    {
        const char* text;
        int size;
        const char* kept;
    } cases[] = {
        {"abcd", 5, "abcd"}, {"abcde", 5, "abcd"}, {"ab中文", 5, "ab中"}, {"a中文", 5, "a中"}, {"中", 2, ""},
    };
    for (const auto& c : cases) {
        char field[8];
        std::memset(field, 'x', sizeof field);
        CCarrierLink::CopyText(field, c.size, QString::fromUtf8(c.text));
        EXPECT_EQ(QByteArray(field), GbkEncode(QString::fromUtf8(c.kept))) << c.text;
        EXPECT_EQ(field[c.size - 1], '\0') << c.text;
        EXPECT_EQ(field[c.size], 'x') << c.text << ": nothing written past the field";
    }
    // A name of 21 Chinese characters is 42 bytes: 20 characters fit the 41.
    CFreshDatabase fresh;
    CCliPre meter;
    CClient user;
    user.SetClientName(QString(21, QChar(0x674E)));
    const QByteArray bytes = Bytes(CCarrierLink::MakeMeterInfo(meter, &user));
    EXPECT_EQ(Text(bytes, 0x2a, 41), GbkEncode(QString(20, QChar(0x674E))));
}

// The record's texts are GBK: a character it cannot hold is refused by the
// field's name instead of reaching the carrier as '?'. A name longer than its
// field is named before the carrier is asked.
TEST(CarrierMeterInfoTest, TextsGbkCannotHoldAreRefusedAndCutNamesAreNamed)
{
    CFreshDatabase fresh;
    const struct
    {
        const char* clientNo;
        const char* name;
        const char* superNo;
        const char* field; // "" = the record is made
    } cases[] = {
        {"E1", "张三", "00000001", ""},
        {"E😀", "张三", "", "用户代码"},
        {"E1", "张😀", "", "用户姓名"},
        {"E1", "张三", "0000😀", "上级表号"},
    };
    for (const auto& c : cases) {
        CCliPre meter;
        meter.SetMeterNo(QStringLiteral("00001234"));
        meter.SetClientNo(QString::fromUtf8(c.clientNo));
        meter.SetSuperNo(QString::fromUtf8(c.superNo));
        CClient user;
        user.SetClientName(QString::fromUtf8(c.name));
        try {
            CCarrierLink::MakeMeterInfo(meter, &user);
            EXPECT_STREQ(c.field, "") << c.clientNo << c.name << c.superNo;
        } catch (const CKvException& e) {
            EXPECT_TRUE(e.text().startsWith(QString::fromUtf8(c.field))) << e.text().toStdString();
            EXPECT_NE(std::string(c.field), "");
        }
    }

    CClient user;
    user.SetClientName(QString(20, QChar(0x674E)));
    user.SetAddr(QString(25, QChar(0x8DEF)));
    EXPECT_TRUE(CCarrierLink::CutTexts(&user).isEmpty()) << "40 and 50 bytes fit";
    user.SetClientName(QString(20, QChar(0x674E)) + QStringLiteral("a"));
    user.SetAddr(QString(25, QChar(0x8DEF)) + QStringLiteral("1"));
    EXPECT_EQ(CCarrierLink::CutTexts(&user), (QStringList{"用户姓名", "地址"}));
    EXPECT_TRUE(CCarrierLink::CutTexts(nullptr).isEmpty());
}

TEST_F(CarrierLinkTest, ANewNumberIsTakenAKnownOneIsEnabledAgain)
{
    CCliPre meter;
    meter.SetMeterNo(QStringLiteral("00001234"));
    meter.SetClientNo(QStringLiteral("C001"));
    CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(meter, nullptr);
    EXPECT_TRUE(CCarrierLink().AgreeToAdd(record));
    EXPECT_TRUE(CCarrierLink().AgreeToAdd(record));
    EXPECT_EQ(CarrierMeters(fresh.AppDir()), QStringList{"00001234 启用"});
    const QStringList log = CarrierLog(fresh.AppDir());
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[0].startsWith("PondrakeToTmp meter=00001234 client=C001 ")) << log[0].toStdString();
    EXPECT_TRUE(log[0].endsWith("=> 1"));
    EXPECT_TRUE(log[1].endsWith("=> -5"));
    EXPECT_TRUE(log[2].startsWith("EditMeterInfoFromCarrier meter=00001234"));
    EXPECT_TRUE(log[2].endsWith("status=启用 => 1"));
}

// What each answer lets the operation do, the library's exports forced.
TEST_F(CarrierLinkTest, TheAnswersDecideWhetherTheOperationGoesOn)
{
    CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(CCliPre(), nullptr);
    const struct
    {
        QStringList forced;
        std::function<bool(CCarrierLink&)> call;
        bool agrees;
    } cases[] = {
        {{"PondrakeToTmp 0"}, [&](CCarrierLink& l) { return l.AgreeToAdd(record); }, false},
        {{"PondrakeToTmp -1"}, [&](CCarrierLink& l) { return l.AgreeToAdd(record); }, false},
        {{"PondrakeToTmp 2"}, [&](CCarrierLink& l) { return l.AgreeToAdd(record); }, true},
        {{"PondrakeToTmp -5", "EditMeterInfoFromCarrier 0"},
         [&](CCarrierLink& l) { return l.AgreeToAdd(record); },
         false},
        {{"EditMeterInfoFromCarrier 0"}, [&](CCarrierLink& l) { return l.AgreeToModify(record); }, false},
        {{"EditMeterInfoFromCarrier 1"}, [&](CCarrierLink& l) { return l.AgreeToModify(record); }, true},
        {{"PauseMeterFromCarrier 0"}, [](CCarrierLink& l) { return l.PauseMeter("00001234"); }, false},
        {{"PauseMeterFromCarrier 1"}, [](CCarrierLink& l) { return l.PauseMeter("00001234"); }, true},
        {{"ReOpenAccountInCarrier -1"}, [](CCarrierLink& l) { return l.ReOpenAccount("00001234", 12.5); }, false},
        {{"ReOpenAccountInCarrier 1"}, [](CCarrierLink& l) { return l.ReOpenAccount("00001234", 12.5); }, true},
    };
    for (const auto& c : cases) {
        ForceCarrierAnswers(fresh.AppDir(), c.forced);
        CCarrierLink link;
        EXPECT_EQ(c.call(link), c.agrees) << c.forced.join(", ").toStdString();
    }
    EXPECT_TRUE(CarrierLog(fresh.AppDir()).contains("ReOpenAccountInCarrier 00001234 12.50 0 0 => 1"));
}

TEST(CarrierLinkWithoutLibraryTest, EveryOperationGoesOnWithoutTheCarrier)
{
    CFreshDatabase fresh; // a program folder without the library
    CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(CCliPre(), nullptr);
    CCarrierLink link;
    EXPECT_TRUE(link.AgreeToAdd(record));
    EXPECT_TRUE(link.AgreeToModify(record));
    EXPECT_TRUE(link.PauseMeter("00001234"));
    EXPECT_TRUE(link.ReOpenAccount("00001234", 1));
    link.ForgetAdded("00001234");
    link.DeleteMeter("00001234");
}

// A number the carrier knows is only enabled again through
// EditMeterInfoFromCarrier: a library without it refuses the meter.
TEST(CarrierLinkWithoutEditTest, AKnownNumberIsRefusedWithoutTheEditExport)
{
    CFreshDatabase fresh;
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(QUILLMER_CARRIER_TEST_LIB), QDir(fresh.AppDir()).filePath(CarrierLibraryFile())));
    CarrierMeterInfo record = CCarrierLink::MakeMeterInfo(CCliPre(), nullptr);
    ForceCarrierAnswers(fresh.AppDir(), {"PondrakeToTmp 1", "PondrakeToTmp -5"});
    CCarrierLink link;
    EXPECT_TRUE(link.AgreeToAdd(record));
    EXPECT_FALSE(link.AgreeToAdd(record));
    EXPECT_TRUE(link.AgreeToModify(record)) << "a missing export lets a change go on";
}

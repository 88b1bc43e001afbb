#include "CDeviceLink.h"

#include "CKvException.h"
#include "CSysPara.h"
#include "KvGbk.h"
#include "KvMessage.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>

// The table of the three links.
const KvDeviceTool CHandSaleLink::Tool = {"./Gostrel", "./Drossel.dat", false};
const KvDeviceTool CMeterReaderLink::Tool = {"./Lumvex", "./Lumvex.dat", true};
const KvDeviceTool CProgrammerLink::Tool = {"./Fennick", "./Drossel.dat", true};

namespace {

// The tool reads its first line through a buffer of this size.
constexpr qint64 kLineBuffer = 4096;

} // namespace

CDeviceLink::CDeviceLink(const KvDeviceTool& tool, int port, QString deviceType, QObject* parent)
    : m_tool(tool), m_port(port), m_parent(parent), m_deviceType(std::move(deviceType))
{
}

QString CDeviceLink::Command(QChar letter) const
{
    return QStringLiteral("%1 %2 %3").arg(letter).arg(m_port).arg(GetLocalSysPara()->GetMachineCode());
}

bool CDeviceLink::Download()
{
    Run(Command(u'D'));
    return m_answer != QStringLiteral("ERROR");
}

bool CDeviceLink::Upload()
{
    Run(Command(u'U'));
    return m_answer != QStringLiteral("ERROR");
}

void CDeviceLink::Run(const QString& command)
{
    if (m_tool.setsProgramFolder)
        QDir::setCurrent(GetAppDirectory());
    // The code is one argument even when it is empty or holds blanks.
    const QString letter = command.section(u' ', 0, 0);
    const QString port = command.section(u' ', 1, 1);
    const QString code = command.section(u' ', 2);
    RunProgramAndWait(QString::fromLatin1(m_tool.program), QStringList{letter, port, code});

    m_answer.clear();
    const QString line = readFirstLine();
    PromptBox(line, m_parent);
    m_answer = line.contains(QStringLiteral("ERROR"), Qt::CaseSensitive) ? QStringLiteral("ERROR") : line;
}

QString CDeviceLink::readFirstLine() const
{
    const QString path = QString::fromLatin1(m_tool.answerFile);
    if (!FileExistsStr(path))
        throw CKvException(QStringLiteral("找不到接口数据文件: %1!").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CKvException(QStringLiteral("打开接口数据文件失败！"));
    const QByteArray bytes = file.readLine(kLineBuffer);
    if (bytes.isEmpty())
        throw CKvException(QStringLiteral("打开接口数据文件失败！"));
    QByteArray line = bytes;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return GbkDecode(line);
}

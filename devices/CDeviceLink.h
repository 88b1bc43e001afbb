#pragma once

#include <QString>

class QObject;

// What tells the three device links apart: the outside tool started, the
// answer file it leaves and whether the link first returns to the program
// folder. Both paths are relative to the current directory.
struct KvDeviceTool
{
    const char* program;
    const char* answerFile;
    bool setsProgramFolder;
};

// The link to a handheld device's outside tool for one command: starts the
// tool with "D <port> <code>" (download to the device) or "U <port> <code>"
// (upload from it), waits for it without a time-out, shows the first line of
// its answer file and judges it: a line containing "ERROR" is a failure.
// The data itself never passes through the link.
class CDeviceLink
{
public:
    virtual ~CDeviceLink() = default;

    // False exactly when the tool answered with a line containing ERROR. A
    // missing tool or answer file, or an empty answer file, throws.
    bool Download();
    bool Upload();
    // Starts the tool with the command, reads and shows its answer.
    void Run(const QString& command);

    // The first line of the last answer, or exactly "ERROR".
    const QString& GetAnswer() const { return m_answer; }
    int GetPort() const { return m_port; }
    const QString& GetDeviceType() const { return m_deviceType; }
    // The command of a letter: the letter, the port, the sale-machine code
    // of the station (read anew each time).
    QString Command(QChar letter) const;

protected:
    CDeviceLink(const KvDeviceTool& tool, int port, QString deviceType, QObject* parent);

private:
    // Reads the answer file's first line; throws as described above.
    QString readFirstLine() const;

    const KvDeviceTool& m_tool;
    int m_port;
    QObject* m_parent;
    QString m_deviceType; // kept, never passed to the tool
    QString m_answer;
};

// The handheld sale machine: tool Gostrel, answer Drossel.dat, looked up in
// whatever directory is current.
class CHandSaleLink : public CDeviceLink
{
public:
    static const KvDeviceTool Tool;
    CHandSaleLink(int port, QString deviceType, QObject* parent)
        : CDeviceLink(Tool, port, std::move(deviceType), parent)
    {
    }
};

// The meter reader: tool Lumvex, answer Lumvex.dat, in the program folder.
class CMeterReaderLink : public CDeviceLink
{
public:
    static const KvDeviceTool Tool;
    CMeterReaderLink(int port, QString deviceType, QObject* parent)
        : CDeviceLink(Tool, port, std::move(deviceType), parent)
    {
    }
};

// The programmer: tool Fennick, answer Drossel.dat, in the program folder.
class CProgrammerLink : public CDeviceLink
{
public:
    static const KvDeviceTool Tool;
    CProgrammerLink(int port, QObject* parent) : CDeviceLink(Tool, port, QString(), parent) {}
};

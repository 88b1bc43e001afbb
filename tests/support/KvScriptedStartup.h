#pragma once

#include "CKvStartup.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <deque>
#include <functional>

// One log of everything the start-up does, message boxes included, so that the
// order of steps and boxes can be compared as a whole.
class ScriptedStartup : public IKvStartupHost, public IKvMessageSink
{
public:
    ScriptedStartup() : m_previous(SetMessageSink(this)) {}
    ~ScriptedStartup() override { SetMessageSink(m_previous); }

    int Show(QObject*, const QString& caption, const QString& text, int style) override
    {
        log << caption + u':' + text;
        if (answers.empty())
            return KvDefaultAnswer(style);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void UpdateDatabaseSchema() override
    {
        log << QStringLiteral("schema");
        folderAtSchema = QDir::currentPath();
        databaseAtSchema = QFile::exists(GetLocalDatabasePath());
    }
    bool AskLogin(QString& operatorNo, QString& password) override
    {
        log << QStringLiteral("login");
        if (!loginGiven)
            return false;
        operatorNo = loginCode;
        password = loginPassword;
        return true;
    }
    bool AskServerName() override
    {
        log << QStringLiteral("server");
        return serverDialog ? serverDialog() : false;
    }
    bool CreateMainWindow() override
    {
        log << QStringLiteral("window");
        return true;
    }
    void ShowMainWindow(const QString& title) override { log << QStringLiteral("show:") + title; }
    void BuildRightsList() override { log << QStringLiteral("rights"); }
    void RunFirstSetup() override
    {
        log << QStringLiteral("setup");
        if (firstSetup)
            firstSetup();
    }

    QStringList log;
    std::deque<int> answers;
    bool loginGiven = true;
    QString loginCode = QStringLiteral("qz");
    QString loginPassword;
    std::function<void()> firstSetup;
    // The server dialog: stores a name and answers OK (true) or Cancel.
    std::function<bool()> serverDialog;
    QString folderAtSchema;
    bool databaseAtSchema = false;

private:
    IKvMessageSink* m_previous;
};

#pragma once

#include <QString>
#include <functional>

class QWidget;

// What a command asks of the file chooser.
struct KvFileRequest
{
    enum Mode
    {
        SaveFile, // a new or existing file to write; an existing one is confirmed first
        OpenFile, // an existing file to read
    };

    Mode mode = OpenFile;
    QString title;
    QString initialPath;
    QString filter;        // "Name (*.ext)"
    QString defaultSuffix; // added to a typed name without one
};

// The one place where commands ask the operator for a file (backup and
// restore). The program shows a file dialog; tests install a chooser that
// answers. An empty answer means the operator cancelled.
using KvFileChooser = std::function<QString(QWidget* parent, const KvFileRequest& request)>;

QString ChooseFile(QWidget* parent, const KvFileRequest& request);
// Installs a chooser (empty restores the file dialog) and returns the previous one.
KvFileChooser SetFileChooser(KvFileChooser chooser);

// Platform services for tests: answers queued in advance, messages recorded,
// folders in a temporary directory. Installed for the lifetime of the object.
#pragma once

#include "Platform.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <map>

struct ScriptedPlatform {
    ScriptedPlatform();
    ~ScriptedPlatform();

    QStringList Messages;
    std::deque<bool> YesNoAnswers;     // an empty queue answers No
    // "Proceed / Cancel" questions (a print that would ghost), kept apart from
    // the messages so that tests about other things need not answer them.
    QStringList ProceedQuestions;
    std::deque<bool> ProceedAnswers;   // an empty queue proceeds
    // "Save changes to the design?": asked, and answered from the queue; an
    // empty queue discards, as the window did before it asked.
    int SaveChangesQuestions = 0;
    std::deque<SaveChoice> SaveChangesAnswers;
    // The pitch test's range: each answer replaces what was offered, an empty
    // one cancels; an empty queue takes the offer. Offers are kept.
    std::deque<QStringList> PitchRangeAnswers;
    QStringList PitchRangeOffers;
    std::deque<QString> OpenAnswers;   // an empty queue cancels
    std::deque<QString> SaveAnswers;
    std::vector<FileDialogRequest> DialogRequests;
    QStringList ShellOpened;
    int Beeps = 0;
    int BusyDepth = 0;

    QTemporaryDir Sandbox;
    QString ProgramDir;   // Sandbox/program
    QString ConfigDir;    // Sandbox/config
    QString WorkRoot;     // Sandbox/root/ (ends with a separator)
    // Free bytes by root; roots not listed have 20 GB.
    std::map<QString, int64_t> FreeSpace;
    QStringList Roots;    // the work-root candidates; {WorkRoot} by default
    QString Fallback;     // the fallback root; WorkRoot by default

    QString WorkFolderPath() const { return WorkRoot + QStringLiteral("mavotemp/"); }
};

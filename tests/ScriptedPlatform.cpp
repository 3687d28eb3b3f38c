#include "ScriptedPlatform.h"

#include <QDir>

ScriptedPlatform::ScriptedPlatform()
{
    ProgramDir = Sandbox.path() + QStringLiteral("/program");
    ConfigDir = Sandbox.path() + QStringLiteral("/config");
    WorkRoot = Sandbox.path() + QStringLiteral("/root/");
    QDir().mkpath(ProgramDir);
    QDir().mkpath(WorkRoot);
    Roots = {WorkRoot};
    Fallback = WorkRoot;

    Platform.ShowMessage = [this](const QString &text) { Messages << text; };
    Platform.AskYesNo = [this](const QString &text, const QString &title) {
        Messages << title + QStringLiteral(": ") + text;
        if (YesNoAnswers.empty())
            return false;
        const bool answer = YesNoAnswers.front();
        YesNoAnswers.pop_front();
        return answer;
    };
    Platform.AskProceed = [this](const QString &text, const QString &title, const QString &proceed) {
        ProceedQuestions << title + QStringLiteral(": ") + text + QStringLiteral(" [") + proceed +
                                QStringLiteral(" / Cancel]");
        if (ProceedAnswers.empty())
            return true;
        const bool answer = ProceedAnswers.front();
        ProceedAnswers.pop_front();
        return answer;
    };
    Platform.AskPitchRange = [this](QString &from, QString &to, QString &step) {
        PitchRangeOffers << from + QLatin1Char(' ') + to + QLatin1Char(' ') + step;
        if (PitchRangeAnswers.empty())
            return true;
        const QStringList answer = PitchRangeAnswers.front();
        PitchRangeAnswers.pop_front();
        if (answer.size() != 3)
            return false;
        from = answer[0], to = answer[1], step = answer[2];
        return true;
    };
    Platform.AskSaveChanges = [this](const QString &, const QString &) {
        ++SaveChangesQuestions;
        if (SaveChangesAnswers.empty())
            return SaveChoice::Discard;
        const SaveChoice choice = SaveChangesAnswers.front();
        SaveChangesAnswers.pop_front();
        return choice;
    };
    auto answer = [this](std::deque<QString> &queue, const FileDialogRequest &request) {
        DialogRequests.push_back(request);
        if (queue.empty())
            return QString();
        QString path = queue.front();
        queue.pop_front();
        return path;
    };
    Platform.OpenFileName = [this, answer](const FileDialogRequest &r) { return answer(OpenAnswers, r); };
    Platform.SaveFileName = [this, answer](const FileDialogRequest &r) { return answer(SaveAnswers, r); };
    Platform.Beep = [this] { ++Beeps; };
    Platform.SetBusyCursor = [this](bool busy) { BusyDepth += busy ? 1 : -1; };
    Platform.ShellOpen = [this](const QString &target) { ShellOpened << target; };
    Platform.FreeSpace = [this](const QString &root) -> int64_t {
        const auto it = FreeSpace.find(root);
        return it == FreeSpace.end() ? 20'000'000'000 : it->second;
    };
    Platform.ShortDateFormat = [] { return QStringLiteral("yyyy/M/d"); };
    Platform.LongTimeFormat = [] { return QStringLiteral("H:mm:ss"); };
    Platform.ProgramFolder = [this] { return ProgramDir; };
    Platform.UserConfigFolder = [this] { return ConfigDir; };
    Platform.WorkRootCandidates = [this] { return Roots; };
    Platform.WorkRootFallback = [this] { return Fallback; };
}

ScriptedPlatform::~ScriptedPlatform()
{
    InstallBasicPlatform();
}

// Every file Vistrel writes, made to fail at its first, a middle and its last
// byte as a full disk would: each gives its message, leaves the earlier file of
// that name byte for byte, and leaves the window usable.
#include "BmpCodec.h"
#include "Errors.h"
#include "SettingsFile.h"
#include "TestSupport.h"
#include "WindowTest.h"
#include "WorkFolder.h"

#include <QFile>
#include <QProgressBar>
#include <functional>

namespace {

using WriteFaultTest = ImportedWindowTest;

}  // namespace

TEST_F(WriteFaultTest, EveryFileFailingAtAnyByteLeavesTheEarlierOne)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();  // the preview views
    f.SpeedButton2Click();
    f.AnimationFrame();
    const QString folder = platform.Sandbox.path() + QLatin1Char('/');
    const QString print = folder + QStringLiteral("doc.tif");
    platform.SaveAnswers.push_back(print);
    f.BitBtn3Click();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();

    struct Output {
        const char *what;
        QString file;
        std::function<void()> write;
    };
    const Output outputs[] = {
        {"work file", WorkFileName(QStringLiteral("vw"), 3), [&] { f.SpeedButton9Click(); }},
        {"print", print, [&] { platform.SaveAnswers.push_back(print); f.BitBtn3Click(); }},
        // A print makes no view files; the layered PSD after it does.
        {"full-resolution view", WorkFileName3(QStringLiteral("vwd"), 2),
         [&] {
             platform.SaveAnswers.push_back(print);
             f.BitBtn3Click();
             platform.SaveAnswers.push_back(folder + QStringLiteral("views_3D.psd"));
             f.PSD1Click();
         }},
        {"layered PSD", folder + QStringLiteral("doc_3D.psd"),
         [&] { platform.SaveAnswers.push_back(folder + QStringLiteral("doc_3D.psd")); f.PSD1Click(); }},
        {"GIF", folder + QStringLiteral("doc.gif"),
         [&] { platform.SaveAnswers.push_back(folder + QStringLiteral("doc.gif")); f.ExportGif1Click(); }},
        {"anaglyph", folder + QStringLiteral("doc_qz58.bmp"), [&] { f.SpeedButton5Click(); }},
        {"project", folder + QStringLiteral("doc.hx4p3"), [&] { f.SpeedButton15Click(); }},
        {"settings file", SettingsFilePath(), [&] {
             try {
                 WriteSettingsFile();
             } catch (const VistrelError &error) {
                 platform.Messages << error.Message;
             }
         }},
    };
    for (const Output &o : outputs) {
        SCOPED_TRACE(o.what);
        // Once without a fault, to learn how long the file is.
        platform.Messages.clear();
        o.write();
        if (f.Animating()) {
            f.SpeedButton2Click();
            f.AnimationFrame();
        }
        ASSERT_TRUE(platform.Messages.size() <= 1);  // the anaglyph's hint
        const qint64 length = ReadFileBytes(o.file).size();
        ASSERT_GT(length, 2);
        for (const qint64 at : {qint64(0), length / 2, length - 1}) {
            SCOPED_TRACE(at);
            WriteFileBytes(o.file, "the earlier file");
            platform.Messages.clear();
            int failures = 0;
            WriteFaultHook = [&](const QString &name, qint64 offset, qint64 size) -> qint64 {
                if (name != o.file || at < offset || at >= offset + size)
                    return -1;
                ++failures;
                return at;
            };
            o.write();
            WriteFaultHook = nullptr;
            if (f.Animating()) {
                f.SpeedButton2Click();
                f.AnimationFrame();
            }
            EXPECT_EQ(failures, 1);
            ASSERT_FALSE(platform.Messages.isEmpty());
            EXPECT_EQ(ReadFileBytes(o.file), QByteArray("the earlier file"));
            EXPECT_TRUE(f.isEnabled());
            EXPECT_EQ(platform.BusyDepth, 0);
            EXPECT_EQ(f.ProgressBar1->value(), 0);
        }
        // Written whole again, for the outputs made from it.
        platform.Messages.clear();
        o.write();
        if (f.Animating()) {
            f.SpeedButton2Click();
            f.AnimationFrame();
        }
        EXPECT_EQ(ReadFileBytes(o.file).size(), length);
    }
}

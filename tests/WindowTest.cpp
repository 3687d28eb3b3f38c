#include "WindowTest.h"

#include "PsdBuilder.h"
#include "TestSupport.h"
#include "BmpCodec.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QToolButton>

void WindowTest::TearDown()
{
    if (form)
        form->ShutDown();
    form.reset();
}

MainWindow &WindowTest::Start(bool show, int width, int height)
{
    form = std::make_unique<MainWindow>();
    if (show) {
        form->resize(width, height);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    EXPECT_TRUE(form->StartUp());
    return *form;
}

QString WindowTest::WritePsd(const QString &name, const QByteArray &bytes)
{
    const QString path = platform.Sandbox.path() + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteFileBytes(path, bytes);
    return path;
}

void WindowTest::Import(const QString &path)
{
    platform.OpenAnswers.push_back(path);
    QTest::mouseClick(form->ImportPsdButton, Qt::LeftButton);
}

void ImportedWindowTest::Open(uint16_t mode)
{
    Start();
    psd = WritePsd(QStringLiteral("doc.psd"), SevenLayerDocument(mode));
    ASSERT_TRUE(form->ImportPsd(psd));
}

QImage ImportedWindowTest::ViewFile(int view) const
{
    return LoadImage(WorkFileName(form->Doc.PsdColorMode == ModeRgb ? QStringLiteral("vw") : QStringLiteral("vwv"), view));
}

QByteArray SevenLayerDocument(uint16_t mode)
{
    PsdBuilder b;
    b.Width = 210;
    b.Height = 70;
    b.ColorMode = mode;
    const size_t channels = mode == 1 ? 1 : mode == 3 ? 3 : 4;
    b.AddLayer(0, 0, 210, 70, std::vector<uint8_t>(channels, 250));
    for (int i = 0; i < 6; ++i)
        b.AddLayer(20 + 30 * i, 10, 20, 40, std::vector<uint8_t>(channels, uint8_t(30 * i)));
    return b.Build();
}

QString ShownTitle(const QWidget &window)
{
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
}

// Every file the batch mode writes for three generated documents (RGB with a
// flip group and a canvas above the working width, grey, CMYK), pinned by
// checksum: the print, the layered PSD, the GIF, the anaglyph and every file
// the kept work folder holds; a project with contour lines on two layers,
// cropped, with the adaptive GIF palette, and the project it saves; and a run
// driven through the window. Reshaping the code must not change one byte; the
// saving date inside the TIFF files is blanked before the sum is taken.
#include "PsdBuilder.h"
#include "TestSupport.h"
#include "WindowTest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <map>

namespace {

QString Sum(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(16));
}

// The sums of the four outputs in `folder` and of every file of `work`, when given.
void AddOutputSums(std::map<QString, QString> &sums, const QString &folder, const QString &work = {})
{
    for (const QString &name : {QStringLiteral("print.tif"), QStringLiteral("views.psd"), QStringLiteral("views.gif"),
                                QStringLiteral("doc_qz58.bmp")})
        sums[name] = Sum(WithoutTiffDate(ReadFileBytes(folder + QLatin1Char('/') + name)));
    if (!work.isEmpty())
        for (const QString &name : QDir(work).entryList(QDir::Files))
            sums[QStringLiteral("work/") + name] = Sum(WithoutTiffDate(ReadFileBytes(work + QLatin1Char('/') + name)));
}

// A saved project's text, its date line and the PSD's folder aside.
QString ProjectTextSum(const QString &path)
{
    QList<QByteArray> saved = ReadFileBytes(path).split('\n');
    if (saved.size() > 7) {
        saved.removeAt(7);  // the date and time of saving
        saved[0] = saved[0].mid(saved[0].lastIndexOf('/') + 1);  // the PSD's name, not the test's folder
    }
    return Sum(saved.join('\n'));
}

// Horizontal and vertical ramps, so that a shift by one pixel changes the sums.
void Ramp(PsdBuilderLayer &layer, int seed)
{
    const int w = layer.Right - layer.Left;
    const int h = layer.Bottom - layer.Top;
    for (size_t c = 0; c < layer.Channels.size(); ++c) {
        QByteArray &plane = layer.Channels[c].Plane;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                plane[y * w + x] = char(layer.Channels[c].Id < 0 ? (x * 7 + y * 3 + seed) % 256 | 0x80
                                                                 : (x * (c + 2) + y * (seed % 5 + 1) + seed * 31) % 256);
    }
}

PsdBuilder SampleDocument(uint16_t mode)
{
    PsdBuilder b;
    b.ColorMode = mode;
    const int channels = mode == 1 ? 1 : mode == 3 ? 3 : 4;
    b.Width = mode == 3 ? 1600 : 200;
    b.Height = mode == 3 ? 120 : 100;
    b.DpiWhole = 150;
    const std::vector<uint8_t> colour(size_t(channels), 100);
    b.AddLayer(0, 0, b.Width, b.Height, colour, 255);
    b.AddLayer(b.Width / 5, 10, b.Width / 3, b.Height / 2, colour);
    b.AddLayer(-15, b.Height / 3, b.Width / 4, b.Height, colour);
    b.AddLayer(b.Width / 2, 5, b.Width / 6, b.Height / 3, colour);
    b.AddLayer(b.Width / 2 + 20, 8, b.Width / 6, b.Height / 3, colour);
    for (size_t i = 0; i < b.Layers.size(); ++i)
        Ramp(b.Layers[i], int(i) * 17 + mode);
    if (mode == 3)
        b.Groups = {0, 0, 0, 1, 1};  // the two top layers flip
    return b;
}

// Runs the batch mode with every output and returns each file's sum by name.
std::map<QString, QString> OutputSums(uint16_t mode)
{
    QTemporaryDir dir;
    const QString psd = dir.path() + QStringLiteral("/doc.psd");
    WriteFileBytes(psd, SampleDocument(mode).Build());
    const QString work = dir.path() + QStringLiteral("/work");
    const QString program = QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
    int code = -1;
    const QByteArray out = RunProgram(
        program, {QStringLiteral("--export-tiff"), dir.path() + QStringLiteral("/print.tif"), QStringLiteral("--export-psd"),
                  dir.path() + QStringLiteral("/views.psd"), QStringLiteral("--export-gif"),
                  dir.path() + QStringLiteral("/views.gif"), QStringLiteral("--anaglyph"), QStringLiteral("--lpi"),
                  QStringLiteral("40"), QStringLiteral("--dpi"), QStringLiteral("600"), QStringLiteral("--width-cm"),
                  QStringLiteral("6"), QStringLiteral("--depth"), QStringLiteral("1.5"), QStringLiteral("--work-folder"),
                  work, psd},
        &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    std::map<QString, QString> sums;
    AddOutputSums(sums, dir.path(), work);

    // The print alone, with no work folder kept: its views are composed band
    // by band and never written; the print must be the same.
    const QByteArray alone = RunProgram(
        program, {QStringLiteral("--export-tiff"), dir.path() + QStringLiteral("/alone.tif"), QStringLiteral("--lpi"),
                  QStringLiteral("40"), QStringLiteral("--dpi"), QStringLiteral("600"), QStringLiteral("--width-cm"),
                  QStringLiteral("6"), QStringLiteral("--depth"), QStringLiteral("1.5"), psd},
        &code);
    EXPECT_EQ(code, 0) << alone.toStdString();
    sums[QStringLiteral("print alone")] = Sum(WithoutTiffDate(ReadFileBytes(dir.path() + QStringLiteral("/alone.tif"))));
    return sums;
}

void ExpectSums(uint16_t mode, const std::map<QString, QString> &expected)
{
    std::map<QString, QString> actual = OutputSums(mode);
    EXPECT_EQ(actual[QStringLiteral("print alone")], actual[QStringLiteral("print.tif")]);
    actual.erase(QStringLiteral("print alone"));
    QString listing;
    for (const auto &[name, sum] : actual)
        listing += QStringLiteral("        {\"%1\", \"%2\"},\n").arg(name, sum);
    EXPECT_EQ(actual.size(), expected.size()) << listing.toStdString();
    for (const auto &[name, sum] : expected) {
        const auto found = actual.find(name);
        ASSERT_NE(found, actual.end()) << name.toStdString() << " was not written\n" << listing.toStdString();
        EXPECT_EQ(found->second, sum) << name.toStdString() << "\n" << listing.toStdString();
    }
}

}  // namespace

TEST(PinnedOutputs, RgbDocumentWithAFlipGroup)
{
    ExpectSums(3, {
        {"doc_qz58.bmp", "3e33288ad05dd18f"},
        {"print.tif", "24d67f14959e2fb2"},
        {"views.gif", "b012a70875b41f1e"},
        {"views.psd", "ad2c12e5188ac3d5"},
        {"work/ly1.gjs", "1cc297f6afcf4b4a"},
        {"work/ly2.gjs", "b2d57e6a90317ed7"},
        {"work/ly3.gjs", "3b30b23b1eee4a32"},
        {"work/ly4.gjs", "11c5dc59e68bb75d"},
        {"work/ly5.gjs", "913db085a2ded6ca"},
        {"work/lyt1.gjs", "4dbaab04426e3960"},
        {"work/lyt2.gjs", "fa851cc21a0e13a2"},
        {"work/lyt3.gjs", "dfdc6f19830f375d"},
        {"work/lyt4.gjs", "464bf2bff16d2c98"},
        {"work/lyt5.gjs", "eec86586968c7fea"},
        {"work/vw1.gjs", "35561791c64b9667"},
        {"work/vw2.gjs", "fd0b7a6508aa5c29"},
        {"work/vw3.gjs", "3ea37bf9c358dc5c"},
        {"work/vw4.gjs", "39c08793eece0c3d"},
        {"work/vw5.gjs", "d13052703deb8bbf"},
        {"work/vw6.gjs", "ae3ac8f83f472667"},
        {"work/vw7.gjs", "6b1b1516693960c7"},
        {"work/vwd001.gjs", "5683dc4497ac43ea"},
        {"work/vwd002.gjs", "729cc74cdf256cb8"},
        {"work/vwd003.gjs", "821c4527893eb1f4"},
        {"work/vwd004.gjs", "ce00a2b68ed07006"},
        {"work/vwd005.gjs", "34918becde79d035"},
        {"work/vwd006.gjs", "6d59adbd904e4508"},
        {"work/vwd007.gjs", "785a03d6379741fc"},
        {"work/vwdt001.gjs", "09583e221a846eae"},
        {"work/vwdt002.gjs", "19ef80656c8bc1ad"},
        {"work/vwdt003.gjs", "627237e3baf7fa88"},
        {"work/vwdt004.gjs", "3d2d9d52801311d4"},
        {"work/vwdt005.gjs", "9c5d0296dc4bb476"},
        {"work/vwdt006.gjs", "9acfe24bfe922b9e"},
        {"work/vwdt007.gjs", "5d7b4027eef6efa0"},
        {"work/vwt1.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt2.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt3.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt4.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt5.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt6.gjs", "36f62d8f4e0e61c8"},
        {"work/vwt7.gjs", "36f62d8f4e0e61c8"},
    });
}

TEST(PinnedOutputs, GreyDocument)
{
    ExpectSums(1, {
        {"doc_qz58.bmp", "d63023e5e2a3f487"},
        {"print.tif", "1e56aad30d1f121d"},
        {"views.gif", "b21abfdfb63b76d3"},
        {"views.psd", "a071b44730f38a0e"},
        {"work/ly1.gjs", "5356d576ec79bd78"},
        {"work/ly2.gjs", "f409a13777f2fd54"},
        {"work/ly3.gjs", "3800cb71bbccb4df"},
        {"work/ly4.gjs", "ab82a77ae4311a5b"},
        {"work/ly5.gjs", "4852ab648882f57a"},
        {"work/lyt1.gjs", "2b5d729f8c96bb08"},
        {"work/lyt2.gjs", "42d352c783847015"},
        {"work/lyt3.gjs", "64a0d06701a64fd3"},
        {"work/lyt4.gjs", "5f5e0e8360302802"},
        {"work/lyt5.gjs", "610d4342327c9009"},
        {"work/vw1.gjs", "ca508d0c1c03b20f"},
        {"work/vw2.gjs", "f953b9273cef7a4f"},
        {"work/vw3.gjs", "23783f9bb6d4e9ad"},
        {"work/vw4.gjs", "58da3cee54e383bf"},
        {"work/vw5.gjs", "d1e3e5fe32e94a82"},
        {"work/vw6.gjs", "e566b463ccaee766"},
        {"work/vw7.gjs", "fa63685fcd83eaea"},
        {"work/vwd001.gjs", "f0279155a3c7fa38"},
        {"work/vwd002.gjs", "bd5765b77ee85eef"},
        {"work/vwd003.gjs", "83ccd438df08791d"},
        {"work/vwd004.gjs", "ed16b0c525e39f16"},
        {"work/vwd005.gjs", "a6f21b9d8ae14ab7"},
        {"work/vwd006.gjs", "6203cc25fdd4520e"},
        {"work/vwd007.gjs", "2e3e3264077aeddd"},
        {"work/vwdt001.gjs", "add948f6b4360861"},
        {"work/vwdt002.gjs", "294274df528e6194"},
        {"work/vwdt003.gjs", "558d36fa8eb47dd2"},
        {"work/vwdt004.gjs", "b4a3d515ffe148a7"},
        {"work/vwdt005.gjs", "6dc94e7a23557ab1"},
        {"work/vwdt006.gjs", "3b75c1781c752983"},
        {"work/vwdt007.gjs", "ab64c5ea8c83a635"},
        {"work/vwt1.gjs", "6c452c42f656ae50"},
        {"work/vwt2.gjs", "6c452c42f656ae50"},
        {"work/vwt3.gjs", "6c452c42f656ae50"},
        {"work/vwt4.gjs", "6c452c42f656ae50"},
        {"work/vwt5.gjs", "6c452c42f656ae50"},
        {"work/vwt6.gjs", "6c452c42f656ae50"},
        {"work/vwt7.gjs", "6c452c42f656ae50"},
        {"work/vwv1.gjs", "8fc03dee29ff2c12"},
        {"work/vwv2.gjs", "fd0c8ff296a1ef1f"},
        {"work/vwv3.gjs", "fd8f21316fd72c11"},
        {"work/vwv4.gjs", "8262658deffe4d5a"},
        {"work/vwv5.gjs", "beefbd7dce8fb2de"},
        {"work/vwv6.gjs", "f7f94201a72080f2"},
        {"work/vwv7.gjs", "384c9c7ee7e99a51"},
    });
}

TEST(PinnedOutputs, CmykDocument)
{
    ExpectSums(4, {
        {"doc_qz58.bmp", "69ee8a96ac16824f"},
        {"print.tif", "e50a959813070365"},
        {"views.gif", "92b297f794d84fca"},
        {"views.psd", "0c92b2114834d6bb"},
        {"work/ly1.gjs", "36fd9790f3d00e9a"},
        {"work/ly2.gjs", "7872d41b76374bd8"},
        {"work/ly3.gjs", "b47b296aee6f0530"},
        {"work/ly4.gjs", "933fcde6f2457d8f"},
        {"work/ly5.gjs", "8f099ca9e834150d"},
        {"work/lyt1.gjs", "9d433bb72e30a865"},
        {"work/lyt2.gjs", "2c422eec7422de60"},
        {"work/lyt3.gjs", "6cd6ee59bb717711"},
        {"work/lyt4.gjs", "c7d5b98e8371ead1"},
        {"work/lyt5.gjs", "32d872f7ca56544e"},
        {"work/vw1.gjs", "e062fa5fa4218353"},
        {"work/vw2.gjs", "5724f0d4a1ee7a4f"},
        {"work/vw3.gjs", "d6652cc78dd4b067"},
        {"work/vw4.gjs", "7beea5f876fbb427"},
        {"work/vw5.gjs", "dbf7a5775b52fe33"},
        {"work/vw6.gjs", "42318d1600fad5ad"},
        {"work/vw7.gjs", "2d328e6bee60e96d"},
        {"work/vwd001.gjs", "c78e8fd4778a666e"},
        {"work/vwd002.gjs", "43757312d2a1ea9c"},
        {"work/vwd003.gjs", "6c85f734d00a8a44"},
        {"work/vwd004.gjs", "32c97eb5844699d5"},
        {"work/vwd005.gjs", "494a69b3a0d508df"},
        {"work/vwd006.gjs", "b33872433b0f3a27"},
        {"work/vwd007.gjs", "056a797523330784"},
        {"work/vwdt001.gjs", "20665631391ca47f"},
        {"work/vwdt002.gjs", "801deefc9781d6f5"},
        {"work/vwdt003.gjs", "9b50469982e3fcb1"},
        {"work/vwdt004.gjs", "53d15063fa524e7c"},
        {"work/vwdt005.gjs", "3b96f6734a00472f"},
        {"work/vwdt006.gjs", "2bdee0ac5ff30e03"},
        {"work/vwdt007.gjs", "267b63cd6f161f25"},
        {"work/vwt1.gjs", "6c452c42f656ae50"},
        {"work/vwt2.gjs", "6c452c42f656ae50"},
        {"work/vwt3.gjs", "6c452c42f656ae50"},
        {"work/vwt4.gjs", "6c452c42f656ae50"},
        {"work/vwt5.gjs", "6c452c42f656ae50"},
        {"work/vwt6.gjs", "6c452c42f656ae50"},
        {"work/vwt7.gjs", "6c452c42f656ae50"},
        {"work/vwv1.gjs", "689bb65bf1a2a211"},
        {"work/vwv2.gjs", "481c5b5161c3776d"},
        {"work/vwv3.gjs", "f082997e9bd2259a"},
        {"work/vwv4.gjs", "9489d6c8a553fff5"},
        {"work/vwv5.gjs", "69f733e500063276"},
        {"work/vwv6.gjs", "22c4532a380847eb"},
        {"work/vwv7.gjs", "d77cb71106e3a1d2"},
    });
}

namespace {

// The RGB document opened through a project with contour lines on two plain
// layers (one with two nested orders), cut to the columns every view covers, with the
// adaptive GIF palette: every output, every work file (the relief views too)
// and the text of the project the run saves, its date line and the PSD's
// folder aside.
std::map<QString, QString> ReliefProjectSums()
{
    QTemporaryDir dir;
    // The background opaque, so that the crop finds columns every view covers.
    PsdBuilder b = SampleDocument(3);
    for (PsdBuilderChannel &channel : b.Layers[0].Channels)
        if (channel.Id < 0)
            channel.Plane.fill(char(255));
    WriteFileBytes(dir.path() + QStringLiteral("/doc.psd"), b.Build());
    const QString project = dir.path() + QStringLiteral("/doc.hx4p3");
    WriteFileBytes(project, "doc.psd\r\n 4.00000000000000E+0001 7 3  1.50000000000000E+0000\r\n"
                            "99101 5 1600 120\r\na\r\nb\r\nc\r\nd\r\ndate\r\n"
                            " 6.00000000000000E+0002  6.00000000000000E+0000  4.00000000000000E-0001 2 1\r\n"
                            "12\r\n-8\r\n0\r\n5\r\n-20\r\n"
                            "7 5  1.00000000000000E+0000\r\n4 3  2.50000000000000E+0000\r\n"
                            "7 5  1.00000000000000E+0000\r\n9 7  1.50000000000000E+0000\r\n"
                            "7 5  1.00000000000000E+0000\r\n"
                            "1 3 0 3\r\n260 10 600 12 580 48 270 45 \r\r\n"
                            "1 6 0 2\r\n350 20 500 22 480 40 \r\r\n"
                            "2 2 0 2\r\n10 35 250 38 200 85 \r\r\n");
    const QString work = dir.path() + QStringLiteral("/work");
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(
        VistrelProgram(),
        {QStringLiteral("--export-tiff"), dir.path() + QStringLiteral("/print.tif"), QStringLiteral("--export-psd"),
         dir.path() + QStringLiteral("/views.psd"), QStringLiteral("--export-gif"), dir.path() + QStringLiteral("/views.gif"),
         QStringLiteral("--gif-palette"), QStringLiteral("adaptive"), QStringLiteral("--anaglyph"),
         QStringLiteral("--crop-edges"), QStringLiteral("--save-project"), dir.path() + QStringLiteral("/again.hx4p3"),
         QStringLiteral("--work-folder"), work, project},
        &code, &err);
    EXPECT_EQ(code, 0) << out.toStdString() << err.toStdString();
    std::map<QString, QString> sums;
    AddOutputSums(sums, dir.path(), work);
    sums[QStringLiteral("again.hx4p3")] = ProjectTextSum(dir.path() + QStringLiteral("/again.hx4p3"));
    return sums;
}

}  // namespace

TEST(PinnedOutputs, ReliefProjectCroppedWithTheAdaptivePalette)
{
    const std::map<QString, QString> expected = {
        {"again.hx4p3", "aba54f7c47fb6142"},
        {"doc_qz58.bmp", "fd8b3575de9fe9c8"},
        {"print.tif", "edb7281295c7ff95"},
        {"views.gif", "a79ef6e52eca5f76"},
        {"views.psd", "66a3a9edac003d44"},
        {"work/2gx1.gjs", "252692b4961b356c"},
        {"work/2gx2.gjs", "7fe2628823975ba1"},
        {"work/2gx3.gjs", "c6bdb350a2f6dd5e"},
        {"work/2gx4.gjs", "ba42ff1ab8db2db4"},
        {"work/2gx5.gjs", "5a1860379b18ec54"},
        {"work/2gx6.gjs", "470b6eca75080367"},
        {"work/2gx7.gjs", "dfbb40e707558d1a"},
        {"work/2gxt1.gjs", "1e2a43b5fdf25422"},
        {"work/2gxt2.gjs", "72f7f2c73ad817b4"},
        {"work/2gxt3.gjs", "491787852b56c3c6"},
        {"work/2gxt4.gjs", "f780fe47063ff09e"},
        {"work/2gxt5.gjs", "6db6afad72a8ee78"},
        {"work/2gxt6.gjs", "adc068a43a31d63e"},
        {"work/2gxt7.gjs", "16aa65176bbacdba"},
        {"work/2xgx1.gjs", "1d6f13a4f17580b9"},
        {"work/2xgx2.gjs", "63f86a4bf97da0a3"},
        {"work/2xgx3.gjs", "24a0899149d6ee17"},
        {"work/2xgx4.gjs", "cc323ad1e9bef3e4"},
        {"work/2xgx5.gjs", "cc5d5f502fe81a3d"},
        {"work/2xgx6.gjs", "2d907f11267a2e30"},
        {"work/2xgx7.gjs", "afba2abf5fd166de"},
        {"work/2xgxt1.gjs", "f36346b2c5e85948"},
        {"work/2xgxt2.gjs", "8be4b10c8e3acbf4"},
        {"work/2xgxt3.gjs", "21cfa2a7ef25b6a8"},
        {"work/2xgxt4.gjs", "93e385a388539d4f"},
        {"work/2xgxt5.gjs", "ae78efc4f0c4eafe"},
        {"work/2xgxt6.gjs", "f1b0057df03820da"},
        {"work/2xgxt7.gjs", "49ff757db6d9c884"},
        {"work/3gx1.gjs", "66cc0e82a73f8e5a"},
        {"work/3gx2.gjs", "c589bc57cefa6730"},
        {"work/3gx3.gjs", "6bba57a2c2895db9"},
        {"work/3gx4.gjs", "393468cbbaaf142c"},
        {"work/3gx5.gjs", "ca26909227663bc7"},
        {"work/3gx6.gjs", "17ade3347e1b578b"},
        {"work/3gx7.gjs", "8e770e7d274b70b8"},
        {"work/3gxt1.gjs", "d54b4b4705a4cad2"},
        {"work/3gxt2.gjs", "309bbdc601824ba7"},
        {"work/3gxt3.gjs", "3481c0a455070d73"},
        {"work/3gxt4.gjs", "79d7fb9d1e4d879c"},
        {"work/3gxt5.gjs", "0f7526d007988b64"},
        {"work/3gxt6.gjs", "d665433ff660b6a4"},
        {"work/3gxt7.gjs", "0b6ef8b99ab36da5"},
        {"work/3xgx1.gjs", "9a45f1668c59f81c"},
        {"work/3xgx2.gjs", "4ab5e83177d8cfab"},
        {"work/3xgx3.gjs", "bbe83cbd56d1c99f"},
        {"work/3xgx4.gjs", "f791c1ad8c7fe4ec"},
        {"work/3xgx5.gjs", "a4483b31eac1fdb0"},
        {"work/3xgx6.gjs", "cee9c28a9edd00e8"},
        {"work/3xgx7.gjs", "dbe53c7e29098ea8"},
        {"work/3xgxt1.gjs", "e7d809e5753e3ab4"},
        {"work/3xgxt2.gjs", "1e8314b4574b05ee"},
        {"work/3xgxt3.gjs", "3875a08bb27e748f"},
        {"work/3xgxt4.gjs", "2865a980d590fb7c"},
        {"work/3xgxt5.gjs", "38388b56116c8997"},
        {"work/3xgxt6.gjs", "ee54b02a1ef5460e"},
        {"work/3xgxt7.gjs", "7b2eb4e0cdd4758b"},
        {"work/ly1.gjs", "1cc297f6afcf4b4a"},
        {"work/ly2.gjs", "b2d57e6a90317ed7"},
        {"work/ly3.gjs", "3b30b23b1eee4a32"},
        {"work/ly4.gjs", "11c5dc59e68bb75d"},
        {"work/ly5.gjs", "913db085a2ded6ca"},
        {"work/lyt1.gjs", "247b7f623bff7ae2"},
        {"work/lyt2.gjs", "fa851cc21a0e13a2"},
        {"work/lyt3.gjs", "dfdc6f19830f375d"},
        {"work/lyt4.gjs", "464bf2bff16d2c98"},
        {"work/lyt5.gjs", "eec86586968c7fea"},
        {"work/vw1.gjs", "893fc63b234d6067"},
        {"work/vw2.gjs", "7b11b0dd7e51a1de"},
        {"work/vw3.gjs", "30bcea024b2b654f"},
        {"work/vw4.gjs", "820d10a88b66b3e5"},
        {"work/vw5.gjs", "d6b34ab98118f912"},
        {"work/vw6.gjs", "d7cf675c097dc6ff"},
        {"work/vw7.gjs", "7cea6bbafe230054"},
        {"work/vwd001.gjs", "a7fceda8d34fe628"},
        {"work/vwd002.gjs", "5a2cda1adec549f3"},
        {"work/vwd003.gjs", "7a7af059d98d1fcc"},
        {"work/vwd004.gjs", "d8330db2af5c8a74"},
        {"work/vwd005.gjs", "5851532215dfb56e"},
        {"work/vwd006.gjs", "4023b17e391b0f54"},
        {"work/vwd007.gjs", "be1d3d3a612ce0d4"},
        {"work/vwdt001.gjs", "c1a4ef0529561f35"},
        {"work/vwdt002.gjs", "c1a4ef0529561f35"},
        {"work/vwdt003.gjs", "c1a4ef0529561f35"},
        {"work/vwdt004.gjs", "c1a4ef0529561f35"},
        {"work/vwdt005.gjs", "c1a4ef0529561f35"},
        {"work/vwdt006.gjs", "c1a4ef0529561f35"},
        {"work/vwdt007.gjs", "c1a4ef0529561f35"},
        {"work/vwt1.gjs", "7701d748828d130a"},
        {"work/vwt2.gjs", "7701d748828d130a"},
        {"work/vwt3.gjs", "7701d748828d130a"},
        {"work/vwt4.gjs", "7701d748828d130a"},
        {"work/vwt5.gjs", "7701d748828d130a"},
        {"work/vwt6.gjs", "7701d748828d130a"},
        {"work/vwt7.gjs", "7701d748828d130a"},
    };
    const std::map<QString, QString> actual = ReliefProjectSums();
    QString listing;
    for (const auto &[name, sum] : actual)
        listing += QStringLiteral("        {\"%1\", \"%2\"},\n").arg(name, sum);
    EXPECT_EQ(actual, expected) << listing.toStdString();
}

namespace {

class PinnedWindowTest : public WindowTest {};

}  // namespace

// The same outputs made through the window: import, Preview, Stop, the print,
// the layered PSD, the GIF, the anaglyph and the project saved beside the PSD.
TEST_F(PinnedWindowTest, AWindowDrivenRun)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("doc.psd"), SampleDocument(3).Build());
    ASSERT_TRUE(f.ImportPsd(psd));
    f.LpiEdit->setText(QStringLiteral("40"));
    f.DpiCombo->setEditText(QStringLiteral("600"));
    f.WidthEdit->setText(QStringLiteral("6"));
    f.DepthEdit->setText(QStringLiteral("1.5"));
    f.PreviewViews();
    f.StopAnimation();
    f.AnimationFrame();
    const QString folder = platform.Sandbox.path() + QLatin1Char('/');
    platform.SaveAnswers.push_back(folder + QStringLiteral("print.tif"));
    f.ExportInterlacedPrint();
    platform.SaveAnswers.push_back(folder + QStringLiteral("views.psd"));
    f.ExportLayeredPsd();
    platform.SaveAnswers.push_back(folder + QStringLiteral("views.gif"));
    f.ExportAnimatedGif();
    f.ShowAnaglyph();  // the anaglyph, beside the PSD
    f.SaveProjectBesidePsd();  // the project, beside the PSD
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("Please put on 3d glasses to see the 3d picture.")});

    std::map<QString, QString> actual;
    AddOutputSums(actual, platform.Sandbox.path());
    ASSERT_GT(ReadFileBytes(folder + QStringLiteral("doc.hx4p3")).split('\n').size(), 7);
    actual[QStringLiteral("doc.hx4p3")] = ProjectTextSum(folder + QStringLiteral("doc.hx4p3"));
    // The print, the layered PSD, the GIF and the anaglyph are those the batch
    // mode makes of the same document (RgbDocumentWithAFlipGroup above).
    const std::map<QString, QString> expected = {
        {"doc.hx4p3", "52b54b1344d4e619"},
        {"doc_qz58.bmp", "3e33288ad05dd18f"},
        {"print.tif", "24d67f14959e2fb2"},
        {"views.gif", "b012a70875b41f1e"},
        {"views.psd", "ad2c12e5188ac3d5"},
    };
    QString listing;
    for (const auto &[name, sum] : actual)
        listing += QStringLiteral("        {\"%1\", \"%2\"},\n").arg(name, sum);
    EXPECT_EQ(actual, expected) << listing.toStdString();
}

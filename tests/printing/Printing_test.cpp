// Printing from the main window: the chromatogram and a history entry onto PDF pages, the
// refusals, and a real print through a private print spooler.
#include "mainwindow/Mainwindowfixture.h"

#include "results/History.h"
#include "support/Childprocess.h"
#include "support/Uniformcalibration.h"
#include "testsupport/Scratchfolder.h"
#include "views/Chromatogrampanel.h"
#include "views/Chromatogramprinter.h"
#include "views/Historypage.h"
#include "views/Stationprinter.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>

#include <gmock/gmock.h>

#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

// What a message box showed before the test answered it.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the message boxes that come, in order, with the given buttons, keeping what each showed.
std::shared_ptr<std::vector<SeenBox>> answerBoxes(std::vector<QMessageBox::StandardButton> buttons)
{
    auto seen = std::make_shared<std::vector<SeenBox>>();
    auto poll = std::make_shared<std::function<void()>>();
    auto left = std::make_shared<std::vector<QMessageBox::StandardButton>>(std::move(buttons));
    const QDeadlineTimer deadline(60'000);
    *poll = [seen, poll, left, deadline] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            seen->push_back({box->windowTitle(), box->text(), box->icon()});
            QAbstractButton* button = box->button(left->front());
            left->erase(left->begin());
            if (button)
                button->click();
            else
                box->reject();
        }
        if (left->empty() || deadline.hasExpired()) {
            *poll = nullptr;  // ends the cycle of the lambda holding itself
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
    return seen;
}

struct ToolRun {
    bool ran = false;
    QString output;
};

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    run.ran = process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

// What pdfinfo says of a file.
struct PdfInfo {
    int pages = 0;
    double width = 0;
    double height = 0;
    int rotation = 0;
    QString title;
    bool landscape() const { return rotation % 180 == 0 ? width > height : height > width; }
};

PdfInfo pdfInfo(const fs::path& file)
{
    const ToolRun run = runTool("pdfinfo", {QString::fromStdString(file.string())});
    EXPECT_TRUE(run.ran) << file;
    PdfInfo info;
    for (const QString& line : run.output.split('\n')) {
        const QString value = line.section(':', 1).trimmed();
        if (line.startsWith("Pages:"))
            info.pages = value.toInt();
        else if (line.startsWith("Title:"))
            info.title = value;
        else if (line.startsWith("Page rot:"))
            info.rotation = value.toInt();
        else if (line.startsWith("Page size:")) {
            const QStringList parts = value.split(' ', Qt::SkipEmptyParts);
            if (parts.size() >= 3) {
                info.width = parts[0].toDouble();
                info.height = parts[2].toDouble();
            }
        }
    }
    return info;
}

QString pdfText(const fs::path& file)
{
    const ToolRun run = runTool("pdftotext", {"-layout", QString::fromStdString(file.string()), "-"});
    EXPECT_TRUE(run.ran) << file;
    return run.output;
}

// The page as an operator sees it, kept with its PDF beside the tests for people to look at.
QImage renderPage(const fs::path& pdf, const fs::path& pngWithoutExtension)
{
    fs::copy_file(pdf, fs::path(pngWithoutExtension).replace_extension(".pdf"), fs::copy_options::overwrite_existing);
    const ToolRun run = runTool("pdftoppm", {"-r", "150", "-png", "-singlefile", QString::fromStdString(pdf.string()),
                                             QString::fromStdString(pngWithoutExtension.string())});
    EXPECT_TRUE(run.ran) << pdf;
    return QImage(QString::fromStdString(pngWithoutExtension.string() + ".png"));
}

// Pixels near a colour (the renderer smooths edges).
int pixelsNear(const QImage& image, QColor colour, int tolerance = 60)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance
                     && std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return count;
}

// The first and last column (or row) holding a pixel near the colour: how far it reaches.
std::pair<int, int> extentNear(const QImage& image, QColor colour, Qt::Orientation across = Qt::Horizontal,
                               int tolerance = 60)
{
    const bool horizontal = across == Qt::Horizontal;
    const int lines = horizontal ? image.width() : image.height();
    const int length = horizontal ? image.height() : image.width();
    int first = lines;
    int last = -1;
    for (int i = 0; i < lines; ++i)
        for (int j = 0; j < length; ++j) {
            const QColor c = horizontal ? image.pixelColor(i, j) : image.pixelColor(j, i);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance
                && std::abs(c.blue() - colour.blue()) <= tolerance) {
                first = std::min(first, i);
                last = i;
                break;
            }
        }
    return {first, last};
}

// A page as the printer makes it: one landscape page titled "Хроматограмма" whose text holds
// the axis caption and the gas labels.
void expectChromatogramPage(const fs::path& pdf)
{
    ASSERT_TRUE(fs::exists(pdf)) << pdf;
    const PdfInfo info = pdfInfo(pdf);
    EXPECT_EQ(info.pages, 1);
    EXPECT_TRUE(info.landscape()) << info.width << " x " << info.height << ", turned " << info.rotation;
    EXPECT_EQ(info.title, QStringLiteral("Хроматограмма"));
    const std::string text = pdfText(pdf).toStdString();
    for (const char* shown : {"Время, с", "U, мВ", "C1", "C6"})
        EXPECT_THAT(text, HasSubstr(shown));
}

// Blue, so that the curve is told from the black frame and texts on the page.
constexpr std::uint32_t curveBlue = 0xC00000;

class PrintingTest : public mainwindow::MainWindowFixture {
protected:
    PrintingTest()
    {
        for (const char* variable : {"NIVRA_PRINT_PDF", "CUPS_SERVER", "LPDEST", "PRINTER"})
            ::unsetenv(variable);
        test::writeUniformCalibration(folder / "calibr.ini");
    }
    ~PrintingTest() override
    {
        for (const char* variable : {"NIVRA_PRINT_PDF", "CUPS_SERVER"})
            ::unsetenv(variable);
    }

    // One analysis by hand against the simulated chromatograph, every gas measured.
    TNivraMainForm& openAfterAnalysis()
    {
        simulator.emplace(CHROMSIM_PATH, std::vector<std::string>{"--speed", "40", "--length", "85", "--seed", "11"});
        const std::string terminal = simulator->firstLine();
        EXPECT_FALSE(terminal.empty()) << simulator->errors();
        TNivraMainForm& form = open([&](Configuration& settings) {
            settings.demo = false;
            settings.portName = terminal;
            settings.curveColor = curveBlue;
        });
        form.startButton()->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !station->idle(); }, 20000)) << station->system().curve.title();
        EXPECT_TRUE(QTest::qWaitFor([&] { return station->idle(); }, 90000)) << simulator->errors();
        return form;
    }

    void printTo(const fs::path& pdf) { ::setenv(StationPrinter::pdfVariable, pdf.c_str(), 1); }

    bool waitForPrint(TNivraMainForm& form)
    {
        return QTest::qWaitFor([&] { return !form.chromatogramPrinter()->busy(); }, 60000);
    }

    // The first picture of the history page, in the window's coordinates of the pictures.
    QPoint firstPicture(TNivraMainForm& form)
    {
        HistoryPage* page = form.historyPage();
        const GridRect cell = History::entryRect(0, page->pictures()->width(), page->pictures()->height(), page->margin());
        return QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    }

    fs::path output(const std::string& name) const { return fs::path(PRINT_OUTPUT_DIR) / name; }

    std::optional<test::ChildProcess> simulator;
};

TEST_F(PrintingTest, TheChromatogramIsPrintedOnALandscapePageAfterTheQuestion)
{
    TNivraMainForm& form = openAfterAnalysis();
    ASSERT_TRUE(station->idle());
    QAbstractButton* print = form.chromatogramPanel()->printButton();
    ASSERT_TRUE(print->isEnabled());
    const fs::path pdf = folder / "chromatogram.pdf";
    printTo(pdf);

    auto refused = answerBoxes({QMessageBox::No});
    print->click();
    ASSERT_EQ(refused->size(), 1u);
    EXPECT_EQ(refused->at(0).caption, QStringLiteral("  Печать"));
    EXPECT_EQ(refused->at(0).text, QStringLiteral("Распечатать хроматограмму ?"));
    EXPECT_FALSE(form.chromatogramPrinter()->busy());
    EXPECT_FALSE(fs::exists(pdf)) << "No prints nothing";

    auto asked = answerBoxes({QMessageBox::Yes});
    print->click();
    ASSERT_EQ(asked->size(), 1u);
    EXPECT_FALSE(print->isEnabled()) << "off while the page is made";
    EXPECT_FALSE(form.historyPage()->printButton()->isEnabled());
    ASSERT_TRUE(waitForPrint(form));
    EXPECT_TRUE(print->isEnabled());
    EXPECT_TRUE(form.historyPage()->printButton()->isEnabled());

    expectChromatogramPage(pdf);
    const std::string text = pdfText(pdf).toStdString();
    EXPECT_THAT(text, HasSubstr("сумм_газ = ")) << "the results box";
    const QRegularExpression stamp(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d{1,2}:\\d\\d:\\d\\d"));
    EXPECT_TRUE(stamp.match(QString::fromStdString(text)).hasMatch()) << "the time stamp under the box";
    // The live curve keeps its own look on the screen.
    EXPECT_EQ(station->system().curve.backgroundColour(), configuration.backgroundColor);

    const QImage page = renderPage(pdf, output("chromatogram"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_GT(pixelsNear(page, Qt::white, 10), page.width() * page.height() / 2) << "a white page";
    EXPECT_GT(pixelsNear(page, Qt::black, 40), page.height()) << "frame and texts in black";
    // The 85 s analysis on a screen of 120 s: the curve runs from the left edge of the plot
    // across about two thirds of the page.
    const auto [first, last] = extentNear(page, QColor(0, 0, 0xC0));
    EXPECT_LT(first, page.width() / 10);
    EXPECT_GT(last - first, page.width() / 2);
}

TEST_F(PrintingTest, AHistoryEntryIsPrintedWithItsWindowsFromADoubleClickOrTheButton)
{
    TNivraMainForm& form = openAfterAnalysis();
    ASSERT_EQ(station->system().history.entryCount(), 1u);
    form.pages()->setCurrentWidget(form.historyPage());
    const fs::path pdf = folder / "history.pdf";
    printTo(pdf);

    auto declined = answerBoxes({QMessageBox::No});
    form.historyPage()->printButton()->click();
    ASSERT_EQ(declined->size(), 1u);
    EXPECT_EQ(declined->at(0).text, QStringLiteral("Распечатать хроматограмму ?"));
    EXPECT_FALSE(fs::exists(pdf));

    ASSERT_TRUE(QTest::qWaitFor([&] { return form.historyPage()->pictures()->isVisible(); }, 20000));
    auto asked = answerBoxes({QMessageBox::Yes});
    QTest::mouseDClick(form.historyPage()->pictures(), Qt::LeftButton, {}, firstPicture(form));
    ASSERT_EQ(asked->size(), 1u);
    EXPECT_EQ(asked->at(0).caption, QStringLiteral("  Печать"));
    ASSERT_TRUE(waitForPrint(form));

    expectChromatogramPage(pdf);
    const std::string text = pdfText(pdf).toStdString();
    const MyGraphics& entry = station->system().history.entry(0);
    EXPECT_THAT(text, Not(HasSubstr(entry.title()))) << "the entry's title is not a failure box over the page";
    EXPECT_THAT(text, Not(HasSubstr("сумм_газ"))) << "an entry keeps no results box";
    // The concentration labels of the measured gases stand over their peaks.
    int labels = 0;
    for (const GazArea& mark : entry.marks())
        labels += mark.hasResult && text.find(QString::fromStdString(mark.resultText).trimmed().toStdString()) != std::string::npos;
    EXPECT_GE(labels, 3);

    const QImage page = renderPage(pdf, output("history-entry"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(pixelsNear(page, Qt::white, 10), page.width() * page.height() / 2);
    const auto [first, last] = extentNear(page, QColor(0, 0, 0xC0));
    EXPECT_LT(first, page.width() / 10);
    EXPECT_GT(last - first, page.width() / 2) << "the expanded entry spans the analysis as the live curve did";
}

TEST_F(PrintingTest, NothingIsPrintedWhileACycleRuns)
{
    TNivraMainForm& form = open([](Configuration& settings) { settings.demo = true; });
    const fs::path pdf = folder / "refused.pdf";
    printTo(pdf);
    form.startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station->idle(); }, 20000)) << station->system().curve.title();

    auto seen = answerBoxes({QMessageBox::Ok});
    form.chromatogramPanel()->printButton()->click();
    ASSERT_EQ(seen->size(), 1u) << "no question after the refusal";
    EXPECT_EQ(seen->at(0).caption, QStringLiteral("  ОШИБКА"));
    EXPECT_EQ(seen->at(0).text, QStringLiteral("Невозможно выполнить печать. Дождитесь окончания цикла хроматографа"));
    EXPECT_EQ(seen->at(0).icon, QMessageBox::Critical);
    EXPECT_FALSE(form.chromatogramPrinter()->busy());
    EXPECT_FALSE(fs::exists(pdf));
}

TEST_F(PrintingTest, WithoutAPrinterTheOperatorIsToldAndNothingElseHappens)
{
    // No PDF file named and a print server that cannot be there: no printer at all.
    ::setenv("CUPS_SERVER", (folder / "no-spooler.sock").c_str(), 1);
    TNivraMainForm& form = open();
    auto seen = answerBoxes({QMessageBox::Yes, QMessageBox::Ok});
    form.chromatogramPanel()->printButton()->click();
    ASSERT_EQ(seen->size(), 2u);
    EXPECT_EQ(seen->at(1).caption, QStringLiteral("  ОШИБКА"));
    EXPECT_EQ(seen->at(1).text, QStringLiteral("Невозможно выполнить печать. Проверьте, установлен ли принтер в системе"));
    EXPECT_EQ(seen->at(1).icon, QMessageBox::Critical);
    EXPECT_FALSE(form.chromatogramPrinter()->busy());
    EXPECT_TRUE(form.chromatogramPanel()->printButton()->isEnabled());

    // The history's print asks, and with no entry selected there is nothing to print.
    ASSERT_EQ(station->system().history.selectedEntry(), nullptr);
    auto empty = answerBoxes({QMessageBox::Yes});
    form.historyPage()->printButton()->click();
    ASSERT_EQ(empty->size(), 1u);
    EXPECT_EQ(empty->at(0).text, QStringLiteral("Распечатать хроматограмму ?"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // With an entry it says what the chart's print said.
    auto again = answerBoxes({QMessageBox::Yes, QMessageBox::Ok});
    station->system().history.add(station->system().curve);
    form.historyPage()->printButton()->click();
    ASSERT_EQ(again->size(), 2u);
    EXPECT_EQ(again->at(1).text, seen->at(1).text);
}

TEST_F(PrintingTest, APageThePrinterRefusesIsToldAsAMissingPrinter)
{
    printTo(folder / "no-such-folder" / "page.pdf");
    TNivraMainForm& form = open();
    auto seen = answerBoxes({QMessageBox::Yes, QMessageBox::Ok});
    form.chromatogramPanel()->printButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen->size() == 2; }, 60000));
    EXPECT_EQ(seen->at(1).text, QStringLiteral("Невозможно выполнить печать. Проверьте, установлен ли принтер в системе"));
    EXPECT_FALSE(form.chromatogramPrinter()->busy());
    EXPECT_TRUE(form.chromatogramPanel()->printButton()->isEnabled());
}

// A print spooler of the test's own: its configuration, spool and socket in a scratch folder,
// the PDF printer of cups-pdf its default.
class PrivateSpooler {
public:
    static constexpr const char* printerName = "NivraPDF";

    // Empty when it runs; else why it could not be started.
    std::string start()
    {
        for (const char* tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/bin/lpstat", "/usr/lib/cups/backend/cups-pdf"})
            if (!fs::exists(tool))
                return std::string(tool) + " is not installed";
        if (::geteuid() != 0)
            return "a private cupsd and the cups-pdf backend need root";
        if (!fs::exists(ppd))
            return ppd + " is missing";
        // The filters run as another user and go through these folders.
        fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                            | fs::perms::others_read | fs::perms::others_exec);
        for (const char* sub : {"conf", "spool", "cache", "state", "tmp", "log"})
            fs::create_directories(folder_ / sub);
        // The filters write their temporary files here as the spooler's own user.
        fs::permissions(folder_ / "tmp", fs::perms::all | fs::perms::sticky_bit);
        const std::string root = folder_.path().string();
        std::ofstream(folder_ / "conf" / "cups-files.conf")
            << "ServerRoot " << root << "/conf\nRequestRoot " << root << "/spool\nCacheDir " << root
            << "/cache\nStateDir " << root << "/state\nTempDir " << root << "/tmp\nErrorLog " << root
            << "/log/error_log\nAccessLog " << root << "/log/access_log\nPageLog " << root
            << "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\nFileDevice No\n";
        std::ofstream(folder_ / "conf" / "cupsd.conf")
            << "Listen " << socket().string() << "\nLogLevel info\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
            << "ErrorPolicy abort-job\n"
            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        // Job numbers of this process's own: the backend names its files by them, in a folder
        // that other runs of this test share.
        std::ofstream(folder_ / "cache" / "job.cache") << "NextJobId " << 1000 + ::getpid() % 1'000'000 << "\n";
        daemon_.emplace("/usr/sbin/cupsd", std::vector<std::string>{"-f", "-c", root + "/conf/cupsd.conf", "-s",
                                                                    root + "/conf/cups-files.conf"});
        const bool running = QTest::qWaitFor(
            [&] { return runTool("lpstat", {"-h", server(), "-r"}).output.contains("scheduler is running"); }, 30000);
        if (!running)
            return "cupsd did not start: " + daemon_->errors();
        if (!runTool("lpadmin", {"-h", server(), "-p", printerName, "-v", "cups-pdf:/", "-P",
                                 QString::fromStdString(ppd), "-E"}).ran
            || !runTool("lpadmin", {"-h", server(), "-d", printerName}).ran)
            return "lpadmin could not add the printer";
        return {};
    }

    fs::path socket() const { return folder_ / "cups.sock"; }
    QString server() const { return QString::fromStdString(socket().string()); }

    // The number of the first job the spooler finished, once there is one.
    std::optional<int> completedJob() const
    {
        const ToolRun run = runTool("lpstat", {"-h", server(), "-W", "completed", "-o", printerName});
        const QRegularExpression job(QStringLiteral("%1-(\\d+)").arg(printerName));
        const auto match = job.match(run.output);
        return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    }

    std::string log() const
    {
        std::ifstream in(folder_ / "log" / "error_log");
        return {std::istreambuf_iterator<char>(in), {}};
    }

    const std::string ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

private:
    platform::ScratchFolder folder_{"nivra-spooler"};
    std::optional<test::ChildProcess> daemon_;  // killed before its folder goes
};

// The files cups-pdf writes for this user while the object lives; removed with it, and their
// folder too when it came with them. They go to "Out" of the backend's configuration
// (${HOME}/PDF by default), which no test can move.
class CupsPdfOutput {
public:
    CupsPdfOutput() : folder_(folderOfUser()), existed_(fs::exists(folder_))
    {
        if (existed_)
            for (const auto& entry : fs::directory_iterator(folder_))
                before_.emplace_back(entry.path(), fs::last_write_time(entry.path()));
    }
    ~CupsPdfOutput()
    {
        for (const fs::path& file : written())
            fs::remove(file);
        std::error_code ignored;
        if (!existed_ && fs::is_empty(folder_, ignored))
            fs::remove(folder_, ignored);
    }

    // The file of a job, written since the object was made.
    fs::path fileOf(int job) const
    {
        for (const fs::path& file : written())
            if (file.filename().string().ends_with("-job_" + std::to_string(job) + ".pdf"))
                return file;
        return {};
    }

    const fs::path& folder() const { return folder_; }

private:
    static fs::path folderOfUser();

    std::vector<fs::path> written() const
    {
        std::vector<fs::path> files;
        std::error_code missing;
        for (const auto& entry : fs::directory_iterator(folder_, missing)) {
            const auto stamp = std::make_pair(entry.path(), fs::last_write_time(entry.path()));
            if (std::find(before_.begin(), before_.end(), stamp) == before_.end())
                files.push_back(entry.path());
        }
        return files;
    }

    fs::path folder_;
    bool existed_;
    std::vector<std::pair<fs::path, fs::file_time_type>> before_;
};

fs::path CupsPdfOutput::folderOfUser()
{
    const passwd* user = ::getpwuid(::geteuid());
    std::string out = "${HOME}/PDF";
    std::ifstream conf("/etc/cups/cups-pdf.conf");
    for (std::string line; std::getline(conf, line);)
        if (line.rfind("Out ", 0) == 0)
            out = line.substr(4);
    const auto replace = [&out](const std::string& name, const std::string& value) {
        for (auto at = out.find(name); at != std::string::npos; at = out.find(name))
            out.replace(at, name.size(), value);
    };
    replace("${HOME}", user ? user->pw_dir : "");
    replace("${USER}", user ? user->pw_name : "");
    return out;
}

TEST_F(PrintingTest, TheDefaultPrinterOfTheSpoolerTakesTheChromatogram)
{
    PrivateSpooler spooler;
    if (const std::string why = spooler.start(); !why.empty())
        GTEST_SKIP() << "no private print spooler: " << why;
    ::setenv("CUPS_SERVER", spooler.socket().c_str(), 1);
    const CupsPdfOutput out;

    TNivraMainForm& form = openAfterAnalysis();
    auto asked = answerBoxes({QMessageBox::Yes});
    form.chromatogramPanel()->printButton()->click();
    ASSERT_EQ(asked->size(), 1u);
    ASSERT_TRUE(waitForPrint(form));
    ASSERT_TRUE(form.chromatogramPanel()->printButton()->isEnabled());

    std::optional<int> job;
    const QDeadlineTimer deadline(180'000);
    while (!(job = spooler.completedJob()) && !deadline.hasExpired())
        QTest::qWait(200);
    ASSERT_TRUE(job) << spooler.log();

    // A job that failed ends too (the spooler aborts it): then the backend wrote no file.
    const fs::path written = out.fileOf(*job);
    ASSERT_FALSE(written.empty()) << "no file of job " << *job << " in " << out.folder() << "\n" << spooler.log();
    const fs::path kept = folder / "spooled.pdf";
    fs::copy_file(written, kept, fs::copy_options::overwrite_existing);

    // The spooler puts the landscape page on the printer's upright sheet, the drawing turned
    // to run along its long side.
    EXPECT_EQ(pdfInfo(kept).pages, 1);
    const QImage page = renderPage(kept, output("spooled-chromatogram"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(pixelsNear(page, Qt::white, 10), page.width() * page.height() / 2);
    const Qt::Orientation along = page.width() > page.height() ? Qt::Horizontal : Qt::Vertical;
    const auto [first, last] = extentNear(page, QColor(0, 0, 0xC0), along);
    EXPECT_GT(last - first, std::max(page.width(), page.height()) / 2) << "the curve came through the spooler";
}

} // namespace

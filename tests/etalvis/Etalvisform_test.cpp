#include "analysis/Gazopts.h"
#include "dialogs/Etalvisform.h"
#include "library/Lockobject.h"
#include "library/Numstr.h"
#include "settings/Inifile.h"
#include "settings/Inistorage.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "widgets/Mybutton.h"
#include "widgets/Mygrid.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void savePicture(QWidget& window, const char* name)
{
    EXPECT_TRUE(window.grab().save(QStringLiteral(NIVRA_ETALVIS_PICTURES "/%1.png").arg(QString::fromUtf8(name))));
}

// Three mixtures over the six default gases: gas i of entry k holds (k + 1) × (i + 1) × 0.2 %
// at an area of 150 per percent, and entry 1 has no area for the third gas.
std::vector<GazEtalLine> programme()
{
    std::vector<GazEtalLine> entries(3);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        entries[k].repeats = 3;
        for (int i = 0; i < 6; ++i) {
            const double concentration = static_cast<double>(k + 1) * (i + 1) * 0.2;
            entries[k].points.push_back({concentration, concentration * 150 * 2});
        }
    }
    entries[1].points[2].area = 0;
    return entries;
}

class EtalVisFormTest : public ::testing::Test {
protected:
    std::unique_ptr<TEtalVisForm> shownForm()
    {
        auto form = std::make_unique<TEtalVisForm>(entries, 2.0, gases, settings);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->plotArea()->repaint();  // the plot lays itself out when painted
        return form;
    }

    // Holds the entry's point and lets it go `up` pixels higher.
    static void drag(TEtalVisForm& form, std::size_t entry, int up)
    {
        QWidget* area = form.plotArea();
        const Surface::Point p = form.plot().pointAt(entry);
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        QTest::mouseMove(area, QPoint(p.x, p.y - up / 2));
        QTest::mouseMove(area, QPoint(p.x, p.y - up));
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y - up));
    }

    test::DecimalSeparatorScope separator{','};
    test::TemporaryDirectory dir;
    std::filesystem::path settings = dir / "хроматограф.ini";
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    std::vector<GazEtalLine> entries = programme();
};

TEST_F(EtalVisFormTest, ShowsATabPerGasWithItsLabelAndCoefficients)
{
    const auto form = shownForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("  Просмотр коэффицентов калибровки"));
    QTabBar& tabs = *form->gasTabs();
    ASSERT_EQ(tabs.count(), 6);
    EXPECT_EQ(tabs.tabText(0), "C1");
    EXPECT_EQ(tabs.tabText(5), "C6");
    EXPECT_EQ(form->gasLabel()->text(), QStringLiteral("Газ - \"C1\""));
    EXPECT_EQ(form->okButton()->text(), QStringLiteral("Применить"));
    EXPECT_EQ(form->cancelButton()->text(), QStringLiteral("Отменить"));
    bool captioned = false;
    for (const QLabel* label : form->findChildren<QLabel*>())
        captioned = captioned || label->text() == QStringLiteral("Зависимость площади от концентрации:");
    EXPECT_TRUE(captioned);

    TMyGrid& grid = *form->grid();
    ASSERT_EQ(grid.colCount(), 4);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral(" № "));
    EXPECT_EQ(grid.cell(0, 1), QStringLiteral(" Конц.,% "));
    EXPECT_EQ(grid.cell(0, 3), QStringLiteral(" Коэф. "));
    EXPECT_EQ(grid.cell(2, 0).trimmed(), "2");
    EXPECT_EQ(grid.cell(2, 1), "0,400000");  // entry 2, gas 1: 2 × 1 × 0.2
    EXPECT_EQ(grid.cell(2, 2), "60,00");     // area ÷ degassing
    EXPECT_EQ(grid.cell(2, 3), "150,0");
    savePicture(*form, "etalvis-c1");

    tabs.setCurrentIndex(2);
    EXPECT_EQ(form->gasLabel()->text(), QStringLiteral("Газ - \"C3\""));
    EXPECT_EQ(form->plot().gas(), 2u);
    EXPECT_EQ(grid.cell(2, 1), "1,200000");
    EXPECT_EQ(grid.cell(2, 2), "0,00");
    EXPECT_EQ(grid.cell(2, 3), "-------");
    form->plotArea()->repaint();
    savePicture(*form, "etalvis-c3");
}

TEST_F(EtalVisFormTest, DraggingAPointChangesOnlyTheViewsCopyOfItsArea)
{
    const auto form = shownForm();
    form->gasTabs()->setCurrentIndex(1);
    form->plotArea()->repaint();
    const double before = entries[0].points[1].area;  // 120, shown as 60

    QWidget* area = form->plotArea();
    const Surface::Point p = form->plot().pointAt(0);
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    EXPECT_DOUBLE_EQ(form->entries()[0].points[1].area, before) << "a press alone changes nothing";
    QTest::mouseMove(area, QPoint(p.x + 40, p.y - 30));
    const double dragged = form->entries()[0].points[1].area;
    EXPECT_GT(dragged, before * 1.5) << "30 pixels up is a good part of a decade";
    EXPECT_DOUBLE_EQ(dragged, form->plot().vertical().value(p.y - 30) * 2.0);
    EXPECT_EQ(form->grid()->cell(1, 2), "60,00") << "the grid follows on release";
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(p.x + 40, p.y - 30));
    EXPECT_EQ(form->grid()->cell(1, 2).toStdString(), lib::formatReal(dragged / 2.0, 2));
    EXPECT_DOUBLE_EQ(form->entries()[0].points[1].concentration, entries[0].points[1].concentration);
    EXPECT_DOUBLE_EQ(form->entries()[1].points[1].area, entries[1].points[1].area);
    EXPECT_DOUBLE_EQ(entries[0].points[1].area, before) << "the caller's programme is a copy";

    // Moving after the release drags nothing.
    QTest::mouseMove(area, QPoint(p.x, p.y));
    EXPECT_DOUBLE_EQ(form->entries()[0].points[1].area, dragged);
    savePicture(*form, "etalvis-dragged");
}

TEST_F(EtalVisFormTest, ApplyAnswersTrueAndCancelFalse)
{
    const struct {
        bool apply;
    } cases[] = {{true}, {false}};
    for (const auto& c : cases) {
        TEtalVisForm form(entries, 2.0, gases, settings);
        modal::answerModal([&form, apply = c.apply](QWidget&) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
            form.plotArea()->repaint();
            drag(form, 2, 80);
            QTest::mouseClick(apply ? form.okButton() : form.cancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(form.execute(), c.apply);
        EXPECT_NE(form.entries()[2].points[0].area, entries[2].points[0].area)
            << "the view keeps its copy; the caller takes it only on true";
    }
}

TEST_F(EtalVisFormTest, AnEmptyProgrammeShowsAnEmptyPlotAndGrid)
{
    TEtalVisForm form({}, 2.0, gases, settings);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.plotArea()->repaint();
    EXPECT_EQ(form.grid()->colCount(), 1);
    QTest::mousePress(form.plotArea(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(form.plotArea(), QPoint(100, 40));
    QTest::mouseRelease(form.plotArea(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 40));
    EXPECT_FALSE(form.plot().picked());
    EXPECT_TRUE(form.entries().empty());
}

TEST_F(EtalVisFormTest, ManyEntriesScrollTheGridWithoutHidingItsRows)
{
    entries.clear();
    for (int k = 0; k < 18; ++k) {
        GazEtalLine& line = entries.emplace_back();
        for (int i = 0; i < 6; ++i)
            line.points.push_back({0.05 * (k + 1) * (i + 1), 120.0 * (k + 1) * (i + 1)});
    }
    const auto form = shownForm();
    TMyGrid& grid = *form->grid();
    EXPECT_EQ(grid.colCount(), 19);
    QScrollBar& bar = *grid.horizontalScrollBar();
    ASSERT_GT(bar.maximum(), 0) << "18 columns do not fit across";
    // Every row in view above the scroll bar.
    const int lastRow = grid.rowViewportPosition(2) + grid.rowHeight(2);
    EXPECT_LE(lastRow, grid.viewport()->height());
    // Shown areas 60 … 960 for the first sixteen: the 17th's 1020 would take the axis to 1e+04.
    EXPECT_EQ(form->plot().vertical().endExponent, 3);
    savePicture(*form, "etalvis-many");
}

TEST_F(EtalVisFormTest, KeepsItsPlacementInTheSettingsFile)
{
    {
        const auto form = shownForm();
        form->setGeometry(QRect(40, 50, 820, 640));
        form->cancelButton()->click();
    }
    lib::WindowPlacement stored{};
    {
        const lib::IniFile ini(settings);
        ASSERT_TRUE(ini.sectionExists(TEtalVisForm::placementSection));
        lib::loadWindowPlacement(stored, TEtalVisForm::placementSection, ini);
    }
    EXPECT_EQ(stored.left, 40);
    EXPECT_EQ(stored.top, 50);
    EXPECT_EQ(stored.width, 820);
    EXPECT_EQ(stored.height, 640);

    TEtalVisForm again(entries, 2.0, gases, settings);
    EXPECT_EQ(again.geometry(), QRect(40, 50, 820, 640));

    // A placement far off every screen opens the window in view instead.
    {
        lib::IniFile ini(settings);
        lib::saveWindowPlacement({-9000, -9000, 820, 640, 0}, TEtalVisForm::placementSection, ini);
    }
    TEtalVisForm offScreen(entries, 2.0, gases, settings);
    ASSERT_NE(offScreen.screen(), nullptr);
    EXPECT_TRUE(offScreen.screen()->availableGeometry().intersects(offScreen.geometry()));
}

} // namespace

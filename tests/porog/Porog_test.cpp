#include "dialogs/Netlistform.h"
#include "dialogs/Porogform.h"
#include "dialogs/Regcomputerform.h"
#include "settings/Configuration.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "widgets/Mybutton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using modal::answerModal;
using Names = std::vector<std::string>;

bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 30'000);
}

template <typename Window>
void showActive(Window& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

void savePicture(QWidget& window, const char* name)
{
    window.grab().save(QStringLiteral(NIVRA_POROG_PICTURES "/%1.png").arg(QString::fromUtf8(name)));
}

// A network list that answers only when the test lets it, and tells when its search thread is
// done with it.
class SlowSource {
public:
    explicit SlowSource(Names names) : state_(std::make_shared<State>()) { state_->names = std::move(names); }
    ~SlowSource() { open(); }

    ComputerSearch::Source source() const
    {
        struct Release {
            std::shared_ptr<State> state;
            ~Release() { state->released = true; }
        };
        return [state = state_, release = std::make_shared<Release>(state_)] {
            state->calls += 1;
            std::unique_lock guard(state->lock);
            state->changed.wait(guard, [&] { return state->open; });
            return state->names;
        };
    }
    void open()
    {
        {
            const std::lock_guard guard(state_->lock);
            state_->open = true;
        }
        state_->changed.notify_all();
    }
    int calls() const { return state_->calls; }
    bool released() const { return state_->released; }

private:
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        bool open = false;
        Names names;
        std::atomic<int> calls{0};
        std::atomic<bool> released{false};
    };
    std::shared_ptr<State> state_;
};

ComputerSearch::Source fixedSource(Names names)
{
    return [names] { return names; };
}

QStringList entries(const QListWidget& list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

// ---- "  Порог срабатывания хроматографа" ----

class PorogFormTest : public ::testing::Test {
protected:
    PorogFormTest()
    {
        configuration.thresholdValue = 0.05;
        configuration.regComputerName = "localhost";
    }
    test::DecimalSeparatorScope separator{','};
    Configuration configuration;
};

TEST_F(PorogFormTest, ShowsTheThresholdAndTheSourceButtonsAsStored)
{
    for (const bool fromRegistration : {false, true}) {
        configuration.thresholdByTotalGas = fromRegistration;
        TPorogForm form(configuration);
        showActive(form);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("  Порог срабатывания хроматографа"));
        EXPECT_EQ(form.thresholdEdit()->text(), QStringLiteral("0,050"));
        EXPECT_EQ(form.internalSource()->isChecked(), !fromRegistration);
        EXPECT_EQ(form.registrationSource()->isChecked(), fromRegistration);
        EXPECT_EQ(form.registrationSource()->text(), QStringLiteral("С программы \"Регистрация\""));
        // "Справка" opens the help at the threshold (tests/help).
        EXPECT_TRUE(form.helpButton()->isEnabled());
        // The two choices of the work group exist but are never shown.
        int shownRadios = 0;
        for (QRadioButton* radio : form.findChildren<QRadioButton*>())
            shownRadios += radio->isVisible() ? 1 : 0;
        EXPECT_EQ(shownRadios, 2);
        savePicture(form, fromRegistration ? "porog-registration" : "porog-internal");
    }
}

TEST_F(PorogFormTest, OkStoresTheTypedThresholdAndTheSourceInMemory)
{
    const struct {
        const char* typed;
        double stored;
        bool fromRegistration;
    } cases[] = {{"0,5", 0.5, true}, {"0.5", 0.5, false}, {"2,125", 2.125, true}};
    for (const auto& c : cases) {
        configuration.thresholdByTotalGas = !c.fromRegistration;
        TPorogForm form(configuration);
        showActive(form);
        form.thresholdEdit()->selectAll();
        QTest::keyClicks(form.thresholdEdit(), QString::fromUtf8(c.typed));
        QTest::mouseClick(c.fromRegistration ? form.registrationSource() : form.internalSource(), Qt::LeftButton);
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_DOUBLE_EQ(configuration.thresholdValue, c.stored) << c.typed;
        EXPECT_EQ(configuration.thresholdByTotalGas, c.fromRegistration) << c.typed;
    }
}

TEST_F(PorogFormTest, CancelKeepsTheSettings)
{
    TPorogForm form(configuration);
    showActive(form);
    form.thresholdEdit()->setText(QStringLiteral("7"));
    form.registrationSource()->click();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_DOUBLE_EQ(configuration.thresholdValue, 0.05);
    EXPECT_FALSE(configuration.thresholdByTotalGas);
}

TEST_F(PorogFormTest, TheComputerDialogSetsTheNameOnItsOwnOk)
{
    TPorogForm form(configuration);
    form.computerSource = fixedSource({});
    showActive(form);

    answerModal(
        [](QWidget& window) {
            auto* dialog = qobject_cast<TRegComputerForm*>(&window);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->nameEdit()->text(), QStringLiteral("localhost"));
            dialog->nameEdit()->setText(QStringLiteral("reg-pc"));
            dialog->cancelButton()->click();
        },
        &form);
    form.computerButton()->click();
    EXPECT_EQ(configuration.regComputerName, "localhost");

    answerModal(
        [](QWidget& window) {
            auto* dialog = qobject_cast<TRegComputerForm*>(&window);
            ASSERT_NE(dialog, nullptr);
            dialog->nameEdit()->setText(QStringLiteral(" reg-pc "));
            dialog->okButton()->click();
        },
        &form);
    form.computerButton()->click();
    EXPECT_EQ(configuration.regComputerName, "reg-pc");
    // Chosen there, kept whatever the threshold dialog ends with.
    form.cancelButton()->click();
    EXPECT_EQ(configuration.regComputerName, "reg-pc");
}

// ---- "  Дополнительная настройка" ----

TEST(RegComputerForm, OkIsEnabledOnlyWhileANameIsTyped)
{
    TRegComputerForm form(nullptr, QStringLiteral("reg-pc"));
    showActive(form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("  Дополнительная настройка"));
    EXPECT_TRUE(form.okButton()->isEnabled());
    const struct {
        const char* typed;
        bool enabled;
    } cases[] = {{"", false}, {"   ", false}, {"x", true}, {"", false}, {"reg-pc", true}};
    for (const auto& c : cases) {
        form.nameEdit()->selectAll();
        QTest::keyClick(form.nameEdit(), Qt::Key_Delete);
        QTest::keyClicks(form.nameEdit(), QString::fromUtf8(c.typed));
        EXPECT_EQ(form.okButton()->isEnabled(), c.enabled) << '"' << c.typed << '"';
    }
}

TEST(RegComputerForm, EnterConfirmsThroughTheDefaultButtonOnlyWithAName)
{
    TRegComputerForm form(nullptr, QString());
    showActive(form);
    EXPECT_TRUE(form.okButton()->isDefault());
    form.nameEdit()->setFocus();
    QTest::keyClick(form.nameEdit(), Qt::Key_Return);
    EXPECT_TRUE(form.isVisible()) << "an empty name was confirmed";

    QTest::keyClicks(form.nameEdit(), QStringLiteral("reg-pc"));
    QTest::keyClick(form.nameEdit(), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.name(), QStringLiteral("reg-pc"));
}

TEST(RegComputerForm, TheDefaultButtonPutsTheLocalComputer)
{
    TRegComputerForm form(nullptr, QString());
    showActive(form);
    EXPECT_FALSE(form.okButton()->isEnabled());
    form.localButton()->click();
    EXPECT_EQ(form.nameEdit()->text(), QStringLiteral("localhost"));
    EXPECT_TRUE(form.okButton()->isEnabled());
    savePicture(form, "regcomputer");
}

TEST(RegComputerForm, AnEntryTakenFromTheNetworkListReplacesTheName)
{
    TRegComputerForm form(nullptr, QStringLiteral("beta"));
    form.computerSource = fixedSource({"alpha", "beta", "gamma"});
    showActive(form);

    answerModal(
        [](QWidget& window) {
            auto* list = qobject_cast<TNetListForm*>(&window);
            ASSERT_NE(list, nullptr);
            ASSERT_TRUE(waitFor([list] { return !list->searching(); }));
            list->list()->setCurrentRow(2);
            list->okButton()->click();
        },
        &form);
    form.chooseFromNetwork(form.mapToGlobal(form.rect().center()));
    EXPECT_EQ(form.nameEdit()->text(), QStringLiteral("gamma"));

    answerModal([](QWidget& window) { qobject_cast<TNetListForm*>(&window)->cancelButton()->click(); }, &form);
    form.chooseFromNetwork(form.mapToGlobal(form.rect().center()));
    EXPECT_EQ(form.nameEdit()->text(), QStringLiteral("gamma"));
}

// ---- "  Сеть" ----

TEST(NetListForm, IsFilledAfterItIsShownAndSelectsTheCurrentName)
{
    SlowSource slow({"alpha", "beta", "localhost"});
    TNetListForm form(slow.source(), QStringLiteral("beta"));
    EXPECT_EQ(slow.calls(), 0) << "searched before being shown";
    showActive(form);
    ASSERT_TRUE(waitFor([&] { return slow.calls() == 1; }));
    EXPECT_EQ(entries(*form.list()), QStringList{QStringLiteral("…")});
    EXPECT_FALSE(form.list()->item(0)->flags() & Qt::ItemIsSelectable);
    savePicture(form, "netlist-searching");

    slow.open();
    ASSERT_TRUE(waitFor([&] { return !form.searching(); }));
    EXPECT_EQ(entries(*form.list()), (QStringList{" alpha", " beta", " localhost"}));
    ASSERT_EQ(form.list()->selectedItems().size(), 1);
    EXPECT_EQ(form.list()->selectedItems().front()->text(), QStringLiteral(" beta"));
    savePicture(form, "netlist");

    form.okButton()->click();
    EXPECT_EQ(form.chosenName(), QStringLiteral("beta"));
}

TEST(NetListForm, ADoubleClickTakesTheEntry)
{
    TNetListForm form(fixedSource({"alpha", "beta"}), QString());
    showActive(form);
    ASSERT_TRUE(waitFor([&] { return !form.searching(); }));
    EXPECT_TRUE(form.list()->selectedItems().isEmpty());
    QListWidgetItem* alpha = form.list()->item(0);
    const QPoint at = form.list()->visualItemRect(alpha).center();
    // A real double click: its first click, then the second one.
    QTest::mouseClick(form.list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(form.list()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.chosenName(), QStringLiteral("alpha"));
}

TEST(NetListForm, NothingSelectedOrCancelledTakesNothing)
{
    for (const bool cancel : {false, true}) {
        TNetListForm form(fixedSource(cancel ? Names{"alpha"} : Names{}), QStringLiteral("alpha"));
        showActive(form);
        ASSERT_TRUE(waitFor([&] { return !form.searching(); }));
        (cancel ? form.cancelButton() : form.okButton())->click();
        EXPECT_EQ(form.chosenName(), std::nullopt);
    }
}

TEST(NetListForm, ClosedBeforeTheResultArrives)
{
    SlowSource slow({"alpha"});
    {
        auto form = std::make_unique<TNetListForm>(slow.source(), QString());
        showActive(*form);
        ASSERT_TRUE(waitFor([&] { return slow.calls() == 1; }));
        form->cancelButton()->click();
        // Does not wait for the search: the source is still blocked here.
        form.reset();
    }
    slow.open();
    ASSERT_TRUE(waitFor([&] { return slow.released(); }));
    // Whatever the search might have queued would run now.
    QTest::qWait(20);
    SUCCEED();
}

TEST(NetListForm, OpensAtThePointerInsideTheScreen)
{
    TNetListForm form(fixedSource({}), QString());
    const QRect screen = form.screen()->availableGeometry();
    const QPoint corners[] = {screen.center(), screen.topLeft(), screen.bottomRight(), screen.bottomLeft()};
    for (const QPoint& pointer : corners) {
        form.placeAt(pointer);
        const QRect placed = form.frameGeometry();
        EXPECT_TRUE(screen.contains(placed)) << pointer.x() << "," << pointer.y();
        EXPECT_LE(placed.bottom() + 1, screen.bottom() + 1 - 42);
    }
    form.placeAt(screen.center());
    EXPECT_EQ(form.frameGeometry().top(), screen.center().y() - 2);
    EXPECT_LE(std::abs(form.frameGeometry().center().x() - screen.center().x()), 1);
}

} // namespace

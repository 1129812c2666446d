#include "Tablepagesupport.h"

#include "dialogs/Deltableform.h"
#include "dialogs/Deltablerowsform.h"
#include "dialogs/Tabledialogs.h"
#include "views/Windowstyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gmock/gmock.h>

namespace {

using namespace tablepage;

const QColor yellow(255, 255, 0);
const QColor red(255, 0, 0);

using ClearStep = std::function<void(TDelTableForm&)>;
const ClearStep check = [](TDelTableForm& form) { form.confirmBox()->setChecked(true); };
const ClearStep uncheck = [](TDelTableForm& form) { form.confirmBox()->setChecked(false); };
const ClearStep erase = [](TDelTableForm& form) { form.eraseButton()->click(); };
const ClearStep cancel = [](TDelTableForm& form) { form.cancelButton()->click(); };
const ClearStep escape = [](TDelTableForm& form) { QTest::keyClick(&form, Qt::Key_Escape); };

Answer clearSteps(std::vector<ClearStep> steps)
{
    return [steps](QWidget& window) {
        auto* form = qobject_cast<TDelTableForm*>(&window);
        ASSERT_NE(form, nullptr);
        for (const ClearStep& step : steps)
            if (form->isVisible())
                step(*form);
        if (form->isVisible())
            form->reject();
    };
}

TEST(DelTableForm, TheBoxEnablesTheButtonAndTheFirstPressAsksAgain)
{
    TDelTableForm form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("  Очистка таблицы"));
    EXPECT_EQ(form.palette().color(QPalette::Window), yellow);
    EXPECT_TRUE(form.findChild<QLabel*>() != nullptr);
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("ВНИМАНИЕ !")));
    EXPECT_EQ(form.confirmBox()->text(), QStringLiteral("Да, я действительно хочу стереть все записи в таблице"));
    EXPECT_FALSE(form.confirmBox()->isChecked());
    EXPECT_EQ(form.eraseButton()->text(), QStringLiteral("Стереть..."));
    EXPECT_EQ(form.eraseButton()->palette().color(QPalette::Active, QPalette::ButtonText), red);
    EXPECT_FALSE(form.eraseButton()->isEnabled());
    EXPECT_EQ(form.cancelButton()->text(), QStringLiteral("Отмена"));
    EXPECT_TRUE(form.cancelButton()->isDefault());
    EXPECT_TRUE(form.pressAgainText()->isHidden());

    check(form);
    EXPECT_TRUE(form.eraseButton()->isEnabled());
    form.grab().save(QStringLiteral(NIVRA_TABLEPAGE_PICTURES "/deltableform.png"));
    uncheck(form);
    EXPECT_FALSE(form.eraseButton()->isEnabled()) << "unchecking disables it again";
    check(form);

    erase(form);
    EXPECT_TRUE(form.isVisible()) << "the first press does not close";
    EXPECT_TRUE(form.confirmBox()->isHidden()) << "nor can the box be changed any more";
    EXPECT_FALSE(form.pressAgainText()->isHidden());
    EXPECT_EQ(form.pressAgainText()->text(),
              QStringLiteral("Нажмите кнопку \"Стереть\" ещё раз для очистки записей или \"Отмена\", если Вы не "
                             "хотите очищать записи"));
    EXPECT_EQ(form.eraseButton()->text(), QStringLiteral("СТЕРЕТЬ !"));
    EXPECT_TRUE(form.eraseButton()->font().bold());
    EXPECT_FALSE(form.confirmed());
    form.grab().save(QStringLiteral(NIVRA_TABLEPAGE_PICTURES "/deltableform-again.png"));

    erase(form);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.confirmed());
}

TEST(DelTableForm, OnlyTwoPressesWithTheBoxCheckedConfirm)
{
    const struct {
        const char* what;
        std::vector<ClearStep> steps;
        bool confirmed;
    } cases[] = {
        {"checked, pressed twice", {check, erase, erase}, true},
        {"pressed once", {check, erase}, false},
        {"cancelled after the first press", {check, erase, cancel}, false},
        {"escape after the first press", {check, erase, escape}, false},
        {"cancelled at once", {cancel}, false},
        {"the disabled button pressed", {erase, erase}, false},
        {"unchecked again, pressed", {check, uncheck, erase, erase}, false},
    };
    for (const auto& c : cases) {
        answerModal(clearSteps(c.steps));
        EXPECT_EQ(TDelTableForm::confirm(nullptr), c.confirmed) << c.what;
    }
}

using RowsStep = std::function<void(TDelTableRowsForm&)>;

Answer rowsSteps(std::vector<RowsStep> steps)
{
    return [steps](QWidget& window) {
        auto* form = qobject_cast<TDelTableRowsForm*>(&window);
        ASSERT_NE(form, nullptr);
        for (const RowsStep& step : steps)
            if (form->isVisible())
                step(*form);
        if (form->isVisible())
            form->reject();
    };
}

TEST(DelTableRowsForm, DeleteWaitsForAChoiceAndReturnsIt)
{
    TDelTableRowsForm form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral(" Удаление строк"));
    ASSERT_NE(form.findChild<QGroupBox*>(), nullptr);
    EXPECT_EQ(form.findChild<QGroupBox*>()->title(), QStringLiteral("Что Вы хотите сделать"));
    EXPECT_EQ(form.removeButton()->text(), QStringLiteral("Стереть выделенные строки"));
    EXPECT_EQ(form.zeroButton()->text(), QStringLiteral("Заполнить выделенные строки нулями"));
    EXPECT_FALSE(form.removeButton()->isChecked());
    EXPECT_FALSE(form.zeroButton()->isChecked());
    EXPECT_EQ(form.choice(), std::nullopt);
    EXPECT_EQ(form.deleteButton()->text(), QStringLiteral("Удалить"));
    EXPECT_FALSE(form.deleteButton()->isEnabled());
    EXPECT_TRUE(form.cancelButton()->isDefault());
    form.zeroButton()->click();
    EXPECT_TRUE(form.deleteButton()->isEnabled());
    form.grab().save(QStringLiteral(NIVRA_TABLEPAGE_PICTURES "/deltablerowsform.png"));
    EXPECT_EQ(form.choice(), ResultsTablePage::RowsAction::fillWithZeros);
    form.removeButton()->click();
    EXPECT_EQ(form.choice(), ResultsTablePage::RowsAction::remove);
    EXPECT_FALSE(form.zeroButton()->isChecked()) << "one choice at a time";

    const RowsStep remove = [](TDelTableRowsForm& f) { f.removeButton()->click(); };
    const RowsStep zero = [](TDelTableRowsForm& f) { f.zeroButton()->click(); };
    const RowsStep press = [](TDelTableRowsForm& f) { f.deleteButton()->click(); };
    const RowsStep cancel = [](TDelTableRowsForm& f) { f.cancelButton()->click(); };
    const struct {
        const char* what;
        std::vector<RowsStep> steps;
        std::optional<ResultsTablePage::RowsAction> result;
    } cases[] = {
        {"remove", {remove, press}, ResultsTablePage::RowsAction::remove},
        {"zeros", {zero, press}, ResultsTablePage::RowsAction::fillWithZeros},
        {"chosen, then cancelled", {zero, cancel}, std::nullopt},
        {"nothing chosen", {press}, std::nullopt},
    };
    for (const auto& c : cases) {
        answerModal(rowsSteps(c.steps));
        EXPECT_EQ(TDelTableRowsForm::ask(nullptr), c.result) << c.what;
    }
}

class TableDialogsTest : public TablePageFixture {
protected:
    TableDialogsTest() { connectTableDialogs(page); }
};

TEST_F(TableDialogsTest, ThePageAsksThroughTheTwoWindows)
{
    openRecords({1, 2, 3, 4, 5});
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    page.table()->selectRow(1);

    answerModal(rowsSteps({[](TDelTableRowsForm& form) { form.removeButton()->click(); },
                           [](TDelTableRowsForm& form) { form.deleteButton()->click(); }}));
    page.changeSelectedRows();
    EXPECT_EQ(contents(), fixtures::recordsBytes({1, 3, 4, 5}));

    answerModal(clearSteps({check, erase, cancel}));
    page.clearTable();
    EXPECT_EQ(grid.recordCount(), 4U);

    QWidget* parent = nullptr;
    answerModal([&parent](QWidget& window) {
        parent = window.parentWidget();
        clearSteps({check, erase, erase})(window);
    });
    page.clearTable();
    EXPECT_EQ(parent, page.window());
    EXPECT_EQ(grid.recordCount(), 0U);
    EXPECT_EQ(contents(), "");
}

} // namespace

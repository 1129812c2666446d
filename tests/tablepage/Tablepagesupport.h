#pragma once

#include "analysis/Calculatedgaz.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "support/Modalanswer.h"
#include "support/Testsupport.h"
#include "views/Resultstablepage.h"

#include "results/Resultsfixtures.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tablepage {

using modal::Answer;
using modal::answerModal;

inline CalculatedGaz result(const std::string& name, double concentration, const std::string& key = {})
{
    CalculatedGaz gaz;
    gaz.name = name;
    gaz.key = key.empty() ? name : key;
    gaz.concentration = concentration;
    return gaz;
}

// Six gases, the total and six shares, as a finished analysis announces them; `scale` varies
// the values from one analysis to the next.
inline CalculatedGazes thirteenResults(double scale = 1)
{
    const std::vector<std::string> gases{"метан", "этан", "пропан", "ибутан", "нбутан", "пентан"};
    const double absolute[] = {0.92, 0.0387, 0.0162, 0.0048, 0.0041, 0.0012};
    double total = 0;
    CalculatedGazes results;
    for (std::size_t i = 0; i < gases.size(); ++i) {
        results.push_back(result(gases[i], absolute[i] * scale));
        total += absolute[i] * scale;
    }
    results.push_back(result(CalculatedGaz::totalName, total));
    for (std::size_t i = 0; i < gases.size(); ++i)
        results.push_back(result(gases[i] + "_отн", 100 * absolute[i] * scale / total));
    return results;
}

// A well folder with "data.tim", the grid and the page over it, the page shown.
class TablePageFixture : public testing::Test {
protected:
    TablePageFixture() { page.resize(900, 400); }

    std::filesystem::path path() const { return folder / "data.tim"; }
    std::string contents() const { return test::readFile(path()); }

    // Records numbered as in the results fixtures; slot 0 is methane and slot 1 the total.
    void openRecords(std::initializer_list<int> numbers)
    {
        test::writeFile(path(), fixtures::recordsBytes(numbers));
        test::writeFile(folder / TextGrid::channelListName, fixtures::methaneDescriptor + fixtures::totalDescriptor);
        ASSERT_TRUE(grid.open(path()));
    }

    QAbstractItemModel& model() const { return *page.table()->model(); }
    QString text(int row, int column) const { return model().data(model().index(row, column)).toString(); }
    QString header(int column) const { return model().headerData(column, Qt::Horizontal).toString(); }
    int currentRow() const { return page.table()->currentIndex().row(); }

    std::vector<int> selectedRows() const
    {
        std::vector<int> rows;
        for (const QModelIndex& index : page.table()->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    test::TemporaryDirectory folder;
    test::DecimalSeparatorScope point{'.'};
    lib::LocalSeconds now = lib::toLocalSeconds(2024, 5, 17, 14, 5, 0);
    Configuration configuration;
    TextGrid grid{[this] { return now; }};
    ResultsTablePage page{grid, configuration};
};

} // namespace tablepage

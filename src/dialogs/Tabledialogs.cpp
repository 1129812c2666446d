#include "dialogs/Tabledialogs.h"

#include "dialogs/Deltableform.h"
#include "dialogs/Deltablerowsform.h"
#include "dialogs/Printgridform.h"
#include "settings/Configuration.h"
#include "views/Resultstablepage.h"

#include <QAction>

void connectTableDialogs(ResultsTablePage& page)
{
    page.setClearConfirmation([&page] { return TDelTableForm::confirm(page.window()); });
    page.setRowsChoice([&page] { return TDelTableRowsForm::ask(page.window()); });
    page.printAction()->setEnabled(true);
    QObject::connect(&page, &ResultsTablePage::printRequested, &page, [&page] {
        TPrintGridForm::run(page.printTable(), page.configuration().iniPath, page.window());
    });
}

#include "dialogs/Tabledialogs.h"

#include "dialogs/Deltableform.h"
#include "dialogs/Deltablerowsform.h"
#include "views/Resultstablepage.h"

void connectTableDialogs(ResultsTablePage& page)
{
    page.setClearConfirmation([&page] { return TDelTableForm::confirm(page.window()); });
    page.setRowsChoice([&page] { return TDelTableRowsForm::ask(page.window()); });
}

#include "widgets/Mygridinplaceedit.h"

MyGridInplaceEdit::MyGridInplaceEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setObjectName(QStringLiteral("MyGridInplaceEdit"));
}
